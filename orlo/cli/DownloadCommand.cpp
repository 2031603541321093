// orlo-cli download --port PORT --out DIR [--name NAME] [--overwrite] [--wait S]:
// greets the logger, downloads its memory and saves the blocks as decode does.

#include "orlo/cli/BlockOutput.h"
#include "orlo/cli/CliOutput.h"
#include "orlo/cli/Commands.h"
#include "orlo/device/OrloSession.h"
#include "platform/serial/SerialPort.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace orlo::cli {

namespace {

// Progress and failures on stderr; the end of the link ends the event loop.
class ConsoleEvents : public OrloLinkEvents {
public:
    explicit ConsoleEvents(QEventLoop& loop) : loop_(loop) {}
    QStringList errors;
    int blocks = -1;
    bool answered = false;

    int SendBytes(std::span<const std::uint8_t>) override { return 0; }
    void StatusText(const QString& t) override { progress(t); }
    void DeviceAnswered() override { answered = true; }
    void ByteCounter(const QString& t) override {
        // Every 100 bytes is too much for a terminal; every 10000 will do.
        if (++counters_ % 100 == 1)
            progress(t);
        last_ = t;
    }
    void ErrorBox(const QString& t) override { errors << t; }
    void DownloadSplit(int n) override {
        progress(last_);
        blocks = n;
    }
    void LinkEnded() override { loop_.quit(); }

private:
    void progress(const QString& t) {
        if (!t.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(t));
    }
    QEventLoop& loop_;
    int counters_ = 0;
    QString last_;
};

}  // namespace

int DownloadCommand(const QStringList& argsIn) {
    QStringList args = argsIn;
    BlockOutputOptions o;
    QString error;
    QString port;
    int waitSeconds = 10;
    for (qsizetype i = 0; i + 1 < args.size();) {
        if (args[i] == QLatin1String("--port")) {
            port = args[i + 1];
            args.remove(i, 2);
        } else if (args[i] == QLatin1String("--wait")) {
            waitSeconds = args[i + 1].toInt();
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    if (!takeBlockOutputOptions(args, o, error) || !args.isEmpty() || port.isEmpty() ||
        waitSeconds <= 0) {
        writeError(error.isEmpty()
                       ? QStringLiteral("usage: orlo-cli download --port PORT --out DIR "
                                        "[--name NAME] [--overwrite] [--wait SECONDS]")
                       : error);
        return 2;
    }

    QEventLoop loop;
    ConsoleEvents events(loop);
    platform::SerialPort serial;
    OrloLinkOptions linkOptions;
    linkOptions.DownloadSilenceMs = 5000;  // nobody is there to press Disconnect
    OrloSession session(serial, events, platform::SteadyClock(), linkOptions);
    QString status;
    if (!session.Connect(port, status)) {
        writeError(status.trimmed());
        return 1;
    }
    std::fprintf(stderr, "%s\n", qPrintable(status));
    bool timedOut = false;
    // By then the memory must be on its way: a logger that is off, or one that
    // greets but never sends its memory, would otherwise keep us waiting for ever.
    QTimer::singleShot(waitSeconds * 1000, &loop, [&] {
        if (session.link().phase() != OrloLink::Phase::Download) {
            timedOut = true;
            session.StopNow();
        }
    });
    if (session.link().PortOpen)
        loop.exec();
    if (timedOut) {
        writeError(
            (events.answered
                 ? QStringLiteral("The logger at %1 answered but sent no memory within %2 s.")
                 : QStringLiteral("No answer from the logger at %1 within %2 s."))
                .arg(port)
                .arg(waitSeconds));
        return 1;
    }
    for (const QString& e : events.errors)
        writeError(e);
    if (!events.errors.isEmpty() || events.blocks < 0)
        return 1;
    return writeBlocksForCommand(session.link().Memory, o);
}

}  // namespace orlo::cli
