#pragma once
// One measured point of a data block, kept exactly as it is stored in project
// files (108 bytes, little-endian), so whole arrays are read and written in one go.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

namespace voltaro {

struct DataSample {
    static constexpr std::size_t kTextSize = 80;

    float T = 0.0f;             // seconds since the device's start of the run
    char text[kTextSize] = {};  // received line, NUL-padded, unterminated at 80 chars
    std::int32_t reserved = 0;  // always 0, so an 80-character text still ends
    float U = 0.0f;             // V
    float I = 0.0f;             // A
    float C = 0.0f;             // Ah, derived by the block
    float E = 0.0f;             // Wh, derived by the block
    float R = 0.0f;             // rpm, 0 when the device gives none

    // The stored line, without its padding.
    std::string_view Text() const;
    // Copies the first 80 characters of the line and pads with NUL.
    void SetText(std::string_view line);
};

static_assert(std::is_trivially_copyable_v<DataSample>);
static_assert(std::is_standard_layout_v<DataSample>);
static_assert(sizeof(DataSample) == 108);
static_assert(offsetof(DataSample, T) == 0);
static_assert(offsetof(DataSample, text) == 4);
static_assert(offsetof(DataSample, reserved) == 84);
static_assert(offsetof(DataSample, U) == 88);
static_assert(offsetof(DataSample, I) == 92);
static_assert(offsetof(DataSample, C) == 96);
static_assert(offsetof(DataSample, E) == 100);
static_assert(offsetof(DataSample, R) == 104);
// Sample arrays go to and from files byte for byte.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);

// The first 104 bytes: the record of project files before revolutions were added.
inline constexpr std::size_t kDataSampleSizeWithoutR = offsetof(DataSample, R);

}  // namespace voltaro
