#pragma once
// Background reception for the project document: the serial port, the 200 ms
// poll, the online session states (Off, Listening, Receiving) and the commands
// of the Data menu with their enable and check states.
//
// The document asks for reception through its DocumentServices hooks, which
// InstallInto() points here. The port, the timer, the prompts and the modal
// parts (offline reading dialog, options dialog) are injected, so the states
// run in tests without a port or a window.

#include "voltaro/model/SerialControlRecord.h"
#include "voltaro/reception/Receiver.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace platform {
class PolledPort;
class Prompts;
}  // namespace platform

namespace voltaro {

class CDataModule;
class CMainDoc;
class ParserList;
struct CommandState;
struct DocumentServices;

// Command ids of the Data menu and the options.
enum ReceptionCommand : unsigned {
    ID_DATA_OFFLINE = 30051,
    ID_APP_SETTINGS = 30151,
    ID_ONLINE_CREATE = 32852,
    ID_ONLINE_ABORT = 32853,
    ID_SERIAL_SNOOPING = 32860,
};

// The receiver's timer: calls back every interval until stopped.
class ReceiverTimer {
public:
    virtual ~ReceiverTimer();
    virtual bool start(int intervalMs, std::function<void()> tick) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// A QTimer (the event loop runs it).
std::unique_ptr<ReceiverTimer> MakeQtReceiverTimer();

// What the options dialog shows and edits.
struct SerialOptions {
    int nPortIndex = 0;
    std::string strPortName;  // the chosen device where ports have names, not numbers
    bool bSnooping = true;
    SerialControlRecord dcb;
    bool bSaveAsDefault = true;
};

struct ReceptionServices {
    platform::PolledPort* port = nullptr;  // not owned
    ReceiverTimer* timer = nullptr;        // not owned
    platform::Prompts* prompts = nullptr;  // not owned
    const ParserList* parsers = nullptr;   // not owned
    CreatedTextFn createdText = LocalDateTimeText;
    // The reading loop of an offline download on the open port (the dialog in
    // the program, a headless loop in voltaro-cli). True: keep the session.
    std::function<bool(CDataModule& session, platform::PolledPort& port)> readOffline;
    // The options dialog on a copy of the options. False: cancelled.
    std::function<bool(SerialOptions& options)> editOptions;
};

class DocumentReceiver {
public:
    static constexpr int kPollIntervalMs = 200;
    static constexpr const char* kPortNameValue = "CommPortName";

    static constexpr const char* kOpenFailed = "Error opening serial port.";          // 4003
    static constexpr const char* kSetupFailed = "Error setting up the serial port.";  // 4004
    static constexpr const char* kOnlineBusyQuestion =
        "Online session is just using the serial port.\nAbort?";  // 4101

    explicit DocumentReceiver(ReceptionServices services);
    ~DocumentReceiver();
    DocumentReceiver(const DocumentReceiver&) = delete;
    DocumentReceiver& operator=(const DocumentReceiver&) = delete;

    // Points the document's reception hooks here; this receiver must outlive the
    // document. A document that starts with snooping on attaches itself; attach
    // it after constructing it in any case.
    void InstallInto(DocumentServices& services);
    void Attach(CMainDoc& doc);
    CMainDoc* Document() const { return m_pDoc; }

    enum class State { Off, Listening, Receiving };
    State GetState() const;

    // Document operations.
    bool OpenPort();
    bool StartReceiver();
    void EndOnlineSession();
    void StopReceiver();
    // One tick of the timer: drains the port through the receiver.
    void Poll();

    // Commands.
    void OnSerialSnooping();
    void OnCreateOnlineSession();
    void OnAbortOnlineSession();
    // Null when the download was cancelled, failed or kept nothing.
    CDataModule* OnOfflineData();
    void OnSettings();
    // The options dialog's OK.
    void ApplyOptions(const SerialOptions& options);
    SerialOptions CurrentOptions() const;

    bool OnCommand(unsigned nID);
    bool OnUpdateCommand(unsigned nID, CommandState& state) const;

    // The device the port is opened by.
    QString PortName() const;
    const std::string& ChosenPortName() const { return m_strPortName; }

private:
    bool IsOnline() const;
    bool ReadOffline(CDataModule& session);
    void ApplySnoopingChoice(bool bOn);

    ReceptionServices m_services;
    CMainDoc* m_pDoc = nullptr;
    std::unique_ptr<Receiver> m_receiver;
    std::string m_strPortName;
};

}  // namespace voltaro
