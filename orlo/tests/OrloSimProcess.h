#pragma once
// orlo-sim for a test: started with its options, its device path handed out; killed
// at the end.

#include "platform/testing/ChildProcess.h"

namespace orlo::testing {

using platform::testing::waitUntil;

class OrloSimProcess : public platform::testing::SimulatorProcess {
public:
    // The simulator needs pseudo-terminals; it is not built where there are none.
    static bool available() { return !QStringLiteral(ORLO_SIM_PATH).isEmpty(); }

    explicit OrloSimProcess(const QStringList& args)
        : SimulatorProcess(QStringLiteral(ORLO_SIM_PATH)) {
        start(args);
    }
    // Empty when the simulator did not start.
    QString path() const { return devicePath(); }
};

}  // namespace orlo::testing
