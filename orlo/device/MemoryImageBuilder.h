#pragma once
// Builds logger memory as the logger sends it, for the simulator, tests and
// benchmarks: blocks of chosen headers and lengths, the terminator, the checksum.

#include <cstdint>
#include <span>
#include <vector>

namespace orlo {

struct TBlockSpec {
    int Interval = 5;  // 1/50 s
    int ChannelMask = 0xC000;
    int CurrentZero = 2048;
    int CurrentScale = 100;
    int VoltageScale = 100;
    int CurrentMode = 0;
    int Extra = 0;
    int Samples = 10;
};

// A raw reading of 12 bits: never two 0xFF bytes in a row, so samples cannot be
// taken for a marker.
std::uint16_t SampleWord(int block, int sample, int channel);

// Marker, header and samples of every block, in order.
std::vector<std::uint8_t> BuildMemoryBody(std::span<const TBlockSpec> blocks);
// The memory reply after "D": body, five 0xFF, checksum.
std::vector<std::uint8_t> BuildMemoryReply(std::span<const TBlockSpec> blocks);
// Appends the terminator and the checksum of everything to body.
std::vector<std::uint8_t> TerminateMemory(std::vector<std::uint8_t> body);

}  // namespace orlo
