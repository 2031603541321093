#pragma once
// The serial line settings of the analyzer as the 28-byte control record it keeps
// in the settings store ("CommPortSetup") and applies when the port is opened,
// and the five-word time-out record.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace voltaro {

struct SerialControlRecord {
    static constexpr std::size_t kSize = 28;

    // Bits of the flag word.
    static constexpr std::uint32_t kBinary = 0x0001;
    static constexpr std::uint32_t kParityCheck = 0x0002;
    static constexpr std::uint32_t kOutxCtsFlow = 0x0004;
    static constexpr std::uint32_t kOutxDsrFlow = 0x0008;
    static constexpr int kDtrControlShift = 4;  // two bits: 0 disable, 1 enable, 2 handshake
    static constexpr std::uint32_t kDsrSensitivity = 0x0040;
    static constexpr std::uint32_t kTxContinueOnXoff = 0x0080;
    static constexpr std::uint32_t kOutX = 0x0100;
    static constexpr std::uint32_t kInX = 0x0200;
    static constexpr std::uint32_t kErrorCharOn = 0x0400;
    static constexpr std::uint32_t kNullStrip = 0x0800;
    static constexpr int kRtsControlShift =
        12;  // two bits: 0 disable, 1 enable, 2 handshake, 3 toggle
    static constexpr std::uint32_t kAbortOnError = 0x4000;

    enum Parity : std::uint8_t { NoParity = 0, OddParity, EvenParity, MarkParity, SpaceParity };
    enum StopBits : std::uint8_t { OneStopBit = 0, OneHalfStopBits = 1, TwoStopBits = 2 };

    std::uint32_t Length = kSize;
    std::uint32_t BaudRate = 9600;
    std::uint32_t Flags = kBinary | (1u << kDtrControlShift) | (1u << kRtsControlShift);  // 0x1011
    std::uint16_t Reserved = 0;
    std::uint16_t XonLim = 100;
    std::uint16_t XoffLim = 100;
    std::uint8_t ByteSize = 8;
    std::uint8_t ParityMode = NoParity;
    std::uint8_t StopBitsMode = OneStopBit;
    char XonChar = 17;
    char XoffChar = 19;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t Reserved1 = 0;

    int DtrControl() const { return static_cast<int>((Flags >> kDtrControlShift) & 3u); }
    int RtsControl() const { return static_cast<int>((Flags >> kRtsControlShift) & 3u); }

    // The 28 stored bytes, little-endian.
    std::string ToBytes() const;
    // Replaces the leading fields with up to 28 stored bytes; the rest keep
    // their values. More than 28 bytes change nothing and give false.
    bool ApplyBytes(std::string_view bytes);

    bool operator==(const SerialControlRecord&) const = default;
};

struct SerialTimeouts {
    std::uint32_t ReadIntervalTimeout = 400;  // ms between two bytes
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;

    bool operator==(const SerialTimeouts&) const = default;
};

}  // namespace voltaro
