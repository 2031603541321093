// orlo-cli decode run as a program: a recorded memory reply into data files.
#include "orlo/data/TDataBlock.h"
#include "platform/testing/ChildProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using Bytes = QByteArray;

using CliResult = platform::testing::ProgramRun;

CliResult runCli(const QStringList& args) {
    return platform::testing::runProgram(QStringLiteral(ORLO_CLI_PATH), args);
}

void word(Bytes& b, int v) {
    b.append(char(v >> 8));
    b.append(char(v & 0xFF));
}

// A block: marker, header (interval 5, the mask, zero 2048, scales 100, mode 0,
// extra 0) and samples given as raw words.
Bytes block(int mask, std::initializer_list<int> raw) {
    Bytes b(4, char(0xFF));
    for (int w : {5, mask, 2048, 100, 100, 0, 0})
        word(b, w);
    for (int w : raw)
        word(b, w);
    return b;
}

Bytes terminate(Bytes body) {
    body.append(5, char(0xFF));
    char x = 0;
    for (char c : body)
        x ^= c;
    body.append(x);
    return body;
}

QString writeImage(const QTemporaryDir& dir, const Bytes& bytes) {
    const QString path = dir.filePath(QStringLiteral("memory.bin"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QStringList orlFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("*.orl")}, QDir::Files, QDir::Name);
}

// Two blocks with samples around an empty one, and junk after the checksum.
Bytes threeBlockImage() {
    Bytes body = block(0xC000, {1000, 2000, 1100, 1900}) + block(0xC000, {}) +
                 block(0xE000, {1200, 2048, 50, 1300, 2000, 51, 1400, 1000, 52});
    Bytes image = terminate(body);
    image.append("\x01\x02\xFF\xFF\xFF\xFF\xFF\xFF", 8);
    return image;
}

TEST(CliDecode, WritesOneFilePerBlockWithSamples) {
    QTemporaryDir dir;
    // A folder name beyond ASCII: the printed paths must name the files written.
    const QString out = dir.filePath(QStringLiteral("lety \u00FA\u010Dty"));
    const CliResult r = runCli({QStringLiteral("decode"), writeImage(dir, threeBlockImage()),
                                QStringLiteral("--out"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(orlFiles(out), (QStringList{"Blok000.orl", "Blok001.orl"}));
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(json.value(QStringLiteral("Blocks")).toInt(), 3);
    EXPECT_EQ(json.value(QStringLiteral("Skipped")).toInt(), 1);
    EXPECT_EQ(
        json.value(QStringLiteral("Files")).toArray().toVariantList(),
        (QVariantList{out + QStringLiteral("/Blok000.orl"), out + QStringLiteral("/Blok001.orl")}));

    orlo::TDataBlock first, second;
    ASSERT_EQ(orlo::ReadDataFile(out + QStringLiteral("/Blok000.orl"), first).Count, 2);
    EXPECT_EQ(first.ChannelMask, 0xC000);
    EXPECT_NEAR(first.Voltage[0], 10.0, 1e-9);  // 1000 · 100 / 10000
    EXPECT_NEAR(first.Current[0], 0.48, 1e-9);  // (2048 − 2000) · 100 / 10000
    EXPECT_NEAR(first.Time[1], 0.1, 1e-9);
    ASSERT_EQ(orlo::ReadDataFile(out + QStringLiteral("/Blok001.orl"), second).Count, 3);
    EXPECT_NEAR(second.Rpm[2], 52 * 60.0, 1e-9);  // revolutions are stored as rpm
}

TEST(CliDecode, NameSetsStemAndFirstNumber) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliResult r = runCli({QStringLiteral("decode"), writeImage(dir, threeBlockImage()),
                                QStringLiteral("--out"), out, QStringLiteral("--name"),
                                QStringLiteral("Flight007.orl")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(orlFiles(out), (QStringList{"Flight007.orl", "Flight008.orl"}));
}

TEST(CliDecode, BadChecksumWritesNothing) {
    QTemporaryDir dir;
    Bytes image = terminate(block(0x8000, {1, 2, 3}));
    const int good = quint8(image.back());
    image.back() = char(good ^ 0x21);
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliResult r =
        runCli({QStringLiteral("decode"), writeImage(dir, image), QStringLiteral("--out"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Communication error, bad CRC. Buf=%1, CRC=%2")
                                   .arg(good ^ 0x21)
                                   .arg(good)
                                   .toLatin1()))
        << r.err.toStdString();
    EXPECT_TRUE(orlFiles(out).isEmpty());
}

TEST(CliDecode, FiveFFsEndTheMemoryWhereverTheyOccur) {
    QTemporaryDir dir;
    // The first block's last sample ends in 0xFF, and 0xFFFF 0xFFFF follow: five in
    // a row end the memory there, and the next byte is taken as the checksum.
    Bytes body = block(0x8000, {0x0100, 0x01FF});
    body.append(4, char(0xFF));
    char x = 0;
    for (char c : body)
        x ^= c;
    Bytes image = body;
    image.append(x);
    image += block(0x8000, {7, 8, 9});  // never reached
    image = terminate(image);
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliResult r =
        runCli({QStringLiteral("decode"), writeImage(dir, image), QStringLiteral("--out"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(orlFiles(out), QStringList{"Blok000.orl"});
    orlo::TDataBlock b;
    // The marker is the terminator's first four bytes, one byte before its end.
    EXPECT_EQ(orlo::ReadDataFile(out + QStringLiteral("/Blok000.orl"), b).Count, 1);
}

TEST(CliDecode, ExistingFilesNeedOverwrite) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    {
        QFile f(out + QStringLiteral("/Blok001.orl"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    const QString image = writeImage(dir, threeBlockImage());
    const CliResult refused =
        runCli({QStringLiteral("decode"), image, QStringLiteral("--out"), out});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("already exists")) << refused.err.toStdString();
    EXPECT_EQ(orlFiles(out), QStringList{"Blok001.orl"});  // nothing else written either

    const CliResult forced = runCli({QStringLiteral("decode"), image, QStringLiteral("--out"), out,
                                     QStringLiteral("--overwrite")});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    QFile f(out + QStringLiteral("/Blok001.orl"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("<Header>"));
}

// A block that cannot be converted is reported by its number and the others are
// still written; the exit status tells a script that one was lost.
TEST(CliDecode, ABlockThatCannotBeConvertedIsReportedAndTheOthersWritten) {
    const Bytes faulty = block(0x0000, {1, 2, 3});  // records no channel
    const Bytes good1 = block(0x8000, {1000, 1001});
    const Bytes good2 = block(0xC000, {1200, 2048, 1300, 2000, 1400, 1000});
    struct Case {
        const char* name;
        Bytes body;
        QStringList files;
        QVariantList faulty;
        std::vector<int> samples;  // of the files, in order
    };
    const Case cases[] = {
        {"between two good blocks",
         good1 + faulty + good2,
         {"Blok000.orl", "Blok001.orl"},
         {2},
         {2, 3}},
        {"first and last", faulty + good2 + faulty, {"Blok000.orl"}, {1, 3}, {3}},
        {"the only block", faulty, {}, {1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out"));
        const CliResult r = runCli({QStringLiteral("decode"), writeImage(dir, terminate(c.body)),
                                    QStringLiteral("--out"), out});
        EXPECT_EQ(r.exitCode, 1);
        for (const QVariant& n : c.faulty)
            EXPECT_TRUE(r.err.contains(
                QStringLiteral("Error in loading data from block! Block %1: The block records no "
                               "channel.\n")
                    .arg(n.toInt())
                    .toUtf8()))
                << r.err.toStdString();
        EXPECT_FALSE(r.err.contains('\r'));
        EXPECT_EQ(orlFiles(out), c.files);
        const QJsonObject json = QJsonDocument::fromJson(r.out).object();
        EXPECT_EQ(json.value(QStringLiteral("Faulty")).toArray().toVariantList(), c.faulty);
        EXPECT_EQ(json.value(QStringLiteral("Files")).toArray().size(), c.files.size());
        for (std::size_t i = 0; i < c.samples.size(); ++i) {
            orlo::TDataBlock b;
            EXPECT_EQ(orlo::ReadDataFile(out + QLatin1Char('/') + c.files[qsizetype(i)], b).Count,
                      c.samples[i]);
        }
    }
}

TEST(CliDecode, UnusableInput) {
    struct Case {
        const char* name;
        QStringList args;  // %IMG% and %OUT% are replaced
        Bytes image;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"no terminator",
         {"%IMG%", "--out", "%OUT%"},
         block(0x8000, {1, 2}),
         1,
         "before its terminator"},
        {"missing file", {"%OUT%/none.bin", "--out", "%OUT%"}, {}, 1, "none.bin"},
        {"no --out", {"%IMG%"}, terminate({}), 2, "--out DIR is required"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString img = writeImage(dir, c.image);
        QStringList args{QStringLiteral("decode")};
        for (QString a : c.args)
            args << a.replace(QStringLiteral("%IMG%"), img)
                        .replace(QStringLiteral("%OUT%"), dir.filePath(QStringLiteral("out")));
        const CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains('\r'));  // a terminal would overwrite the line
        EXPECT_TRUE(orlFiles(dir.filePath(QStringLiteral("out"))).isEmpty());
    }
}

}  // namespace
