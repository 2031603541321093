#pragma once
// Command bytes, sizes and the checksum of the ORLO logger's serial protocol.

#include <cstdint>
#include <span>

namespace orlo {

inline constexpr std::uint8_t CmdHello = '*';
inline constexpr std::uint8_t CmdReadMemory = 'D';
inline constexpr std::uint8_t CmdReadConfig = 'R';
inline constexpr std::uint8_t CmdWriteConfig = 'W';
inline constexpr std::uint8_t CmdErase = 'E';

// The logger's memory, and the most the download keeps (memory, terminator,
// checksum and some slack).
inline constexpr int LoggerMemorySize = 540000;
inline constexpr int MemoryImageSize = 550001;
// The configuration record; its reply adds one checksum byte.
inline constexpr int ConfigSize = 264;
inline constexpr int ConfigReplySize = ConfigSize + 1;

// Exclusive OR of every byte, starting from 0.
inline std::uint8_t XorChecksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t x = 0;
    for (std::uint8_t b : bytes)
        x ^= b;
    return x;
}

}  // namespace orlo
