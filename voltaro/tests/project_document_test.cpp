// The project document without windows: options, hints, sessions, the online
// session, import and the questions before closing.
#include "platform/settings/SettingsStore.h"
#include "platform/testing/ScriptedPrompts.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/model/ItemEnvironment.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cctype>
#include <utility>
#include <vector>

namespace voltaro {
namespace {

using platform::Button;

struct Hint {
    int hint;
    const CViewTreeItem* item;
    bool operator==(const Hint&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Hint& h) {
    return os << "{" << h.hint << ", " << h.item << "}";
}

class RecordingView : public DocumentView {
public:
    void OnUpdate(DocumentView*, int lHint, CViewTreeItem* pHint) override {
        hints.push_back({lHint, pHint});
    }
    std::vector<Hint> hints;
};

class ProjectDocument : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    platform::SettingsKey options() {
        return *platform::CreateKeyPath(CMainDoc::kOptionsKeyPath, root_);
    }
    DocumentServices services() {
        DocumentServices s;
        s.settingsRoot = &root_;
        return s;
    }
    // A session with `blocks` empty blocks, appended without hints.
    static CDataModule* addSession(CMainDoc& doc, int blocks) {
        CDataModule* session = doc.m_sessions.AddTail(std::make_unique<CDataModule>(&doc));
        for (int i = 0; i < blocks; ++i) {
            session->AddBlock(std::make_unique<CDataBlock>());
        }
        return session;
    }

    QTemporaryDir dir_;
    platform::MemorySettingsBackend store_;
    platform::SettingsKey root_ = platform::SettingsKey::Root(store_);
};

TEST_F(ProjectDocument, DefaultSerialRecordBytes) {
    CMainDoc doc(true);
    const std::string expected(
        "\x1C\0\0\0"    // record length 28
        "\x80\x25\0\0"  // 9600 baud
        "\x11\x10\0\0"  // binary, DTR and RTS enabled
        "\0\0"
        "\x64\0\x64\0"  // XonLim, XoffLim 100
        "\x08\0\0"      // 8 data bits, no parity, one stop bit
        "\x11\x13\0\0\0"
        "\0\0",
        28);
    EXPECT_EQ(doc.m_dcb.ToBytes(), expected);
    EXPECT_EQ(doc.m_dcb.Flags, 0x1011u);
    EXPECT_EQ(doc.m_dcb.DtrControl(), 1);
    EXPECT_EQ(doc.m_dcb.RtsControl(), 1);
    EXPECT_EQ(doc.m_timeouts.ReadIntervalTimeout, 400u);
    EXPECT_EQ(doc.m_timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(doc.m_timeouts.WriteTotalTimeoutConstant, 0u);
    EXPECT_EQ(doc.m_nPortIndex, 0);
    EXPECT_TRUE(doc.m_bKeepReceiverOn);
    EXPECT_EQ(doc.GetOnlineSession(), nullptr);
    EXPECT_EQ(doc.m_receiver.m_pDocument, &doc);
    EXPECT_TRUE(doc.m_receiver.m_bOnline);
}

TEST_F(ProjectDocument, OptionsAreReadWithTheirTypes) {
    const platform::SettingsKey key = options();
    ASSERT_TRUE(platform::WriteNumber(key, "CommPortIndex", 4));
    // Only the stored prefix of the record is replaced: here the length and baud rate.
    const std::string prefix("\x1C\0\0\0\x00\x4B\0\0", 8);
    ASSERT_TRUE(platform::WriteBinary(key, "CommPortSetup", prefix.data(), prefix.size()));
    ASSERT_TRUE(platform::WriteString(key, "KeepReceiverOn", "0"));  // wrong type: ignored
    ASSERT_TRUE(platform::WriteString(key, "Formula_User1", "U*I"));
    ASSERT_TRUE(platform::WriteString(key, "Formula_User1t", "Power"));
    ASSERT_TRUE(platform::WriteNumber(key, "Formula_User2", 5));  // wrong type: empty
    ASSERT_TRUE(platform::WriteString(key, "Formula_User2t", "T2"));

    int starts = 0;
    DocumentServices s = services();
    s.startReceiver = [&](CMainDoc&) { return ++starts > 0; };
    CMainDoc doc(false, s);
    EXPECT_EQ(doc.m_nPortIndex, 4);
    EXPECT_EQ(doc.m_dcb.BaudRate, 19200u);
    EXPECT_EQ(doc.m_dcb.Flags, 0x1011u);
    EXPECT_EQ(doc.m_dcb.XonLim, 100);
    EXPECT_TRUE(doc.m_bKeepReceiverOn);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(doc.m_strFormula1, "U*I");
    EXPECT_EQ(doc.m_strTitle1, "Power");
    EXPECT_EQ(doc.m_strFormula2, "");
    EXPECT_EQ(doc.m_strTitle2, "T2");
}

TEST_F(ProjectDocument, OversizedSerialRecordIsIgnored) {
    const std::string tooLong(29, '\x01');
    ASSERT_TRUE(platform::WriteBinary(options(), "CommPortSetup", tooLong.data(), tooLong.size()));
    CMainDoc doc(true, services());
    EXPECT_EQ(doc.m_dcb, SerialControlRecord{});
}

TEST_F(ProjectDocument, ReceiverStartsOnlyWhenSnoopingAndNotForImport) {
    const struct {
        bool importOnly;
        int keepOn;  // -1: not stored
        int expectedStarts;
    } cases[] = {{false, -1, 1}, {false, 1, 1}, {false, 0, 0}, {true, 1, 0}, {true, -1, 0}};
    for (const auto& c : cases) {
        store_.clear();
        if (c.keepOn >= 0) {
            ASSERT_TRUE(platform::WriteNumber(options(), "KeepReceiverOn", c.keepOn));
        }
        int starts = 0, stops = 0;
        DocumentServices s = services();
        s.startReceiver = [&](CMainDoc&) { return ++starts > 0; };
        s.stopReceiver = [&](CMainDoc&) { ++stops; };
        {
            CMainDoc doc(c.importOnly, s);
            EXPECT_EQ(doc.m_bKeepReceiverOn, c.keepOn != 0);
        }
        EXPECT_EQ(starts, c.expectedStarts) << c.importOnly << " " << c.keepOn;
        EXPECT_EQ(stops, c.importOnly ? 0 : 1);
    }
}

TEST_F(ProjectDocument, GraphSettingsDefaultsAndStoredDefault) {
    CMainDoc plain(true, services());
    EXPECT_EQ(plain.m_graphSettings, GraphSettings{});
    EXPECT_FALSE(plain.m_graphSettings.m_axes[3].shown);
    EXPECT_TRUE(plain.m_graphSettings.m_axes[2].shown);

    // A stored default applies at construction, except that the cursor kind is 1.
    GraphSettings mine;
    mine.m_nCursorKind = 3;
    mine.m_bLegend = 0;
    mine.m_strTitle = "not stored";
    mine.m_axes[1] = GraphAxis{1.0, 0, 2.0, 0, 1, 1, 0};
    plain.m_graphSettings = mine;
    ASSERT_TRUE(plain.SaveGraphSettingsAsDefault());

    CMainDoc doc(true, services());
    EXPECT_EQ(doc.m_graphSettings.m_bLegend, 0);
    EXPECT_EQ(doc.m_graphSettings.m_axes[1], mine.m_axes[1]);
    EXPECT_EQ(doc.m_graphSettings.m_strTitle, "");
    EXPECT_EQ(doc.m_graphSettings.m_nCursorKind, 1);

    // Emptying the document takes the stored default again, cursor kind included.
    doc.m_graphSettings.m_bLegend = 1;
    doc.m_graphSettings.m_strTitle = "T";
    doc.OnNewDocument();
    EXPECT_EQ(doc.m_graphSettings.m_bLegend, 0);
    EXPECT_EQ(doc.m_graphSettings.m_strTitle, "");
    EXPECT_EQ(doc.m_graphSettings.m_nCursorKind, 3);
}

TEST_F(ProjectDocument, ResetWithoutStoredDefaultKeepsTheCursorKind) {
    DocumentServices s = services();
    s.czechFonts = true;
    CMainDoc doc(true, s);
    EXPECT_EQ(doc.m_graphSettings.m_strTitleFont, "Arial CE");
    EXPECT_EQ(doc.m_graphSettings.m_strSubtitleFont, "Arial CE");
    doc.m_graphSettings.m_nCursorKind = 2;
    doc.m_graphSettings.m_bHorzGrid = 0;
    doc.m_graphSettings.m_strTitleFont = "Courier";
    doc.DeleteContents();
    EXPECT_EQ(doc.m_graphSettings.m_nCursorKind, 2);
    EXPECT_EQ(doc.m_graphSettings.m_bHorzGrid, 1);
    EXPECT_EQ(doc.m_graphSettings.m_strTitleFont, "Arial CE");
}

TEST_F(ProjectDocument, UnreadableStoredDefaultCountsAsMissing) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"version 6", std::string("\x06\0\0\0", 4) + GraphSettings{}.DefaultBytes().substr(4)},
        {"truncated", GraphSettings{}.DefaultBytes().substr(0, 30)},
        {"empty", std::string()},
    };
    for (const auto& c : cases) {
        store_.clear();
        const auto key = platform::CreateKeyPath(CMainDoc::kGraphSetupKeyPath, root_);
        ASSERT_TRUE(key);
        ASSERT_TRUE(platform::WriteBinary(*key, "Default", c.bytes.data(), c.bytes.size()));
        CMainDoc doc(true, services());
        GraphSettings read;
        read.m_bLegend = 0;
        EXPECT_FALSE(doc.LoadGraphSettingsDefault(read)) << c.name;
        EXPECT_EQ(read.m_bLegend, 0) << c.name;
        EXPECT_EQ(doc.m_graphSettings, GraphSettings{}) << c.name;
    }
}

TEST_F(ProjectDocument, StoredDefaultHasVersionAndNoTitles) {
    GraphSettings g;
    g.m_strTitle = "title";
    g.m_strSubtitle = "sub";
    const std::string bytes = g.DefaultBytes();
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x05\0\0\0", 4));
    EXPECT_EQ(bytes.substr(4, 6), std::string("\x05"
                                              "Arial",
                                              6));
    EXPECT_EQ(bytes.find("title"), std::string::npos);
    EXPECT_EQ(bytes.size(), 4u + 12 + 8 * 4 + 5 * 36);
}

TEST_F(ProjectDocument, CreateEmptySessionAnnouncesAndWritesTheProtocol) {
    std::vector<std::pair<CDataItem*, std::string>> entries;
    CMainDoc doc(true);
    doc.Environment().addProtocolEntry = [&](CDataItem& item, const std::string& text) {
        entries.emplace_back(&item, text);
    };
    RecordingView view;
    doc.AddView(&view);
    CDataModule* session = doc.OnCreateEmptySession();
    ASSERT_EQ(doc.m_sessions.GetCount(), 1u);
    EXPECT_EQ(doc.m_sessions.GetHead(), session);
    EXPECT_EQ(session->m_strName, "Session1");
    EXPECT_EQ(session->m_pDocument, &doc);
    EXPECT_EQ(view.hints, (std::vector<Hint>{{HINT_SESSION_ADDED, session}}));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, session);
    EXPECT_EQ(entries[0].second, "Empty Session manually created ");
    EXPECT_TRUE(doc.IsModified()) << "a new session is a change to keep";
}

TEST_F(ProjectDocument, EachDocumentsItemsReachOnlyTheEnvironmentTheDocumentWasGiven) {
    std::vector<std::string> firstLog;
    std::vector<std::string> secondLog;
    ItemEnvironment first;
    first.addProtocolEntry = [&](CDataItem& item, const std::string&) {
        firstLog.push_back(item.GetName());
    };
    first.flags.bMaxUAsEnd = true;
    ItemEnvironment second;
    second.addProtocolEntry = [&](CDataItem& item, const std::string&) {
        secondLog.push_back(item.GetName());
    };
    DocumentServices s1;
    s1.environment = &first;
    DocumentServices s2;
    s2.environment = &second;
    CMainDoc a(true, s1);
    CMainDoc b(true, s2);
    CMainDoc own(true);  // given none: keeps an empty one of its own
    EXPECT_EQ(a.GetEnvironment(), &first);
    EXPECT_EQ(b.GetEnvironment(), &second);
    ASSERT_NE(own.GetEnvironment(), nullptr);

    a.OnCreateEmptySession();
    b.OnCreateEmptySession();
    b.OnCreateEmptySession();
    own.OnCreateEmptySession();
    EXPECT_EQ(firstLog, (std::vector<std::string>{"Session1"}));
    EXPECT_EQ(secondLog, (std::vector<std::string>{"Session1", "Session2"}));

    // A block reaches its document's environment through its session: the
    // entry announcing its first sample, and the 100 % point of its axis.
    for (CMainDoc* doc : {&a, &b}) {
        CDataBlock* block = doc->m_sessions.GetHead()->AddBlock(std::make_unique<CDataBlock>());
        block->m_strName = "Block";
        for (float u : {1.0f, 5.0f, 2.0f}) {
            DataSample sample;
            sample.U = u;
            block->AppendSample(sample, "", false);
        }
    }
    EXPECT_EQ(firstLog, (std::vector<std::string>{"Session1", "Block"}));
    EXPECT_EQ(secondLog, (std::vector<std::string>{"Session1", "Session2", "Block"}));
    EXPECT_EQ(a.m_sessions.GetHead()->m_blocks.GetHead()->GetEndIndex(), 1) << "at maximal U";
    EXPECT_EQ(b.m_sessions.GetHead()->m_blocks.GetHead()->GetEndIndex(), 2) << "at the end";

    // Taken out of its document, a block has no environment at all.
    std::unique_ptr<CDataBlock> taken;
    CDataBlock* loose = a.m_sessions.GetHead()->m_blocks.GetHead();
    ASSERT_TRUE(a.RemoveItemBlock(loose, false, false, nullptr, &taken));
    EXPECT_EQ(taken->GetDocument(), nullptr);
    EXPECT_EQ(taken->GetEndIndex(), 2);
}

TEST_F(ProjectDocument, DocumentsSharingAnEnvironmentCountSessionsOnAcrossNewAndOpen) {
    ItemEnvironment program;
    DocumentServices s;
    s.environment = &program;
    CMainDoc doc(true, s);
    EXPECT_EQ(doc.OnCreateEmptySession()->m_strName, "Session1");
    ASSERT_TRUE(doc.OnSaveDocument(path("count.vtr")));
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.OnCreateEmptySession()->m_strName, "Session2") << "New does not reset";
    ASSERT_TRUE(doc.OnOpenDocument(path("count.vtr")));  // the stored session takes 3
    EXPECT_EQ(doc.OnCreateEmptySession()->m_strName, "Session4") << "Open does not reset";
    CMainDoc second(true, s);
    EXPECT_EQ(second.OnCreateEmptySession()->m_strName, "Session5");

    // A document with an environment of its own starts at 1, and the shared
    // counter does not move.
    CMainDoc apart(true);
    EXPECT_EQ(apart.OnCreateEmptySession()->m_strName, "Session1");
    EXPECT_EQ(program.flags.nSessionCounter, 5);
}

TEST_F(ProjectDocument, RemoveSessionNotifiesAroundAndSparesTheSender) {
    CMainDoc doc(true);
    RecordingView sender, other;
    doc.AddView(&sender);
    doc.AddView(&other);
    CDataModule* a = addSession(doc, 1);
    CDataModule* b = addSession(doc, 0);
    CDataModule stranger(&doc);

    EXPECT_FALSE(doc.RemoveSession(&stranger, false, true, &sender));
    EXPECT_TRUE(doc.RemoveSession(a, true, true, &sender));
    std::unique_ptr<CDataModule> taken;
    EXPECT_TRUE(doc.RemoveSession(b, false, false, nullptr, &taken));
    EXPECT_EQ(taken.get(), b);  // removed without the delete flag: ours now
    EXPECT_TRUE(doc.m_sessions.IsEmpty());
    EXPECT_TRUE(sender.hints.empty());
    EXPECT_EQ(other.hints,
              (std::vector<Hint>{{HINT_SESSION_REMOVING, a}, {HINT_SESSION_REMOVED, a}}));
}

TEST_F(ProjectDocument, RemoveSessionMarksTheProjectModifiedOnlyWhenItRemoved) {
    for (const bool bDelete : {true, false}) {
        SCOPED_TRACE(bDelete ? "deleted" : "taken out");
        CMainDoc doc(true);
        CDataModule* session = addSession(doc, 1);
        CDataModule stranger(&doc);
        EXPECT_FALSE(doc.RemoveSession(&stranger, true, true, nullptr));
        EXPECT_FALSE(doc.IsModified());
        std::unique_ptr<CDataModule> taken;
        EXPECT_TRUE(doc.RemoveSession(session, bDelete, false, nullptr, &taken));
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(taken.get(), bDelete ? nullptr : session);
    }
}

TEST_F(ProjectDocument, RemovingTheOnlineSessionEndsItFirst) {
    int cleared = 0;
    DocumentServices s;
    s.clearOnlineBar = [&] { ++cleared; };
    CMainDoc doc(true, s);
    RecordingView view;
    doc.AddView(&view);
    CDataModule* online = addSession(doc, 1);
    doc.m_receiver.m_pSession = online;
    doc.m_receiver.m_pBlock = online->m_blocks.GetHead();
    EXPECT_EQ(online->GetImageIndex(), 3);
    EXPECT_TRUE(doc.RemoveSession(online, true, true, nullptr));
    EXPECT_EQ(doc.GetOnlineSession(), nullptr);
    EXPECT_EQ(doc.m_receiver.m_pBlock, nullptr);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(view.hints, (std::vector<Hint>{{HINT_SESSION_CHANGED, online},
                                             {HINT_SESSION_REMOVING, online},
                                             {HINT_SESSION_REMOVED, online}}));
}

TEST_F(ProjectDocument, RemoveItemBlockEndsTheOnlineSessionOnlyForItsLastBlock) {
    CMainDoc doc(true);
    RecordingView view;
    doc.AddView(&view);
    CDataModule* online = addSession(doc, 2);
    CDataBlock* first = online->m_blocks.GetAt(0);
    CDataBlock* last = online->m_blocks.GetAt(1);
    doc.m_receiver.m_pSession = online;

    EXPECT_TRUE(doc.RemoveItemBlock(first, true, true, nullptr));
    EXPECT_EQ(doc.GetOnlineSession(), online);
    EXPECT_EQ(view.hints,
              (std::vector<Hint>{{HINT_BLOCK_REMOVING, first}, {HINT_BLOCK_REMOVED, first}}));
    view.hints.clear();
    EXPECT_TRUE(doc.RemoveItemBlock(last, true, true, nullptr));
    EXPECT_EQ(doc.GetOnlineSession(), nullptr);
    EXPECT_EQ(view.hints, (std::vector<Hint>{{HINT_SESSION_CHANGED, online},
                                             {HINT_BLOCK_REMOVING, last},
                                             {HINT_BLOCK_REMOVED, last}}));
    EXPECT_TRUE(online->m_blocks.IsEmpty());
    EXPECT_TRUE(doc.IsModified());  // the session's RemoveBlock marks it
}

TEST_F(ProjectDocument, LastBlockOfAnUnlistedOnlineSessionLeavesItBeforeItGoes) {
    // The receiver's session is not in the project yet; ending it destroys it,
    // so the block must be out of it first and stay alive without the delete flag.
    CMainDoc doc(true);
    doc.m_receiver.m_newSession = std::make_unique<CDataModule>(&doc);
    CDataModule* online = doc.m_receiver.m_newSession.get();
    CDataBlock* block = online->AddBlock(std::make_unique<CDataBlock>());
    doc.m_receiver.m_pSession = online;
    doc.m_receiver.m_pBlock = block;
    std::unique_ptr<CDataBlock> taken;
    EXPECT_TRUE(doc.RemoveItemBlock(block, false, false, nullptr, &taken));
    EXPECT_EQ(doc.GetOnlineSession(), nullptr);
    EXPECT_EQ(doc.m_receiver.m_newSession, nullptr);
    EXPECT_EQ(taken.get(), block);
    EXPECT_EQ(block->m_pParent, nullptr);
}

TEST_F(ProjectDocument, DeleteContentsClearsEverything) {
    CMainDoc doc(true);
    RecordingView view;
    doc.AddView(&view);
    addSession(doc, 2);
    doc.m_receiver.m_newSession = std::make_unique<CDataModule>(&doc);
    doc.m_receiver.m_pSession = doc.m_receiver.m_newSession.get();
    doc.DeleteContents();
    EXPECT_TRUE(doc.m_sessions.IsEmpty());
    EXPECT_EQ(doc.GetOnlineSession(), nullptr);
    EXPECT_EQ(doc.m_receiver.m_newSession, nullptr);
    ASSERT_FALSE(view.hints.empty());
    EXPECT_EQ(view.hints.front(), (Hint{HINT_CLEAR, nullptr}));
}

TEST_F(ProjectDocument, SaveSendsStoreEditsFirst) {
    CMainDoc doc(true);
    addSession(doc, 1);
    struct Editor : DocumentView {
        CMainDoc* doc;
        void OnUpdate(DocumentView*, int lHint, CViewTreeItem*) override {
            if (lHint == HINT_STORE_EDITS) {
                doc->m_sessions.GetHead()->m_protocol = "{\\rtf1 edited}";
            }
        }
    } editor;
    editor.doc = &doc;
    doc.AddView(&editor);
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.OnSaveDocument(path("e.vtr")));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path("e.vtr"));
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("e.vtr"));
    CMainDoc loaded(true);
    ASSERT_TRUE(loaded.OnOpenDocument(path("e.vtr")));
    EXPECT_EQ(loaded.m_sessions.GetHead()->m_protocol, "{\\rtf1 edited}");
}

TEST_F(ProjectDocument, ImportAppendsSessionsTwiceAndKeepsTheRest) {
    CMainDoc source(true);
    CDataModule* s = addSession(source, 2);
    s->m_strName = "Imported";
    source.m_graphSettings.m_strTitle = "theirs";
    source.m_strFormula1 = "theirs";
    ASSERT_TRUE(source.OnSaveDocument(path("src.vtr")));

    CMainDoc doc(true);
    addSession(doc, 0)->m_strName = "Mine";
    doc.m_strFormula1 = "mine";
    RecordingView view;
    doc.AddView(&view);
    ASSERT_TRUE(doc.ImportProjectFile(path("src.vtr")));
    ASSERT_TRUE(doc.ImportProjectFile(path("src.vtr")));
    ASSERT_EQ(doc.m_sessions.GetCount(), 3u);
    EXPECT_EQ(doc.m_sessions.GetAt(0)->m_strName, "Mine");
    EXPECT_EQ(doc.m_sessions.GetAt(1)->m_strName, "Imported");
    EXPECT_EQ(doc.m_sessions.GetAt(2)->m_strName, "Imported");
    EXPECT_NE(doc.m_sessions.GetAt(1), doc.m_sessions.GetAt(2));
    for (CDataModule* session : doc.m_sessions) {
        EXPECT_EQ(session->m_pDocument, &doc);
    }
    EXPECT_EQ(doc.m_sessions.GetAt(2)->m_blocks.GetCount(), 2u);
    EXPECT_EQ(doc.m_graphSettings.m_strTitle, "");
    EXPECT_EQ(doc.m_strFormula1, "mine");
    EXPECT_TRUE(doc.IsModified()) << "the imported sessions are not in any file of ours yet";
    EXPECT_EQ(view.hints,
              (std::vector<Hint>{{HINT_REFRESH_ALL, nullptr}, {HINT_REFRESH_ALL, nullptr}}));
}

TEST_F(ProjectDocument, ImportCommandAsksForTheFileAndReportsFailure) {
    CMainDoc doc(true);
    platform::ScriptedPrompts prompts;
    prompts.answerFile(std::nullopt);
    EXPECT_FALSE(doc.OnImportVoltaroFile(prompts));
    EXPECT_TRUE(prompts.messages().empty());
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    EXPECT_EQ(prompts.dialogs()[0].kind, platform::ScriptedPrompts::DialogCall::OpenFile);
    EXPECT_TRUE(prompts.dialogs()[0].request.filter.contains(QStringLiteral("*.vtr")));

    QFile bad(path("bad.vtr"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\x09\x00", 2);
    bad.close();
    prompts.answerFile(path("bad.vtr"));
    EXPECT_FALSE(doc.OnImportVoltaroFile(prompts));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Error);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("bad.vtr")));
    EXPECT_TRUE(doc.m_sessions.IsEmpty());
    EXPECT_FALSE(doc.IsModified()) << "a failed import changed nothing";
}

struct SaveModifiedCase {
    const char* name;
    bool online;
    bool modified;
    std::vector<Button> answers;
    bool saveDialogAnswer;  // a path is chosen in the save dialog
    bool expected;
    int questions;
    bool saved;
};

class SaveModifiedQuestion : public ProjectDocument,
                             public ::testing::WithParamInterface<SaveModifiedCase> {};

TEST_P(SaveModifiedQuestion, AsksOnlineFirstThenSave) {
    const SaveModifiedCase& c = GetParam();
    CMainDoc doc(true);
    CDataModule* session = addSession(doc, 1);
    if (c.online) {
        doc.m_receiver.m_pSession = session;
    }
    doc.SetModifiedFlag(c.modified);
    platform::ScriptedPrompts prompts;
    for (Button b : c.answers) {
        prompts.answer(b);
    }
    if (c.saveDialogAnswer) {
        prompts.answerFile(path("asked.vtr"));
    }
    EXPECT_EQ(doc.SaveModified(prompts), c.expected);
    ASSERT_EQ(prompts.messages().size(), std::size_t(c.questions));
    if (c.online) {
        EXPECT_EQ(prompts.texts().front(),
                  QStringLiteral("There is an on-line session currently running. "
                                 "Are you sure to close the it?"));
        EXPECT_EQ(prompts.messages().front().buttons, Button::Yes | Button::No);
    }
    if (c.questions > (c.online ? 1 : 0)) {
        EXPECT_EQ(prompts.texts().back(), QStringLiteral("Save changes to Untitled?"));
    }
    EXPECT_EQ(QFile::exists(path("asked.vtr")), c.saved);
    EXPECT_EQ(prompts.unanswered(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveModifiedQuestion,
    ::testing::Values(
        SaveModifiedCase{"unmodified", false, false, {}, false, true, 0, false},
        SaveModifiedCase{"online no", true, true, {Button::No}, false, false, 1, false},
        SaveModifiedCase{"online yes clean", true, false, {Button::Yes}, false, true, 1, false},
        SaveModifiedCase{
            "online yes, discard", true, true, {Button::Yes, Button::No}, false, true, 2, false},
        SaveModifiedCase{"cancel", false, true, {Button::Cancel}, false, false, 1, false},
        SaveModifiedCase{"discard", false, true, {Button::No}, false, true, 1, false},
        SaveModifiedCase{"save", false, true, {Button::Yes}, true, true, 1, true},
        SaveModifiedCase{
            "save, dialog cancelled", false, true, {Button::Yes}, false, false, 1, false}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return n;
    });

TEST_F(ProjectDocument, CanCloseFrameStoresEditsBeforeAsking) {
    CMainDoc doc(true);
    RecordingView view;
    doc.AddView(&view);
    platform::ScriptedPrompts prompts;
    EXPECT_TRUE(doc.CanCloseFrame(prompts));
    EXPECT_EQ(view.hints, (std::vector<Hint>{{HINT_STORE_EDITS, nullptr}}));
}

TEST_F(ProjectDocument, OpenReplacesTheContentsAndTellsTheViews) {
    CMainDoc source(true);
    addSession(source, 1)->m_strName = "On disk";
    ASSERT_TRUE(source.OnSaveDocument(path("p.vtr")));

    CMainDoc doc(true);
    CDataModule* old = addSession(doc, 0);
    doc.SetModifiedFlag();
    RecordingView view;
    doc.AddView(&view);
    ASSERT_TRUE(doc.OnOpenDocument(path("p.vtr")));
    ASSERT_EQ(doc.m_sessions.GetCount(), 1u);
    EXPECT_NE(doc.m_sessions.GetHead(), old);
    EXPECT_EQ(doc.m_sessions.GetHead()->m_strName, "On disk");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path("p.vtr"));
    ASSERT_GE(view.hints.size(), 2u);
    EXPECT_EQ(view.hints.front(), (Hint{HINT_CLEAR, nullptr}));
    EXPECT_EQ(view.hints.back(), (Hint{HINT_REFRESH_ALL, nullptr}));
}

}  // namespace
}  // namespace voltaro
