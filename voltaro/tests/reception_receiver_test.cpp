// Line assembly: counters, forced lines, block start and end, the empty block
// that is removed, and what the receiver returns.
#include "items_RecordingDocument.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/Receiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace voltaro;
using voltaro::testing::RecordingDocument;

// A parser that records every line it is offered, for the forced-line tests.
class LineRecorder : public CProtParser {
public:
    int ParseHeader(CDataBlock&, std::string_view line, bool complete) override {
        if (complete && line == "START")
            return PF_CONSUMED;
        return 0;
    }
    int ParseData(CDataBlock&, std::string_view line, bool complete, DataSample*) override {
        if (complete)
            lines.emplace_back(line);
        return complete ? PF_CONSUMED : 0;
    }
    std::vector<std::string> lines;
};

class ReceiverTest : public ::testing::Test {
protected:
    ReceiverTest() {
        parsers.Add(std::make_unique<CProtParser_Kova>());
        state.m_pDocument = &doc;
    }
    // Feeds the bytes; returns the result of each byte.
    std::string feed(Receiver& r, std::string_view bytes) {
        std::string results;
        for (char c : bytes)
            results += static_cast<char>('0' + r.PutChar(static_cast<unsigned char>(c)));
        return results;
    }
    Receiver makeReceiver() {
        return Receiver(state, parsers, [] { return std::string("11.12.2026 10:00:00"); });
    }
    std::vector<std::string> blockNames() const {
        std::vector<std::string> names;
        if (state.m_pSession)
            for (const CDataBlock* b : state.m_pSession->m_blocks)
                names.push_back(b->m_strName);
        return names;
    }

    RecordingDocument doc;
    ParserList parsers;
    ReceiverState state;
};

TEST_F(ReceiverTest, HeaderCreatesSessionAndBlockThenSamplesArrive) {
    Receiver r = makeReceiver();
    EXPECT_EQ(feed(r, "noise\n"), std::string(6, '1'));
    EXPECT_EQ(state.m_pSession, nullptr);
    EXPECT_EQ(state.m_nBad, 0);  // no block: nobody judged the line
    feed(r, "*** KOVA v2.10 \"\n3:10:12000:1000 0\n3:20:12100:1000 0\n");
    ASSERT_NE(state.m_pSession, nullptr);
    EXPECT_EQ(state.m_pSession->m_pDocument, &doc);
    ASSERT_EQ(state.m_pSession->m_blocks.GetCount(), 1u);
    CDataBlock* block = state.m_pSession->m_blocks.GetAt(0);
    EXPECT_EQ(state.m_pBlock, block);
    EXPECT_EQ(block->m_strCreated, "11.12.2026 10:00:00");
    EXPECT_EQ(block->m_strName, "NiCd C");
    EXPECT_EQ(block->m_strInfo, "KOVA v2.10 \"");
    ASSERT_EQ(block->GetCount(), 2);
    EXPECT_FLOAT_EQ(block->m_samples[1].U, 12.1f);
    EXPECT_EQ(state.m_nLines, 4);
    EXPECT_EQ(state.m_nChars, 6 + 17 + 18 + 18);
    EXPECT_EQ(state.m_nLen, 0);
}

TEST_F(ReceiverTest, CarriageReturnsEndLinesAndEmptyLinesCountNowhere) {
    Receiver r = makeReceiver();
    feed(r, "*** KOVA v2.10 \"\r\n3:10:12000:1000 0\r\n\r\nbad line\r\n3:20:12000:1000 0\r");
    ASSERT_NE(state.m_pSession, nullptr);
    EXPECT_EQ(state.m_pSession->m_blocks.GetAt(0)->GetCount(), 2);
    EXPECT_EQ(state.m_nLines, 4);
    EXPECT_EQ(state.m_nBad, 1);
}

TEST_F(ReceiverTest, FormFeedFinishesAtOnce) {
    Receiver r = makeReceiver();
    EXPECT_EQ(feed(r, "*** KOVA v2.10 \"\n3:10:12000:1000 0\n"), std::string(35, '1'));
    EXPECT_EQ(r.PutChar('\f'), 0);
    EXPECT_EQ(state.m_pBlock, nullptr);
    EXPECT_EQ(state.m_nLen, 0);
    EXPECT_EQ(state.m_pSession->m_blocks.GetCount(), 1u);
}

TEST_F(ReceiverTest, BlockEndedWithoutSamplesIsRemoved) {
    Receiver r = makeReceiver();
    feed(r, "*** KOVA v2.10 \"\n*** KOVA v2.10 !\n3:10:12000:1000-0\n");
    ASSERT_NE(state.m_pSession, nullptr);
    EXPECT_EQ(blockNames(), (std::vector<std::string>{"NiMH2 D"}));
    // Offline: no view traffic for the removal.
    for (int hint : doc.hints())
        EXPECT_NE(hint, HINT_BLOCK_REMOVED);
    // An empty block at a form feed goes too.
    feed(r, "*** KOVA v2.10 #\n");
    EXPECT_EQ(r.PutChar('\f'), 0);
    EXPECT_EQ(blockNames(), (std::vector<std::string>{"NiMH2 D"}));
}

TEST_F(ReceiverTest, OnlineRemovalIsAnnounced) {
    state.m_bOnline = true;
    Receiver r = makeReceiver();
    feed(r, "*** KOVA v2.10 \"\n");
    CDataBlock* empty = state.m_pBlock;
    feed(r, "*** KOVA v2.10 \"\n");
    const std::vector<int> hints = doc.hints();
    ASSERT_GE(hints.size(), 2u);
    EXPECT_EQ(doc.notifications[hints.size() - 2].lHint, HINT_BLOCK_REMOVING);
    EXPECT_EQ(doc.notifications[hints.size() - 2].pItem, empty);
    EXPECT_EQ(hints.back(), HINT_BLOCK_REMOVED);
}

TEST_F(ReceiverTest, StarLineEndsTheBlockAndStartsTheNext) {
    Receiver r = makeReceiver();
    feed(r, "*** KOVA v2.10 \"\n3:10:12000:1000 0\n* pause\n3:5:11000:900-0\n");
    EXPECT_EQ(blockNames(), (std::vector<std::string>{"NiCd C", "Battery D"}));
    EXPECT_EQ(state.m_pSession->m_blocks.GetAt(1)->m_strInfo, "");
    EXPECT_EQ(state.m_nBad, 0);
}

TEST_F(ReceiverTest, CycleSessionIsNamedC1D1C2D2) {
    Receiver r = makeReceiver();
    for (const char* sep : {" ", "-", " ", "-"}) {
        feed(r, "*** KOVA v2.10 \"\n");
        feed(r, std::string("3:10:12000:1000") + sep + "0\n3:20:12000:1000" + sep + "0\n");
    }
    EXPECT_EQ(blockNames(), (std::vector<std::string>{"NiCd C1", "NiCd D1", "NiCd C2", "NiCd D2"}));
}

TEST_F(ReceiverTest, DataLineWithoutHeaderStartsABlock) {
    Receiver r = makeReceiver();
    feed(r, "3:10:12000:1000 0\n3:20:12000:1000 0\n");
    EXPECT_EQ(blockNames(), (std::vector<std::string>{"Battery C"}));
    EXPECT_EQ(state.m_pSession->m_blocks.GetAt(0)->GetCount(), 2);
}

TEST_F(ReceiverTest, LongLinesAreForcedOutAt129Characters) {
    ParserList recorderList;
    LineRecorder* recorder = recorderList.Add(std::make_unique<LineRecorder>());
    Receiver r(state, recorderList, {});
    feed(r, "START\n");
    const std::string line200(200, 'x');
    feed(r, line200 + "\n");
    ASSERT_EQ(recorder->lines.size(), 2u);
    EXPECT_EQ(recorder->lines[0], std::string(129, 'x'));
    EXPECT_EQ(recorder->lines[1], std::string(71, 'x'));
    EXPECT_EQ(state.m_nLines, 3);
    // A line of exactly 128 characters ends with its line feed.
    recorder->lines.clear();
    feed(r, std::string(128, 'y') + "\n");
    ASSERT_EQ(recorder->lines.size(), 1u);
    EXPECT_EQ(recorder->lines[0], std::string(128, 'y'));
    EXPECT_EQ(state.m_nLen, 0);
}

// A second device: "START" lines head its blocks, "V=<mV>" lines are its data.
class OtherDevice : public CProtParser {
public:
    int ParseHeader(CDataBlock& block, std::string_view line, bool complete) override {
        if (!complete || line != "START")
            return 0;
        block.m_strName = "Other";
        return PF_CONSUMED;
    }
    int ParseData(CDataBlock&, std::string_view line, bool complete, DataSample* s) override {
        if (!complete)
            return 0;
        if (line.substr(0, 2) != "V=")
            return PF_UNRECOGNISED;
        if (s)
            s->U = 1.0f;
        return PF_SAMPLE | PF_CONSUMED;
    }
};

TEST_F(ReceiverTest, HeaderOfAnotherDeviceEndsTheKovaBlock) {
    parsers.Add(std::make_unique<OtherDevice>());
    Receiver r = makeReceiver();
    feed(r,
         "*** KOVA v2.10 \"\n3:10:12000:1000 0\nSTART\nV=1\nnoise\n*** KOVA v2.10 !\n3:1:1:1-0\n");
    EXPECT_EQ(blockNames(), (std::vector<std::string>{"NiCd C", "Other", "NiMH2 D"}));
    EXPECT_EQ(state.m_pSession->m_blocks.GetAt(1)->GetCount(), 1);
    EXPECT_EQ(state.m_pSession->m_blocks.GetAt(1)->m_pParser, parsers.GetAt(1));
    EXPECT_EQ(state.m_pSession->m_blocks.GetAt(2)->m_pParser, parsers.GetAt(0));
    // Only the noise inside the foreign block was nobody's line.
    EXPECT_EQ(state.m_nBad, 1);
}

TEST_F(ReceiverTest, IdleCallDoesNothingWithoutATimedOutOnlineBlock) {
    Receiver r = makeReceiver();
    EXPECT_EQ(r.PutChar(0), 1);
    feed(r, "*** KOVA v2.10 \"\n3:1:2:3 0\n");
    EXPECT_EQ(r.PutChar(0), 1);
    EXPECT_EQ(state.m_nChars, 27);
}

// A parser whose blocks time out on request.
class TimingParser : public CProtParser_Kova {
public:
    bool IsTimedOut() override { return timedOut; }
    bool timedOut = false;
};

TEST_F(ReceiverTest, OnlineTimeOutDropsTheBlockAndStops) {
    ParserList list;
    TimingParser* parser = list.Add(std::make_unique<TimingParser>());
    state.m_bOnline = true;
    Receiver r(state, list, {});
    feed(r, "*** KOVA v2.10 \"\n3:1:2:3 0\n");
    CDataBlock* block = state.m_pBlock;
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(r.PutChar(0), 1);
    parser->timedOut = true;
    EXPECT_EQ(r.PutChar(0), 0);
    EXPECT_EQ(state.m_pBlock, nullptr);
    // The block stays in its session as it was.
    EXPECT_TRUE(state.m_pSession->m_blocks.Contains(block));
    // Offline receivers never ask.
    state.m_bOnline = false;
    state.m_pBlock = block;
    EXPECT_EQ(r.PutChar(0), 1);
}

TEST_F(ReceiverTest, PartialLineSurvivesASessionChange) {
    Receiver r = makeReceiver();
    feed(r, "*** KOVA v2.10 \"\n3:10:12000:1000 0\n3:20:120");
    // The online session ends: the receiver forgets session and block.
    const std::unique_ptr<CDataModule> first = std::move(state.m_newSession);
    ASSERT_EQ(state.m_pSession, first.get());
    state.m_pSession = nullptr;
    state.m_pBlock = nullptr;
    feed(r, "00:1000 0\n");
    ASSERT_NE(state.m_pSession, nullptr);
    EXPECT_NE(state.m_pSession, first.get());
    ASSERT_EQ(state.m_pSession->m_blocks.GetCount(), 1u);
    EXPECT_EQ(state.m_pSession->m_blocks.GetAt(0)->m_samples[0].Text(), "3:20:12000:1000 0");
}

}  // namespace
