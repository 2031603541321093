#include "platform/testing/ChildProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <utility>

namespace platform::testing {

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

ProgramRun runProgram(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    ProgramRun r;
    if (!waitUntil([&] { return p.state() == QProcess::NotRunning; }, timeoutMs))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

SimulatorProcess::SimulatorProcess(QString program) : program_(std::move(program)) {}

SimulatorProcess::~SimulatorProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool SimulatorProcess::start(const QStringList& args) {
    process_.start(program_, args);
    if (!process_.waitForStarted(10000))
        return false;
    return waitUntil([this] { return takeLines(), !path_.isEmpty(); });
}

int SimulatorProcess::sent() {
    takeLines();
    return sent_;
}

void SimulatorProcess::takeLines() {
    buffer_ += process_.readAllStandardOutput();
    qsizetype nl;
    while ((nl = buffer_.indexOf('\n')) >= 0) {
        const QByteArray line = buffer_.left(nl).trimmed();
        buffer_.remove(0, nl + 1);
        if (path_.isEmpty())
            path_ = QString::fromLocal8Bit(line);
        else if (line.startsWith("sent "))
            sent_ = line.mid(5).toInt();
    }
}

}  // namespace platform::testing
