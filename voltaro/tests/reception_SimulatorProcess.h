#pragma once
// charger-sim as a child process: started with options, its device path read
// from its first line, its "sent N" lines counted.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

#include <functional>

namespace voltaro::testing {

// Runs the event loop until the condition holds or a generous time-out passes.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 15000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class SimulatorProcess {
public:
    static bool available() { return QByteArray(CHARGER_SIM_PATH).size() > 0; }

    bool start(const QStringList& args) {
        process_.start(QStringLiteral(CHARGER_SIM_PATH), args);
        if (!process_.waitForStarted(10000))
            return false;
        if (!waitFor([this] { return takeLines(), !path_.isEmpty(); }))
            return false;
        return true;
    }
    ~SimulatorProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    QString devicePath() const { return path_; }
    // Sessions the simulator has finished writing.
    int sent() {
        takeLines();
        return sent_;
    }

private:
    void takeLines() {
        buffer_ += process_.readAllStandardOutput();
        int nl;
        while ((nl = buffer_.indexOf('\n')) >= 0) {
            const QByteArray line = buffer_.left(nl).trimmed();
            buffer_.remove(0, nl + 1);
            if (path_.isEmpty())
                path_ = QString::fromLocal8Bit(line);
            else if (line.startsWith("sent "))
                sent_ = line.mid(5).toInt();
        }
    }

    QProcess process_;
    QByteArray buffer_;
    QString path_;
    int sent_ = 0;
};

}  // namespace voltaro::testing
