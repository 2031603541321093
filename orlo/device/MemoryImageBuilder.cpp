#include "orlo/device/MemoryImageBuilder.h"

#include "orlo/device/OrloProtocol.h"

#include <bit>

namespace orlo {

namespace {

void putWord(std::vector<std::uint8_t>& out, int v) {
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
    out.push_back(std::uint8_t(v & 0xFF));
}

}  // namespace

std::uint16_t SampleWord(int block, int sample, int channel) {
    // A slow wave per channel, different for every block.
    const unsigned v = unsigned(1000 + 700 * channel + 37 * block + (sample * 13) % 997);
    return std::uint16_t(v & 0x0FFF);
}

std::vector<std::uint8_t> BuildMemoryBody(std::span<const TBlockSpec> blocks) {
    std::vector<std::uint8_t> out;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const TBlockSpec& s = blocks[b];
        out.insert(out.end(), 4, std::uint8_t(0xFF));
        for (int w : {s.Interval, s.ChannelMask, s.CurrentZero, s.CurrentScale, s.VoltageScale,
                      s.CurrentMode, s.Extra})
            putWord(out, w);
        const int channels = std::popcount(unsigned(s.ChannelMask) & 0xFFFFu);
        for (int k = 0; k < s.Samples; ++k)
            for (int c = 0; c < channels; ++c)
                putWord(out, SampleWord(int(b), k, c));
    }
    return out;
}

std::vector<std::uint8_t> TerminateMemory(std::vector<std::uint8_t> body) {
    body.insert(body.end(), 5, std::uint8_t(0xFF));
    body.push_back(XorChecksum(body));
    return body;
}

std::vector<std::uint8_t> BuildMemoryReply(std::span<const TBlockSpec> blocks) {
    return TerminateMemory(BuildMemoryBody(blocks));
}

}  // namespace orlo
