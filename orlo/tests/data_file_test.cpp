// The ORLO data file: exact text written, reading back, malformed input.
#include "orlo/data/TDataBlock.h"
#include "platform/testing/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace {

using orlo::TDataBlock;
using orlo::TReadOutcome;

std::string readAll(const QString& path) {
    return platform::testing::readFileBytes(path).value_or("<missing>");
}

void writeAll(const QString& path, const std::string& bytes) {
    ASSERT_TRUE(platform::testing::writeFileBytes(path, bytes)) << path.toStdString();
}

TDataBlock sampleBlock() {
    TDataBlock b;
    b.DateText = "11.12.2026 10:15:02 \xe8";  // an 8-bit byte stays a byte
    b.Interval = 5;
    b.ChannelMask = 0xC000;
    b.CurrentZero = 2048;
    b.CurrentScale = -100;
    b.VoltageScale = 123;
    b.CurrentMode = 200;
    b.Extra = -7;
    b.Time = {0.0, 0.1, 0.2, 0.3};
    b.Voltage = {11.42, 11.404, -0.001, 12345678.9};
    b.Current = {3.2, 3.256, -1.5, 0};
    b.Notes = "{\\rtf1 note}";
    return b;
}

// The header of sampleBlock() as it must appear in a file.
const std::string kHeader =
    "<Header>\r\n11.12.2026 10:15:02 \xe8\r\n5\r\n49152\r\n2048\r\n-100\r\n123\r\n200\r\n-7\r\n"
    "</Header>\r\n";

TEST(DataFileWrite, ExactTextWithPointAndFixedDecimals) {
    const std::string expected = kHeader +
                                 "<Data>\r\n"
                                 "0.0,11.42,3.20\r\n"
                                 "0.1,11.40,3.26\r\n"
                                 "0.2,0.00,-1.50\r\n"
                                 "0.3,12345678.90,0.00\r\n"
                                 "</Data>\r\n"
                                 "<Text>\r\n"
                                 "{\\rtf1 note}\r\n"
                                 "</Text>\r\n";
    EXPECT_EQ(orlo::DataFileText(sampleBlock()), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.orl"));
    const auto w = orlo::WriteDataFile(path, sampleBlock());
    EXPECT_TRUE(w.Ok);
    EXPECT_EQ(readAll(path), expected);
}

TEST(DataFileWrite, ColumnsFollowTheNonEmptySeries) {
    struct Case {
        bool u, i, r;
        const char* line;
    };
    const Case cases[] = {
        {false, false, false, "0.5"},
        {true, false, false, "0.5,1.00"},
        {false, true, false, "0.5,2.00"},
        {false, false, true, "0.5,3000.00"},
        {false, true, true, "0.5,2.00,3000.00"},
        {true, true, true, "0.5,1.00,2.00,3000.00"},
    };
    for (const Case& c : cases) {
        TDataBlock b;
        b.Time = {0.5};
        if (c.u)
            b.Voltage = {1};
        if (c.i)
            b.Current = {2};
        if (c.r)
            b.Rpm = {3000};
        const std::string text = orlo::DataFileText(b);
        EXPECT_NE(text.find(std::string("<Data>\r\n") + c.line + "\r\n</Data>"), std::string::npos)
            << c.line;
    }
}

TEST(DataFileWrite, NumbersNeverUseAnExponentOrTheLocale) {
    TDataBlock b;
    b.Time = {1e7, 123456.75};
    b.Rpm = {1e20, 0.004};
    const std::string text = orlo::DataFileText(b);
    EXPECT_NE(text.find("10000000.0,100000000000000000000.00\r\n"), std::string::npos) << text;
    // 123456.75 is exact in binary: the tie goes to the even digit.
    EXPECT_NE(text.find("123456.8,0.00\r\n"), std::string::npos) << text;
    const auto data = text.find("<Data>");
    EXPECT_EQ(text.substr(data, text.find("</Data>") - data).find_first_of("eE"),
              std::string::npos);
}

// Correctly rounded reference: to_chars of the exact binary value, without the minus
// sign of a value that rounds to zero.
std::string referenceFixed(double v, int decimals) {
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string text(buf, res.ptr);
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-')
        text.erase(0, 1);
    return text;
}

TEST(DataFileWrite, RoundsEveryValueLikeTheExactDecimal) {
    // Values near halves of the last digit (x.xx5, x.x5 in decimal) are where a
    // shortcut through v * 100 would go wrong; mix them with plain and huge values.
    std::vector<double> values;
    std::uint64_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return seed >> 11;
    };
    for (int k = -20000; k <= 20000; ++k) {
        values.push_back(k / 1000.0 + 0.0005);
        values.push_back(k / 200.0);
        values.push_back(k * 1.005);
        values.push_back(k / 20.0 + 1e-9);
    }
    for (int k = 0; k < 40000; ++k) {
        const double unit = static_cast<double>(next()) / 9007199254740992.0;  // [0, 1)
        values.push_back((unit - 0.5) * std::pow(10.0, static_cast<double>(next() % 16)));
    }
    for (double v : {0.125, 0.375, 2.675, 1e11 + 0.005, 1e12 + 0.25, 9.999999e11, 1e300, -0.004,
                     -0.05, 5e-324})
        values.push_back(v);

    TDataBlock b;
    b.Time = values;
    b.Rpm = values;
    const std::string text = orlo::DataFileText(b);
    std::size_t pos = text.find("<Data>\r\n") + 8;
    for (double v : values) {
        const std::size_t end = text.find("\r\n", pos);
        const std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        ASSERT_EQ(line, referenceFixed(v, 1) + "," + referenceFixed(v, 2)) << v;
    }
}

TEST(DataFileWrite, FailedWriteReportsAndKeepsWhatWasThere) {
    QTemporaryDir dir;
    // The target is a folder: nothing can replace it.
    const QString folder = dir.filePath(QStringLiteral("taken.orl"));
    ASSERT_TRUE(QDir().mkdir(folder));
    auto w = orlo::WriteDataFile(folder, sampleBlock());
    EXPECT_FALSE(w.Ok);
    EXPECT_EQ(w.Error, QStringLiteral("Error in writing file."));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    w = orlo::WriteDataFile(dir.filePath(QStringLiteral("no/such/folder/a.orl")), sampleBlock());
    EXPECT_FALSE(w.Ok);
    EXPECT_EQ(w.Error, QStringLiteral("Error in writing file."));

    // A successful write replaces an older file completely and leaves no temporary behind.
    const QString path = dir.filePath(QStringLiteral("b.orl"));
    writeAll(path, std::string(5000, 'x'));
    ASSERT_TRUE(orlo::WriteDataFile(path, sampleBlock()).Ok);
    EXPECT_EQ(readAll(path), orlo::DataFileText(sampleBlock()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("b.orl")});
}

#if defined(__unix__)
// Runs f while no file may grow beyond limit bytes: a write past it fails part way
// through, as on a full disk.
template <typename F>
void withFileSizeLimit(rlim_t limit, F f) {
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = old;
    lowered.rlim_cur = limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    f();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
}

TEST(DataFileWrite, AWriteThatFailsPartWayKeepsThePreviousFile) {
    TDataBlock big = sampleBlock();
    big.Time.assign(20000, 1.5);
    big.Voltage.assign(20000, 11.42);
    big.Current.assign(20000, 3.2);
    ASSERT_GT(orlo::DataFileText(big).size(), 200000u);
    ASSERT_GT(orlo::ExportTextBytes("a.orl", big).size(), 200000u);

    QTemporaryDir dir;
    const QString orl = dir.filePath(QStringLiteral("kept.orl"));
    const QString csv = dir.filePath(QStringLiteral("kept.csv"));
    const std::string before = orlo::DataFileText(sampleBlock());
    writeAll(orl, before);
    writeAll(csv, "old export\r\n");

    orlo::TWriteResult w;
    orlo::TExportResult e;
    withFileSizeLimit(64 * 1024, [&] {
        w = orlo::WriteDataFile(orl, big);
        e = orlo::ExportText(QStringLiteral("a.orl"), csv, big);
    });
    EXPECT_FALSE(w.Ok);
    EXPECT_EQ(w.Error, QStringLiteral("Error in writing file."));
    EXPECT_EQ(e.Code, -1);
    EXPECT_EQ(e.Error, QStringLiteral("Error in writing file."));
    EXPECT_EQ(readAll(orl), before);
    EXPECT_EQ(readAll(csv), "old export\r\n");
    // Nothing half-written is left beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("kept.csv"), QStringLiteral("kept.orl")}));
}
#endif

struct RoundTripCase {
    const char* name;
    int mask;
    int interval;
};

class DataFileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(DataFileRoundTrip, KeepsTimeToATenthAndValuesToAHundredth) {
    const RoundTripCase& c = GetParam();
    TDataBlock b;
    b.DateText = "1.1.2026 0:00:00";
    b.Interval = c.interval;
    b.ChannelMask = c.mask;
    b.CurrentZero = 2048;
    b.CurrentScale = 100;
    b.VoltageScale = 123;
    b.CurrentMode = 100;
    b.Extra = 99;
    // Values off the written grid by less than half a step.
    const std::vector<double> u = {12.604, 12.396, 11.0049};
    const std::vector<double> i = {20.004, 35.996, 0.0};
    const std::vector<double> r = {9000.001, 12345.678, 0};
    for (int k = 0; k < 3; ++k)
        b.Time.push_back(orlo::SampleTime(k, c.interval) + 0.01);
    if (c.mask & orlo::ChannelVoltage)
        b.Voltage = u;
    if (c.mask & orlo::ChannelCurrent)
        b.Current = i;
    if (c.mask & orlo::ChannelRpm)
        b.Rpm = r;
    orlo::ComputeBlockStatistics(b, 3);
    b.Notes = "{\\rtf1\\ansi one line}";

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rt.orl"));
    ASSERT_TRUE(orlo::WriteDataFile(path, b).Ok);

    TDataBlock back;
    const auto rd = orlo::ReadDataFile(path, back);
    ASSERT_EQ(rd.Outcome, TReadOutcome::Ok) << rd.Message.toStdString();
    ASSERT_EQ(rd.Count, 3);

    EXPECT_EQ(back.DateText, b.DateText);
    EXPECT_EQ(back.Interval, b.Interval);
    EXPECT_EQ(back.ChannelMask, b.ChannelMask);
    EXPECT_EQ(back.CurrentZero, 2048);
    EXPECT_EQ(back.CurrentScale, 100);
    EXPECT_EQ(back.VoltageScale, 123);
    EXPECT_EQ(back.CurrentMode, 100);
    EXPECT_EQ(back.Extra, 99);
    EXPECT_EQ(back.Notes, b.Notes);
    EXPECT_EQ(back.Present, b.Present);

    const double step = c.interval / 50.0;
    const std::vector<double> timeBack = {0.0, step, 2 * step};
    for (int k = 0; k < 3; ++k)
        EXPECT_DOUBLE_EQ(back.Time[k], timeBack[k]);
    if (c.mask & orlo::ChannelVoltage) {
        EXPECT_EQ(back.Voltage, (std::vector<double>{12.60, 12.40, 11.00}));
        EXPECT_DOUBLE_EQ(back.MinU, 11.0);
        EXPECT_DOUBLE_EQ(back.AvgU, (12.60 + 12.40 + 11.00) / 3);
    } else {
        EXPECT_TRUE(back.Voltage.empty());
    }
    if (c.mask & orlo::ChannelCurrent) {
        EXPECT_EQ(back.Current, (std::vector<double>{20.00, 36.00, 0.00}));
        // Recomputed from the rounded values: 56 A over three steps.
        EXPECT_NEAR(back.BlockC, 56.0 * c.interval / 50.0 / 3600.0, 1e-12);
    }
    if ((c.mask & 0xC000) == 0xC000) {
        EXPECT_NEAR(back.BlockE, (12.60 * 20 + 12.40 * 36) * c.interval / 50.0 / 3600.0, 1e-12);
    }
    if (c.mask & orlo::ChannelRpm) {
        EXPECT_EQ(back.Rpm, (std::vector<double>{9000.00, 12345.68, 0}));
    }

    // The file of what was read is the file that was written.
    EXPECT_EQ(orlo::DataFileText(back), orlo::DataFileText(b));
}

INSTANTIATE_TEST_SUITE_P(Blocks, DataFileRoundTrip,
                         ::testing::Values(RoundTripCase{"voltage", 0x8000, 5},
                                           RoundTripCase{"current", 0x4000, 5},
                                           RoundTripCase{"rpm", 0x2000, 50},
                                           RoundTripCase{"voltage_current", 0xC000, 5},
                                           RoundTripCase{"all_three", 0xE000, 5},
                                           RoundTripCase{"all_three_slow", 0xE000, 250}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- reading ----------------------------------------------------------------------------

std::string header(int mask) {
    return "<Header>\r\nd\r\n5\r\n" + std::to_string(mask) +
           "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n</Header>\r\n";
}

struct FieldCase {
    const char* name;
    int mask;
    const char* line;
    double time;
    std::vector<double> u, i, r;  // empty: the series must stay empty
};

const FieldCase kFields[] = {
    {"empty_field_is_zero", 0xC000, "1.5,,3.2", 1.5, {0}, {3.2}, {}},
    {"fourth_column_dropped", 0xD000, "0.0,12.00,5.00", 0, {12}, {5}, {}},
    {"missing_fields_are_zero", 0xC000, "0.2,11.4", 0.2, {11.4}, {0}, {}},
    {"fields_beyond_the_columns_ignored", 0xC000, "0.3,11.4,3.2,99,x", 0.3, {11.4}, {3.2}, {}},
    {"leading_blanks_in_fields", 0xC000, "  0.1,  11.40,   3.25  ", 0.1, {11.4}, {3.25}, {}},
    {"control_characters_trimmed", 0xC000, "\t0.4,1,2\t\x01", 0.4, {1}, {2}, {}},
    {"signs", 0xE000, "-0.5,-1.25,+2,-0", -0.5, {-1.25}, {2}, {0}},
    {"short_forms", 0xE000, ".5,5.,1e1,2E-1", 0.5, {5}, {10}, {0.2}},
    {"current_only", 0x4000, "0.1,3.3", 0.1, {}, {3.3}, {}},
    {"current_after_other_channel", 0x5000, "0.1,3.3,7", 0.1, {}, {3.3}, {}},
    {"rpm_only", 0x2000, "0.1,9000", 0.1, {}, {}, {9000}},
    {"empty_line_is_a_sample_of_zeros", 0xC000, "", 0, {0}, {0}, {}},
    {"bits_above_15_ignored", 0x18000, "0.1,7,8", 0.1, {7}, {}, {}},
};

TEST(DataFileRead, SampleFields) {
    for (const FieldCase& c : kFields) {
        SCOPED_TRACE(c.name);
        const std::string text = header(c.mask) + "<Data>\r\n" + c.line + "\r\n</Data>\r\n";
        TDataBlock b;
        const auto r = orlo::ReadDataBytes(text, b);
        ASSERT_EQ(r.Outcome, TReadOutcome::Ok) << r.Message.toStdString();
        ASSERT_EQ(r.Count, 1);
        EXPECT_DOUBLE_EQ(b.Time.at(0), c.time);
        EXPECT_EQ(b.Voltage, c.u);
        EXPECT_EQ(b.Current, c.i);
        EXPECT_EQ(b.Rpm, c.r);
    }
}

struct BadCase {
    const char* name;
    std::string text;
    TReadOutcome outcome;
    int count;
    const char* message;
};

const std::string kOk = header(0xC000) + "<Data>\r\n0.0,1,2\r\n0.1,1,2\r\n</Data>\r\n";

const BadCase kBad[] = {
    {"empty_file", "", TReadOutcome::Failed, 0, "Unexpected end of file"},
    {"no_data_tag", header(0xC000) + "0.0,1,2\r\n", TReadOutcome::Failed, 0,
     "Unexpected end of file"},
    {"data_not_closed", header(0xC000) + "<Data>\r\n0.0,1,2\r\n0.1,1,2\r\n", TReadOutcome::Failed,
     0, "Unexpected end of file"},
    // A closing tag without an opening one must not give a negative count.
    {"only_closing_tag", header(0xC000) + "</Data>\r\n", TReadOutcome::Failed, 0,
     "Unexpected end of file"},
    {"tag_with_trailing_blank", header(0xC000) + "<Data>\r\n0.0,1,2\r\n</Data> \r\n",
     TReadOutcome::Failed, 0, "Unexpected end of file"},
    {"bad_header", "<header>\r\n" + kOk.substr(10), TReadOutcome::Failed, 2, "Bad header of file"},
    {"header_word_not_a_number",
     "<Header>\r\nd\r\n5\r\nmask\r\n0\r\n0\r\n0\r\n0\r\n0\r\n</Header>\r\n<Data>\r\n0,1\r\n</"
     "Data>\r\n",
     TReadOutcome::IoError, 1, "Error reading data from file."},
    {"header_word_with_letters",
     "<Header>\r\nd\r\n5x\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n</Header>\r\n<Data>\r\n0,1\r\n</"
     "Data>\r\n",
     TReadOutcome::IoError, 1, "Error reading data from file."},
    {"header_word_too_large",
     "<Header>\r\nd\r\n2147483648\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n</Header>\r\n<Data>\r\n</"
     "Data>\r\n",
     TReadOutcome::IoError, 0, "Error reading data from file."},
    {"blank_before_comma", header(0xC000) + "<Data>\r\n0.0,1,2\r\n0.1 ,1,2\r\n</Data>\r\n",
     TReadOutcome::Failed, 2, "Error reading data from file."},
    {"decimal_comma", header(0x8000) + "<Data>\r\n0.0;11,5\r\n</Data>\r\n", TReadOutcome::Failed, 1,
     "Error reading data from file."},
    {"not_a_number", header(0xC000) + "<Data>\r\n0.0,abc,2\r\n</Data>\r\n", TReadOutcome::Failed, 1,
     "Error reading data from file."},
    {"infinity", header(0xC000) + "<Data>\r\n0.0,inf,2\r\n</Data>\r\n", TReadOutcome::Failed, 1,
     "Error reading data from file."},
    {"blank_field", header(0xC000) + "<Data>\r\n0.0, ,2\r\n</Data>\r\n", TReadOutcome::Failed, 1,
     "Error reading data from file."},
    {"two_signs", header(0xC000) + "<Data>\r\n0.0,+-1,2\r\n</Data>\r\n", TReadOutcome::Failed, 1,
     "Error reading data from file."},
    {"out_of_range", header(0xC000) + "<Data>\r\n0.0,1e999,2\r\n</Data>\r\n", TReadOutcome::Failed,
     1, "Error reading data from file."},
};

TEST(DataFileRead, MalformedFiles) {
    for (const BadCase& c : kBad) {
        SCOPED_TRACE(c.name);
        TDataBlock b;
        const auto r = orlo::ReadDataBytes(c.text, b);
        EXPECT_EQ(r.Outcome, c.outcome);
        EXPECT_EQ(r.Count, c.count);
        EXPECT_EQ(r.Message, QString::fromLatin1(c.message));
        // Whatever was filled, the series of the block keep one length.
        for (const auto* s : {&b.Voltage, &b.Current, &b.Rpm, &b.Capacity, &b.Energy})
            EXPECT_TRUE(s->empty() || s->size() == b.Time.size());
    }
}

TEST(DataFileRead, EmptyDataSectionHasNoSamples) {
    TDataBlock b;
    const auto r = orlo::ReadDataBytes(header(0xC000) + "<Data>\r\n</Data>\r\n", b);
    EXPECT_EQ(r.Outcome, TReadOutcome::Ok);
    EXPECT_EQ(r.Count, 0);
    EXPECT_TRUE(b.Time.empty());
    EXPECT_DOUBLE_EQ(b.MaxU, -9999);
}

TEST(DataFileRead, ToleratesLooseHeaderAndExtraLines) {
    const std::string text =
        "<Header>\n"
        "  date with blanks  \n"
        "  5 ticks\n"                                   // rest of the line skipped
        "\n\n 49152\r\n"                                // blank lines before a word skipped
        "-3\t-99\n\t-4\n+100\n200\n7 trailing words\n"  // -99: rest of the line
        "</Header>\n"
        "anything\r\n<Data> not the tag\r\n"
        "<Data>\n"
        "0.0,1,2\r"  // a lone CR ends a line too
        "0.1,3,4\n"
        "</Data>\n"
        "<Text>\n"
        "a\nb\r\nc\n"
        "</Text>\n";
    TDataBlock b;
    const auto r = orlo::ReadDataBytes(text, b);
    ASSERT_EQ(r.Outcome, TReadOutcome::Ok) << r.Message.toStdString();
    EXPECT_EQ(r.Count, 2);
    EXPECT_EQ(b.DateText, "  date with blanks  ");
    EXPECT_EQ(b.Interval, 5);
    EXPECT_EQ(b.ChannelMask, 49152);
    EXPECT_EQ(b.CurrentZero, -3);
    EXPECT_EQ(b.CurrentScale, -4);
    EXPECT_EQ(b.VoltageScale, 100);
    EXPECT_EQ(b.CurrentMode, 200);
    EXPECT_EQ(b.Extra, 7);
    EXPECT_EQ(b.Voltage, (std::vector<double>{1, 3}));
    EXPECT_EQ(b.Current, (std::vector<double>{2, 4}));
    EXPECT_EQ(b.Notes, "abc");
}

struct NotesCase {
    const char* name;
    std::string tail;  // after "</Data>\r\n"
    std::string notes;
};

const NotesCase kNotes[] = {
    {"three_lines_joined", "<Text>\r\nline 1\r\nline 2\r\nline 3\r\n</Text>\r\n",
     "line 1line 2line 3"},
    {"empty_notes", "<Text>\r\n\r\n</Text>\r\n", ""},
    {"no_text_tag", "", ""},
    {"text_tag_at_end", "<Text>\r\n", ""},
    {"last_line_without_closing_tag", "<Text>\r\nkept\r\nlost\r\n", "kept"},
    {"last_line_without_line_end", "<Text>\r\nkept\r\nlost", "kept"},
    {"lines_after_closing_tag_ignored", "junk\r\n<Text>\r\nx\r\n</Text>\r\ny\r\n", "x"},
};

TEST(DataFileRead, NotesAreJoinedWithoutLineEnds) {
    for (const NotesCase& c : kNotes) {
        SCOPED_TRACE(c.name);
        TDataBlock b;
        b.Notes = "left over";
        const auto r = orlo::ReadDataBytes(kOk + c.tail, b);
        ASSERT_EQ(r.Outcome, TReadOutcome::Ok);
        EXPECT_EQ(b.Notes, c.notes);
    }
}

TEST(DataFileRead, PathCases) {
    TDataBlock b;
    b.DateText = "untouched";
    auto r = orlo::ReadDataFile(QString(), b);
    EXPECT_EQ(r.Outcome, TReadOutcome::Ok);
    EXPECT_EQ(r.Count, 0);
    EXPECT_EQ(b.DateText, "untouched");

    QTemporaryDir dir;
    r = orlo::ReadDataFile(dir.filePath(QStringLiteral("missing.orl")), b);
    EXPECT_EQ(r.Outcome, TReadOutcome::IoError);
    EXPECT_EQ(r.Count, 0);
    EXPECT_EQ(r.Message, QStringLiteral("Error reading data from file."));

    const QString path = dir.filePath(QStringLiteral("ok.orl"));
    writeAll(path, kOk);
    r = orlo::ReadDataFile(path, b);
    EXPECT_EQ(r.Outcome, TReadOutcome::Ok);
    EXPECT_EQ(r.Count, 2);
    EXPECT_EQ(b.DateText, "d");
}

// ---- text export -------------------------------------------------------------------------

TEST(ExportText, HeaderAndSampleLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    struct Case {
        QString source;
        std::string name;
    };
    const Case cases[] = {
        {QStringLiteral("/home/pilot/logs/flight.orl"), "flight.orl"},
        {QStringLiteral("C:\\Data\\Blok007.orl"), "Blok007.orl"},
        {QStringLiteral("tmp3"), "tmp3"},
        {QStringLiteral("/data/let\u010Dov\u00E1.orl"), "let\xe8ov\xe1.orl"},  // cp1250 bytes
    };
    for (const Case& c : cases) {
        const auto r = orlo::ExportText(c.source, path, sampleBlock());
        EXPECT_EQ(r.Code, 0);
        const std::string expected =
            "#####################################\r\n"
            "# Name:       " +
            c.name +
            "\r\n"
            "# Date:       11.12.2026 10:15:02 \xe8\r\n"
            "0.0,11.42,3.20\r\n"
            "0.1,11.40,3.26\r\n"
            "0.2,0.00,-1.50\r\n"
            "0.3,12345678.90,0.00\r\n";
        EXPECT_EQ(readAll(path), expected);
    }
}

TEST(ExportText, WriteFailureGivesMinusOne) {
    QTemporaryDir dir;
    const auto r = orlo::ExportText(
        QStringLiteral("a.orl"), dir.filePath(QStringLiteral("no/folder/out.csv")), sampleBlock());
    EXPECT_EQ(r.Code, -1);
    EXPECT_EQ(r.Error, QStringLiteral("Error in writing file."));
}

// ---- golden files ------------------------------------------------------------------------

TEST(GoldenFile, HandMadeFileReadsAndExportsAsExpected) {
    const QString data = QStringLiteral(TEST_DATA_DIR);
    const QString orl = data + QStringLiteral("/golden/bench_run.orl");
    TDataBlock b;
    const auto r = orlo::ReadDataFile(orl, b);
    ASSERT_EQ(r.Outcome, TReadOutcome::Ok) << r.Message.toStdString();
    ASSERT_EQ(r.Count, 6);
    EXPECT_EQ(b.Interval, 25);
    EXPECT_DOUBLE_EQ(b.MaxU, 12.48);
    EXPECT_DOUBLE_EQ(b.MinU, 11.62);
    EXPECT_DOUBLE_EQ(b.MaxI, 21.5);
    EXPECT_DOUBLE_EQ(b.MaxR, 10260);
    // 0.5 s steps: (0 + 10.2 + 20.4 + 21.5 + 21.1 + 0.4) A * 0.5 s = 36.8 As.
    EXPECT_NEAR(b.BlockC, 36.8 / 3600, 1e-12);
    EXPECT_EQ(b.Notes, "{\\rtf1\\ansi\\deff0 Bench run, 3S pack, 12x6 prop.\\par}");

    // Our writer gives back the hand-made file byte for byte.
    EXPECT_EQ(orlo::DataFileText(b), readAll(orl));

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("bench_run.csv"));
    ASSERT_EQ(orlo::ExportText(orl, csv, b).Code, 0);
    EXPECT_EQ(readAll(csv), readAll(data + QStringLiteral("/golden/bench_run.csv")));
}

TEST(Locale, FilesUseAPointWhateverTheUserSeparator) {
    // In the run under a decimal-comma locale this proves the point is not borrowed
    // from the user's settings.
    const QString userText = QLocale::system().toString(12.5, 'f', 2);
    TDataBlock b;
    b.Time = {12.5};
    b.Voltage = {12.5};
    const std::string text = orlo::DataFileText(b);
    EXPECT_NE(text.find("12.5,12.50\r\n"), std::string::npos);
    if (QLocale::system().decimalPoint() == QStringLiteral(",")) {
        EXPECT_EQ(userText, QStringLiteral("12,50"));
    }
    TDataBlock back;
    ASSERT_EQ(
        orlo::ReadDataBytes(header(0x8000) + "<Data>\r\n12.5,12.50\r\n</Data>\r\n", back).Count, 1);
    EXPECT_DOUBLE_EQ(back.Voltage[0], 12.5);
}

}  // namespace

namespace {

TEST(Examples, BundledFilesReadCleanlyAndAreOurWritersOutput) {
    const QDir examples(QStringLiteral(TEST_DATA_DIR "/../../../examples"));
    const QStringList files = examples.entryList({QStringLiteral("*.orl")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << examples.absolutePath().toStdString();
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = examples.filePath(name);
        TDataBlock b;
        const auto r = orlo::ReadDataFile(path, b);
        ASSERT_EQ(r.Outcome, TReadOutcome::Ok) << r.Message.toStdString();
        EXPECT_GT(r.Count, 100);
        EXPECT_TRUE(b.Present[orlo::PresentVoltage]);
        EXPECT_TRUE(b.Present[orlo::PresentCurrent]);
        EXPECT_FALSE(b.Notes.empty());
        EXPECT_EQ(orlo::DataFileText(b), readAll(path));
    }
}

}  // namespace
