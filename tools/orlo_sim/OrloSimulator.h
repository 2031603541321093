#pragma once
// The logger's side of the protocol, on the controlling side of a pseudo-terminal.
//
// One thread, one poll loop: commands are read as they come, replies wait in an
// output queue that is written as fast as the reader takes it or at the line rate.

#include "orlo/device/OrloConfig.h"
#include "platform/core/Clock.h"
#include "platform/serial/PseudoTerminal.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace orlo {

struct SimulatorOptions {
    std::vector<std::uint8_t> Memory;  // the reply after "D": terminator and checksum included
    TConfigImage Config{};
    int HelloRepeat = 1;       // "*" answers per "*" received
    bool BadChecksum = false;  // memory reply with a wrong checksum byte
    bool BadConfigChecksum = false;
    bool VerifyDiffers = false;  // the record read back after a write differs in one byte
    long StallAfter = -1;        // memory bytes sent before falling silent
    long HangUpAfter = -1;       // memory bytes sent before hanging up
    int Garbage = 0;             // garbage bytes before every reply
    bool Paced = false;          // 57600 baud, 8N1
    int EraseDelayMs = 500;
    std::uint8_t EraseAnswer = 'E';
    std::vector<std::uint8_t> Ignored;  // commands left unanswered
    bool Verbose = false;
};

// A configuration record that looks like a logger's: 1 s interval, two channels,
// start immediately, finish on power off, 11.5 V threshold, numbers 1, 2, 3.
TConfigImage DefaultSimulatorConfig();

class OrloSimulator {
public:
    explicit OrloSimulator(SimulatorOptions options,
                           platform::Clock clock = platform::SteadyClock());
    bool create() { return pty_.create(); }
    platform::PseudoTerminal& pty() { return pty_; }
    // Serves until hung up by a fault switch or killed; returns the exit status.
    int run();

private:
    struct Chunk {
        std::vector<std::uint8_t> bytes;
        std::int64_t notBefore = 0;
        bool hangUpAfter = false;
    };
    void command(std::uint8_t c);
    void queue(std::vector<std::uint8_t> bytes, std::int64_t delayMs = 0, bool hangUp = false);
    std::vector<std::uint8_t> garbage() const;
    bool flush();  // false after a hang-up

    SimulatorOptions o_;
    platform::Clock clock_;
    platform::PseudoTerminal pty_;
    std::deque<Chunk> out_;
    std::int64_t pacedBudgetAt_ = 0;
    // A write of the record in progress.
    int writing_ = -1;
    TConfigImage incoming_{};
};

}  // namespace orlo
