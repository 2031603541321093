#pragma once
// Tag values of the archive's object references.

#include <cstdint>

namespace voltaro::archive {

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;     // + class index: a new object of that class
constexpr std::uint16_t kBigIndexTag = 0x7FFF;  // a DWORD with the index follows
constexpr std::uint32_t kBigClassFlag = 0x80000000u;

// Strings: the byte 0xFF announces a WORD length, the WORD 0xFFFF a DWORD length.
constexpr std::uint8_t kWordLength = 0xFF;
constexpr std::uint16_t kDwordLength = 0xFFFF;
// A WORD length of 0xFFFE marks a wide-character string, which project files
// never contain.
constexpr std::uint16_t kWideStringMark = 0xFFFE;

constexpr std::uint16_t kWordCountLimit = 0xFFFF;

}  // namespace voltaro::archive
