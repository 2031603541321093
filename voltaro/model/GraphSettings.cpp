#include "voltaro/model/GraphSettings.h"

#include "voltaro/model/ArchiveReader.h"
#include "voltaro/model/ArchiveWriter.h"

namespace voltaro {

GraphSettings::GraphSettings() {
    // E and R start hidden; the member initialisers hold every other default.
    m_axes[3].shown = 0;
    m_axes[kAxisR].shown = 0;
}

void GraphSettings::ResetToBuiltInDefaults(bool czechFonts) {
    const std::int32_t cursorKind = m_nCursorKind;
    *this = GraphSettings();
    std::string font(kDefaultFont);
    if (czechFonts) {
        font += kCzechFontSuffix;
    }
    m_strTitleFont = font;
    m_strSubtitleFont = font;
    m_nCursorKind = cursorKind;
}

void GraphSettings::Store(ArchiveWriter& ar, bool withTitles) const {
    if (withTitles) {
        ar.writeString(m_strSubtitle);
        ar.writeString(m_strTitle);
    }
    ar.writeString(m_strTitleFont);
    ar.writeString(m_strSubtitleFont);
    ar.writeInt32(m_nTitlesFont);
    ar.writeInt32(m_nLegendFont);
    ar.writeInt32(m_nOverallFont);
    ar.writeInt32(m_bHorzGrid);
    ar.writeInt32(m_bVertGrid);
    ar.writeInt32(m_bLegend);
    ar.writeInt32(m_bOverlapAxes);
    ar.writeInt32(m_nCursorKind);
    for (const GraphAxis& axis : m_axes) {
        ar.writeDouble(axis.min);
        ar.writeInt32(axis.autoMin);
        ar.writeDouble(axis.max);
        ar.writeInt32(axis.autoMax);
        ar.writeInt32(axis.shown);
        ar.writeInt32(axis.right);
        ar.writeInt32(axis.reference);
    }
}

void GraphSettings::Load(ArchiveReader& ar, int version, bool withTitles) {
    if (withTitles) {
        m_strSubtitle = ar.readString();
        m_strTitle = ar.readString();
    }
    m_strTitleFont = ar.readString();
    m_strSubtitleFont = ar.readString();
    if (version > 2) {
        m_nTitlesFont = ar.readInt32();
    }
    m_nLegendFont = ar.readInt32();
    m_nOverallFont = ar.readInt32();
    m_bHorzGrid = ar.readInt32();
    m_bVertGrid = ar.readInt32();
    m_bLegend = ar.readInt32();
    m_bOverlapAxes = ar.readInt32();
    m_nCursorKind = ar.readInt32();
    // Files before version 5 know no R axis; it keeps what it had.
    const int axes = version >= 5 ? kAxisCount : kAxisCount - 1;
    for (int i = 0; i < axes; ++i) {
        GraphAxis& axis = m_axes[static_cast<std::size_t>(i)];
        axis.min = ar.readDouble();
        axis.autoMin = ar.readInt32();
        axis.max = ar.readDouble();
        axis.autoMax = ar.readInt32();
        axis.shown = ar.readInt32();
        if (version > 1) {
            axis.right = ar.readInt32();
            axis.reference = ar.readInt32();
        }
    }
}

std::string GraphSettings::DefaultBytes() const {
    ArchiveWriter ar;
    ar.writeDword(kStoredVersion);
    Store(ar, false);
    return ar.bytes();
}

bool GraphSettings::ApplyDefaultBytes(std::string_view bytes) {
    try {
        ArchiveReader ar(bytes);
        const std::uint32_t version = ar.readDword();
        if (version == 0 || version > static_cast<std::uint32_t>(kStoredVersion)) {
            return false;
        }
        GraphSettings read = *this;
        read.Load(ar, static_cast<int>(version), false);
        *this = std::move(read);
        return true;
    } catch (const ArchiveError&) {
        return false;
    }
}

}  // namespace voltaro
