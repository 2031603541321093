#pragma once
// Builds project files byte by byte from the format tables, independently of the
// program's own writer, so tests can compare against it and feed older versions.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace voltaro::testing {

class Bytes {
public:
    Bytes& u8(unsigned v) {
        s_.push_back(static_cast<char>(v & 0xFF));
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Bytes& f32(float v) { return u32(std::bit_cast<std::uint32_t>(v)); }
    Bytes& f64(double v) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
    }
    Bytes& raw(std::string_view data) {
        s_.append(data);
        return *this;
    }
    // Short strings only (below 255 characters): a one-byte length.
    Bytes& str(std::string_view text) { return u8(static_cast<unsigned>(text.size())).raw(text); }
    Bytes& newClass(std::string_view name) { return u16(0xFFFF).u16(0).u16(name.size()).raw(name); }

    const std::string& str() const { return s_; }
    std::size_t size() const { return s_.size(); }

private:
    std::string s_;
};

struct FixtureSample {
    float T, U, I, C, E, R;
    std::string text;
};

struct FixtureBlock {
    std::string name;
    bool selected = false;
    std::string created;
    std::string info;
    std::int32_t battery = 0;
    std::int32_t lineType = -1;
    std::int32_t intensity = -1;
    std::string protocol;
    std::vector<FixtureSample> samples;
};

struct FixtureSession {
    std::string name;
    std::string protocol;
    std::vector<FixtureBlock> blocks;
};

// A sample record: 108 bytes, or the first 104 (no R) before version 5.
inline void appendSample(Bytes& b, const FixtureSample& s, int version) {
    b.f32(s.T);
    std::string text = s.text.substr(0, 80);
    text.resize(80, '\0');
    b.raw(text).u32(0).f32(s.U).f32(s.I).f32(s.C).f32(s.E);
    if (version >= 5) {
        b.f32(s.R);
    }
}

// The graph settings record with built-in defaults, in the layout of a version.
// A non-zero axisMinBase marks the axes (minimum base + index, the I axis on the
// right) so a test can tell which fields were read.
inline void appendDefaultGraph(Bytes& b, int version, double axisMinBase = 0.0) {
    b.str("").str("").str("Arial").str("Arial");
    if (version >= 3) {
        b.u32(3);
    }
    b.u32(3).u32(2);                // legend font, overall font
    b.u32(1).u32(1).u32(1).u32(0);  // grids, legend, overlap
    b.u32(1);                       // cursor kind
    const int axes = version >= 5 ? 5 : 4;
    for (int i = 0; i < axes; ++i) {
        b.f64(axisMinBase == 0.0 ? 0.0 : axisMinBase + i).u32(1).f64(10.0).u32(1);
        b.u32(i < 3 ? 1 : 0);
        if (version >= 2) {
            b.u32(axisMinBase != 0.0 && i == 1 ? 1 : 0).u32(0);
        }
    }
}

// A whole project file of the given version, written the way its version did.
inline std::string projectFile(const std::vector<FixtureSession>& sessions, int version,
                               double axisMinBase = 0.0) {
    Bytes b;
    b.u16(static_cast<unsigned>(version));
    b.str("").str("").str("").str("").u32(0);
    appendDefaultGraph(b, version, axisMinBase);
    b.u16(static_cast<unsigned>(sessions.size()));
    unsigned next = 1;
    unsigned sessionClass = 0, blockClass = 0;
    for (const auto& s : sessions) {
        if (sessionClass == 0) {
            b.newClass("CDataModule");
            sessionClass = next++;
        } else {
            b.u16(0x8000 | sessionClass);
        }
        const unsigned sessionIndex = next++;
        b.u16(0).u32(static_cast<std::uint32_t>(s.protocol.size())).raw(s.protocol).str(s.name);
        b.u16(static_cast<unsigned>(s.blocks.size()));
        for (const auto& k : s.blocks) {
            if (blockClass == 0) {
                b.newClass("CDataBlock");
                blockClass = next++;
            } else {
                b.u16(0x8000 | blockClass);
            }
            next++;
            b.u16(sessionIndex);
            b.u32(static_cast<std::uint32_t>(k.protocol.size())).raw(k.protocol);
            b.str(k.name).u32(k.selected ? 1 : 0).str(k.created).str(k.info);
            b.u32(0).u32(0).i32(k.battery);
            if (version >= 4) {
                b.i32(k.lineType).i32(k.intensity);
            } else {
                for (int i = 0; i < 8; ++i) {
                    b.u32(0xA5A5A5A5u);  // ignored by readers
                }
            }
            b.u16(static_cast<unsigned>(k.samples.size()));
            for (const auto& smp : k.samples) {
                appendSample(b, smp, version);
            }
        }
    }
    return b.str();
}

}  // namespace voltaro::testing
