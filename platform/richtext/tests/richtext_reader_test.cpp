// The RTF reader on rich-edit output written by hand and on broken or hostile input.
#include "platform/richtext/RtfReader.h"

#include "platform/richtext/tests/PrintQt.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace platform {
namespace {

std::string fixture(const char* name) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string rtf(const std::string& body) {
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
           "{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 " +
           body + "}";
}

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(RtfReaderFixture, CzechNotesFromARichEditControl) {
    const RichText t = RtfReader::read(fixture("notes_1250.rtf"));
    ASSERT_EQ(t.paragraphs.size(), 6u);

    const Paragraph& p0 = t.paragraphs[0];
    EXPECT_EQ(p0.text(), text("Zkouška motoru: tah, otáčky, proud."));
    ASSERT_EQ(p0.runs.size(), 7u);
    EXPECT_EQ(p0.runs[0].style.family, "Arial");
    EXPECT_EQ(p0.runs[0].style.halfPoints, 16);
    EXPECT_FALSE(p0.runs[0].style.bold);
    EXPECT_EQ(p0.runs[1].text, "tah");
    EXPECT_TRUE(p0.runs[1].style.bold);
    EXPECT_EQ(p0.runs[3].text, text("otáčky"));
    EXPECT_TRUE(p0.runs[3].style.italic);
    EXPECT_EQ(p0.runs[5].text, "proud");
    EXPECT_EQ(p0.runs[5].style.underline, UnderlineKind::Single);
    EXPECT_EQ(p0.runs[6].style.underline, UnderlineKind::None);
    EXPECT_EQ(p0.alignment, ParagraphAlignment::Left);

    const Paragraph& p1 = t.paragraphs[1];
    EXPECT_EQ(p1.text(), text("Žádné problémy"));
    EXPECT_EQ(p1.alignment, ParagraphAlignment::Center);
    ASSERT_EQ(p1.runs.size(), 1u);
    EXPECT_EQ(p1.runs[0].style.foreground, 0xFF0000u);
    EXPECT_EQ(p1.runs[0].style.halfPoints, 24);
    // The mark after "\cf0\fs16" has the automatic colour and 8 points.
    EXPECT_FALSE(p1.markStyle.foreground.has_value());
    EXPECT_EQ(p1.markStyle.halfPoints, 16);

    for (int i : {2, 3}) {
        const Paragraph& p = t.paragraphs[static_cast<size_t>(i)];
        EXPECT_EQ(p.list.kind, ListKind::Bullet) << i;
        EXPECT_EQ(p.leftIndent, 720) << i;
        EXPECT_EQ(p.firstIndent, -720) << i;
    }
    // The rendered bullet ({\pntext ...}) is not text.
    EXPECT_EQ(t.paragraphs[2].text(), "Baterie 3S");
    EXPECT_EQ(t.paragraphs[3].text(), "Vrtule 10x6");

    const Paragraph& p4 = t.paragraphs[4];
    EXPECT_EQ(p4.list.kind, ListKind::None);
    EXPECT_EQ(p4.text(), text("Napětí:\t11,1 V\u2028max\t12,6 V"));
    EXPECT_EQ(p4.leftIndent, 360);
    EXPECT_EQ(p4.rightIndent, 240);
    EXPECT_EQ(p4.firstIndent, 0);
    const std::vector<TabStop> tabs{{1440, TabKind::Left}, {4320, TabKind::Right}};
    EXPECT_EQ(p4.tabs, tabs);

    const Paragraph& p5 = t.paragraphs[5];
    EXPECT_EQ(p5.text(), "Courier");
    ASSERT_EQ(p5.runs.size(), 1u);
    EXPECT_EQ(p5.runs[0].style.family, "Courier New");
    EXPECT_TRUE(p5.runs[0].style.strikeOut);
    EXPECT_EQ(p5.runs[0].style.background, 0x0000FFu);
    EXPECT_TRUE(p5.tabs.empty());
}

TEST(RtfReaderFixture, WesternProtocolWithListsUnicodeAndPictures) {
    const RichText t = RtfReader::read(fixture("protocol_1252.rtf"));
    ASSERT_EQ(t.paragraphs.size(), 5u);

    EXPECT_EQ(t.paragraphs[0].text(), "11.12.2026 10:15 Data block 1 created");
    EXPECT_EQ(t.paragraphs[0].spaceAfter, 200);
    EXPECT_EQ(t.paragraphs[0].lineSpacing, (LineSpacing{276, true}));

    const Paragraph& p1 = t.paragraphs[1];
    EXPECT_EQ(p1.text(), text("Charge à 0.5 C"));
    EXPECT_EQ(p1.list.kind, ListKind::Decimal);
    EXPECT_EQ(p1.list.suffix, ".");
    EXPECT_EQ(p1.list.prefix, "");
    EXPECT_EQ(p1.list.start, 1);
    EXPECT_EQ(p1.firstIndent, -360);
    EXPECT_EQ(p1.leftIndent, 720);

    const Paragraph& p2 = t.paragraphs[2];
    EXPECT_EQ(p2.list, p1.list);
    EXPECT_EQ(p2.text(), text("Discharge at 20 °C"));
    ASSERT_EQ(p2.runs.size(), 2u);
    EXPECT_EQ(p2.runs[1].text, text("20 °C"));
    EXPECT_EQ(p2.runs[1].style.foreground, 0x008000u);

    // A Cyrillic font decodes its bytes as 1251 although the document is 1252;
    // \uN skips \ucN fallback characters.
    const Paragraph& p3 = t.paragraphs[3];
    EXPECT_EQ(p3.list.kind, ListKind::None);
    ASSERT_EQ(p3.runs.size(), 2u);
    EXPECT_EQ(p3.runs[0].text, text("Протокол"));
    EXPECT_EQ(p3.runs[0].style.family, "Arial CYR");
    EXPECT_EQ(p3.runs[1].text, text(" €\uF0B7‰ end"));
    EXPECT_EQ(p3.runs[1].style.family, "Times New Roman");

    // The picture and the object (and the braces inside \bin data) leave nothing.
    EXPECT_EQ(t.paragraphs[4].text(), "");
}

struct TextCase {
    const char* name;
    std::string body;
    const char* expected;  // UTF-8, paragraphs separated by '\n'
};

class RtfReaderText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfReaderText, ReadsTheText) {
    const RichText t = RtfReader::read(rtf(GetParam().body));
    EXPECT_EQ(t.plainText(), text(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfReaderText,
    ::testing::Values(
        TextCase{"escapes", "a\\\\b\\{c\\}d", "a\\b{c}d"},
        TextCase{"code_page_bytes", "\\'e8\\'9a\\'f8\\'9e\\'fd\\'e1\\'ed\\'e9", "čšřžýáíé"},
        TextCase{"upper_case_hex", "\\'C8\\'8A", "ČŠ"},
        TextCase{"unicode_with_fallback", "\\u268?\\u345?x", "Čřx"},
        TextCase{"negative_unicode", "\\u-3913?", "\uF0B7"},
        TextCase{"uc0_has_no_fallback", "\\uc0\\u8364 x", "€x"},
        TextCase{"uc2_skips_escapes", "\\uc2\\u8364\\'80\\'80x", "€x"},
        TextCase{"fallback_stops_at_group_end", "{\\uc3\\u8364 a}bc", "€bc"},
        TextCase{"uc_is_group_scoped", "{\\uc2 }\\u8364??x", "€?x"},
        TextCase{"surrogate_pair", "\\u-10179?\\u-8704?", "😀"},
        TextCase{"named_characters",
                 "\\lquote a\\rquote \\ldblquote b\\rdblquote \\emdash\\endash\\bullet\\~x",
                 "‘a’“b”—–•\u00A0x"},
        TextCase{"line_ends_in_source_are_not_text", "ab\r\ncd\nef", "abcdef"},
        TextCase{"backslash_newline_is_a_paragraph", "ab\\\r\ncd", "ab\ncd"},
        TextCase{"space_after_control_word_is_eaten", "\\b  x\\b0  y", " x y"},
        TextCase{"nested_groups_keep_text", "a{b{c{d}e}f}g", "abcdefg"},
        TextCase{"ignorable_destination_dropped", "a{\\*\\unknowndest junk {nested} more}b", "ab"},
        TextCase{"ignorable_known_inside_skipped", "a{\\*\\fldinst HYPERLINK \"x\"}b", "ab"},
        TextCase{"field_result_kept",
                 "{\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}}", "link"},
        TextCase{"unknown_control_words_skipped", "a\\foo\\bar-12 b\\zzz99c", "abc"},
        TextCase{"unknown_destination_text_kept", "{\\mydest kept}", "kept"},
        TextCase{"hidden_text_dropped", "a{\\v hidden}b", "ab"},
        TextCase{"stylesheet_and_info_dropped",
                 "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}x", "x"},
        TextCase{"picture_with_binary_braces", "a{\\pict\\bin3 }}}b}c", "ac"},
        TextCase{"header_footer_dropped", "{\\header H}{\\footer F}x", "x"},
        TextCase{"table_cells_as_tabs", "\\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row c",
                 "a\tb\t\nc"},
        TextCase{"control_characters_dropped", "a\\u1?\\u27?b\tc", "ab\tc"},
        TextCase{"text_after_the_document_ignored", "a}after", "a"},
        TextCase{"long_control_word", "a\\" + std::string(100, 'x') + " b", "ab"},
        TextCase{"huge_parameter", "\\fs99999999999999999999 a\\u99999999999?b", "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReader, ParagraphsAndTheFinalMark) {
    // A rich-edit control ends its text with \par: no empty paragraph follows.
    EXPECT_EQ(RtfReader::read(rtf("a\\par b\\par\r\n")).paragraphs.size(), 2u);
    // An empty line at the end is a paragraph of its own.
    const RichText t = RtfReader::read(rtf("a\\par\\par "));
    ASSERT_EQ(t.paragraphs.size(), 2u);
    EXPECT_EQ(t.paragraphs[1].text(), "");
    // No \par at all still keeps the paragraph and its properties.
    const RichText c = RtfReader::read(rtf("\\qc centred"));
    ASSERT_EQ(c.paragraphs.size(), 1u);
    EXPECT_EQ(c.paragraphs[0].alignment, ParagraphAlignment::Center);
    // An empty document is one empty paragraph.
    EXPECT_EQ(RtfReader::read("{\\rtf1}").paragraphs.size(), 1u);
    EXPECT_EQ(RtfReader::read("").paragraphs.size(), 1u);
}

TEST(RtfReader, CharacterPropertiesAreScopedToGroupsAndResetByPlain) {
    const RichText t =
        RtfReader::read(rtf("{\\b\\i\\ul\\strike\\cf1\\highlight1\\fs30 A}B\\b\\super C\\plain D"
                            "\\sub E\\nosupersub F\\uldash G\\ulwave H\\ul0 I"));
    ASSERT_EQ(t.paragraphs.size(), 1u);
    const auto& runs = t.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 9u);
    const CharStyle& a = runs[0].style;
    EXPECT_TRUE(a.bold && a.italic && a.strikeOut);
    EXPECT_EQ(a.underline, UnderlineKind::Single);
    EXPECT_EQ(a.foreground, 0xFF0000u);
    EXPECT_EQ(a.background, 0xFF0000u);
    EXPECT_EQ(a.halfPoints, 30);

    CharStyle b;
    b.family = "Arial";
    b.halfPoints = 20;
    EXPECT_EQ(runs[1].style, b);
    EXPECT_TRUE(runs[2].style.bold);
    EXPECT_EQ(runs[2].style.position, VerticalPosition::Superscript);
    // \plain: default font (from \deff) and the default size of 12 points.
    EXPECT_EQ(runs[3].text, "D");
    EXPECT_FALSE(runs[3].style.bold);
    EXPECT_EQ(runs[3].style.halfPoints, 24);
    EXPECT_EQ(runs[3].style.family, "Arial");
    EXPECT_EQ(runs[4].style.position, VerticalPosition::Subscript);
    EXPECT_EQ(runs[5].style.position, VerticalPosition::Normal);
    EXPECT_EQ(runs[6].style.underline, UnderlineKind::Dashed);
    EXPECT_EQ(runs[7].style.underline, UnderlineKind::Wave);
    EXPECT_EQ(runs[8].style.underline, UnderlineKind::None);
}

TEST(RtfReader, ColourIndexesOutsideTheTableAreAutomatic) {
    const RichText t = RtfReader::read(rtf("\\cf7 a\\cf1 b\\cf0 c\\highlight9 d"));
    const auto& runs = t.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, "a");
    EXPECT_FALSE(runs[0].style.foreground.has_value());
    EXPECT_EQ(runs[1].style.foreground, 0xFF0000u);
    EXPECT_EQ(runs[2].text, "cd");
    EXPECT_FALSE(runs[2].style.background.has_value());
}

TEST(RtfReader, ParagraphPropertiesLastUntilPard) {
    const RichText t = RtfReader::read(
        rtf("\\qr\\li100\\ri50\\fi-20\\sb30\\sa40\\tqc\\tx500\\tqdec\\tx900 a\\par b\\par"
            "\\pard c\\par\\qj\\sl-300\\slmult0 d\\par"));
    ASSERT_EQ(t.paragraphs.size(), 4u);
    for (int i : {0, 1}) {
        const Paragraph& p = t.paragraphs[static_cast<size_t>(i)];
        EXPECT_EQ(p.alignment, ParagraphAlignment::Right);
        EXPECT_EQ(p.leftIndent, 100);
        EXPECT_EQ(p.rightIndent, 50);
        EXPECT_EQ(p.firstIndent, -20);
        EXPECT_EQ(p.spaceBefore, 30);
        EXPECT_EQ(p.spaceAfter, 40);
        const std::vector<TabStop> tabs{{500, TabKind::Center}, {900, TabKind::Decimal}};
        EXPECT_EQ(p.tabs, tabs);
    }
    Paragraph plain;
    plain.runs = t.paragraphs[2].runs;
    plain.markStyle = t.paragraphs[2].markStyle;
    EXPECT_EQ(t.paragraphs[2], plain);
    EXPECT_EQ(t.paragraphs[3].alignment, ParagraphAlignment::Justify);
    EXPECT_EQ(t.paragraphs[3].lineSpacing, (LineSpacing{-300, false}));
}

TEST(RtfReader, NumberedListStyles) {
    struct Case {
        const char* numbering;
        ListKind kind;
        int start;
        const char* prefix;
        const char* suffix;
    };
    const Case cases[] = {
        {"\\pnlvlbody\\pndec{\\pntxta .}", ListKind::Decimal, 1, "", "."},
        {"\\pnlvlbody\\pnlcltr\\pnstart3{\\pntxtb (}{\\pntxta )}", ListKind::LowerAlpha, 3, "(",
         ")"},
        {"\\pnlvlbody\\pnucltr", ListKind::UpperAlpha, 1, "", ""},
        {"\\pnlvlbody\\pnlcrm{\\pntxta .}", ListKind::LowerRoman, 1, "", "."},
        {"\\pnlvlbody\\pnucrm\\pnstart4", ListKind::UpperRoman, 4, "", ""},
        {"\\pnlvlblt\\pnf1{\\pntxtb \\'b7}", ListKind::Bullet, 1, "", ""},
        {"\\pnlvlcont", ListKind::None, 1, "", ""},
    };
    for (const Case& c : cases) {
        const RichText t = RtfReader::read(rtf(std::string("{\\pntext 1.\\tab}{\\*\\pn") +
                                               c.numbering + "}\\fi-360\\li360 x\\par"));
        ASSERT_EQ(t.paragraphs.size(), 1u) << c.numbering;
        const ListStyle& l = t.paragraphs[0].list;
        EXPECT_EQ(l.kind, c.kind) << c.numbering;
        EXPECT_EQ(l.start, c.start) << c.numbering;
        EXPECT_EQ(l.prefix, c.prefix) << c.numbering;
        EXPECT_EQ(l.suffix, c.suffix) << c.numbering;
        EXPECT_EQ(t.paragraphs[0].text(), "x") << c.numbering;
    }
}

TEST(RtfReader, FontTableVariants) {
    // Entries without their own group, a name in the font's code page and a
    // font used before the table lists it.
    const RichText t = RtfReader::read(
        "{\\rtf1\\ansi\\ansicpg1252\\deff1{\\fonttbl\\f0\\fnil Tahoma;\\f1\\fcharset238 "
        "P\\'f8\\'edli\\'9a;{\\f2\\cpg1251 \\'c0;}}\\f0 a\\f1 b\\'e8\\f2 c\\'c0\\f9 d\\'e8}");
    const auto& runs = t.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].style.family, "Tahoma");
    EXPECT_EQ(runs[1].style.family, text("Příliš"));
    EXPECT_EQ(runs[1].text, text("bč"));
    EXPECT_EQ(runs[2].style.family, text("А"));
    EXPECT_EQ(runs[2].text, text("cА"));
    // An unknown font has no family and the document's code page.
    EXPECT_EQ(runs[3].style.family, "");
    EXPECT_EQ(runs[3].text, text("dè"));

    // Control characters are no part of a name, and a name is trimmed even
    // when the table never ends.
    EXPECT_EQ(RtfReader::read("{\\rtf1{\\fonttbl{\\f0 Ar\\'01ial;}}\\f0 x}")
                  .paragraphs[0]
                  .runs[0]
                  .style.family,
              "Arial");
    EXPECT_EQ(
        RtfReader::read("{\\rtf1{\\fonttbl{\\f0\\fnil  Tahoma ").paragraphs[0].markStyle.family,
        "Tahoma");
}

TEST(RtfReader, HostileNestingIsBoundedAndKeepsReading) {
    const int depth = 200000;
    std::string deep = "{\\rtf1 a";
    deep += std::string(depth, '{');
    deep += "\\b b";
    deep += std::string(depth, '}');
    deep += "c}";
    const RichText t = RtfReader::read(deep);
    ASSERT_EQ(t.paragraphs.size(), 1u);
    EXPECT_EQ(t.paragraphs[0].text(), "abc");
    // The bold of the deepest group ends with its group.
    ASSERT_EQ(t.paragraphs[0].runs.size(), 3u);
    EXPECT_TRUE(t.paragraphs[0].runs[1].style.bold);
    EXPECT_FALSE(t.paragraphs[0].runs[2].style.bold);

    // Unbalanced: never closed, or closed too often.
    EXPECT_EQ(RtfReader::read("{\\rtf1 " + std::string(5000, '{') + "x").plainText(), "x");
    EXPECT_EQ(RtfReader::read("{\\rtf1 x}}}}}y").plainText(), "x");
}

TEST(RtfReader, BinaryLengthBeyondTheEndIsSafe) {
    EXPECT_EQ(RtfReader::read("{\\rtf1 a{\\pict\\bin2147483647 x").plainText(), "a");
    EXPECT_EQ(RtfReader::read("{\\rtf1 a{\\pict\\bin-5 }b").plainText(), "ab");
    // Input that ends inside a control word or escape.
    EXPECT_EQ(RtfReader::read("{\\rtf1 a\\").plainText(), "a");
    EXPECT_EQ(RtfReader::read("{\\rtf1 a\\'").plainText(), "a");
    EXPECT_EQ(RtfReader::read("{\\rtf1 a\\'4").plainText(), "a");
    EXPECT_EQ(RtfReader::read("{\\rtf1 a\\u").plainText(), "a");
}

// Whether the next byte after these would run into a control word: the question the
// data file asks before it joins the lines of its notes.
TEST(RtfReader, EndsWithControlWord) {
    struct Case {
        const char* bytes;
        bool expected;
    };
    const Case cases[] = {
        {"\\par", true},     {"text\\loch", true}, {"\\fs24", true},
        {"\\li-360", true},  {"\\u-8704", true},   {"{\\rtf1", true},
        {"\\\\\\par", true},  // an escaped backslash, then a control word
        {"\\par ", false},    // already delimited
        {"\\\\par", false},   // an escaped backslash and the text "par"
        {"\\\\", false},     {"\\{", false},       {"\\}", false},
        {"\\'e9", false},     // hex escape
        {"\\'3bpar", false},  // hex escape and text
        {"\\li-", false},     // "-" without digits is text
        {"\\u8364?", false}, {"\\", false},        {"Motor hot", false},
        {"12x6", false},     {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RtfReader::endsWithControlWord(c.bytes), c.expected) << c.bytes;
}

TEST(RtfReaderPlainText, TextWithoutTheRtfSignatureLoadsAsPlainText) {
    struct Case {
        std::string bytes;
        const char* expected;
        size_t paragraphs;
    };
    const Case cases[] = {
        {"", "", 1},
        {"one line", "one line", 1},
        {"a\r\nb\nc\rd", "a\nb\nc\nd", 4},
        {"a\r\n", "a", 1},
        {"a\r\n\r\n", "a\n", 2},
        {"\x8e\xe1"
         "dn\xe9 {\\b x}",
         "Žádné {\\b x}", 1},
        {" {\\rtf1 not at the start}", " {\\rtf1 not at the start}", 1},
        {"{\\rt", "{\\rt", 1},
        {std::string("a\0b\x01"
                     "c\td\r\n\0",
                     10),
         "abc\td\n", 2},
    };
    for (const Case& c : cases) {
        const RichText t = RtfReader::read(c.bytes, TextCodec(CodePage::Windows1250));
        EXPECT_EQ(t.plainText(), text(c.expected)) << c.bytes;
        EXPECT_EQ(t.paragraphs.size(), c.paragraphs) << c.bytes;
        for (const Paragraph& p : t.paragraphs)
            for (const TextRun& r : p.runs)
                EXPECT_EQ(r.style, CharStyle{}) << c.bytes;
    }
    EXPECT_FALSE(RtfReader::isRtf(" {\\rtf1}"));
    EXPECT_TRUE(RtfReader::isRtf("{\\rtf1}"));
}

}  // namespace
}  // namespace platform
