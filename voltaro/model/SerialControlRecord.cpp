#include "voltaro/model/SerialControlRecord.h"

#include <array>

namespace voltaro {
namespace {

using Bytes = std::array<unsigned char, SerialControlRecord::kSize>;

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

std::uint16_t get16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t get32(const Bytes& b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    }
    return v;
}

Bytes toArray(const SerialControlRecord& r) {
    Bytes b{};
    put32(b, 0, r.Length);
    put32(b, 4, r.BaudRate);
    put32(b, 8, r.Flags);
    put16(b, 12, r.Reserved);
    put16(b, 14, r.XonLim);
    put16(b, 16, r.XoffLim);
    b[18] = r.ByteSize;
    b[19] = r.ParityMode;
    b[20] = r.StopBitsMode;
    b[21] = static_cast<unsigned char>(r.XonChar);
    b[22] = static_cast<unsigned char>(r.XoffChar);
    b[23] = static_cast<unsigned char>(r.ErrorChar);
    b[24] = static_cast<unsigned char>(r.EofChar);
    b[25] = static_cast<unsigned char>(r.EvtChar);
    put16(b, 26, r.Reserved1);
    return b;
}

}  // namespace

std::string SerialControlRecord::ToBytes() const {
    const Bytes b = toArray(*this);
    return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

bool SerialControlRecord::ApplyBytes(std::string_view bytes) {
    if (bytes.size() > kSize) {
        return false;
    }
    // Overlay the stored prefix on the current bytes, then decode all fields.
    Bytes b = toArray(*this);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        b[i] = static_cast<unsigned char>(bytes[i]);
    }
    Length = get32(b, 0);
    BaudRate = get32(b, 4);
    Flags = get32(b, 8);
    Reserved = get16(b, 12);
    XonLim = get16(b, 14);
    XoffLim = get16(b, 16);
    ByteSize = b[18];
    ParityMode = b[19];
    StopBitsMode = b[20];
    XonChar = static_cast<char>(b[21]);
    XoffChar = static_cast<char>(b[22]);
    ErrorChar = static_cast<char>(b[23]);
    EofChar = static_cast<char>(b[24]);
    EvtChar = static_cast<char>(b[25]);
    Reserved1 = get16(b, 26);
    return true;
}

}  // namespace voltaro
