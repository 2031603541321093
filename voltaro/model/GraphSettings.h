#pragma once
// The graph settings record of a project: titles, fonts, grids, legend, axis
// arrangement, cursor kind and one axis record per quantity U, I, C, E, R.
// The Graph Setup dialog (CGraphSetupDlg) edits it; the document stores it in
// the project file and, without the titles, as the user's default.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace voltaro {

class ArchiveReader;
class ArchiveWriter;

struct GraphAxis {
    double min = 0.0;
    std::int32_t autoMin = 1;
    double max = 10.0;
    std::int32_t autoMax = 1;
    std::int32_t shown = 1;
    std::int32_t right = 0;      // placed on the right-hand side
    std::int32_t reference = 0;  // index of the left axis it is drawn against

    bool operator==(const GraphAxis&) const = default;
};

class GraphSettings {
public:
    static constexpr int kAxisCount = 5;  // U, I, C, E, R
    static constexpr int kAxisR = 4;
    // The version written into project files and into the stored default.
    static constexpr int kStoredVersion = 5;
    static constexpr std::string_view kDefaultFont = "Arial";
    static constexpr std::string_view kCzechFontSuffix = " CE";

    GraphSettings();

    // Everything to its built-in value except the cursor kind, which a reset
    // leaves as it was. Czech resources use the " CE" variant of the font.
    void ResetToBuiltInDefaults(bool czechFonts = false);

    // The stored form, in the given file version when reading (titles only in
    // project files).
    void Store(ArchiveWriter& ar, bool withTitles) const;
    void Load(ArchiveReader& ar, int version, bool withTitles);

    // The user's default: a DWORD version followed by the stored form without
    // titles. Apply returns false, leaving the record as it was, when the bytes
    // are not a readable default.
    std::string DefaultBytes() const;
    bool ApplyDefaultBytes(std::string_view bytes);

    bool operator==(const GraphSettings&) const = default;

    std::int32_t m_bHorzGrid = 1;
    std::int32_t m_bVertGrid = 1;
    std::int32_t m_bLegend = 1;
    std::int32_t m_bOverlapAxes = 0;
    std::int32_t m_bXSeconds = 0;  // not stored
    std::string m_strSubtitle;
    std::string m_strTitle;
    std::int32_t m_nLegendFont = 3;
    std::int32_t m_nTitlesFont = 3;
    std::int32_t m_nOverallFont = 2;
    std::string m_strTitleFont{kDefaultFont};
    std::string m_strSubtitleFont{kDefaultFont};
    std::array<GraphAxis, kAxisCount> m_axes;
    std::int32_t m_nCursorKind = 1;
};

}  // namespace voltaro
