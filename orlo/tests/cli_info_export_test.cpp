// orlo-cli run as a program: info and export, their output and exit status.
#include "orlo/data/TDataBlock.h"
#include "platform/testing/ChildProcess.h"
#include "platform/testing/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

using CliRun = platform::testing::ProgramRun;

CliRun runCli(const QStringList& args) {
    return platform::testing::runProgram(QStringLiteral(ORLO_CLI_PATH), args);
}

QString golden(const char* name) {
    return QStringLiteral(TEST_DATA_DIR "/golden/") + QString::fromLatin1(name);
}

QByteArray readAll(const QString& path) {
    return QByteArray::fromStdString(platform::testing::readFileBytes(path).value_or("<missing>"));
}

void writeAll(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(platform::testing::writeFileBytes(path, bytes.toStdString())) << path.toStdString();
}

TEST(CliInfo, PrintsTheRecordFieldsAsJsonThatRoundTrips) {
    const QString path = golden("bench_run.orl");
    const CliRun r = runCli({QStringLiteral("info"), path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());

    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    const QJsonObject o = doc.object();

    // Keys in the order of the record.
    const QStringList keys = {
        "DateText",    "Interval", "ChannelMask", "CurrentZero", "CurrentScale", "VoltageScale",
        "CurrentMode", "Extra",    "Samples",     "Present",     "MaxU",         "MinU",
        "AvgU",        "MaxI",     "MinI",        "AvgI",        "MaxP",         "AvgP",
        "MaxR",        "BlockC",   "BlockE",      "Notes",       "Annotations"};
    QStringList printed;
    const QRegularExpression keyRe(QStringLiteral("^  \"(\\w+)\":"),
                                   QRegularExpression::MultilineOption);
    for (auto it = keyRe.globalMatch(QString::fromUtf8(r.out)); it.hasNext();)
        printed << it.next().captured(1);
    EXPECT_EQ(printed, keys);

    orlo::TDataBlock b;
    ASSERT_EQ(orlo::ReadDataFile(path, b).Count, 6);
    EXPECT_EQ(o["DateText"].toString(), QStringLiteral("11.12.2026 9:41:07"));
    EXPECT_EQ(o["Interval"].toInt(), 25);
    EXPECT_EQ(o["ChannelMask"].toInt(), 57344);
    EXPECT_EQ(o["CurrentZero"].toInt(), 2048);
    EXPECT_EQ(o["CurrentScale"].toInt(), 100);
    EXPECT_EQ(o["VoltageScale"].toInt(), 123);
    EXPECT_EQ(o["CurrentMode"].toInt(), 200);
    EXPECT_EQ(o["Extra"].toInt(), 0);
    EXPECT_EQ(o["Samples"].toInt(), 6);
    const QJsonArray present = o["Present"].toArray();
    ASSERT_EQ(present.size(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(present[i].toBool(), b.Present[i]) << i;
    // Exactly the doubles of the core, not a rounded print of them.
    const std::pair<const char*, double> stats[] = {
        {"MaxU", b.MaxU}, {"MinU", b.MinU},     {"AvgU", b.AvgU},    {"MaxI", b.MaxI},
        {"MinI", b.MinI}, {"AvgI", b.AvgI},     {"MaxP", b.MaxP},    {"AvgP", b.AvgP},
        {"MaxR", b.MaxR}, {"BlockC", b.BlockC}, {"BlockE", b.BlockE}};
    for (const auto& [key, value] : stats) {
        ASSERT_TRUE(o[QLatin1String(key)].isDouble()) << key;
        EXPECT_EQ(o[QLatin1String(key)].toDouble(), value) << key;
    }
    EXPECT_EQ(o["Notes"].toString(), QStringLiteral("Bench run, 3S pack, 12x6 prop."));
    ASSERT_TRUE(o["Annotations"].isArray());
    EXPECT_TRUE(o["Annotations"].toArray().isEmpty());
}

TEST(CliInfo, NotesAsPlainTextAndTheAnnotations) {
    struct Case {
        const char* name;
        std::string notes;
        QString expected;
    };
    const Case cases[] = {
        // A rich-edit control's line breaks after "\par" and "\fs20".
        {"rich_text",
         "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
         "\\pard\\f0\\fs20 Motor hot\\par\r\nProp 12x6\\par\r\n\\fs20\r\n12 cells \\'e8\\par\r\n}",
         QString::fromUtf8("Motor hot\nProp 12x6\n12 cells \u010d")},
        {"plain_text", "plain note", QStringLiteral("plain note")},
        {"none", "", QString()},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        orlo::TDataBlock b;
        b.DateText = "d";
        b.Interval = 5;
        b.ChannelMask = 0x8000;
        b.Time = {0, 0.1};
        b.Voltage = {12, 12.1};
        b.Notes = c.notes;
        // Annotation texts are UTF-8: one beyond the code page as well.
        b.Annotations = {{0.5, 120, "climb, \"full\" \xc4\x8d \xce\xa9"}, {1.25, -2, ""}};
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".orl"));
        ASSERT_TRUE(orlo::WriteDataFile(path, b).Ok);
        const CliRun r = runCli({QStringLiteral("info"), path});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        ASSERT_TRUE(o["Notes"].isString()) << r.out.toStdString();
        EXPECT_EQ(o["Notes"].toString(), c.expected);
        const QJsonArray list = o["Annotations"].toArray();
        ASSERT_EQ(list.size(), 2) << r.out.toStdString();
        EXPECT_EQ(list[0].toObject().keys(), (QStringList{"Text", "Time"}));
        EXPECT_EQ(list[0].toObject()["Time"].toDouble(), 0.5);
        EXPECT_EQ(list[0].toObject()["Text"].toString(),
                  QString::fromUtf8("climb, \"full\" \u010d \u03a9"));
        EXPECT_EQ(list[1].toObject()["Time"].toDouble(), 1.25);
        EXPECT_EQ(list[1].toObject()["Text"].toString(), QString());
    }
}

TEST(CliInfo, DecodesTheDateTextAndEscapesIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.orl"));
    orlo::TDataBlock b;
    b.DateText = "\"1.\t1.\" \\ \xe8";  // quote, tab, backslash and a Windows-1250 byte
    b.Interval = 5;
    b.ChannelMask = 0x8000;
    b.Time = {0};
    b.Voltage = {12};
    ASSERT_TRUE(orlo::WriteDataFile(path, b).Ok);
    const CliRun r = runCli({QStringLiteral("info"), path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o["DateText"].toString(), QStringLiteral("\"1.\t1.\" \\ \u010D"));
    EXPECT_EQ(o["MinI"].toDouble(-1), 0);
    EXPECT_EQ(o["MaxU"].toDouble(), 12);
}

struct FailCase {
    const char* name;
    QByteArray content;  // empty: no file at all
    int exitCode;
    const char* message;
};

TEST(CliInfo, FilesThatCannotBeShownFail) {
    const QByteArray header =
        "<Header>\r\nd\r\n5\r\n49152\r\n0\r\n0\r\n0\r\n0\r\n0\r\n</Header>\r\n";
    const FailCase cases[] = {
        {"missing_file", {}, 1, "Error reading data from file."},
        {"bad_header", "<Head>\r\n<Data>\r\n1,2,3\r\n</Data>\r\n", 1, "Bad header of file"},
        {"unexpected_end", header + "<Data>\r\n0,1,2\r\n", 1, "Unexpected end of file"},
        {"no_samples", header + "<Data>\r\n</Data>\r\n", 1, "the file holds no sample"},
        {"bad_field", header + "<Data>\r\n0,1 ,2\r\n</Data>\r\n", 1,
         "Error reading data from file."},
    };
    QTemporaryDir dir;
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".orl"));
        if (!c.content.isEmpty())
            writeAll(path, c.content);
        const CliRun r = runCli({QStringLiteral("info"), path});
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(path.toUtf8())) << r.err.toStdString();
    }
}

TEST(CliExport, WritesTheTextExportNamedAfterTheSource) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const CliRun r = runCli({QStringLiteral("export"), golden("bench_run.orl"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(out), readAll(golden("bench_run.csv")));
}

TEST(CliExport, Failures) {
    QTemporaryDir dir;
    // Unwritable target: the error text, status 1, nothing created.
    const QString out = dir.filePath(QStringLiteral("no/folder/out.csv"));
    CliRun r = runCli({QStringLiteral("export"), golden("bench_run.orl"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Error in writing file.")) << r.err.toStdString();

    // Unreadable source: nothing is written.
    const QString out2 = dir.filePath(QStringLiteral("out2.csv"));
    r = runCli({QStringLiteral("export"), dir.filePath(QStringLiteral("none.orl")), out2});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Error reading data from file.")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out2));
}

TEST(CliDispatch, UsageAndUnknownCommands) {
    struct Case {
        QStringList args;
        int exitCode;
        bool usageOnStdout;
    };
    const Case cases[] = {
        {{}, 2, false},
        {{QStringLiteral("frobnicate")}, 2, false},
        {{QStringLiteral("info")}, 2, false},
        {{QStringLiteral("info"), QStringLiteral("a"), QStringLiteral("b")}, 2, false},
        {{QStringLiteral("export"), QStringLiteral("a")}, 2, false},
        {{QStringLiteral("--help")}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        const QByteArray& text = c.usageOnStdout ? r.out : r.err;
        EXPECT_TRUE(text.contains("usage: orlo-cli")) << text.toStdString();
        if (c.usageOnStdout) {
            EXPECT_TRUE(text.contains("info FILE.orl"));
            EXPECT_TRUE(text.contains("export FILE.orl OUT.csv"));
        }
    }
}

}  // namespace
