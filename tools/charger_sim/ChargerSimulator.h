#pragma once
// A charger on the controlling side of a pseudo-terminal. Online it prints its
// session as it goes, at a given line rate; offline it prints the whole session
// each time it receives the request byte 'U'. Fault switches make it fall
// silent, mix in garbage, cut or stretch lines.

#include "platform/core/Clock.h"
#include "platform/serial/PseudoTerminal.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace charger_sim {

struct SimulatorOptions {
    std::vector<std::string> Lines;  // the session, without line ends
    bool Offline = false;            // wait for 'U'; otherwise print at once
    double LinesPerSecond = 0;       // 0: as fast as the reader takes them
    int StartDelayMs = 0;            // online: wait before the first line
    bool FormFeed = true;            // end the session with a form feed
    int SilenceAfter = -1;           // lines sent before falling silent for good
    int GarbageEvery = 0;            // a garbage line after every N-th line
    int PartialEvery = 0;            // every N-th line cut in half
    int LongEvery = 0;               // every N-th line stretched to 200 characters
};

// The bytes of one session as the options shape them, one entry per line
// (line end included; the form feed is an entry of its own).
std::vector<std::string> SessionOutput(const SimulatorOptions& o);

class ChargerSimulator {
public:
    explicit ChargerSimulator(SimulatorOptions options,
                              platform::Clock clock = platform::SteadyClock());
    bool create() { return pty_.create(); }
    platform::PseudoTerminal& pty() { return pty_; }
    // Serves until killed; prints the device path first and "sent N" after
    // every complete session.
    int run();

private:
    void queueSession();
    bool flush();  // false when the other side is gone for good

    SimulatorOptions o_;
    platform::Clock clock_;
    platform::PseudoTerminal pty_;
    std::deque<std::string> out_;
    std::size_t partDone_ = 0;  // bytes of out_.front() already written
    std::int64_t nextLineAt_ = 0;
    int sessions_ = 0;
    bool announce_ = false;
};

}  // namespace charger_sim
