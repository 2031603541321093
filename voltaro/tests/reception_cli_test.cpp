// voltaro-cli import, export and receive, run as separate processes; receive
// talks to charger-sim on a pseudo-terminal.
#include "platform/testing/ChildProcess.h"
#include "platform/testing/SkipOrFail.h"
#include "reception_SimulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using voltaro::testing::SimulatorProcess;

using CliRun = platform::testing::ProgramRun;

CliRun runCli(const QStringList& args) {
    return platform::testing::runProgram(QStringLiteral(VOLTARO_CLI_PATH), args);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ReceptionCli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QJsonObject info(const QString& file) {
        const CliRun r = runCli({QStringLiteral("info"), file});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out).object();
    }
    static QStringList blockNames(const QJsonObject& session) {
        QStringList names;
        for (const QJsonValue b : session[QStringLiteral("blocks")].toArray())
            names << b.toObject()[QStringLiteral("m_strName")].toString();
        return names;
    }
    QTemporaryDir dir;
};

TEST_F(ReceptionCli, ImportThenExportRawAndImportAgain) {
    const QString capture = QDir(QStringLiteral(TEST_DATA_DIR))
                                .filePath(QStringLiteral("reception_kova_two_blocks.txt"));
    CliRun r = runCli({QStringLiteral("import"), capture, QStringLiteral("--out"), path("a.vtr"),
                       QStringLiteral("--parsers"), path("no-parsers")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonObject project = info(path("a.vtr"));
    QJsonArray sessions = project[QStringLiteral("sessions")].toArray();
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_EQ(sessions[0].toObject()[QStringLiteral("m_strName")].toString(),
              QStringLiteral("reception_kova_two_blocks"));
    EXPECT_EQ(blockNames(sessions[0].toObject()),
              (QStringList{QStringLiteral("NiCd C"), QStringLiteral("NiCd D")}));

    r = runCli({QStringLiteral("export"), path("a.vtr"), QStringLiteral("--raw"), path("raw.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray raw = readAll(path("raw.txt"));
    EXPECT_EQ(raw,
              QByteArray("\r\nKOVA Charger v2.10 \"\r\n3:0:1200:0 0\r\n3:60:1250:2000 0\r\n"
                         "3:120:1300:2000 0\r\n\r\n\r\nKOVA Charger v2.10 \"\r\n3:0:1300:0-0\r\n"
                         "3:60:1250:1800-0\r\n3:120:1100:1800-0\r\n\r\n\f"));

    r = runCli({QStringLiteral("import"), path("raw.txt"), QStringLiteral("--out"), path("b.vtr")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    sessions = info(path("b.vtr"))[QStringLiteral("sessions")].toArray();
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_EQ(sessions[0].toObject()[QStringLiteral("m_strName")].toString(),
              QStringLiteral("raw"));
    EXPECT_EQ(blockNames(sessions[0].toObject()),
              (QStringList{QStringLiteral("NiCd C"), QStringLiteral("NiCd D")}));
}

TEST_F(ReceptionCli, ImportUsesTheDefinitionFilesOfTheParserFolder) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("parsers/more")));
    {
        QFile rxp(path("parsers/more/example.rxp"));
        ASSERT_TRUE(rxp.open(QIODevice::WriteOnly));
        rxp.write(
            "TITLE = Example\r\nHEAD = ^START,(\\w+)\r\nHEAD_IX_NAME = 1\r\n"
            "DATA = ^D,(\\d+),(\\d+),(\\d+)\r\nDATA_IX_T = 1\r\nDATA_IX_U = 2\r\n"
            "DATA_IX_I = 3\r\nDATA_EXPRESSION_U = u/1000\r\nENDBLOCK = ^END\r\n");
        QFile broken(path("parsers/broken.rxp"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("TITLE = no data line here\r\n");
        QFile raw(path("mixed.txt"));
        ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
        raw.write(
            "START,Charge\r\nD,0,12000,1\r\nD,60,12100,2\r\nEND\r\n"
            "*** KOVA v2.10 #\r\n3:0:6000:500 0\r\n");
    }
    const CliRun r = runCli({QStringLiteral("import"), path("mixed.txt"), QStringLiteral("--out"),
                             path("m.vtr"), QStringLiteral("--parsers"), path("parsers")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("broken.rxp")) << r.err.toStdString();
    const QJsonArray sessions = info(path("m.vtr"))[QStringLiteral("sessions")].toArray();
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_EQ(blockNames(sessions[0].toObject()),
              (QStringList{QStringLiteral("Charge"), QStringLiteral("Pb C")}));
}

TEST_F(ReceptionCli, InterruptedReceiveSavesWhatArrived) {
    if (!SimulatorProcess::available())
        SKIP_OR_FAIL_IN_CI("no pseudo-terminals on this system");
    struct Case {
        const char* name;
        int signal;
    };
    const Case cases[] = {{"Ctrl+C", SIGINT}, {"terminated", SIGTERM}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatorProcess sim;
        // The charger starts once the program has had time to listen.
        ASSERT_TRUE(sim.start({QStringLiteral("--cycles"), QStringLiteral("C"),
                               QStringLiteral("--samples"), QStringLiteral("3"),
                               QStringLiteral("--start-delay"), QStringLiteral("1000")}));
        const QString out = path("int.vtr");
        QFile::remove(out);
        QProcess cli;
        cli.start(
            QStringLiteral(VOLTARO_CLI_PATH),
            {QStringLiteral("receive"), QStringLiteral("--port"), sim.devicePath(),
             QStringLiteral("--seconds"), QStringLiteral("600"), QStringLiteral("--out"), out});
        ASSERT_TRUE(cli.waitForStarted());
        ASSERT_TRUE(voltaro::testing::waitUntil([&] { return sim.sent() == 1; }));
        ::kill(static_cast<pid_t>(cli.processId()), c.signal);
        ASSERT_TRUE(cli.waitForFinished(15000));
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        ASSERT_TRUE(QFile::exists(out));
        const QJsonArray sessions = info(out)[QStringLiteral("sessions")].toArray();
        ASSERT_EQ(sessions.size(), 1);
        EXPECT_EQ(blockNames(sessions[0].toObject()), QStringList{QStringLiteral("NiCd C")});
    }
}

TEST_F(ReceptionCli, ReceiveGivesTheSystemsReasonWhenThePortFails) {
    {
        QFile plain(path("plain.txt"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write("not a serial port\r\n");
    }
    // The fixed text, then the system's reason in parentheses, on one line.
    const QRegularExpression line(
        QStringLiteral("^voltaro-cli: Error (opening|setting up the) serial port\\. \\(.+\\)\n$"));
    for (const char* port : {"no-such-port", "plain.txt"}) {
        for (const bool offline : {false, true}) {
            SCOPED_TRACE(std::string(port) + (offline ? " offline" : " online"));
            QStringList args{QStringLiteral("receive"),
                             QStringLiteral("--port"),
                             path(port),
                             QStringLiteral("--seconds"),
                             QStringLiteral("1"),
                             QStringLiteral("--out"),
                             path("x.vtr")};
            if (offline)
                args << QStringLiteral("--offline");
            const CliRun r = runCli(args);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(line.match(QString::fromUtf8(r.err)).hasMatch()) << r.err.toStdString();
            EXPECT_FALSE(QFile::exists(path("x.vtr")));
        }
    }
}

TEST_F(ReceptionCli, ReceiveChecksTheTargetBeforeAskingTheCharger) {
    if (!SimulatorProcess::available())
        SKIP_OR_FAIL_IN_CI("no pseudo-terminals on this system");
    {
        QFile old(path("old.vtr"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        ASSERT_TRUE(old.setPermissions(QFileDevice::ReadOwner));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    struct Case {
        const char* out;
        const char* reason;
    };
    const Case cases[] = {
        {"missing/r.vtr", "No such file or directory"},
        {"folder", "It is not a file."},
        {"old.vtr", "Access is denied: the file is read-only."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        SimulatorProcess sim;
        ASSERT_TRUE(sim.start({QStringLiteral("--offline")}));
        const CliRun r =
            runCli({QStringLiteral("receive"), QStringLiteral("--port"), sim.devicePath(),
                    QStringLiteral("--offline"), QStringLiteral("--seconds"), QStringLiteral("20"),
                    QStringLiteral("--out"), path(c.out)});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.startsWith("voltaro-cli: Cannot save the project file"))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.reason)) << r.err.toStdString();
        // The charger was never asked, so its session is still to be had.
        EXPECT_EQ(sim.sent(), 0);
    }
    EXPECT_EQ(readAll(path("old.vtr")), QByteArray("old"));
}

TEST_F(ReceptionCli, ImportWithoutAFittingParserSaysSo) {
    struct Case {
        const char* name;
        const char* text;
        bool blocks;
    };
    const Case cases[] = {
        {"a charger no parser knows", "START,Charge\r\nD,0,12000,1\r\nEND\r\n", false},
        {"an empty file", "", false},
        {"a KOVA session", "*** KOVA v2.10 #\r\n3:0:6000:500 0\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            QFile raw(path("in.txt"));
            ASSERT_TRUE(raw.open(QIODevice::WriteOnly | QIODevice::Truncate));
            raw.write(c.text);
        }
        const CliRun r = runCli({QStringLiteral("import"), path("in.txt"), QStringLiteral("--out"),
                                 path("in.vtr"), QStringLiteral("--parsers"), path("none")});
        // The empty session is still the import's result.
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonArray sessions = info(path("in.vtr"))[QStringLiteral("sessions")].toArray();
        ASSERT_EQ(sessions.size(), 1);
        EXPECT_EQ(blockNames(sessions[0].toObject()).isEmpty(), !c.blocks);
        EXPECT_EQ(r.err.contains("no block found in"), !c.blocks) << r.err.toStdString();
        if (!c.blocks) {
            EXPECT_TRUE(r.err.contains("none")) << r.err.toStdString();
        }
    }
}

TEST_F(ReceptionCli, TranslatedExportAndUsageErrors) {
    const QString capture = QDir(QStringLiteral(TEST_DATA_DIR))
                                .filePath(QStringLiteral("reception_kova_two_blocks.txt"));
    ASSERT_EQ(runCli({QStringLiteral("import"), capture, QStringLiteral("--out"), path("a.vtr")})
                  .exitCode,
              0);
    CliRun r = runCli(
        {QStringLiteral("export"), path("a.vtr"), QStringLiteral("--translated"), path("t.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray text = readAll(path("t.txt"));
    EXPECT_TRUE(
        text.startsWith("#####################################\r\n# Name:        NiCd C\r\n"));
    EXPECT_TRUE(text.contains("# Data Count:  3\r\n"));
    EXPECT_TRUE(text.contains("\r\n120\t1.300\t2.000\t0.067\t0.085\t0.000\r\n"));
    EXPECT_TRUE(text.endsWith("\r\n\r\n\r\n"));
    EXPECT_EQ(text.count("# Name:"), 2);

    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{QStringLiteral("export"), path("a.vtr"), path("t.txt")}, 2},
        {{QStringLiteral("export"), path("missing.vtr"), QStringLiteral("--raw"), path("x.txt")},
         1},
        {{QStringLiteral("import"), path("missing.txt"), QStringLiteral("--out"), path("x.vtr")},
         1},
        {{QStringLiteral("import"), capture}, 2},
        {{QStringLiteral("receive"), QStringLiteral("--port"), path("no-such-port"),
          QStringLiteral("--seconds"), QStringLiteral("1"), QStringLiteral("--out"), path("x.vtr")},
         1},
        {{QStringLiteral("receive"), QStringLiteral("--seconds"), QStringLiteral("1")}, 2},
    };
    for (const Case& c : cases) {
        r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path("x.vtr")));
    EXPECT_FALSE(QFile::exists(path("x.txt")));
}

TEST_F(ReceptionCli, ReceiveOfflineAndOnlineFromTheSimulator) {
    if (!SimulatorProcess::available())
        SKIP_OR_FAIL_IN_CI("no pseudo-terminals on this system");
    {
        SimulatorProcess sim;
        ASSERT_TRUE(
            sim.start({QStringLiteral("--offline"), QStringLiteral("--cycles"),
                       QStringLiteral("CDCD"), QStringLiteral("--samples"), QStringLiteral("5")}));
        const CliRun r =
            runCli({QStringLiteral("receive"), QStringLiteral("--port"), sim.devicePath(),
                    QStringLiteral("--offline"), QStringLiteral("--seconds"), QStringLiteral("30"),
                    QStringLiteral("--out"), path("off.vtr")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("Read successful (4 blocks read)."));
        const QJsonArray sessions = info(path("off.vtr"))[QStringLiteral("sessions")].toArray();
        ASSERT_EQ(sessions.size(), 1);
        EXPECT_EQ(blockNames(sessions[0].toObject()),
                  (QStringList{QStringLiteral("NiCd C1"), QStringLiteral("NiCd D1"),
                               QStringLiteral("NiCd C2"), QStringLiteral("NiCd D2")}));
    }
    {
        // Online: the charger starts after a moment and finishes well within the time.
        SimulatorProcess sim;
        ASSERT_TRUE(
            sim.start({QStringLiteral("--cycles"), QStringLiteral("C"), QStringLiteral("--battery"),
                       QStringLiteral("5"), QStringLiteral("--samples"), QStringLiteral("4"),
                       QStringLiteral("--start-delay"), QStringLiteral("300")}));
        const CliRun r = runCli({QStringLiteral("receive"), QStringLiteral("--port"),
                                 sim.devicePath(), QStringLiteral("--seconds"), QStringLiteral("3"),
                                 QStringLiteral("--out"), path("on.vtr")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(sim.sent(), 1);
        const QJsonArray sessions = info(path("on.vtr"))[QStringLiteral("sessions")].toArray();
        ASSERT_EQ(sessions.size(), 1);
        EXPECT_EQ(blockNames(sessions[0].toObject()), QStringList{QStringLiteral("LiX C")});
    }
}

TEST_F(ReceptionCli, ReceiveThatGetsNothingOrOnlyPartFails) {
    if (!SimulatorProcess::available())
        SKIP_OR_FAIL_IN_CI("no pseudo-terminals on this system");
    struct Case {
        const char* name;
        QStringList simulator;
        bool offline;
        const char* seconds;
        const char* message;
        QStringList blocks;  // of the saved project; none: no file
    };
    const Case cases[] = {
        // The download stops after the header and two samples: kept, but not a success.
        {"offline cut short",
         {QStringLiteral("--offline"), QStringLiteral("--silence-after"), QStringLiteral("3")},
         true,
         "20",
         "Data reception has not finished successfully.",
         {QStringLiteral("NiCd C")}},
        // An offline charger says nothing unless asked.
        {"online silence", {QStringLiteral("--offline")}, false, "1", "No block received", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatorProcess sim;
        ASSERT_TRUE(sim.start(c.simulator));
        const QString out = path("r.vtr");
        QFile::remove(out);
        QStringList args{QStringLiteral("receive"),
                         QStringLiteral("--port"),
                         sim.devicePath(),
                         QStringLiteral("--seconds"),
                         QString::fromLatin1(c.seconds),
                         QStringLiteral("--out"),
                         out};
        if (c.offline)
            args << QStringLiteral("--offline");
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        ASSERT_EQ(QFile::exists(out), !c.blocks.isEmpty());
        if (!c.blocks.isEmpty()) {
            const QJsonArray sessions = info(out)[QStringLiteral("sessions")].toArray();
            ASSERT_EQ(sessions.size(), 1);
            EXPECT_EQ(blockNames(sessions[0].toObject()), c.blocks);
        }
    }
}

}  // namespace
