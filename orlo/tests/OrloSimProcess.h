#pragma once
// Starts orlo-sim for a test and hands out its device path; kills it at the end.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

#include <functional>

namespace orlo::testing {

class OrloSimProcess {
public:
    // The simulator needs pseudo-terminals; it is not built where there are none.
    static bool available() { return !QStringLiteral(ORLO_SIM_PATH).isEmpty(); }

    explicit OrloSimProcess(const QStringList& args) {
        process_.setProgram(QStringLiteral(ORLO_SIM_PATH));
        process_.setArguments(args);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(5000))
            return;
        QDeadlineTimer deadline(10000);
        while (!process_.canReadLine() && !deadline.hasExpired())
            process_.waitForReadyRead(100);
        path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~OrloSimProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    // Empty when the simulator did not start.
    QString path() const { return path_; }
    bool running() const { return process_.state() == QProcess::Running; }

private:
    QProcess process_;
    QString path_;
};

// Runs the event loop until done() or a generous time-out; true when done.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 15000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace orlo::testing
