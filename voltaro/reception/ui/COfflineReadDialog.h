#pragma once
// "Read Offline Data": the small dialog of an offline download. It pumps the
// port into the session's reading loop, sends the request byte on "&Request
// Data", shows the progress and the result, and keeps the main window disabled
// while it reads.

#include "voltaro/reception/StreamReading.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

class QLabel;
class QPushButton;

namespace platform {
class DialogPrompts;
class PolledPort;
class Prompts;
}  // namespace platform

namespace voltaro {

class CDataModule;
class ParserList;

class COfflineReadDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPumpIntervalMs = 10;

    COfflineReadDialog(CDataModule& session, platform::PolledPort& port, const ParserList& parsers,
                       platform::Prompts& prompts, QWidget* owner,
                       platform::Clock clock = platform::SteadyClock());
    ~COfflineReadDialog() override;

    // The whole download, modal: true when the session is to be kept.
    static bool Run(CDataModule& session, platform::PolledPort& port, const ParserList& parsers,
                    platform::DialogPrompts& prompts, QWidget* owner);

    // One pass of the loop (the timer's work; tests call it directly).
    void Pump();
    bool IsFinished() const { return m_bFinished; }
    const StreamReading& Reading() const { return m_reading; }

    QLabel* statusLabel() const { return m_status; }
    QPushButton* requestButton() const { return m_request; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    void reject() override;

private:
    void OnRequest();
    void Finish();

    StreamReading m_reading;
    platform::PolledPort& m_port;
    platform::Prompts& m_prompts;
    QPointer<QWidget> m_owner;
    QTimer m_timer;
    QLabel* m_status;
    QPushButton* m_request;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_bFinished = false;
};

}  // namespace voltaro
