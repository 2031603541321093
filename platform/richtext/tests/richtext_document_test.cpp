// RTF to QTextDocument and back: fixtures, round trips and documents made in an editor.
#include "platform/richtext/RichTextDocument.h"
#include "platform/richtext/RtfCodec.h"
#include "platform/richtext/RtfReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

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

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Block texts joined by '\n'; line breaks inside a block stay U+2028.
QString blockTexts(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out.join('\n');
}

struct Fragment {
    QString text;
    QTextCharFormat format;
};

std::vector<Fragment> fragments(const QTextBlock& block) {
    std::vector<Fragment> out;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        out.push_back({it.fragment().text(), it.fragment().charFormat()});
    return out;
}

QTextBlockFormat withoutListLink(QTextBlockFormat f) {
    f.clearProperty(QTextFormat::ObjectIndex);
    return f;
}

// Two documents are the same when every block has the same format, list format
// and mark format, and the same fragments with the same formats.
void expectSameDocument(const QTextDocument& a, const QTextDocument& b) {
    ASSERT_EQ(a.blockCount(), b.blockCount());
    QTextBlock x = a.begin();
    QTextBlock y = b.begin();
    for (int i = 0; x.isValid(); ++i, x = x.next(), y = y.next()) {
        SCOPED_TRACE(i);
        EXPECT_EQ(x.text(), y.text());
        EXPECT_TRUE(withoutListLink(x.blockFormat()) == withoutListLink(y.blockFormat()));
        EXPECT_TRUE(x.charFormat() == y.charFormat());
        ASSERT_EQ(x.textList() != nullptr, y.textList() != nullptr);
        if (x.textList()) {
            EXPECT_TRUE(x.textList()->format() == y.textList()->format());
            EXPECT_EQ(x.textList()->itemNumber(x), y.textList()->itemNumber(y));
        }
        const auto fx = fragments(x);
        const auto fy = fragments(y);
        ASSERT_EQ(fx.size(), fy.size());
        for (size_t k = 0; k < fx.size(); ++k) {
            EXPECT_EQ(fx[k].text, fy[k].text);
            EXPECT_TRUE(fx[k].format == fy[k].format) << fx[k].text.toStdString();
        }
    }
}

TEST(RichTextDocument, FixtureShowsItsFormatting) {
    QTextDocument doc;
    RtfCodec::load(doc, fixture("notes_1250.rtf"));
    ASSERT_EQ(doc.blockCount(), 6);
    EXPECT_EQ(blockTexts(doc),
              text("Zkouška motoru: tah, otáčky, proud.\nŽádné problémy\nBaterie 3S\n"
                   "Vrtule 10x6\nNapětí:\t11,1 V\u2028max\t12,6 V\nCourier"));

    const QTextBlock b0 = doc.findBlockByNumber(0);
    const auto f0 = fragments(b0);
    ASSERT_EQ(f0.size(), 7u);
    EXPECT_EQ(f0[1].text, "tah");
    EXPECT_EQ(f0[1].format.fontWeight(), QFont::Bold);
    EXPECT_EQ(f0[0].format.fontWeight(), QFont::Normal);
    EXPECT_TRUE(f0[3].format.fontItalic());
    EXPECT_TRUE(f0[5].format.fontUnderline());
    EXPECT_EQ(f0[0].format.fontPointSize(), 8.0);
    EXPECT_EQ(f0[0].format.fontFamilies().toStringList(), QStringList{"Arial"});

    const QTextBlock b1 = doc.findBlockByNumber(1);
    EXPECT_EQ(b1.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(fragments(b1)[0].format.foreground().color(), QColor(255, 0, 0));

    const QTextBlock b2 = doc.findBlockByNumber(2);
    const QTextBlock b3 = doc.findBlockByNumber(3);
    ASSERT_NE(b2.textList(), nullptr);
    EXPECT_EQ(b2.textList(), b3.textList());
    EXPECT_EQ(b2.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_DOUBLE_EQ(b2.blockFormat().leftMargin(), 48.0);  // 720 twips
    EXPECT_EQ(doc.findBlockByNumber(4).textList(), nullptr);

    const QTextBlockFormat f4 = doc.findBlockByNumber(4).blockFormat();
    EXPECT_DOUBLE_EQ(f4.leftMargin(), 24.0);
    EXPECT_DOUBLE_EQ(f4.rightMargin(), 16.0);
    const QList<QTextOption::Tab> tabs = f4.tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 96.0);
    EXPECT_EQ(tabs[0].type, QTextOption::LeftTab);
    EXPECT_DOUBLE_EQ(tabs[1].position, 288.0);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);

    const auto f5 = fragments(doc.findBlockByNumber(5));
    ASSERT_EQ(f5.size(), 1u);
    EXPECT_TRUE(f5[0].format.fontStrikeOut());
    EXPECT_EQ(f5[0].format.background().color(), QColor(0, 0, 255));
}

TEST(RichTextDocument, NumberedListsKeepTheirNumbering) {
    QTextDocument doc;
    RtfCodec::load(doc, fixture("protocol_1252.rtf"));
    const QTextBlock b1 = doc.findBlockByNumber(1);
    const QTextBlock b2 = doc.findBlockByNumber(2);
    ASSERT_NE(b1.textList(), nullptr);
    EXPECT_EQ(b1.textList(), b2.textList());
    EXPECT_EQ(b1.textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(b1.textList()->itemText(b1), "1.");
    EXPECT_EQ(b2.textList()->itemText(b2), "2.");
    EXPECT_EQ(b1.blockFormat().lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_DOUBLE_EQ(b1.blockFormat().lineHeight(), 115.0);
}

TEST(RichTextDocument, OurRtfReadsBackToTheSameDocument) {
    for (const char* name : {"notes_1250.rtf", "protocol_1252.rtf"}) {
        SCOPED_TRACE(name);
        QTextDocument first;
        RtfCodec::load(first, fixture(name));
        const std::string saved = RtfCodec::save(first);
        QTextDocument second;
        RtfCodec::load(second, saved);
        expectSameDocument(first, second);
        // And saving again changes nothing.
        EXPECT_EQ(RtfCodec::save(second), saved);
    }
}

TEST(RichTextDocument, ModelsPassThroughADocumentUnchanged) {
    for (const char* name : {"notes_1250.rtf", "protocol_1252.rtf"}) {
        const RichText model = RtfReader::read(fixture(name));
        QTextDocument doc;
        RichTextDocument::fill(doc, model);
        const RichText back = RichTextDocument::extract(doc);
        ASSERT_EQ(back.paragraphs.size(), model.paragraphs.size()) << name;
        for (size_t i = 0; i < model.paragraphs.size(); ++i)
            EXPECT_EQ(back.paragraphs[i], model.paragraphs[i]) << name << " paragraph " << i;
    }
}

// Effective formatting of a fragment as a reader of the text sees it.
struct Look {
    QString text;
    QString family;
    double points;
    bool bold, italic, underline, strike;
    QColor foreground, background;

    bool operator==(const Look&) const = default;
};

std::vector<Look> looks(const QTextDocument& doc) {
    std::vector<Look> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (const Fragment& f : fragments(b)) {
            const QFont font = f.format.font().resolve(doc.defaultFont());
            out.push_back(
                {f.text, font.family(), font.pointSizeF(), font.bold(), font.italic(),
                 font.underline(), font.strikeOut(),
                 f.format.hasProperty(QTextFormat::ForegroundBrush) ? f.format.foreground().color()
                                                                    : QColor(),
                 f.format.hasProperty(QTextFormat::BackgroundBrush) ? f.format.background().color()
                                                                    : QColor()});
        }
    return out;
}

TEST(RichTextDocument, DocumentEditedByTheUserSurvivesSaveAndLoad) {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 8));
    QTextCursor c(&doc);
    QTextCharFormat f;
    c.insertText("plain ", f);
    f.setFontWeight(QFont::Bold);
    c.insertText(text("tučně "), f);
    f.setFontItalic(true);
    f.setFontUnderline(true);
    c.insertText("both ", f);
    QTextCharFormat g;
    g.setFontFamilies({"Courier New"});
    g.setFontPointSize(14);
    g.setForeground(QColor(0, 128, 0));
    g.setBackground(QColor(255, 255, 0));
    g.setFontStrikeOut(true);
    c.insertText(text("Žluťoučký kůň\tand € ✓"), g);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right, QTextCharFormat());
    c.insertText("right", QTextCharFormat());
    c.insertList(QTextListFormat::ListDecimal);  // a new block, the list's first
    c.insertText("one", QTextCharFormat());
    c.insertBlock();
    c.insertText("two", QTextCharFormat());
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText("after", QTextCharFormat());

    QTextDocument back;
    back.setDefaultFont(QFont("Arial", 8));
    RtfCodec::load(back, RtfCodec::save(doc));

    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    const std::vector<Look> want = looks(doc);
    const std::vector<Look> got = looks(back);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].text, want[i].text);
        EXPECT_EQ(got[i].family, want[i].family) << i;
        EXPECT_EQ(got[i].points, want[i].points) << i;
        EXPECT_EQ(got[i].bold, want[i].bold) << i;
        EXPECT_EQ(got[i].italic, want[i].italic) << i;
        EXPECT_EQ(got[i].underline, want[i].underline) << i;
        EXPECT_EQ(got[i].strike, want[i].strike) << i;
        EXPECT_EQ(got[i].foreground, want[i].foreground) << i;
        EXPECT_EQ(got[i].background, want[i].background) << i;
    }
    EXPECT_EQ(back.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    const QTextBlock one = back.findBlockByNumber(2);
    const QTextBlock two = back.findBlockByNumber(3);
    ASSERT_NE(one.textList(), nullptr);
    EXPECT_EQ(one.textList(), two.textList());
    EXPECT_EQ(one.textList()->itemText(one), "1.");
    EXPECT_EQ(two.textList()->itemText(two), "2.");
    EXPECT_EQ(back.findBlockByNumber(4).textList(), nullptr);
}

TEST(RichTextDocument, SavedBytesUseTheSystemCodePage) {
    struct Case {
        CodePage system;
        const char* header;
        const char* text;
    };
    const Case cases[] = {
        {CodePage::Windows1250, "{\\rtf1\\ansi\\ansicpg1250\\deff0",
         "\\'8elu\\'9dou\\'e8k\\'fd k\\'f9\\'f2 \\u232?\\'80\\par"},
        {CodePage::Windows1252, "{\\rtf1\\ansi\\ansicpg1252\\deff0",
         "\\'8elu\\u357?ou\\u269?k\\'fd k\\u367?\\u328? \\'e8\\'80\\par"},
        {CodePage::Latin1, "{\\rtf1\\ansi\\ansicpg1252\\deff0",
         "\\'8elu\\u357?ou\\u269?k\\'fd k\\u367?\\u328? \\'e8\\'80\\par"},
    };
    const CodePage before = TextCodec::system().codePage();
    for (const Case& c : cases) {
        TextCodec::setSystemCodePage(c.system);
        QTextDocument doc;
        doc.setPlainText(text("Žluťoučký kůň è€"));
        const std::string rtf = RtfCodec::save(doc);
        EXPECT_EQ(rtf.rfind(c.header, 0), 0u) << rtf;
        EXPECT_NE(rtf.find(c.text), std::string::npos) << rtf;
    }
    TextCodec::setSystemCodePage(before);
}

TEST(RichTextDocument, PlainTextLoadsAsPlainText) {
    QTextDocument doc;
    RtfCodec::load(doc, QByteArray("first line\r\nsecond {\\b line}"));
    ASSERT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(doc.toPlainText(), "first line\nsecond {\\b line}");
    EXPECT_FALSE(doc.begin().begin().fragment().charFormat().hasProperty(QTextFormat::FontWeight));
}

TEST(RichTextDocument, LoadingReplacesTheTextAndIsNotAnEditToUndo) {
    QTextDocument doc;
    QTextCursor(&doc).insertText("old text");
    ASSERT_TRUE(doc.isUndoAvailable());
    RtfCodec::load(doc, std::string("{\\rtf1 new}"));
    EXPECT_EQ(doc.toPlainText(), "new");
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_TRUE(doc.isUndoRedoEnabled());
    EXPECT_FALSE(doc.isModified());
}

TEST(RichTextDocument, PastedHtmlSizesAndFontsAreKept) {
    QTextDocument doc;
    doc.setHtml(
        "<p><span style=\"font-family:'Courier New'; font-size:16px\">px</span>"
        "<span style=\"font-size:9pt; font-weight:600\">pt</span></p>");
    const RichText saved = RtfReader::read(RtfCodec::save(doc));
    ASSERT_EQ(saved.paragraphs.size(), 1u);
    const auto& runs = saved.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, "px");
    EXPECT_EQ(runs[0].style.family, "Courier New");
    EXPECT_EQ(runs[0].style.halfPoints, 24);  // 16 px at 96 dpi are 12 points
    EXPECT_EQ(runs[1].style.halfPoints, 18);
    EXPECT_TRUE(runs[1].style.bold);
}

TEST(RichTextDocument, ObjectsInTheDocumentAreNotSaved) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("a");
    QTextImageFormat image;
    image.setName("picture.png");
    c.insertImage(image);
    c.insertText("b");
    QTextDocument back;
    RtfCodec::load(back, RtfCodec::save(doc));
    EXPECT_EQ(back.toPlainText(), "ab");
}

}  // namespace
}  // namespace platform
