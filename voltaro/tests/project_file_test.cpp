// The .vtr file of the project document: exact bytes, older versions, round
// trips and damaged files.
#include "project_bytes.h"

#include "platform/settings/SettingsStore.h"
#include "platform/testing/FileBytes.h"
#include "voltaro/model/ArchiveReader.h"
#include "voltaro/model/ArchiveWriter.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace voltaro {
namespace {

using testing::Bytes;
using testing::FixtureBlock;
using testing::FixtureSample;
using testing::FixtureSession;

std::string toBytes(const CMainDoc& doc) {
    ArchiveWriter ar;
    doc.Serialize(ar);
    return ar.bytes();
}

void writeFile(const QString& path, const std::string& bytes) {
    ASSERT_TRUE(platform::testing::writeFileBytes(path, bytes)) << path.toStdString();
}

std::string readFile(const QString& path) {
    return platform::testing::readFileBytes(path).value_or("");
}

DataSample sample(float t, float u, float i, float r, std::string_view text) {
    DataSample s;
    s.T = t;
    s.U = u;
    s.I = i;
    s.C = t * i / 3600.0f;
    s.E = t * u * i / 3600.0f;
    s.R = r;
    s.SetText(text);
    return s;
}

class ProjectFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    // A project of two sessions with two blocks each and every stored field set.
    static void fill(CMainDoc& doc) {
        for (int s = 0; s < 2; ++s) {
            CDataModule* session = doc.m_sessions.AddTail(std::make_unique<CDataModule>(&doc));
            session->m_strName = "Charge " + std::to_string(s + 1);
            session->m_protocol = "{\\rtf1 session " + std::to_string(s) + "}";
            for (int b = 0; b < 2; ++b) {
                CDataBlock* block = session->AddBlock(std::make_unique<CDataBlock>());
                block->m_strName = std::to_string(b + 1) + " NiMH\xE8 C";
                block->m_bSelected = b == 0;
                block->m_strCreated = "11.12.2026 10:1" + std::to_string(b);
                block->m_strInfo = "KOVA v2.10 \"" + std::to_string(s) + "\"";
                block->m_nBattery = s * 2 + b;
                block->m_nLineType = b == 0 ? -1 : 6;
                block->m_nColorIntensity = b == 0 ? 30 : -1;
                block->m_protocol = std::string("{\\rtf1 block}\0x", 15);
                for (int i = 0; i < 3 + b; ++i) {
                    block->m_samples.push_back(sample(float(i * 10), 1.2f + float(i) * 0.01f, 2.0f,
                                                      float(1000 * i), "3:125:12450:1500"));
                }
            }
        }
    }

    QTemporaryDir dir_;
};

TEST_F(ProjectFile, EmptyProjectBytes) {
    CMainDoc doc(true);
    Bytes expected;
    expected.u16(5).u8(0).u8(0).u8(0).u8(0).u32(0);
    // Graph settings: titles, fonts, sizes, grids, legend, overlap, cursor kind.
    expected.u8(0).u8(0).u8(5).raw("Arial").u8(5).raw("Arial");
    expected.u32(3).u32(3).u32(2).u32(1).u32(1).u32(1).u32(0).u32(1);
    const unsigned shown[5] = {1, 1, 1, 0, 0};
    for (unsigned s : shown) {
        expected.raw(std::string(8, '\0')).u32(1);
        expected.raw(std::string("\0\0\0\0\0\0\x24\x40", 8)).u32(1);
        expected.u32(s).u32(0).u32(0);
    }
    expected.u16(0);
    EXPECT_EQ(toBytes(doc), expected.str());
}

TEST_F(ProjectFile, FormulasAndProtocolBarAreWrittenButNotRead) {
    DocumentServices services;
    services.isProtocolBarVisible = [] { return true; };
    CMainDoc doc(true, services);
    doc.m_strFormula1 = "U*I";
    doc.m_strTitle1 = "P";
    doc.m_strFormula2 = "C/2";
    doc.m_strTitle2 = "Half";
    const std::string bytes = toBytes(doc);
    EXPECT_EQ(bytes.substr(0, 2 + 4 + 2 + 4 + 5 + 4),
              Bytes().u16(5).str("U*I").str("P").str("C/2").str("Half").u32(1).str());

    writeFile(path("f.vtr"), bytes);
    CMainDoc other(true);
    other.m_strFormula1 = "mine";
    ASSERT_TRUE(other.OnOpenDocument(path("f.vtr")));
    EXPECT_EQ(other.m_strFormula1, "mine");
    EXPECT_TRUE(other.m_strTitle1.empty());
}

TEST_F(ProjectFile, TwoSessionExampleTagSequence) {
    CMainDoc doc(true);
    for (int s = 0; s < 2; ++s) {
        CDataModule* session = doc.m_sessions.AddTail(std::make_unique<CDataModule>(&doc));
        session->m_strName = "S" + std::to_string(s);
        for (int b = 0; b < 2; ++b) {
            CDataBlock* block = session->AddBlock(std::make_unique<CDataBlock>());
            block->m_strName = "B" + std::to_string(b);
        }
    }
    const std::string all = toBytes(doc);
    CMainDoc empty(true);
    const std::string head = toBytes(empty);
    ASSERT_EQ(all.substr(0, head.size() - 2), head.substr(0, head.size() - 2));

    // Block data after its tag and parent reference, for an empty block.
    auto blockData = [](Bytes& b, const char* name) {
        b.u32(0).str(name).u32(0).str("").str("").u32(0).u32(0).u32(0).i32(-1).i32(-1).u16(0);
    };
    Bytes expected;
    expected.u16(2);
    expected.newClass("CDataModule").u16(0x0000).u32(0).str("S0").u16(2);  // class 1, session 2
    expected.newClass("CDataBlock").u16(0x0002);                           // class 3, block 4
    blockData(expected, "B0");
    expected.u16(0x8003).u16(0x0002);  // block 5
    blockData(expected, "B1");
    expected.u16(0x8001).u16(0x0000).u32(0).str("S1").u16(2);  // session 6
    expected.u16(0x8003).u16(0x0006);                          // block 7
    blockData(expected, "B0");
    expected.u16(0x8003).u16(0x0006);  // block 8
    blockData(expected, "B1");
    EXPECT_EQ(all.substr(head.size() - 2), expected.str());
}

TEST_F(ProjectFile, RoundTripKeepsEveryStoredField) {
    CMainDoc doc(true);
    fill(doc);
    doc.m_graphSettings.m_strTitle = "Graph";
    doc.m_graphSettings.m_strSubtitle = std::string(300, 's');
    doc.m_graphSettings.m_nCursorKind = 3;
    doc.m_graphSettings.m_axes[4] = GraphAxis{-5.5, 0, 12000.0, 0, 1, 1, 2};
    doc.m_sessions.GetAt(1)->m_blocks.GetAt(0)->m_strInfo = std::string(70000, 'i');
    doc.m_sessions.GetAt(0)->m_blocks.GetAt(1)->m_strName = std::string(255, 'n');
    ASSERT_TRUE(doc.OnSaveDocument(path("round.vtr")));
    EXPECT_EQ(readFile(path("round.vtr")), toBytes(doc));

    CMainDoc loaded(true);
    QString error;
    ASSERT_TRUE(loaded.OnOpenDocument(path("round.vtr"), &error)) << error.toStdString();
    EXPECT_EQ(loaded.m_nFileVersion, 5);
    EXPECT_EQ(loaded.m_graphSettings, doc.m_graphSettings);
    ASSERT_EQ(loaded.m_sessions.GetCount(), 2u);
    for (std::size_t s = 0; s < 2; ++s) {
        const CDataModule* a = doc.m_sessions.GetAt(s);
        const CDataModule* b = loaded.m_sessions.GetAt(s);
        EXPECT_EQ(b->m_strName, a->m_strName);
        EXPECT_EQ(b->m_protocol, a->m_protocol);
        EXPECT_EQ(b->m_pDocument, &loaded);
        ASSERT_EQ(b->m_blocks.GetCount(), a->m_blocks.GetCount());
        for (std::size_t k = 0; k < a->m_blocks.GetCount(); ++k) {
            const CDataBlock* x = a->m_blocks.GetAt(k);
            const CDataBlock* y = b->m_blocks.GetAt(k);
            EXPECT_EQ(y->m_pParent, b);
            EXPECT_EQ(y->m_strName, x->m_strName);
            EXPECT_EQ(y->m_bSelected, x->m_bSelected);
            EXPECT_EQ(y->m_strCreated, x->m_strCreated);
            EXPECT_EQ(y->m_strInfo, x->m_strInfo);
            EXPECT_EQ(y->m_nBattery, x->m_nBattery);
            EXPECT_EQ(y->m_nLineType, x->m_nLineType);
            EXPECT_EQ(y->m_nColorIntensity, x->m_nColorIntensity);
            EXPECT_EQ(y->m_protocol, x->m_protocol);
            ASSERT_EQ(y->m_samples.size(), x->m_samples.size());
            EXPECT_EQ(std::memcmp(y->m_samples.data(), x->m_samples.data(),
                                  x->m_samples.size() * sizeof(DataSample)),
                      0);
            // Working state starts afresh.
            EXPECT_EQ(y->m_pParser, nullptr);
            EXPECT_FALSE(y->m_bAnnounced);
            EXPECT_EQ(y->m_nStartIndex, -1);
            EXPECT_EQ(y->m_nMaxUIndex, -1);
        }
    }
    // Saving what was loaded gives the same bytes again.
    EXPECT_EQ(toBytes(loaded), toBytes(doc));
}

TEST_F(ProjectFile, LoadedSessionsTakeNumbersFromTheProgramCounter) {
    ItemEnvironment program;
    DocumentServices services;
    services.environment = &program;
    CMainDoc doc(true, services);
    fill(doc);  // Session1, Session2 (renamed)
    ASSERT_TRUE(doc.OnSaveDocument(path("n.vtr")));
    CMainDoc loaded(true, services);
    ASSERT_TRUE(loaded.OnOpenDocument(path("n.vtr")));  // takes 3 and 4
    EXPECT_EQ(loaded.m_sessions.GetAt(0)->m_strName, "Charge 1");
    EXPECT_EQ(loaded.OnCreateEmptySession()->m_strName, "Session5");
}

// Versions 1 to 5 as their programs wrote them.
struct VersionCase {
    int version;
    bool hasR;           // samples carry R, and the file has the R axis
    bool hasStyles;      // line type and colour intensity stored
    bool hasTitlesFont;  // the titles font index stored
    bool hasAxisSides;   // right-hand flag and reference stored
};

class ProjectVersions : public ProjectFile, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(ProjectVersions, ReadsTheLayoutOfItsVersion) {
    const VersionCase& c = GetParam();
    FixtureBlock block;
    block.name = "1 NiCd C";
    block.selected = true;
    block.created = "1.2.2005 12:00";
    block.info = "KOVA";
    block.battery = 3;
    block.lineType = 4;
    block.intensity = 70;
    block.protocol = "proto";
    block.samples = {{1.0f, 1.25f, 2.0f, 0.5f, 0.25f, 900.0f, "first"},
                     {2.0f, 1.5f, 2.5f, 0.75f, 0.5f, 1800.0f, std::string(90, 'x')}};
    FixtureSession session{"Old", "sp", {block, block}};
    const std::string file = testing::projectFile({session}, c.version, 100.0);
    writeFile(path("old.vtr"), file);

    // A stored default that differs from the built-in one shows where the R axis
    // comes from when the file has none.
    platform::MemorySettingsBackend store;
    const platform::SettingsKey root = platform::SettingsKey::Root(store);
    GraphSettings stored;
    stored.m_axes[4].max = 777.0;
    stored.m_nTitlesFont = 9;
    DocumentServices services;
    services.settingsRoot = &root;
    CMainDoc writer(true, services);
    writer.m_graphSettings = stored;
    ASSERT_TRUE(writer.SaveGraphSettingsAsDefault());

    CMainDoc doc(true, services);
    QString error;
    ASSERT_TRUE(doc.OnOpenDocument(path("old.vtr"), &error)) << error.toStdString();
    EXPECT_EQ(doc.m_nFileVersion, c.version);
    const GraphSettings& g = doc.m_graphSettings;
    EXPECT_EQ(g.m_nTitlesFont, c.hasTitlesFont ? 3 : 9);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g.m_axes[std::size_t(i)].min, 100.0 + i) << i;
    }
    EXPECT_EQ(g.m_axes[1].right, c.hasAxisSides ? 1 : 0);
    if (c.hasR) {
        EXPECT_EQ(g.m_axes[4].min, 104.0);
        EXPECT_EQ(g.m_axes[4].max, 10.0);
    } else {
        EXPECT_EQ(g.m_axes[4].min, 0.0);
        EXPECT_EQ(g.m_axes[4].max, 777.0);
    }

    ASSERT_EQ(doc.m_sessions.GetCount(), 1u);
    const CDataModule* s = doc.m_sessions.GetHead();
    EXPECT_EQ(s->m_strName, "Old");
    EXPECT_EQ(s->m_protocol, "sp");
    ASSERT_EQ(s->m_blocks.GetCount(), 2u);
    for (const CDataBlock* b : s->m_blocks) {
        EXPECT_EQ(b->m_strName, "1 NiCd C");
        EXPECT_TRUE(b->m_bSelected);
        EXPECT_EQ(b->m_strCreated, "1.2.2005 12:00");
        EXPECT_EQ(b->m_strInfo, "KOVA");
        EXPECT_EQ(b->m_nBattery, 3);
        EXPECT_EQ(b->m_protocol, "proto");
        EXPECT_EQ(b->m_nLineType, c.hasStyles ? 4 : -1);
        EXPECT_EQ(b->m_nColorIntensity, c.hasStyles ? 70 : -1);
        ASSERT_EQ(b->m_samples.size(), 2u);
        const DataSample& last = b->m_samples[1];
        EXPECT_EQ(last.T, 2.0f);
        EXPECT_EQ(last.U, 1.5f);
        EXPECT_EQ(last.I, 2.5f);
        EXPECT_EQ(last.C, 0.75f);
        EXPECT_EQ(last.E, 0.5f);
        EXPECT_EQ(last.R, c.hasR ? 1800.0f : 0.0f);
        EXPECT_EQ(last.Text(), std::string(80, 'x'));
        EXPECT_EQ(b->m_samples[0].Text(), "first");
    }

    // Saved again, it is a version 5 file that reads back the same.
    ASSERT_TRUE(doc.OnSaveDocument(path("new.vtr")));
    EXPECT_EQ(readFile(path("new.vtr")).substr(0, 2), std::string("\x05\x00", 2));
    CMainDoc again(true, services);
    ASSERT_TRUE(again.OnOpenDocument(path("new.vtr")));
    EXPECT_EQ(toBytes(again), toBytes(doc));
}

INSTANTIATE_TEST_SUITE_P(AllVersions, ProjectVersions,
                         ::testing::Values(VersionCase{1, false, false, false, false},
                                           VersionCase{2, false, false, false, true},
                                           VersionCase{3, false, false, true, true},
                                           VersionCase{4, false, true, true, true},
                                           VersionCase{5, true, true, true, true}),
                         [](const auto& info) { return "v" + std::to_string(info.param.version); });

TEST_F(ProjectFile, VersionOneHasNoAxisSides) {
    // Version 1 files end each axis after "shown"; the sides stay at their defaults.
    FixtureSession session{"S", "", {}};
    writeFile(path("v1.vtr"), testing::projectFile({session}, 1));
    CMainDoc doc(true);
    doc.m_graphSettings.m_axes[1].right = 1;
    ASSERT_TRUE(doc.OnOpenDocument(path("v1.vtr")));
    EXPECT_EQ(doc.m_graphSettings.m_axes[1].right, 0);
    EXPECT_EQ(doc.m_sessions.GetHead()->m_strName, "S");
}

// A project to damage: two sessions, blocks with samples.
std::string goodFile() {
    FixtureBlock block;
    block.name = "b";
    block.samples = {{1, 2, 3, 4, 5, 6, "x"}};
    FixtureSession a{"A", "p", {block, block}};
    FixtureSession b{"B", "", {block}};
    return testing::projectFile({a, b}, 5);
}

class DamagedFiles : public ProjectFile {
protected:
    // Opens `bytes` into a document that already holds a project and checks that
    // the open fails, names the file and leaves the project as it was.
    void expectRefused(const std::string& bytes, const std::string& what) {
        CMainDoc doc(true);
        fill(doc);
        doc.m_graphSettings.m_strTitle = "kept";
        doc.SetModifiedFlag(true);
        const std::string before = toBytes(doc);
        writeFile(path("bad.vtr"), bytes);
        QString error;
        EXPECT_FALSE(doc.OnOpenDocument(path("bad.vtr"), &error)) << what;
        EXPECT_TRUE(error.contains(QStringLiteral("bad.vtr")))
            << what << ": " << error.toStdString();
        EXPECT_EQ(toBytes(doc), before) << what;
        EXPECT_TRUE(doc.IsModified()) << what;
        EXPECT_TRUE(doc.GetPathName().isEmpty()) << what;

        // An import of the same file changes nothing either.
        EXPECT_FALSE(doc.ImportProjectFile(path("bad.vtr"), &error)) << what;
        EXPECT_EQ(toBytes(doc), before) << what;
    }
};

TEST_F(DamagedFiles, EveryTruncationIsRefused) {
    const std::string good = goodFile();
    for (std::size_t n = 1; n < good.size(); ++n) {
        expectRefused(good.substr(0, n), "first " + std::to_string(n) + " bytes");
        if (HasFailure()) {
            break;
        }
    }
}

TEST_F(DamagedFiles, FaultsInTheStructureAreRefused) {
    const std::string good = goodFile();
    const std::size_t firstClass = good.find("CDataModule");
    const std::size_t blockClass = good.find("CDataBlock");
    ASSERT_NE(firstClass, std::string::npos);
    ASSERT_NE(blockClass, std::string::npos);
    auto patched = [&](std::size_t at, std::string_view with) {
        std::string s = good;
        s.replace(at, with.size(), with);
        return s;
    };
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"version 0", patched(0, std::string("\0\0", 2))},
        {"version 6", patched(0, std::string("\x06\0", 2))},
        {"version 0xFFFF", patched(0, std::string("\xFF\xFF", 2))},
        {"unknown class", patched(firstClass, "CDataModulX")},
        {"schema 1", patched(firstClass - 4, std::string("\x01\x00", 2))},
        {"block parent not read yet", patched(blockClass + 10, std::string("\x09\x00", 2))},
        {"block in the session list",
         patched(firstClass - 6, Bytes().newClass("CDataBlock").str())},
        {"empty reference in the session list",
         Bytes().raw(good.substr(0, firstClass - 6)).u16(0).str()},
        {"wide string", patched(2, std::string("\xFF\xFE\xFF", 3))},
        {"sample count beyond the file",
         patched(good.size() - 108 - 2, std::string("\xFF\xFF\xFF\xFF\xFF\x0F", 6))},
        {"", {}},
    };
    for (const auto& c : cases) {
        expectRefused(c.bytes, c.name[0] ? c.name : "empty file");
    }
}

TEST_F(DamagedFiles, MessagesNameTheCause) {
    const struct {
        std::string bytes;
        const char* phrase;
    } cases[] = {
        {{}, "empty"},
        {std::string("\x07\x00", 2), "version 7"},
        {goodFile().substr(0, 40), "ends before"},
    };
    for (const auto& c : cases) {
        writeFile(path("m.vtr"), c.bytes);
        CMainDoc doc(true);
        QString error;
        ASSERT_FALSE(doc.OnOpenDocument(path("m.vtr"), &error));
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.phrase))) << error.toStdString();
    }
    CMainDoc doc(true);
    QString error;
    EXPECT_FALSE(doc.OnOpenDocument(path("missing.vtr"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.vtr")));
}

TEST_F(ProjectFile, ReadOnlyTargetIsNotWritten) {
    writeFile(path("ro.vtr"), "old bytes");
    ASSERT_TRUE(QFile::setPermissions(path("ro.vtr"), QFile::ReadOwner | QFile::ReadGroup));
    CMainDoc doc(true);
    fill(doc);
    doc.SetModifiedFlag(true);
    QString error;
    EXPECT_FALSE(doc.OnSaveDocument(path("ro.vtr"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ro.vtr")));
    EXPECT_TRUE(error.contains(QStringLiteral("read-only")));
    EXPECT_EQ(readFile(path("ro.vtr")), "old bytes");
    EXPECT_TRUE(doc.IsModified());
    QFile::setPermissions(path("ro.vtr"), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(ProjectFile, SaveIntoMissingFolderKeepsNothingHalfWritten) {
    CMainDoc doc(true);
    fill(doc);
    QString error;
    EXPECT_FALSE(doc.OnSaveDocument(path("no/such/folder/x.vtr"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("x.vtr")));
    EXPECT_TRUE(doc.GetPathName().isEmpty());
}

}  // namespace
}  // namespace voltaro
