#pragma once
// "Options": the serial port, its line settings ("S&etup..."), snooping and
// "Sa&ve as Default", on a copy of the options that OK hands back.

#include "voltaro/reception/DocumentReceiver.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace platform {
class DialogPrompts;
}

namespace voltaro {

class CSerialOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // portNames: the devices to offer where ports have names; empty: COM1..COM14.
    // "S&etup..." runs the line settings dialog through prompts.
    CSerialOptionsDialog(const SerialOptions& options, const QStringList& portNames,
                         platform::DialogPrompts& prompts, QWidget* parent = nullptr);

    // The options as the dialog shows them now.
    SerialOptions Options() const;

    // Modal on the options; true and the options replaced on OK.
    static bool Edit(SerialOptions& options, platform::DialogPrompts& prompts, QWidget* parent);
    // The port names offered on this system.
    static QStringList SystemPortNames();

    QComboBox* portCombo() const { return m_port; }
    QPushButton* setupButton() const { return m_setup; }
    QCheckBox* snoopingCheck() const { return m_snooping; }
    QCheckBox* saveDefaultCheck() const { return m_saveDefault; }

private:
    void OnSetup();

    SerialOptions m_options;
    bool m_bNamedPorts;
    platform::DialogPrompts& m_prompts;
    QComboBox* m_port;
    QPushButton* m_setup;
    QCheckBox* m_snooping;
    QCheckBox* m_saveDefault;
};

}  // namespace voltaro
