#pragma once
// charger-sim as a child process: started with options, its device path read
// from its first line, its "sent N" lines counted.

#include "platform/testing/ChildProcess.h"

namespace voltaro::testing {

using platform::testing::waitUntil;

class SimulatorProcess : public platform::testing::SimulatorProcess {
public:
    static bool available() { return QByteArray(CHARGER_SIM_PATH).size() > 0; }

    SimulatorProcess() : platform::testing::SimulatorProcess(QStringLiteral(CHARGER_SIM_PATH)) {}
};

}  // namespace voltaro::testing
