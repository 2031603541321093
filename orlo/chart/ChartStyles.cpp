#include "orlo/chart/ChartStyles.h"

#include <algorithm>

namespace orlo {

const std::array<TAxisStyle, 5>& AxisStyles() {
    static const std::array<TAxisStyle, 5> styles{{
        {TBlockChart::AxisLeft, "Voltage [V]", ColorBlue, TValueFormat::Grouped4, true, 0, false, 0,
         true, true, 25, false},
        {TBlockChart::AxisRight, "Current [A]", ColorRed, TValueFormat::Grouped3, false, 11, true,
         10, true, false, 25, true},
        {TBlockChart::AxisRpm, "R [RPM]", ColorOlive, TValueFormat::Integer, false, 11, true, 10,
         true, false, 25, true},
        {TBlockChart::AxisAh, "C [Ah]", ColorGreen, TValueFormat::Grouped3, false, 11, true, 10,
         true, false, 25, false},
        {TBlockChart::AxisBottom, TimeTitleSeconds, ColorBlack, TValueFormat::Grouped3, true, 0,
         false, 0, false, false, 0, false},
    }};
    return styles;
}

const TAxisStyle& AxisStyle(TBlockChart::Axis axis) {
    for (const TAxisStyle& s : AxisStyles())
        if (s.Axis == axis)
            return s;
    return AxisStyles().back();
}

const TSlotStyle& SlotStyle(int slot) {
    static const std::array<TSlotStyle, 5> kSlots{{
        {TBlockChart::AxisLeft, ColorBlue, true, " (Volt)"},
        {TBlockChart::AxisRight, ColorRed, true, " (Curr)"},
        {TBlockChart::AxisRpm, ColorOlive, true, " (RPM)"},
        {TBlockChart::AxisAh, ColorGreen, true, " (Ah)"},
        {TBlockChart::AxisLeft, ColorBlack, false, nullptr},
    }};
    return kSlots[static_cast<std::size_t>(std::clamp(slot, 0, 4))];
}

TPenStyle PenOfStyleIndex(int styleIndex) {
    if (styleIndex < 0)
        styleIndex = 0;
    return LineStyleTable[static_cast<std::size_t>(styleIndex) % LineStyleTable.size()];
}

}  // namespace orlo
