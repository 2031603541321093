#pragma once
// The text a KOVA charger prints for a session of charge and discharge cycles.

#include <string>
#include <vector>

namespace charger_sim {

struct SessionSpec {
    std::string Cycles = "CD";  // one block per letter: C charge, D discharge
    int Battery = 3;            // 0 Battery .. 5 LiX, shown by the header's last character
    int Samples = 20;           // data lines per block
    int IntervalS = 30;         // seconds between samples
    int Channel = 3;
};

// One line per entry, without line ends: a header per block, then its data lines.
std::vector<std::string> KovaSessionLines(const SessionSpec& session);

// Lines of a capture file: split at LF, CR or CR LF (the form feed stays in its line).
std::vector<std::string> SplitCapture(const std::string& bytes);

}  // namespace charger_sim
