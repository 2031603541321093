#pragma once
// Child processes for end-to-end tests: a program run to its end, and a device
// simulator that prints its pseudo-terminal's path as its first line.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform::testing {

// Runs the event loop until done() holds or a generous time-out passes; true when
// done.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 15000);

struct ProgramRun {
    int exitCode = -1;  // -1 when the program crashed or did not end in time
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end while the event loop keeps turning, so that other
// children (a simulator) are read meanwhile.
ProgramRun runProgram(const QString& program, const QStringList& args, int timeoutMs = 60000);

// A simulator as a child process: its device path read from its first line, its
// "sent N" lines counted; killed at the end.
class SimulatorProcess {
public:
    explicit SimulatorProcess(QString program);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // True once the simulator has printed its device path.
    bool start(const QStringList& args);
    // Empty when the simulator did not start.
    QString devicePath() const { return path_; }
    bool running() const { return process_.state() == QProcess::Running; }
    // Sessions the simulator has finished writing.
    int sent();

private:
    void takeLines();

    QString program_;
    QProcess process_;
    QByteArray buffer_;
    QString path_;
    int sent_ = 0;
};

}  // namespace platform::testing
