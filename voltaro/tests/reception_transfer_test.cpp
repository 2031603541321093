// Text export of blocks (translated and raw) and the raw-text import, with the
// round trip from one to the other.
#include "platform/testing/FileBytes.h"
#include "platform/testing/ScriptedPrompts.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/model/ItemEnvironment.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/TextTransfer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace voltaro;

std::string readAll(const QString& path) {
    return platform::testing::readFileBytes(path).value_or("");
}

QString dataFile(const char* name) {
    return QDir(QStringLiteral(TEST_DATA_DIR)).filePath(QString::fromLatin1(name));
}

std::string fixedTime() {
    return "11.12.2026 10:00:00";
}

class View : public DocumentView {
public:
    void OnUpdate(DocumentView*, int lHint, CViewTreeItem* pItem) override {
        hints.push_back(lHint);
        items.push_back(pItem);
    }
    std::vector<int> hints;
    std::vector<CViewTreeItem*> items;
};

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        parsers.Add(std::make_unique<CProtParser_Kova>());
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static CDataBlock* addBlock(CDataModule& session, const char* name,
                                std::initializer_list<std::array<float, 3>> tui) {
        CDataBlock* block = session.AddBlock(std::make_unique<CDataBlock>());
        block->m_strName = name;
        block->m_strCreated = fixedTime();
        block->m_strInfo = std::string("KOVA header of ") + name;
        for (const auto& v : tui) {
            DataSample s;
            s.T = v[0];
            s.U = v[1];
            s.I = v[2];
            block->AppendSample(s, "line of " + std::string(name), false);
        }
        return block;
    }

    QTemporaryDir dir;
    ParserList parsers;
};

TEST_F(TransferTest, TranslatedExportFormatsHeaderAndNumbers) {
    CDataModule session(nullptr);
    CDataBlock* block =
        addBlock(session, "NiCd C", {{0.25f, 1.0f, 0.0f}, {120.0f, 12.3456f, 1.5f}});
    CDataBlock* empty = addBlock(session, "Empty", {});
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteBlocks(out, {block, empty}, ID_EXPORT_TRANSLATED));
    // C and E of the second sample: 1.5 A and 12.3456 V over 119.75 s.
    const std::string expected =
        "#####################################\r\n"
        "# Name:        NiCd C\r\n"
        "# Date:        11.12.2026 10:00:00\r\n"
        "# Data Count:  2\r\n"
        "#\r\n"
        "T [s]\tU [V]\tI [A]\tC [Ah]\tE [Wh]\tR [rpm]\r\n"
        "0.25\t1.000\t0.000\t0.000\t0.000\t0.000\r\n"
        "120\t12.346\t1.500\t0.050\t0.616\t0.000\r\n"
        "\r\n\r\n"
        "#####################################\r\n"
        "# Name:        Empty\r\n"
        "# Date:        11.12.2026 10:00:00\r\n"
        "# Data Count:  0\r\n"
        "#\r\n"
        "T [s]\tU [V]\tI [A]\tC [Ah]\tE [Wh]\tR [rpm]\r\n"
        "\r\n\r\n";
    EXPECT_EQ(out.data().toStdString(), expected);
}

TEST_F(TransferTest, TimeUsesShortestFormWithSixDigits) {
    struct Case {
        float t;
        const char* text;
    };
    const Case cases[] = {{120.0f, "120"},      {0.25f, "0.25"},   {1234567.0f, "1.23457e+06"},
                          {0.0001f, "0.0001"},  {1e-05f, "1e-05"}, {999999.0f, "999999"},
                          {86400.5f, "86400.5"}};
    for (const Case& c : cases) {
        CDataModule session(nullptr);
        CDataBlock* block = addBlock(session, "b", {{c.t, 0.0f, 0.0f}});
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(WriteBlocks(out, {block}, ID_EXPORT_TRANSLATED));
        const std::string text = out.data().toStdString();
        const std::string row = std::string("\r\n") + c.text + "\t0.000\t";
        EXPECT_NE(text.find(row), std::string::npos) << c.text << "\n" << text;
    }
}

TEST_F(TransferTest, RawExportRepeatsHeadersAndEndsWithFormFeed) {
    CDataModule session(nullptr);
    CDataBlock* a = addBlock(session, "A", {{1, 1, 1}, {2, 1, 1}});
    CDataBlock* b = addBlock(session, "B", {{1, 1, 1}});
    // Received lines are kept with at most 80 characters.
    DataSample s;
    const std::string longLine = "3:3:1000:1000 0" + std::string(70, ' ') + "tail";
    b->AppendSample(s, longLine, false);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteBlocks(out, {a, b}, ID_EXPORT_RAW));
    const std::string expected =
        "\r\nKOVA header of A\r\nline of A\r\nline of A\r\n\r\n"
        "\r\nKOVA header of B\r\nline of B\r\n" +
        longLine.substr(0, 80) + "\r\n\r\n\f";
    EXPECT_EQ(out.data().toStdString(), expected);
    // Unknown commands write nothing.
    QBuffer none;
    none.open(QIODevice::WriteOnly);
    EXPECT_FALSE(WriteBlocks(none, {a}, 30055));
    EXPECT_TRUE(none.data().isEmpty());
}

TEST_F(TransferTest, SelectionWritesEveryBlockOnce) {
    CDataModule s1(nullptr);
    CDataModule s2(nullptr);
    CDataBlock* a = addBlock(s1, "a", {});
    CDataBlock* b = addBlock(s1, "b", {});
    CDataBlock* c = addBlock(s2, "c", {});
    CDataBlock* d = addBlock(s2, "d", {});
    using Blocks = std::vector<const CDataBlock*>;
    EXPECT_EQ(BlocksToExport({&s1, b}), (Blocks{a, b}));
    EXPECT_EQ(BlocksToExport({d, &s2, &s1}), (Blocks{d, c, a, b}));
    EXPECT_EQ(BlocksToExport({c, c, a}), (Blocks{c, a}));
    EXPECT_TRUE(BlocksToExport({}).empty());
    EXPECT_FALSE(CanExportSelection({}));
    CDataModule emptySession(nullptr);
    EXPECT_FALSE(CanExportSelection({&emptySession}));
    EXPECT_TRUE(CanExportSelection({&emptySession, d}));
}

TEST_F(TransferTest, ImportOfCaptureWithCrLfMakesTwoNamedBlocks) {
    std::vector<std::string> entries;
    CMainDoc doc(true);
    doc.Environment().addProtocolEntry = [&](CDataItem& item, const std::string& text) {
        entries.push_back(text);
        item.m_protocol += text;
    };
    CDataModule session(&doc);
    const QString file = dataFile("reception_kova_two_blocks.txt");
    ASSERT_TRUE(ImportRawText(session, file, parsers, nullptr, fixedTime));
    ASSERT_EQ(session.m_blocks.GetCount(), 2u);
    const CDataBlock* c = session.m_blocks.GetAt(0);
    const CDataBlock* d = session.m_blocks.GetAt(1);
    EXPECT_EQ(c->m_strName, "NiCd C");
    EXPECT_EQ(d->m_strName, "NiCd D");
    EXPECT_EQ(c->GetCount(), 3);
    EXPECT_EQ(d->GetCount(), 3);
    EXPECT_EQ(c->m_strInfo, "KOVA Charger v2.10 \"");
    EXPECT_EQ(c->m_strDevice, "Voltaro 2.10");
    EXPECT_EQ(c->m_strCreated, fixedTime());
    EXPECT_FLOAT_EQ(d->m_samples[2].U, 1.1f);
    EXPECT_FLOAT_EQ(d->m_samples[2].I, 1.8f);
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries[0], "Session imported %1 from file \\\"" +
                              QDir::toNativeSeparators(file).toStdString() + "\\\"");
    EXPECT_EQ(entries[1], "Offline Data block from Voltaro 2.10 created %1");
}

TEST_F(TransferTest, RawExportOfTwoBlocksImportsAsOneSessionNamedAfterTheFile) {
    CMainDoc doc(true);
    View view;
    doc.AddView(&view);
    platform::ScriptedPrompts prompts;
    prompts.answerFile(dataFile("reception_kova_two_blocks.txt"));
    CDataModule* first = OnImportRawText(doc, prompts, parsers, fixedTime);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_strName, "reception_kova_two_blocks");
    ASSERT_EQ(first->m_blocks.GetCount(), 2u);

    const QString exported = path("round.trip.txt");
    prompts.answerFile(exported);
    ASSERT_TRUE(OnExportSelected(doc, prompts, {first}, ID_EXPORT_RAW, &view));
    EXPECT_EQ(view.hints.back(), HINT_SESSION_ADDED);  // the sender heard nothing new
    const std::string raw = readAll(exported);
    EXPECT_EQ(raw.back(), '\f');
    EXPECT_EQ(raw.substr(0, 24), "\r\nKOVA Charger v2.10 \"\r\n");

    doc.SetModifiedFlag(false);
    view.hints.clear();
    prompts.answerFile(exported);
    CDataModule* second = OnImportRawText(doc, prompts, parsers, fixedTime);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_strName, "round.trip");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.hints, (std::vector<int>{HINT_SESSION_ADDED}));
    EXPECT_EQ(view.items.back(), second);
    ASSERT_EQ(doc.m_sessions.GetCount(), 2u);
    ASSERT_EQ(second->m_blocks.GetCount(), 2u);
    for (std::size_t b = 0; b < 2; ++b) {
        const CDataBlock* x = first->m_blocks.GetAt(b);
        const CDataBlock* y = second->m_blocks.GetAt(b);
        EXPECT_EQ(x->m_strName, y->m_strName);
        EXPECT_EQ(x->m_strInfo, y->m_strInfo);
        ASSERT_EQ(x->GetCount(), y->GetCount());
        for (int i = 0; i < x->GetCount(); ++i)
            EXPECT_EQ(std::memcmp(&x->m_samples[i], &y->m_samples[i], sizeof(DataSample)), 0);
    }
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(TransferTest, ExportCommandAsksStoresEditsAndReportsFailures) {
    CMainDoc doc(true);
    View view;
    doc.AddView(&view);
    CDataModule* session = doc.AddSession(std::make_unique<CDataModule>(&doc));
    addBlock(*session, "x", {{1, 1, 1}});
    platform::ScriptedPrompts prompts;
    // Cancelled: nothing happens.
    view.hints.clear();
    EXPECT_FALSE(OnExportSelected(doc, prompts, {session}, ID_EXPORT_TRANSLATED));
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    const auto& request = prompts.dialogs()[0].request;
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(request.filter, QStringLiteral("Text Files (*.txt);;All Files (*.*)"));
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_TRUE(view.hints.empty());
    // A folder that does not exist: the error names the file; nothing is written.
    const QString bad = path("missing/out.txt");
    prompts.answerFile(bad);
    EXPECT_FALSE(OnExportSelected(doc, prompts, {session}, ID_EXPORT_TRANSLATED));
    EXPECT_EQ(view.hints, (std::vector<int>{HINT_STORE_EDITS}));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QDir::toNativeSeparators(bad)));
    EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Error);
    // An existing file is replaced whole.
    const QString good = path("out.txt");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'z'));
    }
    prompts.answerFile(good);
    EXPECT_TRUE(OnExportSelected(doc, prompts, {session}, ID_EXPORT_TRANSLATED));
    const std::string text = readAll(good);
    EXPECT_EQ(text.find('z'), std::string::npos);
    EXPECT_EQ(text.substr(0, 39), "#####################################\r\n");
}

TEST_F(TransferTest, ImportFailureLeavesTheProjectUnchanged) {
    CMainDoc doc(true);
    platform::ScriptedPrompts prompts;
    prompts.answerFile(path("no-such-file.txt"));
    EXPECT_EQ(OnImportRawText(doc, prompts, parsers, fixedTime), nullptr);
    EXPECT_TRUE(doc.m_sessions.IsEmpty());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("no-such-file.txt")));
    // Cancelled dialog: nothing at all.
    EXPECT_EQ(OnImportRawText(doc, prompts, parsers, fixedTime), nullptr);
    EXPECT_EQ(prompts.messages().size(), 1u);
}

TEST_F(TransferTest, ImportWithoutBlocksStillAddsAnEmptySession) {
    const QString file = path("noise.txt");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("nothing a parser wants\r\nmore noise\n");
    }
    CMainDoc doc(true);
    platform::ScriptedPrompts prompts;
    prompts.answerFile(file);
    CDataModule* session = OnImportRawText(doc, prompts, parsers, fixedTime);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->m_strName, "noise");
    EXPECT_TRUE(session->m_blocks.IsEmpty());
    EXPECT_EQ(doc.m_sessions.GetCount(), 1u);
}

TEST_F(TransferTest, FormFeedStopsTheImportEarly) {
    const QString file = path("two.txt");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("KOVA \"\n1:1:1000:1000 0\n\f\nKOVA \"\n1:1:1000:1000 0\n");
    }
    CDataModule session(nullptr);
    ASSERT_TRUE(ImportRawText(session, file, parsers, nullptr, fixedTime));
    EXPECT_EQ(session.m_blocks.GetCount(), 1u);
}

}  // namespace
