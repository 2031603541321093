// The real serial port against charger-sim on a pseudo-terminal: snooping
// creates the online session on the first header, an offline download answers
// the request byte, and silence ends a download with errors. No fixed waits:
// the tests wait on conditions; the silence is measured by an injected clock.
#include "platform/serial/PolledPort.h"
#include "platform/testing/ScriptedPrompts.h"
#include "platform/testing/SkipOrFail.h"
#include "reception_SimulatorProcess.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/DocumentReceiver.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/StreamReading.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace voltaro;
using voltaro::testing::SimulatorProcess;
using voltaro::testing::waitUntil;

class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SimulatorProcess::available())
            SKIP_OR_FAIL_IN_CI("no pseudo-terminals on this system");
        parsers.Add(std::make_unique<CProtParser_Kova>());
    }
    std::vector<std::string> names(const CDataModule& s) const {
        std::vector<std::string> n;
        for (const CDataBlock* b : s.m_blocks)
            n.push_back(b->m_strName);
        return n;
    }
    ParserList parsers;
};

// What the project looked like when a session was announced.
struct Watch : DocumentView {
    struct Added {
        CViewTreeItem* item;
        CDataModule* onlineSession;
        std::size_t blocks;
        int samples;
        DocumentReceiver::State state;
    };
    Watch(CMainDoc& d, DocumentReceiver& r) : doc(d), receiver(r) {}
    void OnUpdate(DocumentView*, int lHint, CViewTreeItem* pItem) override {
        if (lHint != HINT_SESSION_ADDED)
            return;
        auto* session = dynamic_cast<CDataModule*>(pItem);
        const CDataBlock* first =
            session && !session->m_blocks.IsEmpty() ? session->m_blocks.GetAt(0) : nullptr;
        added.push_back({pItem, doc.GetOnlineSession(), session ? session->m_blocks.GetCount() : 0,
                         first ? first->GetCount() : -1, receiver.GetState()});
    }
    CMainDoc& doc;
    DocumentReceiver& receiver;
    std::vector<Added> added;
};

TEST_F(SimulatorTest, SnoopingCreatesTheOnlineSessionOnTheFirstHeader) {
    SimulatorProcess sim;
    ASSERT_TRUE(
        sim.start({QStringLiteral("--cycles"), QStringLiteral("CDC"), QStringLiteral("--samples"),
                   QStringLiteral("6"), QStringLiteral("--rate"), QStringLiteral("200")}));
    platform::PolledSerialPort port;
    const std::unique_ptr<ReceiverTimer> timer = MakeQtReceiverTimer();
    platform::ScriptedPrompts prompts;
    ReceptionServices services;
    services.port = &port;
    services.timer = timer.get();
    services.prompts = &prompts;
    services.parsers = &parsers;
    DocumentReceiver receiver(services);
    CMainDoc doc(true);
    receiver.Attach(doc);
    Watch watch{doc, receiver};
    doc.AddView(&watch);
    SerialOptions options = receiver.CurrentOptions();
    options.strPortName = sim.devicePath().toStdString();
    options.bSnooping = true;
    options.bSaveAsDefault = false;
    receiver.ApplyOptions(options);
    ASSERT_EQ(receiver.GetState(), DocumentReceiver::State::Listening)
        << prompts.texts().join("|").toStdString();
    // The session joins the project as the online session when the first header
    // arrives, before any data.
    ASSERT_TRUE(waitUntil([&] { return !doc.m_sessions.IsEmpty(); }));
    ASSERT_EQ(watch.added.size(), 1u);
    EXPECT_EQ(watch.added[0].onlineSession, watch.added[0].item);
    EXPECT_EQ(watch.added[0].blocks, 1u);
    EXPECT_EQ(watch.added[0].samples, 0);
    EXPECT_EQ(watch.added[0].state, DocumentReceiver::State::Receiving);
    // The form feed at the end closes it; snooping listens on.
    ASSERT_TRUE(waitUntil([&] { return doc.GetOnlineSession() == nullptr; }));
    EXPECT_EQ(receiver.GetState(), DocumentReceiver::State::Listening);
    ASSERT_EQ(doc.m_sessions.GetCount(), 1u);
    const CDataModule& session = *doc.m_sessions.GetAt(0);
    EXPECT_EQ(names(session), (std::vector<std::string>{"NiCd C1", "NiCd D1", "NiCd C2"}));
    for (const CDataBlock* b : session.m_blocks)
        EXPECT_EQ(b->GetCount(), 6);
    EXPECT_EQ(doc.m_receiver.m_nBad, 0);
    EXPECT_TRUE(prompts.messages().empty());
    receiver.StopReceiver();
    EXPECT_EQ(receiver.GetState(), DocumentReceiver::State::Off);
    doc.RemoveView(&watch);
}

// Pumps the reading loop on the event loop, as the dialog does.
struct Pump {
    Pump(StreamReading& reading, platform::PolledPort& port) {
        QObject::connect(&timer, &QTimer::timeout, [&reading, &port] { PumpPort(reading, port); });
        timer.start(5);
    }
    QTimer timer;
};

TEST_F(SimulatorTest, OfflineDownloadAnswersTheRequestByte) {
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--offline"), QStringLiteral("--cycles"),
                           QStringLiteral("CDCD"), QStringLiteral("--samples"), QStringLiteral("8"),
                           QStringLiteral("--garbage"), QStringLiteral("5")}));
    platform::PolledSerialPort port;
    ASSERT_TRUE(port.open(sim.devicePath(), {}).ok());
    CDataModule session(nullptr);
    qint64 now = 0;
    StreamReading reading(session, parsers, [&] { return now; });
    Pump pump(reading, port);
    // Nothing comes unasked.
    EXPECT_FALSE(waitUntil([&] { return reading.AnyData(); }, 300));
    reading.Request();
    ASSERT_TRUE(waitUntil([&] { return reading.IsOver(); }));
    EXPECT_EQ(reading.GetOutcome(), StreamReading::Outcome::Done);
    EXPECT_EQ(reading.ResultText(), "Read successful (4 blocks read).");
    EXPECT_EQ(names(session),
              (std::vector<std::string>{"NiCd C1", "NiCd D1", "NiCd C2", "NiCd D2"}));
    EXPECT_EQ(reading.State().m_nBad, 7);  // 36 lines, a garbage line after every fifth
    for (const CDataBlock* b : session.m_blocks)
        EXPECT_EQ(b->GetCount(), 8);
}

TEST_F(SimulatorTest, SilenceAfterDataEndsTheDownloadWithErrors) {
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--offline"), QStringLiteral("--cycles"),
                           QStringLiteral("CD"), QStringLiteral("--samples"), QStringLiteral("10"),
                           QStringLiteral("--silence-after"), QStringLiteral("15")}));
    platform::PolledSerialPort port;
    ASSERT_TRUE(port.open(sim.devicePath(), {}).ok());
    CDataModule session(nullptr);
    qint64 now = 0;
    StreamReading reading(session, parsers, [&] { return now; });
    Pump pump(reading, port);
    reading.Request();
    // Everything the charger said has arrived; then it stays silent.
    ASSERT_TRUE(waitUntil([&] { return sim.sent() == 1 && reading.State().m_nLines == 15; }));
    EXPECT_FALSE(reading.IsOver());
    now += 2001;
    ASSERT_TRUE(waitUntil([&] { return reading.IsOver(); }));
    EXPECT_EQ(reading.GetOutcome(), StreamReading::Outcome::TimedOut);
    EXPECT_TRUE(reading.ShouldWarnIncomplete());
    EXPECT_EQ(reading.ResultText(), "There were errors! (2 blocks read).");
    ASSERT_EQ(session.m_blocks.GetCount(), 2u);
    EXPECT_EQ(session.m_blocks.GetAt(1)->GetCount(), 3);
}

TEST_F(SimulatorTest, ReplayedCaptureDownloadsAsItWasRecorded) {
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--offline"), QStringLiteral("--replay"),
                           QStringLiteral(TEST_DATA_DIR "/reception_kova_two_blocks.txt")}));
    platform::PolledSerialPort port;
    ASSERT_TRUE(port.open(sim.devicePath(), {}).ok());
    CDataModule session(nullptr);
    StreamReading reading(session, parsers, [] { return qint64(0); });
    Pump pump(reading, port);
    reading.Request();
    ASSERT_TRUE(waitUntil([&] { return reading.IsOver(); }));
    EXPECT_EQ(reading.ResultText(), "Read successful (2 blocks read).");
    EXPECT_EQ(names(session), (std::vector<std::string>{"NiCd C", "NiCd D"}));
    EXPECT_EQ(reading.State().m_nBad, 1);  // the line noise of the capture
    EXPECT_FLOAT_EQ(session.m_blocks.GetAt(1)->m_samples[2].U, 1.1f);
}

TEST_F(SimulatorTest, PartialAndLongLinesCountAsBad) {
    SimulatorProcess sim;
    ASSERT_TRUE(
        sim.start({QStringLiteral("--offline"), QStringLiteral("--cycles"), QStringLiteral("C"),
                   QStringLiteral("--samples"), QStringLiteral("12"), QStringLiteral("--partial"),
                   QStringLiteral("4"), QStringLiteral("--long-lines"), QStringLiteral("6")}));
    platform::PolledSerialPort port;
    ASSERT_TRUE(port.open(sim.devicePath(), {}).ok());
    CDataModule session(nullptr);
    StreamReading reading(session, parsers, [] { return qint64(0); });
    Pump pump(reading, port);
    reading.Request();
    ASSERT_TRUE(waitUntil([&] { return reading.IsOver(); }));
    EXPECT_EQ(reading.GetOutcome(), StreamReading::Outcome::Done);
    ASSERT_EQ(session.m_blocks.GetCount(), 1u);
    // 13 lines: lines 4, 8 and 12 are cut (unreadable); lines 6 and 12 are
    // stretched to 200 characters, so each is cut at 129 and leaves a rest of
    // 71 filler characters (bad). Line 6 itself still reads; line 12 is cut.
    EXPECT_EQ(session.m_blocks.GetAt(0)->GetCount(), 12 - 3);
    EXPECT_EQ(reading.State().m_nBad, 3 + 2);
}

}  // namespace
