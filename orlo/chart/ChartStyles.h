#pragma once
// The fixed looks of the block chart: its five axes, the four measured slots and the
// line style of each block.
//
// Plain data, so that the adapter over the plotting library and the tests read the
// same table.

#include "orlo/chart/TBlockChart.h"

#include <QString>

#include <array>
#include <cstdint>

namespace orlo {

struct TRgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const TRgb&) const = default;
};

inline constexpr TRgb ColorBlue{0, 0, 255};
inline constexpr TRgb ColorRed{255, 0, 0};
inline constexpr TRgb ColorOlive{128, 128, 0};
inline constexpr TRgb ColorGreen{0, 128, 0};
inline constexpr TRgb ColorSilver{192, 192, 192};
inline constexpr TRgb ColorBlack{0, 0, 0};

// How the labels of an axis print their values.
enum class TValueFormat {
    Grouped3,  // "#,##0.###": thousands grouped, up to three decimals
    Grouped4,  // "#,##0.####"
    Integer    // "####0": no grouping, no decimals
};

struct TAxisStyle {
    TBlockChart::Axis Axis;
    const char* Title;  // the bottom title changes with the min:sec box
    TRgb Color;         // of title and labels
    TValueFormat Format;
    bool Grid;      // silver dotted
    int TitleSize;  // 0: the default size
    bool TitleBold;
    int LabelSize;  // 0: the default size
    bool LabelBold;
    bool LabelArial;
    int LabelSeparation;  // percent of the label size kept free between labels
    bool RightSide;
};

// Left, right, revolutions, capacity, bottom.
const std::array<TAxisStyle, 5>& AxisStyles();
const TAxisStyle& AxisStyle(TBlockChart::Axis axis);

inline constexpr const char* TimeTitleSeconds = "Time (sec)";
inline constexpr const char* TimeTitleMinSec = "Time (min:sec)";

struct TSlotStyle {
    TBlockChart::Axis Axis;
    TRgb Color;
    bool HasColor;       // slot 4 keeps the chart's default colour
    const char* Suffix;  // appended to the block name; nullptr: no title
};

const TSlotStyle& SlotStyle(int slot);

// Pen styles as the graph setup stores them.
enum TPenStyle : std::int32_t {
    PenSolid = 0,
    PenDash = 1,
    PenDot = 2,
    PenDashDot = 3,
    PenDashDotDot = 4
};

// The pen of each block style index: solid, dotted, dashed, dash-dot, dash-dot-dot.
inline constexpr std::array<TPenStyle, 5> LineStyleTable{PenSolid, PenDot, PenDash, PenDashDot,
                                                         PenDashDotDot};
// Index 5 and above wrap to the table, so no style index ever reads past it.
TPenStyle PenOfStyleIndex(int styleIndex);

}  // namespace orlo
