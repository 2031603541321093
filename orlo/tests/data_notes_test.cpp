// Notes and annotations in the ORLO data file: rich-text notes of several paragraphs
// through a save and a read, notes written with line breaks after control words, and
// the annotation section after the notes.
#include "orlo/data/TDataBlock.h"
#include "platform/core/TextCodec.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace orlo {
void PrintTo(const TAnnotation& a, std::ostream* os) {
    *os << "{" << a.Time << ", " << a.Value << ", \"" << a.Text << "\"}";
}
}  // namespace orlo

namespace {

using orlo::TAnnotation;
using orlo::TDataBlock;
using orlo::TReadOutcome;

std::string readFixture(const char* name) {
    QFile f(QStringLiteral(TEST_DATA_DIR "/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

TDataBlock smallBlock() {
    TDataBlock b;
    b.DateText = "01.05.2026 14:03:11";
    b.Interval = 5;
    b.ChannelMask = orlo::ChannelVoltage | orlo::ChannelCurrent;
    b.CurrentZero = 2048;
    b.CurrentScale = 100;
    b.VoltageScale = 123;
    b.CurrentMode = 200;
    b.Time = {0.0, 0.1, 0.2};
    b.Voltage = {11.42, 11.40, 11.38};
    b.Current = {3.2, 3.25, 3.3};
    return b;
}

// As UTF-8, so that a failure prints readable text.
std::string notesText(const TDataBlock& b) {
    return platform::RtfReader::read(b.Notes, platform::TextCodec(platform::CodePage::Windows1250))
        .plainText()
        .toStdString();
}

platform::RichText paragraphs(const QStringList& texts) {
    platform::RichText t;
    for (const QString& s : texts) {
        platform::Paragraph p;
        if (!s.isEmpty())
            p.runs.push_back({s, {}});
        t.paragraphs.push_back(p);
    }
    return t;
}

// Rich text of several paragraphs survives a save and a read: the data file joins the
// lines of the notes, and each paragraph must still start with its first word.
TEST(DataFileNotes, ParagraphsSurviveWriteAndRead) {
    const QStringList cases[] = {
        {"Motor hot", "Prop 12x6"},
        {"3S 2200", "12 cells", " leading blank", "", "\\{x}", QString::fromUtf8("Přistání")},
        {"tab\tend\t", "last"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.orl"));
    for (const QStringList& texts : cases) {
        SCOPED_TRACE(texts.join('|').toStdString());
        TDataBlock b = smallBlock();
        platform::RtfWriteOptions options;
        options.codePage = 1250;
        b.Notes = platform::RtfWriter::write(paragraphs(texts), options);
        ASSERT_TRUE(orlo::WriteDataFile(path, b).Ok);
        TDataBlock back;
        const auto r = orlo::ReadDataFile(path, back);
        ASSERT_EQ(r.Outcome, TReadOutcome::Ok);
        EXPECT_EQ(notesText(back), texts.join('\n').toStdString()) << back.Notes;
    }
}

// Data files whose notes a rich-edit control or an office suite wrote, with a line
// break as the delimiter of the control word before it.
TEST(DataFileNotes, LineBreakAfterAControlWordReadsAsItsDelimiter) {
    struct Case {
        const char* fixture;
        const char* expected;
    };
    const Case cases[] = {
        {"notes_richedit_lines.orl",
         "Motor hot\nProp 12x6\nFull power at 6 s\n12 cells, caf\u00e9s at C:\\temp, set {x}"},
        {"notes_office_lines.orl",
         "Motor hot\n starts with a blank\n\u017d\u00e1dn\u00e9\n12 cells"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        TDataBlock b;
        const auto r = orlo::ReadDataBytes(readFixture(c.fixture), b);
        ASSERT_EQ(r.Outcome, TReadOutcome::Ok);
        EXPECT_EQ(r.Count, 2);
        EXPECT_EQ(notesText(b), c.expected) << b.Notes;
        EXPECT_EQ(b.Notes.find('\r'), std::string::npos);
        EXPECT_EQ(b.Notes.find('\n'), std::string::npos);
    }
}

// The join itself: a blank only where a line ends in a control word of rich text.
TEST(DataFileNotes, JoinAddsABlankOnlyAfterAControlWordOfRichText) {
    struct Case {
        const char* name;
        std::string lines;
        std::string notes;
    };
    const Case cases[] = {
        {"word_then_letter", "{\\rtf1 a\\par\r\nb}", "{\\rtf1 a\\par b}"},
        {"number_then_digit", "{\\rtf1\\fs20\r\n12}", "{\\rtf1\\fs20 12}"},
        {"word_then_blank", "{\\rtf1\\b\r\n x}", "{\\rtf1\\b  x}"},
        {"word_then_backslash", "{\\rtf1\\b\r\n\\i x}", "{\\rtf1\\b \\i x}"},
        {"first_line_is_the_signature", "{\\rtf1\r\nx}", "{\\rtf1 x}"},
        {"delimited_already", "{\\rtf1 a\\par \r\nb}", "{\\rtf1 a\\par b}"},
        {"control_symbol", "{\\rtf1 a\\\\\r\nb\\{\r\nc}", "{\\rtf1 a\\\\b\\{c}"},
        {"hex_escape", "{\\rtf1 caf\\'e9\r\ns}", "{\\rtf1 caf\\'e9s}"},
        {"text", "{\\rtf1 a\r\nb}", "{\\rtf1 ab}"},
        {"plain_text_keeps_its_join", "C:\\par\r\nx", "C:\\parx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDataBlock b = smallBlock();
        std::string text = orlo::DataFileText(b);
        const std::size_t at = text.find("<Text>\r\n") + 8;
        text.replace(at, text.find("</Text>") - at, c.lines + "\r\n");
        TDataBlock back;
        ASSERT_EQ(orlo::ReadDataBytes(text, back).Outcome, TReadOutcome::Ok);
        EXPECT_EQ(back.Notes, c.notes);
    }
}

std::vector<TAnnotation> sampleAnnotations() {
    return {
        {-1.5, 0, "before the start"},
        {0.1, 120.25, "climb, full power"},
        {0.1, -3, "same time, later"},
        {7, 8, "two\r\nlines\rand\nmore"},
        {9, 10, ""},
        {11, 12, " \xe8\xe1 8-bit "},
        {2.0e6, 1e-7, "C:\\logs\\a \\n not a line end"},
    };
}

TEST(DataFileAnnotations, WrittenAfterTheNotesAndReadBack) {
    TDataBlock b = smallBlock();
    b.Notes = "{\\rtf1 note\\par}";
    b.Annotations = sampleAnnotations();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.orl"));
    ASSERT_TRUE(orlo::WriteDataFile(path, b).Ok);
    TDataBlock back;
    back.Annotations = {{1, 1, "left over"}};
    const auto r = orlo::ReadDataFile(path, back);
    ASSERT_EQ(r.Outcome, TReadOutcome::Ok);
    EXPECT_EQ(back.Annotations, b.Annotations);

    // A block without annotations reads none and writes no section.
    TDataBlock plain = smallBlock();
    const std::string text = orlo::DataFileText(plain);
    EXPECT_EQ(text.find("Annotations"), std::string::npos);
    ASSERT_EQ(orlo::ReadDataBytes(text, back).Outcome, TReadOutcome::Ok);
    EXPECT_TRUE(back.Annotations.empty());
}

// The section lies after "</Text>", where the reading rules of the data file stop: the
// file up to there is exactly the file of the same block without annotations, and
// it reads the same in every other respect.
TEST(DataFileAnnotations, TheRestOfTheFileReadsAsBefore) {
    TDataBlock without = smallBlock();
    without.Notes = "{\\rtf1 a\\par b\\par}";
    TDataBlock with = smallBlock();
    with.Notes = without.Notes;
    with.Annotations = sampleAnnotations();
    const std::string plainText = orlo::DataFileText(without);
    const std::string annotated = orlo::DataFileText(with);
    ASSERT_GT(annotated.size(), plainText.size());
    EXPECT_EQ(annotated.substr(0, plainText.size()), plainText);
    EXPECT_TRUE(plainText.ends_with("\r\n</Text>\r\n"));
    EXPECT_TRUE(annotated.substr(plainText.size()).starts_with("<Annotations>\r\n"));
    EXPECT_TRUE(annotated.ends_with("\r\n</Annotations>\r\n"));
    // No line of the section could be taken for a tag the reading rules look for.
    const std::string section = annotated.substr(plainText.size());
    for (const char* tag :
         {"\n<Header>\r", "\n<Data>\r", "\n</Data>\r", "\n<Text>\r", "\n</Text>\r"})
        EXPECT_EQ(section.find(tag), std::string::npos) << tag;

    TDataBlock a;
    TDataBlock b;
    const auto ra = orlo::ReadDataBytes(annotated, a);
    const auto rb = orlo::ReadDataBytes(plainText, b);
    ASSERT_EQ(ra.Outcome, TReadOutcome::Ok);
    ASSERT_EQ(rb.Outcome, TReadOutcome::Ok);
    EXPECT_EQ(ra.Count, rb.Count);
    EXPECT_EQ(a.Notes, b.Notes);
    EXPECT_EQ(a.Present, b.Present);
    EXPECT_EQ(a.Capacity, b.Capacity);
    EXPECT_EQ(a.Energy, b.Energy);
    for (auto stat : {&TDataBlock::MaxU, &TDataBlock::MinU, &TDataBlock::AvgU, &TDataBlock::MaxI,
                      &TDataBlock::MinI, &TDataBlock::AvgI, &TDataBlock::MaxP, &TDataBlock::AvgP,
                      &TDataBlock::MaxR, &TDataBlock::BlockC, &TDataBlock::BlockE})
        EXPECT_EQ(a.*stat, b.*stat);
    a.Annotations.clear();
    EXPECT_EQ(orlo::DataFileText(a), plainText);
}

// A section edited by hand: lines that are no annotation are passed over, the order
// comes from the times, and a missing end tag keeps what was read.
TEST(DataFileAnnotations, HandMadeSectionIsReadLeniently) {
    TDataBlock b;
    const auto r = orlo::ReadDataBytes(readFixture("annotations_by_hand.orl"), b);
    ASSERT_EQ(r.Outcome, TReadOutcome::Ok);
    EXPECT_EQ(r.Count, 2);
    EXPECT_EQ(b.Notes, "{\\rtf1 note\\par}");
    const std::vector<TAnnotation> expected = {
        {0.5, 0, "landing, gear down"},
        {3, 120, "climb"},
        {3, 0, "text with a trailing backslash \\"},
    };
    EXPECT_EQ(b.Annotations, expected);
}

}  // namespace
