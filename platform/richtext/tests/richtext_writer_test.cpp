// The RTF writer: the form of its output and model round trips through the reader.
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"

#include "platform/richtext/tests/PrintQt.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

CharStyle arial(int halfPoints = 20) {
    CharStyle s;
    s.family = "Arial";
    s.halfPoints = halfPoints;
    return s;
}

Paragraph paragraph(std::vector<TextRun> runs, CharStyle mark = arial()) {
    Paragraph p;
    p.runs = std::move(runs);
    p.markStyle = std::move(mark);
    return p;
}

// The body of the output between the font/colour tables and the end.
std::string body(const std::string& rtf) {
    const size_t start = rtf.find("\\uc1");
    return start == std::string::npos ? rtf : rtf.substr(start + 4);
}

TEST(RtfWriter, WritesTheFormOfARichEditControl) {
    CharStyle bold = arial();
    bold.bold = true;
    RichText t;
    t.paragraphs.push_back(paragraph({{"Ahoj ", arial()}, {text("světe"), bold}}));
    Paragraph centred = paragraph({{text("€ a ✓"), arial()}});
    centred.alignment = ParagraphAlignment::Center;
    t.paragraphs.push_back(centred);

    EXPECT_EQ(RtfWriter::write(t),
              "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1029"
              "{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\r\n"
              "\\viewkind4\\uc1\\pard\\f0\\fs20 Ahoj \\b sv\\'ecte\\b0\\par \r\n"
              "\\pard\\qc\\'80 a \\u10003?\\par \r\n"
              "}\r\n");
}

TEST(RtfWriter, EscapesTextForTheCodePage) {
    struct Case {
        const char* text;
        int codePage;
        const char* expected;
    };
    const Case cases[] = {
        {"{a\\b}", 1250, "\\{a\\\\b\\}"},
        {"a\tb", 1250, " a\\tab b"},
        {"a\u2028b", 1250, " a\\line b"},
        {"łŁ", 1250, "\\'b3\\'a3"},
        {"łé", 1252, "\\u322?\\'e9"},
        {"Жж", 1251, "\\'c6\\'e6"},
        {"Ж", 28591, "\\u1046?"},  // written as 1252, like Latin-1 text
        {"😀", 1250, "\\u-10179?\\u-8704?"},
        {"\uFFFF", 1250, "\\u-1?"},
        {"9", 1250, " 9"},  // a digit after a control word needs the delimiter
        {"a\x01z", 1250, " az"},
    };
    for (const Case& c : cases) {
        RichText t;
        t.paragraphs.push_back(paragraph({{text(c.text), arial()}}));
        RtfWriteOptions options;
        options.codePage = c.codePage;
        const std::string rtf = RtfWriter::write(t, options);
        EXPECT_EQ(body(rtf), std::string("\\pard\\f0\\fs20") + c.expected + "\\par \r\n}\r\n")
            << c.text;
        const int page = c.codePage == 28591 ? 1252 : c.codePage;
        EXPECT_NE(rtf.find("\\ansicpg" + std::to_string(page) + "\\"), std::string::npos);
    }
}

TEST(RtfWriter, TablesOfFontsAndColours) {
    CharStyle courier = arial(24);
    courier.family = "Courier New";
    courier.foreground = 0xFF0000;
    CharStyle times = arial();
    times.family = "Times New Roman";
    times.background = 0xFFFF00;
    times.foreground = 0xFF0000;
    CharStyle odd = arial();
    odd.family = text("Písmo;B");
    RichText t;
    t.paragraphs.push_back(paragraph({{"a", courier}, {"b", times}, {"c", odd}, {"d", {}}}));

    const std::string rtf = RtfWriter::write(t);
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}"
                       "{\\f1\\fmodern\\fcharset238 Courier New;}"
                       "{\\f2\\froman\\fcharset238 Times New Roman;}"
                       "{\\f3\\fnil\\fcharset238 P\\'edsmo\\'3bB;}}\r\n"
                       "{\\colortbl ;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}\r\n"),
              std::string::npos)
        << rtf;
    EXPECT_EQ(body(rtf),
              "\\pard\\f1\\fs24\\cf1 a\\f2\\fs20\\highlight2 b\\f3\\cf0\\highlight0 c"
              "\\f0 d\\par \r\n}\r\n");
}

TEST(RtfWriter, ListsCarryTheirNumberText) {
    RichText t;
    ListStyle bullet{ListKind::Bullet, 1, {}, {}};
    ListStyle alpha{ListKind::LowerAlpha, 3, "(", ")"};
    ListStyle roman{ListKind::UpperRoman, 4, {}, "."};
    for (const ListStyle& l : {bullet, bullet, alpha, alpha, roman}) {
        Paragraph p = paragraph({{"x", arial()}});
        p.list = l;
        p.firstIndent = -360;
        p.leftIndent = 360;
        t.paragraphs.push_back(p);
    }
    const std::string rtf = RtfWriter::write(t);
    // The bullet needs the Symbol font.
    EXPECT_NE(rtf.find("{\\f1\\fnil\\fcharset2 Symbol;}"), std::string::npos) << rtf;
    EXPECT_EQ(body(rtf),
              "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
              "\\fi-360\\li360\\f0\\fs20 x\\par \r\n"
              "{\\pntext\\f1\\'b7\\tab}x\\par \r\n"
              "\\pard{\\pntext\\f0 (c)\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart3\\pnlcltr"
              "{\\pntxtb (}{\\pntxta )}}\\fi-360\\li360 x\\par \r\n"
              "{\\pntext\\f0 (d)\\tab}x\\par \r\n"
              "\\pard{\\pntext\\f0 IV.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart4\\pnucrm"
              "{\\pntxta .}}\\fi-360\\li360 x\\par \r\n"
              "}\r\n");
}

TEST(RtfWriter, LinesEndWithCrLf) {
    RichText t;
    for (int i = 0; i < 3; ++i)
        t.paragraphs.push_back(paragraph({{"line", arial()}}));
    const std::string rtf = RtfWriter::write(t);
    size_t lineEnds = 0;
    for (size_t i = 0; i < rtf.size(); ++i)
        if (rtf[i] == '\n') {
            ++lineEnds;
            ASSERT_GT(i, 0u);
            EXPECT_EQ(rtf[i - 1], '\r') << i;
        }
    EXPECT_EQ(lineEnds, 5u);  // font table, three paragraphs, the end
}

// Models that exercise every property; each must read back unchanged.
std::vector<RichText> sampleModels() {
    std::vector<RichText> models;

    RichText styles;
    {
        Paragraph p;
        CharStyle s = arial(17);
        p.runs.push_back({"plain ", s});
        s.bold = true;
        p.runs.push_back({"bold ", s});
        s.italic = true;
        p.runs.push_back({"italic ", s});
        for (UnderlineKind u :
             {UnderlineKind::Single, UnderlineKind::Dotted, UnderlineKind::Dashed,
              UnderlineKind::DashDot, UnderlineKind::DashDotDot, UnderlineKind::Wave}) {
            s.underline = u;
            p.runs.push_back({"u", s});
        }
        s.strikeOut = true;
        p.runs.push_back({"strike", s});
        s.position = VerticalPosition::Superscript;
        p.runs.push_back({"sup", s});
        s.position = VerticalPosition::Subscript;
        s.foreground = 0x123456;
        p.runs.push_back({"sub", s});
        s = arial(48);
        s.family = "Courier New";
        s.background = 0xABCDEF;
        p.runs.push_back({text("velká ŽLUŤ"), s});
        p.markStyle = s;
        styles.paragraphs.push_back(p);
        styles.paragraphs.push_back(paragraph({}, arial(30)));  // an empty line
        styles.paragraphs.push_back(paragraph({{text("€ ✓ 😀 ∑ \\{}"), arial()}}));
    }
    models.push_back(styles);

    RichText layout;
    {
        Paragraph p = paragraph({{text("Napětí:\t11,1 V\u2028max\t12,6"), arial()}});
        p.alignment = ParagraphAlignment::Right;
        p.leftIndent = 567;
        p.rightIndent = 100;
        p.firstIndent = 283;
        p.spaceBefore = 120;
        p.spaceAfter = 200;
        p.lineSpacing = {276, true};
        p.tabs = {{1440, TabKind::Left},
                  {2000, TabKind::Center},
                  {3000, TabKind::Right},
                  {4000, TabKind::Decimal}};
        layout.paragraphs.push_back(p);
        Paragraph q = p;
        layout.paragraphs.push_back(q);  // unchanged: no \pard between
        q.alignment = ParagraphAlignment::Justify;
        q.lineSpacing = {-300, false};
        q.tabs.clear();
        layout.paragraphs.push_back(q);
        q.alignment = ParagraphAlignment::Center;
        q.lineSpacing = {320, false};
        layout.paragraphs.push_back(q);
    }
    models.push_back(layout);

    RichText lists;
    {
        const ListStyle kinds[] = {
            {ListKind::Bullet, 1, {}, {}},      {ListKind::Decimal, 1, {}, "."},
            {ListKind::Decimal, 7, "<", ">"},   {ListKind::LowerAlpha, 1, {}, ")"},
            {ListKind::UpperAlpha, 2, {}, {}},  {ListKind::LowerRoman, 1, "(", ")"},
            {ListKind::UpperRoman, 9, {}, "."},
        };
        for (const ListStyle& l : kinds) {
            for (int i = 0; i < 2; ++i) {
                Paragraph p = paragraph({{QString("item %1").arg(i), arial()}});
                p.list = l;
                p.firstIndent = -360;
                p.leftIndent = 720;
                lists.paragraphs.push_back(p);
            }
            lists.paragraphs.push_back(paragraph({{"between", arial()}}));
        }
    }
    models.push_back(lists);
    return models;
}

std::string withoutLineBreaks(std::string s) {
    std::erase_if(s, [](char c) { return c == '\r' || c == '\n'; });
    return s;
}

// The data file keeps notes as lines and joins them without a separator, so the
// output must mean the same with its line breaks removed.
TEST(RtfWriter, ModelsReadBackUnchangedWithAndWithoutLineBreaks) {
    for (int page : {1250, 1252, 1251}) {
        RtfWriteOptions options;
        options.codePage = page;
        int index = 0;
        for (const RichText& model : sampleModels()) {
            const std::string rtf = RtfWriter::write(model, options);
            for (const std::string& form : {rtf, withoutLineBreaks(rtf)}) {
                const RichText back = RtfReader::read(form);
                ASSERT_EQ(back.paragraphs.size(), model.paragraphs.size())
                    << page << " " << index << "\n"
                    << form;
                for (size_t i = 0; i < model.paragraphs.size(); ++i)
                    EXPECT_EQ(back.paragraphs[i], model.paragraphs[i])
                        << "page " << page << " model " << index << " paragraph " << i << "\n"
                        << form;
            }
            ++index;
        }
    }
}

TEST(RtfWriter, TextWithoutFontOrSizeTakesTheDefaults) {
    RichText t;
    t.paragraphs.push_back(paragraph({{"x", {}}}, {}));
    RtfWriteOptions options;
    options.defaultFamily = "Tahoma";
    options.defaultHalfPoints = 17;
    const RichText back = RtfReader::read(RtfWriter::write(t, options));
    ASSERT_EQ(back.paragraphs.size(), 1u);
    ASSERT_EQ(back.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(back.paragraphs[0].runs[0].style.family, "Tahoma");
    EXPECT_EQ(back.paragraphs[0].runs[0].style.halfPoints, 17);
}

}  // namespace
}  // namespace platform
