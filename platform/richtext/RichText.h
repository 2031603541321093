#pragma once
// A plain model of formatted text between RTF bytes and QTextDocument.
//
// The RTF reader and writer work on this model only, so they need no GUI
// application; RichTextDocument converts it to and from a QTextDocument.
// Lengths are in twips (1/20 point), font sizes in half-points, as in RTF.

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

enum class UnderlineKind : std::uint8_t { None, Single, Dotted, Dashed, DashDot, DashDotDot, Wave };
enum class VerticalPosition : std::uint8_t { Normal, Superscript, Subscript };

struct CharStyle {
    QString family;      // empty: the document's default font
    int halfPoints = 0;  // 0: the document's default size
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    UnderlineKind underline = UnderlineKind::None;
    VerticalPosition position = VerticalPosition::Normal;
    std::optional<std::uint32_t> foreground;  // 0xRRGGBB; none: automatic colour
    std::optional<std::uint32_t> background;  // none: no highlight

    bool operator==(const CharStyle&) const = default;
};

struct TextRun {
    QString text;  // U+2028 is a line break inside the paragraph, '\t' a tab
    CharStyle style;

    bool operator==(const TextRun&) const = default;
};

enum class ParagraphAlignment : std::uint8_t { Left, Right, Center, Justify };
enum class TabKind : std::uint8_t { Left, Right, Center, Decimal };

struct TabStop {
    int position = 0;  // twips from the left margin
    TabKind kind = TabKind::Left;

    bool operator==(const TabStop&) const = default;
};

enum class ListKind : std::uint8_t {
    None,
    Bullet,
    Decimal,
    LowerAlpha,
    UpperAlpha,
    LowerRoman,
    UpperRoman
};

struct ListStyle {
    ListKind kind = ListKind::None;
    int start = 1;
    QString prefix;  // text before the number ("(" of "(a)")
    QString suffix;  // text after it ("." of "1.")

    bool operator==(const ListStyle&) const = default;
};

// Line spacing as RTF states it: 0 means single spacing; a positive value is
// "at least" that many twips, a negative one "exactly"; with `multiple` set
// the value is in 1/240 of a line.
struct LineSpacing {
    int value = 0;
    bool multiple = false;

    bool operator==(const LineSpacing&) const = default;
};

struct Paragraph {
    std::vector<TextRun> runs;
    CharStyle markStyle;  // the format of the paragraph mark (shown by an empty line)
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;  // relative to leftIndent; negative for a hanging indent
    int spaceBefore = 0;
    int spaceAfter = 0;
    LineSpacing lineSpacing;
    std::vector<TabStop> tabs;
    ListStyle list;

    bool operator==(const Paragraph&) const = default;
    QString text() const;
};

struct RichText {
    std::vector<Paragraph> paragraphs;  // at least one once read

    bool operator==(const RichText&) const = default;
    // The text with paragraphs separated by '\n'.
    QString plainText() const;
};

}  // namespace platform
