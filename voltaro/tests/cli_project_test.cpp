// voltaro-cli info and resave, run as a separate process on project files built
// from the format tables.
#include "platform/testing/ChildProcess.h"
#include "project_bytes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using voltaro::testing::FixtureBlock;
using voltaro::testing::FixtureSession;

using CliRun = platform::testing::ProgramRun;

CliRun runCli(const QStringList& args) {
    return platform::testing::runProgram(QStringLiteral(VOLTARO_CLI_PATH), args);
}

class VoltaroCli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    void write(const char* name, const std::string& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    QJsonObject info(const char* name) {
        const CliRun r = runCli({QStringLiteral("info"), path(name)});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        return doc.object();
    }

    // Two sessions; the first block has samples, Czech text in Windows-1250.
    static std::vector<FixtureSession> project() {
        FixtureBlock full;
        full.name = "1 NiMH \xE8\x9A";  // "čš"
        full.selected = true;
        full.created = "11.12.2026 9:30:00";
        full.info = "KOVA v2.10 \"x\"";
        full.battery = 2;
        full.lineType = 5;
        full.intensity = 40;
        full.protocol = "{\\rtf1 abc}";
        full.samples = {{0.5f, 1.25f, 2.0f, 0.125f, 0.25f, 1200.0f, "first line"},
                        {10.0f, 1.5f, -0.75f, 0.5f, 0.625f, 1500.0f, "last line"}};
        FixtureBlock empty;
        empty.name = "empty";
        return {{"Session A", "prot", {full, empty}}, {"B", "", {}}};
    }

    QTemporaryDir dir_;
};

TEST_F(VoltaroCli, InfoOfAVersion5Project) {
    write("p.vtr", voltaro::testing::projectFile(project(), 5));
    const QJsonObject o = info("p.vtr");
    EXPECT_EQ(o.value("version").toInt(), 5);

    const QJsonObject g = o.value("graph").toObject();
    EXPECT_EQ(g.value("m_strTitle").toString(), QString());
    EXPECT_EQ(g.value("m_strTitleFont").toString(), QStringLiteral("Arial"));
    EXPECT_EQ(g.value("m_strSubtitleFont").toString(), QStringLiteral("Arial"));
    EXPECT_EQ(g.value("m_nTitlesFont").toInt(), 3);
    EXPECT_EQ(g.value("m_nLegendFont").toInt(), 3);
    EXPECT_EQ(g.value("m_nOverallFont").toInt(), 2);
    EXPECT_EQ(g.value("m_bHorzGrid").toInt(), 1);
    EXPECT_EQ(g.value("m_bOverlapAxes").toInt(), 0);
    EXPECT_EQ(g.value("m_nCursorKind").toInt(), 1);
    const QJsonArray axes = g.value("axes").toArray();
    ASSERT_EQ(axes.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const QJsonObject a = axes[i].toObject();
        EXPECT_EQ(a.value("min").toDouble(), 0.0);
        EXPECT_EQ(a.value("max").toDouble(), 10.0);
        EXPECT_EQ(a.value("autoMin").toInt(), 1);
        EXPECT_EQ(a.value("autoMax").toInt(), 1);
        EXPECT_EQ(a.value("shown").toInt(), i < 3 ? 1 : 0);
        EXPECT_EQ(a.value("right").toInt(), 0);
        EXPECT_EQ(a.value("reference").toInt(), 0);
    }

    const QJsonArray sessions = o.value("sessions").toArray();
    ASSERT_EQ(sessions.size(), 2);
    const QJsonObject s = sessions[0].toObject();
    EXPECT_EQ(s.value("m_strName").toString(), QStringLiteral("Session A"));
    EXPECT_EQ(s.value("protocolBytes").toInt(), 4);
    const QJsonArray blocks = s.value("blocks").toArray();
    ASSERT_EQ(blocks.size(), 2);
    const QJsonObject b = blocks[0].toObject();
    EXPECT_EQ(b.value("m_strName").toString(), QStringLiteral("1 NiMH \u010D\u0161"));
    EXPECT_EQ(b.value("m_bSelected").toBool(), true);
    EXPECT_EQ(b.value("m_strCreated").toString(), QStringLiteral("11.12.2026 9:30:00"));
    EXPECT_EQ(b.value("m_strInfo").toString(), QStringLiteral("KOVA v2.10 \"x\""));
    EXPECT_EQ(b.value("m_nBattery").toInt(), 2);
    EXPECT_EQ(b.value("m_nLineType").toInt(), 5);
    EXPECT_EQ(b.value("m_nColorIntensity").toInt(), 40);
    EXPECT_EQ(b.value("protocolBytes").toInt(), 11);
    EXPECT_EQ(b.value("samples").toInt(), 2);
    const QJsonObject first = b.value("first").toObject();
    EXPECT_EQ(first.value("T").toDouble(), 0.5);
    EXPECT_EQ(first.value("U").toDouble(), 1.25);
    EXPECT_EQ(first.value("R").toDouble(), 1200.0);
    EXPECT_EQ(first.value("text").toString(), QStringLiteral("first line"));
    const QJsonObject last = b.value("last").toObject();
    EXPECT_EQ(last.value("T").toDouble(), 10.0);
    EXPECT_EQ(last.value("I").toDouble(), -0.75);
    EXPECT_EQ(last.value("C").toDouble(), 0.5);
    EXPECT_EQ(last.value("E").toDouble(), 0.625);
    EXPECT_EQ(last.value("text").toString(), QStringLiteral("last line"));

    const QJsonObject e = blocks[1].toObject();
    EXPECT_EQ(e.value("samples").toInt(), 0);
    EXPECT_EQ(e.value("m_bSelected").toBool(true), false);
    EXPECT_FALSE(e.contains("first"));
    EXPECT_FALSE(e.contains("last"));
    EXPECT_TRUE(sessions[1].toObject().value("blocks").toArray().isEmpty());
}

TEST_F(VoltaroCli, FloatsPrintAsTheirShortestDecimal) {
    auto sessions = project();
    sessions[0].blocks[0].samples[0].U = 1.2f;  // 1.2000000476837158 as a double
    write("f.vtr", voltaro::testing::projectFile(sessions, 5));
    const CliRun r = runCli({QStringLiteral("info"), path("f.vtr")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("\"U\": 1.2,")) << r.out.toStdString();
}

TEST_F(VoltaroCli, ResaveWritesOlderVersionsAsVersion5) {
    for (int version = 1; version <= 5; ++version) {
        write("old.vtr", voltaro::testing::projectFile(project(), version));
        const CliRun r = runCli({QStringLiteral("resave"), path("old.vtr"), path("new.vtr")});
        ASSERT_EQ(r.exitCode, 0) << version << ": " << r.err.toStdString();
        QFile f(path("new.vtr"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.read(2), QByteArray("\x05\x00", 2)) << version;

        QJsonObject before = info("old.vtr");
        QJsonObject after = info("new.vtr");
        EXPECT_EQ(before.value("version").toInt(), version);
        EXPECT_EQ(after.value("version").toInt(), 5);
        before.remove("version");
        after.remove("version");
        EXPECT_EQ(before, after) << version;
        const QJsonObject block =
            after.value("sessions").toArray()[0].toObject().value("blocks").toArray()[0].toObject();
        EXPECT_EQ(block.value("last").toObject().value("R").toDouble(),
                  version >= 5 ? 1500.0 : 0.0);
        EXPECT_EQ(block.value("m_nLineType").toInt(), version >= 4 ? 5 : -1);
    }
}

TEST_F(VoltaroCli, FailuresGoToStderrWithStatus) {
    write("bad.vtr", std::string("\x09\x00", 2));
    write("empty.vtr", std::string());
    const struct {
        QStringList args;
        int exitCode;
        const char* inError;
    } cases[] = {
        {{"info", path("bad.vtr")}, 1, "bad.vtr"},
        {{"info", path("empty.vtr")}, 1, "empty"},
        {{"info", path("missing.vtr")}, 1, "missing.vtr"},
        {{"resave", path("bad.vtr"), path("out.vtr")}, 1, "bad.vtr"},
        {{"info"}, 2, "usage"},
        {{"resave", path("bad.vtr")}, 2, "usage"},
        {{"frobnicate"}, 2, "unknown command"},
    };
    for (const auto& c : cases) {
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(c.inError)) << r.err.toStdString();
        if (c.exitCode == 1) {
            // The reason stays on the line of the program name, for scripts and logs.
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.startsWith("voltaro-cli: ")) << r.err.toStdString();
            EXPECT_FALSE(r.err.contains('\r'));
        }
    }
    EXPECT_FALSE(QFile::exists(path("out.vtr")));
}

TEST_F(VoltaroCli, EachCommandShowsItsUsageOnHelp) {
    const struct {
        const char* command;
        const char* usage;
    } cases[] = {
        {"info", "usage: voltaro-cli info FILE.vtr\n"},
        {"resave", "usage: voltaro-cli resave IN.vtr OUT.vtr\n"},
        {"eval", "usage: voltaro-cli eval \"EXPR\" [--var NAME=VALUE ...]\n"},
        {"import", "usage: voltaro-cli import RAW.txt --out OUT.vtr [--parsers DIR]\n"},
        {"export", "usage: voltaro-cli export IN.vtr --translated|--raw OUT.txt\n"},
        {"receive", "usage: voltaro-cli receive --port PORT [--offline] --seconds N"},
    };
    for (const auto& c : cases) {
        for (const char* flag : {"--help", "-h"}) {
            const CliRun r = runCli({QString::fromLatin1(c.command), QString::fromLatin1(flag)});
            EXPECT_EQ(r.exitCode, 0) << c.command << ' ' << flag << ": " << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(c.usage)) << r.out.toStdString();
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
    }
    // With more arguments "-h" is the formula's own: minus the variable h.
    const CliRun r = runCli({"eval", "-h", "--var", "h=2"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("-2\n"));
}

}  // namespace
