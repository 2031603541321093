#pragma once
// Axis settings of the block chart: one block of fields per axis.
//
// The record is copied whole into the graph setup dialog and back. The capacity
// axis fields and the line styles and widths live only for the run; the rest is kept
// in the "GraphSetup" section of the settings file.

#include <cstdint>

namespace platform {
class IniFile;
}

namespace orlo {

struct TGraphSetup {
    bool VoltageAuto = true;
    double VoltageMin = 0;
    double VoltageMax = 100;
    std::int32_t VoltageLineStyle = 0;  // pen styles: 0 solid, 1 dashed, 2 dotted,
    std::int32_t VoltageLineWidth = 1;  // 3 dash-dot, 4 dash-dot-dot
    bool RPMAuto = true;
    double RPMMin = 0;
    double RPMMax = 100;
    std::int32_t RPMLineStyle = 2;
    std::int32_t RPMLineWidth = 1;
    bool CurrentAuto = true;
    double CurrentMin = 0;
    double CurrentMax = 100;
    std::int32_t CurrentLineStyle = 1;
    std::int32_t CurrentLineWidth = 1;
    bool TimeAuto = true;
    double TimeMin = 0;
    double TimeMax = 100;
    bool AhAuto = true;
    double AhMin = 0;
    double AhMax = 100;
    std::int32_t AhLineStyle = 2;
    std::int32_t AhLineWidth = 1;
    // Set when the graph setup dialog was confirmed; only then is the section rewritten.
    bool Modified = false;

    bool operator==(const TGraphSetup&) const = default;
};

// The defaults of every field (Modified false).
TGraphSetup GraphSetupDefaults();

// The twelve stored keys; a missing or unreadable key keeps the value setup holds.
void ReadGraphSetup(const platform::IniFile& ini, TGraphSetup& setup);
// Writes the twelve keys in the order voltage, revolutions, current, time (min, max,
// automatic each).
void WriteGraphSetup(platform::IniFile& ini, const TGraphSetup& setup);

}  // namespace orlo
