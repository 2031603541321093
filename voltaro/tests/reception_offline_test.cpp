// The reading loop of an offline download over a port: the request byte, the
// silence that ends it, a form feed, cancel, and the status texts.
#include "reception_FakePort.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/StreamReading.h"

#include <gtest/gtest.h>

namespace {

using namespace voltaro;
using voltaro::testing::FakePort;
using Outcome = StreamReading::Outcome;

class OfflineTest : public ::testing::Test {
protected:
    OfflineTest() : session(nullptr) {
        parsers.Add(std::make_unique<CProtParser_Kova>());
        port.open(QStringLiteral("COM1"), {});
    }
    StreamReading makeReading() {
        return StreamReading(
            session, parsers, [this] { return now; }, [] { return std::string("t"); });
    }

    qint64 now = 1000;
    CDataModule session;
    ParserList parsers;
    FakePort port;
};

TEST_F(OfflineTest, RequestGoesOutOncePerPressWhileNothingWaits) {
    StreamReading reading = makeReading();
    EXPECT_EQ(reading.ProgressText(), "Reading... (0 lines, 0 bad, 0 blocks)");
    PumpPort(reading, port);
    EXPECT_TRUE(port.written.empty());
    reading.Request();
    PumpPort(reading, port);
    PumpPort(reading, port);
    EXPECT_EQ(port.written, "U");
    reading.Request();
    reading.Request();
    PumpPort(reading, port);
    EXPECT_EQ(port.written, "UU");
    // Waiting without any data never times out.
    now += 100000;
    PumpPort(reading, port);
    EXPECT_FALSE(reading.IsOver());
    // A refused write is reported and the loop waits on.
    port.refuseWrites = true;
    reading.Request();
    EXPECT_TRUE(PumpPort(reading, port).requestFailed);
    EXPECT_FALSE(reading.IsOver());
}

TEST_F(OfflineTest, FormFeedEndsTheDownloadSuccessfully) {
    StreamReading reading = makeReading();
    port.send("*** KOVA v2.10 \"\r\n3:0:12000:0 0\r\nnoise\r\n3:30:12050:1000 0\r\n\f trailing");
    const PumpResult r = PumpPort(reading, port);
    EXPECT_TRUE(r.lineCompleted);
    EXPECT_EQ(reading.GetOutcome(), Outcome::Done);
    EXPECT_EQ(port.incoming.size(), 9u);  // the bytes after the form feed stay unread
    EXPECT_EQ(reading.ProgressText(), "Reading... (4 lines, 1 bad, 1 blocks)");
    EXPECT_EQ(reading.ResultText(), "Read successful (1 block read).");
    EXPECT_FALSE(reading.ShouldWarnIncomplete());
    ASSERT_EQ(session.m_blocks.GetCount(), 1u);
    EXPECT_EQ(session.m_blocks.GetAt(0)->GetCount(), 2);
    EXPECT_FALSE(reading.Feed('x'));
}

TEST_F(OfflineTest, SilenceAfterDataEndsWithErrors) {
    StreamReading reading = makeReading();
    port.send("*** KOVA v2.10 \"\r\n3:0:12000:0 0\r\n*** KOVA v2.10 \"\r\n3:0:12000:0-0\r\n");
    PumpPort(reading, port);
    EXPECT_FALSE(reading.IsOver());
    now += 2000;  // exactly 2000 ms: not yet
    PumpPort(reading, port);
    EXPECT_FALSE(reading.IsOver());
    now += 1;
    PumpPort(reading, port);
    EXPECT_EQ(reading.GetOutcome(), Outcome::TimedOut);
    EXPECT_TRUE(reading.ShouldWarnIncomplete());
    EXPECT_EQ(reading.ResultText(), "There were errors! (2 blocks read).");
    // A late byte changes nothing.
    port.send("3");
    PumpPort(reading, port);
    EXPECT_EQ(port.incoming.size(), 1u);
}

TEST_F(OfflineTest, ResultTexts) {
    struct Case {
        const char* bytes;
        bool cancel;
        bool breakPort;
        Outcome outcome;
        const char* text;
        bool warn;
    };
    const Case cases[] = {
        {"noise only\r\n", false, false, Outcome::TimedOut, "There were errors! (0 blocks read).",
         false},
        {"*** KOVA \"\r\n1:1:1:1 0\r\n", false, false, Outcome::TimedOut,
         "There were errors! (1 block read).", true},
        {"*** KOVA \"\r\n1:1:1:1 0\r\nKOVA !\r\n1:1:1:1 0\r\nKOVA #\r\n1:1:1:1 0\r\n\f", false,
         false, Outcome::Done, "Read successful (3 blocks read).", false},
        // A form feed before any block is just a bad line; silence follows.
        {"\f\r\n", false, false, Outcome::TimedOut, "There were errors! (0 blocks read).", false},
        {"*** KOVA \"\r\n1:1:1:1 0\r\n", true, false, Outcome::Cancelled,
         "There were errors! (1 block read).", false},
        {"*** KOVA \"\r\n1:1:1:1 0\r\n", false, true, Outcome::Failed,
         "There were errors! (1 block read).", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        CDataModule s(nullptr);
        StreamReading reading(s, parsers, [this] { return now; });
        port.incoming.clear();
        port.send(c.bytes);
        PumpPort(reading, port);
        if (c.cancel)
            reading.Cancel();
        if (c.breakPort)
            port.broken = true;
        now += 2001;
        PumpPort(reading, port);
        port.broken = false;
        EXPECT_EQ(reading.GetOutcome(), c.outcome);
        EXPECT_EQ(reading.ResultText(), c.text);
        EXPECT_EQ(reading.ShouldWarnIncomplete(), c.warn);
    }
}

TEST_F(OfflineTest, ReadingLoopBlocksAreOfflineAndNamedByCycle) {
    StreamReading reading = makeReading();
    for (const char* sep : {" ", "-", " "}) {
        port.send("*** KOVA v2.10 \"\r\n");
        port.send(std::string("3:0:12000:0") + sep + "0\r\n");
    }
    port.send("\f");
    PumpPort(reading, port);
    ASSERT_EQ(session.m_blocks.GetCount(), 3u);
    EXPECT_EQ(session.m_blocks.GetAt(0)->m_strName, "NiCd C1");
    EXPECT_EQ(session.m_blocks.GetAt(1)->m_strName, "NiCd D1");
    EXPECT_EQ(session.m_blocks.GetAt(2)->m_strName, "NiCd C2");
    EXPECT_EQ(session.m_blocks.GetAt(0)->m_strCreated, "t");
    EXPECT_FALSE(reading.State().m_bOnline);
}

}  // namespace
