#include "KovaSessionText.h"

namespace charger_sim {

std::vector<std::string> KovaSessionLines(const SessionSpec& session) {
    std::vector<std::string> lines;
    // Battery index n is marked by character code 31 + n; a letter means "Battery".
    const char mark =
        session.Battery > 0 && session.Battery <= 5 ? static_cast<char>(31 + session.Battery) : 'X';
    for (char kind : session.Cycles) {
        const bool discharge = kind == 'D' || kind == 'd';
        lines.push_back(std::string("*** KOVA Charger v2.10 ") + mark);
        for (int k = 0; k < session.Samples; ++k) {
            const int t = k * session.IntervalS;
            // A battery pack of 10 cells: the voltage rises while charging and
            // falls while discharging.
            const int mv = discharge ? 13500 - 25 * k : 12000 + 25 * k;
            const int ma = k == 0 ? 0 : (discharge ? 1800 : 2000);
            lines.push_back(std::to_string(session.Channel) + ":" + std::to_string(t) + ":" +
                            std::to_string(mv) + ":" + std::to_string(ma) +
                            (discharge ? "-" : " ") + "0");
        }
    }
    return lines;
}

std::vector<std::string> SplitCapture(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

}  // namespace charger_sim
