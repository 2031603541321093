// voltaro-cli receive --port PORT [--offline] --seconds N --out OUT.vtr
// [--baud B] [--parsers DIR]: headless reception into a new project.
//
// Online, the port is snooped for N seconds and sessions come as the headers
// arrive. Offline, the request byte is sent and one session is read until the
// device ends it, 2000 ms of silence follow its data, or N seconds pass.
//
// Ctrl+C ends the reception early. The project is saved when at least one block
// arrived. The exit status is 0 only for a complete reception: online any block,
// offline a download the device ended itself. A download cut short still saves
// what came, with status 1.

#include "platform/core/Prompts.h"
#include "platform/serial/PolledPort.h"
#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/CliParsers.h"
#include "voltaro/cli/Commands.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/reception/DocumentReceiver.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/StreamReading.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

#include <csignal>
#include <memory>

namespace voltaro::cli {
namespace {

// The serial port, remembering the system's reason when opening it failed.
class ReportingSerialPort : public platform::PolledSerialPort {
public:
    platform::PortOpenResult open(const QString& name,
                                  const platform::PortSettings& settings) override {
        lastOpen = PolledSerialPort::open(name, settings);
        return lastOpen;
    }
    platform::PortOpenResult lastOpen;
};

// The message of a port that could not be opened, with the system's reason.
QString portFailure(const platform::PortOpenResult& opened) {
    return QStringLiteral("%1 (%2)").arg(
        QString::fromLatin1(opened.status == platform::PortOpenResult::OpenFailed
                                ? DocumentReceiver::kOpenFailed
                                : DocumentReceiver::kSetupFailed),
        opened.detail);
}

// Messages go to stderr, a port failure with the system's reason; questions are
// answered No, dialogs cancelled.
class StderrPrompts : public platform::Prompts {
public:
    explicit StderrPrompts(const ReportingSerialPort& port) : port_(port) {}

    platform::Button message(const platform::MessageRequest& request) override {
        const bool portFailed = request.text == QLatin1String(DocumentReceiver::kOpenFailed) ||
                                request.text == QLatin1String(DocumentReceiver::kSetupFailed);
        if (portFailed && !port_.lastOpen.ok() && !port_.lastOpen.detail.isEmpty())
            writeError(portFailure(port_.lastOpen));
        else
            writeError(request.text);
        for (platform::Button b : {platform::Button::No, platform::Button::Cancel})
            if (request.buttons.has(b))
                return b;
        return platform::Button::Ok;
    }
    std::optional<QString> openFileName(const platform::FileDialogRequest&) override { return {}; }
    std::optional<QStringList> openFileNames(const platform::FileDialogRequest&) override {
        return {};
    }
    std::optional<QString> saveFileName(const platform::FileDialogRequest&) override { return {}; }
    std::optional<QString> existingDirectory(const QString&, const QString&) override { return {}; }

private:
    const ReportingSerialPort& port_;
};

struct Options {
    QString port;
    bool offline = false;
    int seconds = -1;
    QString out;
    int baud = 0;
    QString parsers;
};

bool parse(const QStringList& args, Options& o) {
    o.parsers = DefaultParserFolder();
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--offline"))
            o.offline = true;
        else if (a == QLatin1String("--port") && hasValue)
            o.port = args[++i];
        else if (a == QLatin1String("--seconds") && hasValue)
            o.seconds = args[++i].toInt(&ok);
        else if (a == QLatin1String("--out") && hasValue)
            o.out = args[++i];
        else if (a == QLatin1String("--baud") && hasValue)
            o.baud = args[++i].toInt(&ok);
        else if (a == QLatin1String("--parsers") && hasValue)
            o.parsers = args[++i];
        else
            return false;
        if (!ok)
            return false;
    }
    return !o.port.isEmpty() && o.seconds >= 0 && !o.out.isEmpty() && o.baud >= 0;
}

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

// Ctrl+C and SIGTERM, from the start of the command on, only set the flag: an
// interrupted reception ends as if its time were up, so what has arrived is saved.
class InterruptGuard {
public:
    InterruptGuard()
        : oldInt_(std::signal(SIGINT, onInterrupt)), oldTerm_(std::signal(SIGTERM, onInterrupt)) {
        g_interrupted = 0;
    }
    ~InterruptGuard() {
        std::signal(SIGINT, oldInt_);
        std::signal(SIGTERM, oldTerm_);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*oldInt_)(int);
    void (*oldTerm_)(int);
};

// Runs the event loop until done(), the time is up or the user interrupts.
void runFor(int seconds, const std::function<bool()>& done) {
    QTimer wake;  // the loop looks at the flag at least this often
    wake.start(50);
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && !g_interrupted && elapsed.elapsed() < qint64(seconds) * 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    if (g_interrupted)
        writeError(QStringLiteral("interrupted; saving what has arrived"));
}

// Whether the project can be saved at path, tried before the reception so that a
// long reception is not lost to a mistyped or read-only target. Nothing is written.
bool canSaveTo(const QString& path) {
    QString reason;
    const QFileInfo info(path);
    const bool readOnly =
        !(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable();  // as on saving
    if (info.exists() && (!info.isFile() || readOnly)) {
        reason = info.isFile() ? QStringLiteral("Access is denied: the file is read-only.")
                               : QStringLiteral("It is not a file.");
    } else {
        QSaveFile probe(path);
        if (probe.open(QIODevice::WriteOnly)) {
            probe.cancelWriting();
            return true;
        }
        reason = probe.errorString();
    }
    writeError(QStringLiteral("Cannot save the project file \"%1\".\n%2")
                   .arg(QDir::toNativeSeparators(path), reason));
    return false;
}

int blockCount(const CMainDoc& doc) {
    int n = 0;
    for (const CDataModule* session : doc.m_sessions)
        n += static_cast<int>(session->m_blocks.GetCount());
    return n;
}

// Whether the project should be saved, and the exit status.
struct Reception {
    bool save = false;
    int status = 1;
};

Reception receiveOffline(CMainDoc& doc, const ParserList& parsers, const Options& o) {
    platform::PolledSerialPort port;
    platform::PortSettings settings;
    if (o.baud > 0)
        settings.BaudRate = o.baud;
    const platform::PortOpenResult opened = port.open(o.port, settings);
    if (!opened.ok()) {
        writeError(portFailure(opened));
        return {};
    }
    auto session = std::make_unique<CDataModule>(&doc);
    StreamReading reading(*session, parsers, platform::SteadyClock());
    reading.Request();
    QTimer pump;
    pump.start(10);
    QObject::connect(&pump, &QTimer::timeout, [&] {
        if (PumpPort(reading, port).requestFailed)
            writeError(QString::fromLatin1(kRequestFailedText));
    });
    runFor(o.seconds, [&] { return reading.IsOver(); });
    port.close();
    if (!reading.IsOver())
        reading.Cancel();
    writeError(QString::fromStdString(reading.ResultText()));
    if (reading.ShouldWarnIncomplete())
        writeError(QString::fromLatin1(kIncompleteWarning));
    if (reading.BlockCount() == 0)
        return {};
    doc.AddSession(std::move(session));
    // "There were errors!" above: the data is kept, the status says it is incomplete.
    return {true, reading.GetOutcome() == StreamReading::Outcome::Done ? 0 : 1};
}

Reception receiveOnline(CMainDoc& doc, const ParserList& parsers, const Options& o) {
    ReportingSerialPort port;
    const std::unique_ptr<ReceiverTimer> timer = MakeQtReceiverTimer();
    StderrPrompts prompts(port);
    ReceptionServices services;
    services.port = &port;
    services.timer = timer.get();
    services.prompts = &prompts;
    services.parsers = &parsers;
    DocumentReceiver receiver(services);
    receiver.Attach(doc);
    SerialOptions options = receiver.CurrentOptions();
    options.strPortName = o.port.toStdString();
    options.bSnooping = true;
    options.bSaveAsDefault = false;
    if (o.baud > 0)
        options.dcb.BaudRate = static_cast<std::uint32_t>(o.baud);
    receiver.ApplyOptions(options);
    if (receiver.GetState() == DocumentReceiver::State::Off)
        return {};
    runFor(o.seconds, [] { return false; });
    // The bytes that reached the port since the last tick belong to the reception:
    // let the port take them in from the system, then read them.
    port.takeInPending();
    receiver.Poll();
    receiver.StopReceiver();
    if (blockCount(doc) == 0) {
        writeError(
            QStringLiteral("No block received on %1 within %2 s.").arg(o.port).arg(o.seconds));
        return {};
    }
    return {true, 0};
}

}  // namespace

int ReceiveCommand(const QStringList& args) {
    const InterruptGuard interrupts;
    Options o;
    if (!parse(args, o)) {
        writeError(QStringLiteral(
            "usage: voltaro-cli receive --port PORT [--offline] --seconds N --out OUT.vtr "
            "[--baud B] [--parsers DIR]"));
        return 2;
    }
    if (!canSaveTo(o.out))
        return 1;
    ParserList parsers;
    BuildCommandParserList(parsers, o.parsers);
    // A project of its own: no user settings, no snooping at construction.
    CMainDoc doc(true);
    const Reception reception =
        o.offline ? receiveOffline(doc, parsers, o) : receiveOnline(doc, parsers, o);
    FreeParserList(parsers);
    if (!reception.save)
        return reception.status;
    QString error;
    if (!doc.OnSaveDocument(o.out, &error)) {
        writeError(error);
        return 1;
    }
    return reception.status;
}

}  // namespace voltaro::cli
