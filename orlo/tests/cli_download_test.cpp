// orlo-cli download run as a program against the logger simulator.
#include "OrloSimProcess.h"
#include "platform/testing/SkipOrFail.h"

#include "orlo/data/TDataBlock.h"
#include "platform/testing/ChildProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using orlo::testing::OrloSimProcess;

using CliResult = platform::testing::ProgramRun;

CliResult runCli(const QStringList& args) {
    return platform::testing::runProgram(QStringLiteral(ORLO_CLI_PATH), args);
}

QStringList orlFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("*.orl")}, QDir::Files, QDir::Name);
}

TEST(CliDownload, DownloadsChecksAndSavesTheBlocks) {
    if (!OrloSimProcess::available())
        SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
    OrloSimProcess sim({"--blocks", "3", "--samples", "300,0,40", "--mask", "0xC000,0xC000,0xE000",
                        "--hello-repeat", "2", "--garbage", "4"});
    ASSERT_FALSE(sim.path().isEmpty());
    QTemporaryDir dir;
    const CliResult r = runCli({QStringLiteral("download"), QStringLiteral("--port"), sim.path(),
                                QStringLiteral("--out"), dir.path(), QStringLiteral("--name"),
                                QStringLiteral("Run")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(orlFiles(dir.path()), (QStringList{"Run000.orl", "Run001.orl"}));
    EXPECT_TRUE(r.err.contains("Waiting for ORLO at " + sim.path().toLocal8Bit()));
    EXPECT_TRUE(r.err.contains("Number of bytes read: "));
    EXPECT_TRUE(r.err.contains("Data reading finished (3 blocks read.)"));
    orlo::TDataBlock b;
    EXPECT_EQ(orlo::ReadDataFile(dir.filePath(QStringLiteral("Run000.orl")), b).Count, 300);
    EXPECT_EQ(orlo::ReadDataFile(dir.filePath(QStringLiteral("Run001.orl")), b).Count, 40);
    EXPECT_EQ(b.ChannelMask, 0xE000);

    // A second download does not replace the files unless asked to.
    const CliResult again = runCli({QStringLiteral("download"), QStringLiteral("--port"),
                                    sim.path(), QStringLiteral("--out"), dir.path(),
                                    QStringLiteral("--name"), QStringLiteral("Run")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("already exists")) << again.err.toStdString();
    const CliResult forced =
        runCli({QStringLiteral("download"), QStringLiteral("--port"), sim.path(),
                QStringLiteral("--out"), dir.path(), QStringLiteral("--name"),
                QStringLiteral("Run"), QStringLiteral("--overwrite")});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
}

// A block that cannot be converted (a header without channels) costs only itself.
TEST(CliDownload, ABlockThatCannotBeConvertedIsReportedAndTheOthersSaved) {
    if (!OrloSimProcess::available())
        GTEST_SKIP() << "orlo-sim needs pseudo-terminals";
    OrloSimProcess sim({"--blocks", "3", "--samples", "30,5,40", "--mask", "0xC000,0x0000,0xE000"});
    ASSERT_FALSE(sim.path().isEmpty());
    QTemporaryDir dir;
    const CliResult r = runCli({QStringLiteral("download"), QStringLiteral("--port"), sim.path(),
                                QStringLiteral("--out"), dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(
        "Error in loading data from block! Block 2: The block records no channel.\n"))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\"Faulty\":[2]")) << r.out.toStdString();
    ASSERT_EQ(orlFiles(dir.path()), (QStringList{"Blok000.orl", "Blok001.orl"}));
    orlo::TDataBlock b;
    EXPECT_EQ(orlo::ReadDataFile(dir.filePath(QStringLiteral("Blok000.orl")), b).Count, 30);
    EXPECT_EQ(orlo::ReadDataFile(dir.filePath(QStringLiteral("Blok001.orl")), b).Count, 40);
    EXPECT_EQ(b.ChannelMask, 0xE000);
}

TEST(CliDownload, FailuresEndWithStatusOneAndNoFiles) {
    struct Case {
        const char* name;
        QStringList simArgs;
        QStringList extraArgs;
        const char* message;
    };
    const Case cases[] = {
        {"bad checksum", {"--bad-checksum"}, {}, "Communication error, bad CRC. Buf="},
        {"hang-up in mid-download",
         {"--samples", "500", "--hangup-after", "800"},
         {},
         "The serial line was lost"},
        {"a logger that never answers",
         {"--hello-repeat", "0"},
         {"--wait", "1"},
         "No answer from the logger"},
        {"a logger that greets but never sends its memory",
         {"--ignore", "D"},
         {"--wait", "1"},
         "answered but sent no memory within 1 s."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!OrloSimProcess::available())
            SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
        OrloSimProcess sim(c.simArgs);
        ASSERT_FALSE(sim.path().isEmpty());
        QTemporaryDir dir;
        QStringList args{QStringLiteral("download"), QStringLiteral("--port"), sim.path(),
                         QStringLiteral("--out"), dir.path()};
        args << c.extraArgs;
        const CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(orlFiles(dir.path()).isEmpty());
    }
}

TEST(CliDownload, MissingPortGivesTheOpenFailure) {
    QTemporaryDir dir;
    const CliResult r =
        runCli({QStringLiteral("download"), QStringLiteral("--port"),
                QStringLiteral("/dev/orlo-missing"), QStringLiteral("--out"), dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("CreateFile failed with error "));
    EXPECT_TRUE(r.err.contains(",/dev/orlo-missing.")) << r.err.toStdString();
}

}  // namespace
