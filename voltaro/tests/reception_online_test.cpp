// The document's background receiver: port opening and its messages, the poll,
// the online session states, the Data menu commands and the options.
#include "platform/settings/SettingsStore.h"
#include "platform/testing/ScriptedPrompts.h"
#include "reception_FakePort.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/CProtParser_Regexp.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/ReceptionCommands.h"
#include "voltaro/reception/SerialLineSettings.h"
#include "voltaro/reception/StreamReading.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace voltaro;
using voltaro::testing::FakePort;
using voltaro::testing::FakeTimer;
using State = DocumentReceiver::State;

constexpr const char* kHeader = "*** KOVA Charger v2.10 \"\r\n";

class View : public DocumentView {
public:
    void OnUpdate(DocumentView*, int lHint, CViewTreeItem* pItem) override {
        hints.push_back(lHint);
        items.push_back(pItem);
    }
    int count(int hint) const {
        return static_cast<int>(std::count(hints.begin(), hints.end(), hint));
    }
    std::vector<int> hints;
    std::vector<CViewTreeItem*> items;
};

class OnlineTest : public ::testing::Test {
protected:
    OnlineTest() : root(platform::SettingsKey::Root(store)) {
        parsers.Add(std::make_unique<CProtParser_Kova>());
    }
    ~OnlineTest() override {
        if (doc)
            doc->RemoveView(&view);
    }

    // Builds the document the way the program does; snooping from the settings.
    void makeDocument(bool snooping) {
        const auto key = platform::CreateKeyPath(CMainDoc::kOptionsKeyPath, root);
        ASSERT_TRUE(key);
        platform::WriteNumber(*key, "KeepReceiverOn", snooping ? 1 : 0);
        platform::WriteNumber(*key, "CommPortIndex", 2);
        ReceptionServices rs;
        rs.port = &port;
        rs.timer = &timer;
        rs.prompts = &prompts;
        rs.parsers = &parsers;
        rs.createdText = [] { return std::string("now"); };
        rs.readOffline = [this](CDataModule& session, platform::PolledPort& p) {
            ++offlineRuns;
            EXPECT_TRUE(p.isOpen());
            EXPECT_EQ(timer.active, false);  // the background receiver is stopped
            if (offlineData.empty())
                return false;
            // Stands for the dialog's loop: the session is filled from the bytes.
            StreamReading reading(session, parsers, [] { return qint64(0); });
            for (char c : offlineData)
                reading.Feed(static_cast<std::uint8_t>(c));
            return offlineKeep;
        };
        rs.editOptions = [this](SerialOptions& o) {
            shownOptions = o;
            if (!optionsAnswer)
                return false;
            o = *optionsAnswer;
            return true;
        };
        rx = std::make_unique<DocumentReceiver>(rs);
        DocumentServices ds;
        ds.settingsRoot = &root;
        rx->InstallInto(ds);
        doc = std::make_unique<CMainDoc>(false, ds);
        rx->Attach(*doc);
        doc->AddView(&view);
    }
    void poll() { timer.fire(); }
    CommandState update(unsigned id) const {
        CommandState s;
        EXPECT_TRUE(rx->OnUpdateCommand(id, s));
        return s;
    }

    platform::MemorySettingsBackend store;
    platform::SettingsKey root;
    FakePort port;
    FakeTimer timer;
    platform::ScriptedPrompts prompts;
    ParserList parsers;
    std::string offlineData;
    bool offlineKeep = true;
    int offlineRuns = 0;
    SerialOptions shownOptions;
    std::optional<SerialOptions> optionsAnswer;
    View view;
    std::unique_ptr<DocumentReceiver> rx;
    std::unique_ptr<CMainDoc> doc;
};

TEST_F(OnlineTest, SnoopingAtStartOpensThePortAndListens) {
    makeDocument(true);
    EXPECT_EQ(rx->GetState(), State::Listening);
    ASSERT_EQ(port.opened.size(), 1u);
    EXPECT_EQ(port.opened[0], SerialPortName(2, {}));
    EXPECT_EQ(port.lastSettings.BaudRate, 9600);
    EXPECT_EQ(timer.interval, 200);
    EXPECT_EQ(doc->m_nOnlinePhase, 3);
    EXPECT_TRUE(update(ID_SERIAL_SNOOPING).bChecked);
    EXPECT_FALSE(update(ID_ONLINE_CREATE).bEnabled);
    EXPECT_FALSE(update(ID_ONLINE_ABORT).bEnabled);
    EXPECT_TRUE(update(ID_DATA_OFFLINE).bEnabled);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(OnlineTest, EveryDataMenuEntryHasItsUpdateHandler) {
    makeDocument(false);
    for (const ReceptionCommandText& c : kReceptionCommands) {
        // Import and export are the document's and the tree's, not the receiver's.
        const bool receivers =
            c.id != ID_IMPORT_RAW_TEXT && c.id != ID_EXPORT_TRANSLATED && c.id != ID_EXPORT_RAW;
        CommandState s;
        EXPECT_EQ(rx->OnUpdateCommand(c.id, s), receivers) << c.menu;
        EXPECT_EQ(FindReceptionCommand(c.id), &c) << c.menu;
    }
    CommandState s;
    EXPECT_FALSE(rx->OnUpdateCommand(ID_IMPORT_RAW_TEXT, s));
    EXPECT_EQ(FindReceptionCommand(0), nullptr);
}

TEST_F(OnlineTest, PortFailuresAreReportedAndSnoopingStaysChecked) {
    struct Case {
        platform::PortOpenResult::Status status;
        const char* text;
    };
    const Case cases[] = {
        {platform::PortOpenResult::OpenFailed, "Error opening serial port."},
        {platform::PortOpenResult::SetupFailed, "Error setting up the serial port."}};
    for (const Case& c : cases) {
        port.openResult = c.status;
        prompts.clear();
        doc.reset();
        makeDocument(true);
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Error);
        EXPECT_EQ(rx->GetState(), State::Off);
        EXPECT_FALSE(timer.active);
        EXPECT_TRUE(update(ID_SERIAL_SNOOPING).bChecked);
        // Create Online Session does nothing while the port fails.
        doc->m_bKeepReceiverOn = false;
        rx->OnCommand(ID_ONLINE_CREATE);
        EXPECT_EQ(doc->GetOnlineSession(), nullptr);
        EXPECT_TRUE(doc->m_sessions.IsEmpty());
    }
}

TEST_F(OnlineTest, FirstHeaderCreatesTheOnlineSession) {
    makeDocument(true);
    poll();
    EXPECT_TRUE(view.hints.empty());  // nothing arrived: no picture change either
    port.send(kHeader);
    port.send("3:0:12000:0 0\r\n3:30:12100:2000 0\r\n3:60:12");
    poll();
    EXPECT_EQ(rx->GetState(), State::Receiving);
    ASSERT_EQ(doc->m_sessions.GetCount(), 1u);
    CDataModule* session = doc->m_sessions.GetAt(0);
    EXPECT_EQ(doc->GetOnlineSession(), session);
    EXPECT_EQ(session->m_pDocument, doc.get());
    ASSERT_EQ(session->m_blocks.GetCount(), 1u);
    CDataBlock* block = session->m_blocks.GetAt(0);
    EXPECT_EQ(block->GetCount(), 2);
    EXPECT_EQ(block->m_strCreated, "now");
    // Announced once, then its first samples, then the animated picture.
    EXPECT_EQ(view.hints.front(), HINT_SESSION_ADDED);
    EXPECT_EQ(view.items.front(), session);
    EXPECT_EQ(view.count(HINT_BLOCK_DATA), 2);
    EXPECT_EQ(view.hints.back(), HINT_SESSION_CHANGED);
    EXPECT_EQ(doc->m_nOnlinePhase, 0);  // 3 restarts at 0
    EXPECT_EQ(session->GetImageIndex(), 3);
    EXPECT_TRUE(update(ID_ONLINE_ABORT).bEnabled);
    // The partial line is completed by the next tick.
    port.send("100:2000 0\r\n");
    poll();
    EXPECT_EQ(block->GetCount(), 3);
    EXPECT_EQ(doc->m_nOnlinePhase, 1);
    poll();  // nothing new: the picture stays
    EXPECT_EQ(doc->m_nOnlinePhase, 1);
    port.send("3:90:12200:2000 0\r\n");
    poll();
    port.send("3:120:12200:2000 0\r\n");
    poll();
    EXPECT_EQ(doc->m_nOnlinePhase, 0);
    EXPECT_EQ(view.count(HINT_BLOCK_DATA), 3);  // only the first three samples
}

TEST_F(OnlineTest, FormFeedEndsTheSessionAndSnoopingListensOn) {
    makeDocument(true);
    port.send(kHeader);
    port.send("3:0:12000:0 0\r\n\f");
    poll();
    EXPECT_EQ(rx->GetState(), State::Listening);
    ASSERT_EQ(doc->m_sessions.GetCount(), 1u);
    CDataModule* first = doc->m_sessions.GetAt(0);
    EXPECT_EQ(first->m_blocks.GetAt(0)->GetCount(), 1);
    EXPECT_EQ(first->GetImageIndex(), 1);
    view.hints.clear();
    port.send(kHeader);
    port.send("3:0:12000:0-0\r\n");
    poll();
    ASSERT_EQ(doc->m_sessions.GetCount(), 2u);
    EXPECT_EQ(doc->GetOnlineSession(), doc->m_sessions.GetAt(1));
    EXPECT_EQ(view.hints.front(), HINT_SESSION_ADDED);
}

TEST_F(OnlineTest, FormFeedWithoutSnoopingStopsTheReceiver) {
    makeDocument(false);
    EXPECT_EQ(rx->GetState(), State::Off);
    EXPECT_TRUE(port.opened.empty());
    EXPECT_TRUE(update(ID_ONLINE_CREATE).bEnabled);
    rx->OnCommand(ID_ONLINE_CREATE);
    EXPECT_EQ(rx->GetState(), State::Receiving);
    ASSERT_EQ(doc->m_sessions.GetCount(), 1u);
    CDataModule* session = doc->m_sessions.GetAt(0);
    EXPECT_EQ(view.hints, (std::vector<int>{HINT_SESSION_ADDED}));
    EXPECT_EQ(session->GetImageIndex(), 6);  // waiting for the first data
    EXPECT_FALSE(update(ID_ONLINE_CREATE).bEnabled);
    port.send(kHeader);
    port.send("3:0:12000:0 0\r\n\f");
    poll();
    EXPECT_EQ(rx->GetState(), State::Off);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(doc->m_sessions.GetCount(), 1u);
    EXPECT_EQ(session->m_blocks.GetCount(), 1u);
}

TEST_F(OnlineTest, AbortKeepsTheSessionAndDependsOnSnooping) {
    makeDocument(false);
    rx->OnCommand(ID_ONLINE_CREATE);
    CDataModule* empty = doc->GetOnlineSession();
    rx->OnCommand(ID_ONLINE_ABORT);
    EXPECT_EQ(rx->GetState(), State::Off);
    EXPECT_TRUE(doc->m_sessions.Contains(empty));  // an empty online session stays

    rx->OnCommand(ID_SERIAL_SNOOPING);
    EXPECT_TRUE(doc->m_bKeepReceiverOn);
    EXPECT_EQ(rx->GetState(), State::Listening);
    port.send(kHeader);
    poll();
    CDataModule* snooped = doc->GetOnlineSession();
    ASSERT_NE(snooped, nullptr);
    rx->OnCommand(ID_ONLINE_ABORT);
    EXPECT_EQ(rx->GetState(), State::Listening);  // the port stays open
    EXPECT_TRUE(port.isOpen());
    port.send("*** KOVA v2.10 !\r\n");
    poll();
    EXPECT_NE(doc->GetOnlineSession(), snooped);
    EXPECT_EQ(doc->m_sessions.GetCount(), 3u);
}

TEST_F(OnlineTest, SnoopingCommandTogglesAndStaysOffWhenThePortFails) {
    makeDocument(true);
    rx->OnCommand(ID_SERIAL_SNOOPING);
    EXPECT_FALSE(doc->m_bKeepReceiverOn);
    EXPECT_EQ(rx->GetState(), State::Off);
    port.openResult = platform::PortOpenResult::OpenFailed;
    rx->OnCommand(ID_SERIAL_SNOOPING);
    EXPECT_FALSE(doc->m_bKeepReceiverOn);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Error opening serial port.")});
    // Switching off while an online session runs keeps receiving it.
    port.openResult = platform::PortOpenResult::Ok;
    rx->OnCommand(ID_SERIAL_SNOOPING);
    port.send(kHeader);
    poll();
    ASSERT_EQ(rx->GetState(), State::Receiving);
    rx->OnCommand(ID_SERIAL_SNOOPING);
    EXPECT_FALSE(doc->m_bKeepReceiverOn);
    EXPECT_EQ(rx->GetState(), State::Receiving);
}

TEST_F(OnlineTest, BrokenPortEndsTheTickOnly) {
    makeDocument(true);
    port.send(kHeader);
    port.broken = true;
    poll();
    EXPECT_TRUE(doc->m_sessions.IsEmpty());
    port.broken = false;
    poll();
    EXPECT_EQ(doc->m_sessions.GetCount(), 1u);
}

TEST_F(OnlineTest, OfflineDownloadAsksWhileOnlineAndRestartsSnooping) {
    makeDocument(true);
    port.send(kHeader);
    poll();
    CDataModule* online = doc->GetOnlineSession();
    ASSERT_NE(online, nullptr);
    // No: nothing happens.
    prompts.answer(platform::Button::No);
    EXPECT_EQ(rx->OnOfflineData(), nullptr);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text,
              QStringLiteral("Online session is just using the serial port.\nAbort?"));
    EXPECT_EQ(prompts.messages()[0].defaultButton, platform::Button::No);
    EXPECT_EQ(offlineRuns, 0);
    EXPECT_EQ(doc->GetOnlineSession(), online);
    // Yes: the online session ends and the download runs on the reopened port.
    prompts.answer(platform::Button::Yes);
    offlineData = std::string(kHeader) + "3:0:12000:0 0\r\n3:60:12000:1000 0\r\n\f";
    doc->SetModifiedFlag(false);
    view.hints.clear();
    CDataModule* session = rx->OnOfflineData();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(offlineRuns, 1);
    EXPECT_EQ(doc->GetOnlineSession(), nullptr);
    EXPECT_TRUE(doc->m_sessions.Contains(online));
    EXPECT_EQ(doc->m_sessions.GetTail(), session);
    EXPECT_EQ(session->m_blocks.GetAt(0)->GetCount(), 2);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(view.count(HINT_SESSION_ADDED), 1);
    EXPECT_EQ(view.count(HINT_BLOCK_DATA), 0);  // offline samples make no traffic
    EXPECT_EQ(rx->GetState(), State::Listening);
}

TEST_F(OnlineTest, DiscardedOrFailedDownloadLeavesNoSession) {
    makeDocument(false);
    offlineData = std::string(kHeader) + "3:0:12000:0 0\r\n";
    offlineKeep = false;
    EXPECT_EQ(rx->OnOfflineData(), nullptr);
    EXPECT_EQ(offlineRuns, 1);
    EXPECT_TRUE(doc->m_sessions.IsEmpty());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(port.isOpen());
    // A port that does not open: message, no loop, nothing added.
    port.openResult = platform::PortOpenResult::OpenFailed;
    EXPECT_EQ(rx->OnOfflineData(), nullptr);
    EXPECT_EQ(offlineRuns, 1);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Error opening serial port.")});
    EXPECT_TRUE(doc->m_sessions.IsEmpty());
    EXPECT_EQ(rx->GetState(), State::Off);
}

TEST_F(OnlineTest, OptionsApplyPortLineSettingsSnoopingAndDefaults) {
    makeDocument(true);
    EXPECT_EQ(port.opened.size(), 1u);
    // Cancel changes nothing.
    rx->OnCommand(ID_APP_SETTINGS);
    EXPECT_EQ(shownOptions.nPortIndex, 2);
    EXPECT_TRUE(shownOptions.bSnooping);
    EXPECT_TRUE(shownOptions.bSaveAsDefault);
    EXPECT_EQ(port.opened.size(), 1u);
    EXPECT_EQ(view.count(HINT_OPTIONS), 0);

    SerialOptions o = shownOptions;
    o.strPortName = "/dev/ttyUSB1";
    o.dcb.BaudRate = 19200;
    o.dcb.ParityMode = SerialControlRecord::EvenParity;
    SetFlowControl(o.dcb, platform::PortSettings::Flow::Hardware);
    optionsAnswer = o;
    rx->OnCommand(ID_APP_SETTINGS);
    // Reopened on the new device with the new settings.
    ASSERT_EQ(port.opened.size(), 2u);
    EXPECT_EQ(port.opened[1], QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(port.lastSettings.BaudRate, 19200);
    EXPECT_EQ(port.lastSettings.ParityMode, platform::PortSettings::Parity::Even);
    EXPECT_EQ(port.lastSettings.FlowControl, platform::PortSettings::Flow::Hardware);
    EXPECT_EQ(rx->GetState(), State::Listening);
    EXPECT_EQ(view.count(HINT_OPTIONS), 1);
    // The defaults went to the settings store, the device name beside the index.
    const auto key =
        platform::OpenKeyPath(CMainDoc::kOptionsKeyPath, root, platform::KeyAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(platform::ReadNumber(*key, "CommPortIndex", -1), 2);
    EXPECT_EQ(platform::ReadNumber(*key, "KeepReceiverOn", -1), 1);
    EXPECT_EQ(platform::ReadString(*key, "CommPortName", ""), "/dev/ttyUSB1");
    char setup[28];
    std::size_t size = 0;
    ASSERT_TRUE(platform::ReadBinary(*key, "CommPortSetup", setup, sizeof setup, &size));
    EXPECT_EQ(std::string(setup, size), o.dcb.ToBytes());

    // Unchanged settings with snooping on leave the port as it is.
    rx->OnCommand(ID_APP_SETTINGS);
    EXPECT_EQ(port.opened.size(), 2u);
    EXPECT_EQ(port.closes, 1);

    // Snooping off without saving: the receiver stops; the store keeps "on".
    o.bSnooping = false;
    o.bSaveAsDefault = false;
    optionsAnswer = o;
    rx->OnCommand(ID_APP_SETTINGS);
    EXPECT_EQ(rx->GetState(), State::Off);
    EXPECT_FALSE(doc->m_bKeepReceiverOn);
    EXPECT_EQ(platform::ReadNumber(*key, "KeepReceiverOn", -1), 1);

    // A new document of the next run finds the saved device and settings.
    doc.reset();
    rx.reset();
    makeDocument(true);
    EXPECT_EQ(rx->ChosenPortName(), "/dev/ttyUSB1");
    EXPECT_EQ(doc->m_dcb.BaudRate, 19200u);
}

TEST_F(OnlineTest, LiveDataMarksTheProjectModifiedEvenAfterASave) {
    makeDocument(true);
    EXPECT_FALSE(doc->IsModified());
    port.send(kHeader);
    port.send("3:0:12000:0 0\r\n");
    poll();
    ASSERT_EQ(doc->m_sessions.GetCount(), 1u);
    EXPECT_TRUE(doc->IsModified()) << "the session the receiver added";

    // Saved in the middle of a long charge: the samples that follow are new work,
    // the quiet ones after the third included.
    QTemporaryDir dir;
    ASSERT_TRUE(doc->OnSaveDocument(dir.filePath(QStringLiteral("charge.vtr"))));
    for (const char* line : {"3:30:12100:2000 0\r\n", "3:60:12200:2000 0\r\n"})
        port.send(line);
    poll();
    ASSERT_TRUE(doc->OnSaveDocument(dir.filePath(QStringLiteral("charge.vtr"))));
    ASSERT_FALSE(doc->IsModified());
    port.send("3:90:12300:2000 0\r\n");
    poll();
    EXPECT_EQ(doc->m_sessions.GetAt(0)->m_blocks.GetAt(0)->GetCount(), 4);
    EXPECT_TRUE(doc->IsModified());

    // So closing asks about saving after the online question.
    prompts.answer(platform::Button::Yes);
    prompts.answer(platform::Button::Cancel);
    EXPECT_FALSE(doc->CanCloseFrame(prompts));
    ASSERT_EQ(prompts.messages().size(), 2u);
    EXPECT_TRUE(prompts.messages()[1].text.startsWith(QStringLiteral("Save changes")));
}

TEST_F(OnlineTest, CreatedOnlineSessionMarksTheProjectModified) {
    makeDocument(false);
    rx->OnCommand(ID_ONLINE_CREATE);
    ASSERT_NE(doc->GetOnlineSession(), nullptr);
    EXPECT_TRUE(doc->IsModified());
    doc->SetModifiedFlag(false);
    port.send(kHeader);
    port.send("3:0:12000:0 0\r\n");
    poll();
    EXPECT_TRUE(doc->IsModified());
}

// The receiver keeps filling its block through a plain pointer. Whatever way
// that block leaves the project, the next poll must not reach it.
TEST_F(OnlineTest, RemovingTheBlockBeingReceivedEndsTheReceptionFirst) {
    enum class Way {
        OlderBlockMovedBehindThenDelete,
        MovedAwayThenDelete,
        MovedAwayThenSessionDeleted
    };
    struct Case {
        const char* name;
        Way way;
    };
    const Case cases[] = {
        {"an older block dropped after it, then it is deleted",
         Way::OlderBlockMovedBehindThenDelete},
        {"moved into another session, then deleted", Way::MovedAwayThenDelete},
        {"moved into another session, which is deleted", Way::MovedAwayThenSessionDeleted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.reset();
        rx.reset();
        makeDocument(true);
        // An earlier charge, finished, then the one being received.
        port.send(kHeader);
        port.send("3:0:12000:0 0\r\n\f");
        poll();
        port.send(kHeader);
        port.send("3:0:12000:0 0\r\n3:30:12100:2000 0\r\n");
        poll();
        ASSERT_EQ(doc->m_sessions.GetCount(), 2u);
        CDataModule* earlier = doc->m_sessions.GetAt(0);
        CDataModule* online = doc->m_sessions.GetAt(1);
        ASSERT_EQ(doc->GetOnlineSession(), online);
        CDataBlock* old = earlier->m_blocks.GetAt(0);
        CDataBlock* receiving = online->m_blocks.GetAt(0);
        ASSERT_EQ(doc->m_receiver.m_pBlock, receiving);

        switch (c.way) {
            case Way::OlderBlockMovedBehindThenDelete:
                // No longer the online session's last block.
                ASSERT_TRUE(online->MoveBlock(old, receiving, true, nullptr));
                ASSERT_EQ(online->m_blocks.GetTail(), old);
                EXPECT_TRUE(doc->RemoveItemBlock(receiving, true, true, nullptr));
                break;
            case Way::MovedAwayThenDelete:
                ASSERT_TRUE(earlier->MoveBlock(receiving, old, true, nullptr));
                EXPECT_TRUE(doc->RemoveItemBlock(receiving, true, true, nullptr));
                break;
            case Way::MovedAwayThenSessionDeleted:
                ASSERT_TRUE(earlier->MoveBlock(receiving, old, true, nullptr));
                EXPECT_TRUE(doc->RemoveSession(earlier, true, true, nullptr));
                break;
        }
        EXPECT_EQ(doc->m_receiver.m_pBlock, nullptr);
        EXPECT_EQ(doc->GetOnlineSession(), nullptr);

        // More of the charge arrives (the sanitizer build catches a freed block here).
        port.send("3:60:12200:2000 0\r\n3:90:12300:2000 0\r\n");
        poll();
        poll();
        if (const CDataBlock* now = doc->m_receiver.m_pBlock) {
            const CDataModule* owner = now->GetSession();
            ASSERT_NE(owner, nullptr);
            EXPECT_TRUE(doc->m_sessions.Contains(owner));
        }
    }
}

// A definition without a header: its data line opens a block, and this one
// also ends the session.
TEST_F(OnlineTest, ALineThatOpensAndEndsASessionKeepsItInTheProject) {
    auto meter = std::make_unique<CProtParser_Regexp>([] { return qint64(0); });
    QString error;
    ASSERT_TRUE(meter->LoadDefinitionText(
        "TITLE = Meter\nDATA = ^(\\d+);(\\d+)(;BYE)?\nDATA_IX_T = 1\nDATA_IX_U = 2\n"
        "ENDSESSION = ;BYE$\n",
        QStringLiteral("meter.rxp"), &error))
        << error.toStdString();
    parsers.Add(std::move(meter));
    for (const bool snooping : {true, false}) {
        SCOPED_TRACE(snooping ? "snooping" : "online session created by hand");
        doc.reset();
        rx.reset();
        makeDocument(snooping);
        if (!snooping)
            rx->OnCommand(ID_ONLINE_CREATE);
        doc->SetModifiedFlag(false);
        view.hints.clear();
        port.send("60;7;BYE\r\n");
        poll();
        ASSERT_EQ(doc->m_sessions.GetCount(), 1u);
        const CDataModule* session = doc->m_sessions.GetAt(0);
        ASSERT_EQ(session->m_blocks.GetCount(), 1u);
        const CDataBlock* block = session->m_blocks.GetAt(0);
        ASSERT_EQ(block->GetCount(), 1);
        EXPECT_FLOAT_EQ(block->m_samples[0].T, 60.0f);
        EXPECT_FLOAT_EQ(block->m_samples[0].U, 7.0f);
        EXPECT_EQ(doc->GetOnlineSession(), nullptr);
        EXPECT_EQ(rx->GetState(), snooping ? State::Listening : State::Off);
        EXPECT_TRUE(doc->IsModified());
        if (snooping) {
            EXPECT_EQ(view.count(HINT_SESSION_ADDED), 1);
        }
        EXPECT_EQ(view.hints.back(), HINT_SESSION_CHANGED);  // its picture turns normal
    }
}

TEST_F(OnlineTest, LineSettingsRecordMapsOntoThePort) {
    SerialControlRecord dcb;
    platform::PortSettings s = PortSettingsFromRecord(dcb);
    EXPECT_EQ(s.BaudRate, 9600);
    EXPECT_EQ(s.DataBits, 8);
    EXPECT_EQ(s.ParityMode, platform::PortSettings::Parity::None);
    EXPECT_EQ(s.Stop, platform::PortSettings::StopBits::One);
    EXPECT_EQ(s.FlowControl, platform::PortSettings::Flow::None);
    EXPECT_TRUE(s.Dtr);
    EXPECT_TRUE(s.Rts);
    EXPECT_EQ(s.ReceiveQueue, 2048);

    struct Case {
        platform::PortSettings::Flow flow;
        std::uint32_t flags;
    };
    const Case flows[] = {{platform::PortSettings::Flow::None, 0x1011},
                          {platform::PortSettings::Flow::Hardware, 0x2015},
                          {platform::PortSettings::Flow::Software, 0x1311}};
    for (const Case& c : flows) {
        SerialControlRecord r;
        SetFlowControl(r, c.flow);
        EXPECT_EQ(r.Flags, c.flags);
        EXPECT_EQ(FlowControlOf(r), c.flow);
        EXPECT_EQ(PortSettingsFromRecord(r).FlowControl, c.flow);
    }
    dcb.ByteSize = 7;
    dcb.ParityMode = SerialControlRecord::MarkParity;
    dcb.StopBitsMode = SerialControlRecord::TwoStopBits;
    dcb.Flags &= ~(3u << SerialControlRecord::kDtrControlShift);
    s = PortSettingsFromRecord(dcb);
    EXPECT_EQ(s.DataBits, 7);
    EXPECT_EQ(s.ParityMode, platform::PortSettings::Parity::Mark);
    EXPECT_EQ(s.Stop, platform::PortSettings::StopBits::Two);
    EXPECT_FALSE(s.Dtr);
}

}  // namespace
