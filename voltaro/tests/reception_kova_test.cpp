// The KOVA parser and the dispatch of lines to the parser list.
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/ParserList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace voltaro;

struct HeaderCase {
    const char* line;
    bool complete;
    int flags;
    const char* info;
    int battery;
    const char* name;
    const char* device;
};

TEST(KovaHeader, RecognisesHeadersAndTakesBatteryAndVersion) {
    const HeaderCase cases[] = {
        {"*** KOVA Charger v2.10 \"", true, PF_CONSUMED, "KOVA Charger v2.10 \"", 3,
         "NiCd (no data yet)", "Voltaro 2.10"},
        {"*** KOVA Charger v2.10 \"", false, 0, "", 0, "", ""},
        {"**KOVA v1.5 NiMH!  ", true, PF_CONSUMED, "KOVA v1.5 NiMH!", 2, "NiMH2 (no data yet)",
         "Voltaro 1.5"},
        {"KOVA 3 LiPo$", true, PF_CONSUMED, "KOVA 3 LiPo$", 5, "LiX (no data yet)", "Voltaro"},
        {"* KOVA lead #", true, PF_CONSUMED, "KOVA lead #", 4, "Pb (no data yet)", "Voltaro"},
        {"*KOVA ver 2 X", true, PF_CONSUMED, "KOVA ver 2 X", 0, "Battery (no data yet)",
         "Voltaro er"},
        {"KOVA v3 \x1f", true, PF_CONSUMED, "KOVA v3 \x1f", 0, "Battery (no data yet)",
         "Voltaro 3"},
        {"*** kova v2.10 \"", true, 0, "", 0, "", ""},
        {"3:125:12450:1500 0", true, 0, "", 0, "", ""},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.line);
        CProtParser_Kova kova;
        CDataBlock block;
        EXPECT_EQ(kova.ParseHeader(block, c.line, c.complete), c.flags);
        EXPECT_EQ(block.m_strInfo, c.info);
        EXPECT_EQ(block.m_nBattery, c.battery);
        EXPECT_EQ(block.m_strName, c.name);
        EXPECT_EQ(block.m_strDevice, c.device);
    }
}

struct DataCase {
    const char* line;
    bool complete;
    int flags;
    float T, U, I;
    const char* name;  // the name the first data line gives a block without session
};

TEST(KovaData, ReadsDataLinesAndEndsBlocks) {
    const DataCase cases[] = {
        {"3:125:12450:1500 0", true, PF_SAMPLE | PF_CONSUMED, 125.0f, 12.45f, 1.5f, "Battery C"},
        {"3:125:12450:1500-0", true, PF_SAMPLE | PF_CONSUMED, 125.0f, 12.45f, 1.5f, "Battery D"},
        {"0: 7:  1000:0x", true, PF_SAMPLE | PF_CONSUMED, 7.0f, 1.0f, 0.0f, "Battery C"},
        {"9:1:2:3 ", true, PF_SAMPLE | PF_CONSUMED, 1.0f, 0.002f, 0.003f, "Battery C"},
        {"12:125:12450:1500 0", true, PF_UNRECOGNISED, 0, 0, 0, ""},
        {"-1:125:12450:1500 0", true, PF_UNRECOGNISED, 0, 0, 0, ""},
        {"3:125:12450", true, PF_UNRECOGNISED, 0, 0, 0, ""},
        {"3:125:12450:1500", true, PF_UNRECOGNISED, 0, 0, 0, ""},
        {"3 :125:12450:1500 0", true, PF_UNRECOGNISED, 0, 0, 0, ""},
        {"", true, PF_UNRECOGNISED, 0, 0, 0, ""},
        {"3:125:12450:1500 0", false, 0, 0, 0, 0, ""},
        {"\f", true, PF_FINISH | PF_CONSUMED, 0, 0, 0, ""},
        {"\f", false, PF_FINISH | PF_CONSUMED, 0, 0, 0, ""},
        {"\f3:125:12450:1500 0", false, PF_FINISH | PF_CONSUMED, 0, 0, 0, ""},
        {"*", true, PF_NEXT_BLOCK, 0, 0, 0, ""},
        {"** end of program", true, PF_NEXT_BLOCK, 0, 0, 0, ""},
        {"new KOVA run", true, PF_NEXT_BLOCK, 0, 0, 0, ""},
        {"*", false, 0, 0, 0, 0, ""},
    };
    for (const DataCase& c : cases) {
        SCOPED_TRACE(c.line);
        CProtParser_Kova kova;
        CDataBlock block;
        DataSample sample;
        EXPECT_EQ(kova.ParseData(block, c.line, c.complete, &sample), c.flags);
        EXPECT_FLOAT_EQ(sample.T, c.T);
        EXPECT_FLOAT_EQ(sample.U, c.U);
        EXPECT_FLOAT_EQ(sample.I, c.I);
        EXPECT_EQ(sample.R, 0.0f);
        EXPECT_EQ(sample.C, 0.0f);
        EXPECT_EQ(block.m_strName, c.name);
    }
}

TEST(KovaData, NumbersAreTakenAsUnsigned32Bit) {
    const KovaDataLine d = ScanKovaDataLine("1:4294967296:4294967295:-0 7");
    EXPECT_EQ(d.conversions, 6);
    EXPECT_EQ(d.channel, 1);
    EXPECT_EQ(d.t, 0u);
    EXPECT_EQ(d.u, 4294967295u);
    EXPECT_EQ(d.i, 0u);
    EXPECT_EQ(d.separator, ' ');
    EXPECT_EQ(ScanKovaDataLine("1:2:3:4").conversions, 4);
    EXPECT_EQ(ScanKovaDataLine("1:2:3:4 ").conversions, 5);
    EXPECT_EQ(ScanKovaDataLine("x1:2:3:4 5").conversions, 0);
    EXPECT_EQ(ScanKovaDataLine("1:2:+:4 5").conversions, 2);
}

TEST(KovaData, ProbeWithoutSampleStillAnswers) {
    CProtParser_Kova kova;
    CDataBlock block;
    EXPECT_EQ(kova.ParseData(block, "3:125:12450:1500 0", true, nullptr), PF_SAMPLE | PF_CONSUMED);
}

// Session of blocks that each got their first data line with the given separators.
std::vector<std::string> cycleNames(const std::string& separators, int battery = 3) {
    CDataModule session(nullptr);
    CProtParser_Kova kova;
    for (char sep : separators) {
        CDataBlock* block = session.AddBlock(std::make_unique<CDataBlock>());
        EXPECT_EQ(kova.ParseHeader(*block, "*** KOVA v2.10 \"", true), PF_CONSUMED);
        block->m_nBattery = battery;
        const std::string line = std::string("3:1:12000:1000") + sep + "0";
        DataSample sample;
        EXPECT_EQ(kova.ParseData(*block, line, true, &sample), PF_SAMPLE | PF_CONSUMED);
        block->AppendSample(sample, line, false);
        // Further data lines do not rename.
        EXPECT_EQ(kova.ParseData(*block, line, true, &sample), PF_SAMPLE | PF_CONSUMED);
    }
    std::vector<std::string> names;
    for (const CDataBlock* b : session.m_blocks)
        names.push_back(b->m_strName);
    EXPECT_EQ(session.m_nCycleBlocks, static_cast<int>(separators.size()));
    return names;
}

TEST(KovaNaming, CyclesAreNumberedOnceASecondChargeArrives) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(cycleNames(" "), (Names{"NiCd C"}));
    EXPECT_EQ(cycleNames(" -"), (Names{"NiCd C", "NiCd D"}));
    EXPECT_EQ(cycleNames(" - "), (Names{"NiCd C1", "NiCd D1", "NiCd C2"}));
    EXPECT_EQ(cycleNames(" - -"), (Names{"NiCd C1", "NiCd D1", "NiCd C2", "NiCd D2"}));
    EXPECT_EQ(cycleNames(" - - "), (Names{"NiCd C1", "NiCd D1", "NiCd C2", "NiCd D2", "NiCd C3"}));
    // A discharge as the third block names itself but does not number the first two.
    EXPECT_EQ(cycleNames("---"), (Names{"NiCd D", "NiCd D", "NiCd D2"}));
    EXPECT_EQ(cycleNames(" -", 0), (Names{"Battery C", "Battery D"}));
}

TEST(KovaNaming, RenamedFirstBlockKeepsItsName) {
    CDataModule session(nullptr);
    CProtParser_Kova kova;
    for (int n = 0; n < 3; ++n) {
        CDataBlock* block = session.AddBlock(std::make_unique<CDataBlock>());
        kova.ParseHeader(*block, "KOVA \"", true);
        DataSample sample;
        kova.ParseData(*block, n == 1 ? "1:1:1:1-0" : "1:1:1:1 0", true, &sample);
        block->AppendSample(sample, "1:1:1:1 0", false);
        if (n == 0)
            block->SetName("mine", false, nullptr);
    }
    EXPECT_EQ(session.m_blocks.GetAt(0)->m_strName, "mine");
    EXPECT_EQ(session.m_blocks.GetAt(1)->m_strName, "NiCd D1");
    EXPECT_EQ(session.m_blocks.GetAt(2)->m_strName, "NiCd C2");
}

TEST(BatteryTable, NamesByIndexAndUnknownIndexes) {
    const char* expected[] = {"Battery", "NiMH1", "NiMH2", "NiCd", "Pb", "LiX"};
    for (int i = 0; i < kBatteryCount; ++i)
        EXPECT_STREQ(BatteryName(i), expected[i]);
    EXPECT_STREQ(BatteryName(-1), "Battery");
    EXPECT_STREQ(BatteryName(6), "Battery");
}

// A parser that answers from fixed flags and records what it was asked.
class FakeParser : public CProtParser {
public:
    FakeParser(int header, int data) : header_(header), data_(data) {}
    int ParseHeader(CDataBlock&, std::string_view, bool) override {
        ++headerCalls;
        return header_;
    }
    int ParseData(CDataBlock&, std::string_view, bool, DataSample* s) override {
        ++dataCalls;
        if ((data_ & PF_SAMPLE) && s)
            s->U = 5.0f;
        return data_;
    }
    int headerCalls = 0;
    int dataCalls = 0;

private:
    int header_;
    int data_;
};

TEST(ParserDispatch, FindParserTriesHeadersFirstThenData) {
    struct Case {
        int h1, d1, h2, d2;
        bool headerOnly;
        int result;
        int claimed;  // 0 none, 1 or 2
    };
    const Case cases[] = {
        {0, 0, PF_CONSUMED, 0, false, PF_CONSUMED, 2},
        {PF_CONSUMED, 0, PF_CONSUMED, 0, false, PF_CONSUMED, 1},
        {0, PF_SAMPLE | PF_CONSUMED, PF_CONSUMED, 0, false, PF_CONSUMED, 2},
        {0, 0, 0, PF_SAMPLE | PF_CONSUMED, false, PF_SAMPLE | PF_CONSUMED, 2},
        {0, 0, 0, PF_SAMPLE | PF_CONSUMED, true, kNobodyWanted, 0},
        // A data answer without a sample claims nothing.
        {0, PF_CONSUMED, 0, PF_NEXT_BLOCK, false, kNobodyWanted, 0},
        {PF_UNRECOGNISED, PF_UNRECOGNISED, 0, 0, false, kNobodyWanted, 0},
    };
    for (const Case& c : cases) {
        ParserList list;
        FakeParser* p1 = list.Add(std::make_unique<FakeParser>(c.h1, c.d1));
        FakeParser* p2 = list.Add(std::make_unique<FakeParser>(c.h2, c.d2));
        CDataBlock block;
        CProtParser* claimed = nullptr;
        DataSample sample;
        EXPECT_EQ(list.FindParser(block, &claimed, "x", true, &sample, c.headerOnly), c.result);
        CProtParser* expected = c.claimed == 1 ? p1 : c.claimed == 2 ? p2 : nullptr;
        EXPECT_EQ(claimed, expected);
    }
}

TEST(ParserDispatch, StartsBlockOnHeadersAndAcceptedDataLines) {
    ParserList list;
    list.Add(std::make_unique<CProtParser_Kova>());
    EXPECT_TRUE(list.StartsBlock("*** KOVA v2.10 \""));
    EXPECT_TRUE(list.StartsBlock("3:125:12450:1500 0"));
    EXPECT_FALSE(list.StartsBlock("3:125:12450"));
    EXPECT_FALSE(list.StartsBlock(""));
    EXPECT_FALSE(list.StartsBlock("\f"));
    EXPECT_FALSE(list.StartsBlock("* just stars"));
}

TEST(ParserDispatch, OfferLineAppendsSamplesAndKeepsTheClaimingParser) {
    ParserList list;
    list.Add(std::make_unique<CProtParser_Kova>());
    CDataModule session(nullptr);
    CDataBlock* block = session.AddBlock(std::make_unique<CDataBlock>());
    EXPECT_EQ(list.OfferLine(*block, "*** KOVA v2.10 \"", true, false), PF_CONSUMED);
    EXPECT_EQ(block->m_pParser, list.GetAt(0));
    EXPECT_EQ(list.OfferLine(*block, "3:60:12000:2000 0", false, false), 0);
    EXPECT_EQ(list.OfferLine(*block, "3:60:12000:2000 0", true, false), PF_SAMPLE | PF_CONSUMED);
    ASSERT_EQ(block->GetCount(), 1);
    EXPECT_EQ(block->m_samples[0].Text(), "3:60:12000:2000 0");
    EXPECT_NEAR(block->m_samples[0].C, 2.0 * 60 / 3600, 1e-6);
    EXPECT_EQ(block->m_strName, "NiCd C");
    // Garbage stays unrecognised; a foreign-looking header does not end the block
    // unless some parser would start a block with it.
    EXPECT_EQ(list.OfferLine(*block, "garbage", true, false), PF_UNRECOGNISED);
    EXPECT_EQ(list.OfferLine(*block, "*** KOVA v2.10 !", true, false), PF_NEXT_BLOCK);
    EXPECT_EQ(list.OfferLine(*block, "\f", false, false), PF_FINISH | PF_CONSUMED);
    EXPECT_EQ(block->GetCount(), 1);
}

TEST(ParserDispatch, HeaderOfAnotherDeviceFinishesTheBlock) {
    ParserList list;
    list.Add(std::make_unique<CProtParser_Kova>());
    FakeParser* other = list.Add(std::make_unique<FakeParser>(0, PF_UNRECOGNISED));
    CDataBlock block;
    block.m_pParser = other;
    // The other parser does not know the line, and the KOVA parser would start a
    // block with it: this block is over.
    EXPECT_EQ(list.OfferLine(block, "*** KOVA v2.10 \"", true, false), PF_FINISH);
    // A line nobody starts a block with stays a bad line of this block.
    EXPECT_EQ(list.OfferLine(block, "noise", true, false), PF_UNRECOGNISED);
    // Incomplete lines never finish it.
    EXPECT_EQ(list.OfferLine(block, "*** KOVA v2.10 \"", false, false), PF_UNRECOGNISED);
}

TEST(ParserDispatch, BuiltListStartsWithKovaAndBuildingAgainReplacesIt) {
    int loaderCalls = 0;
    ParserList list;
    ParserList other;
    BuildParserList(list, QStringLiteral("/nonexistent"),
                    [&](const QString& folder, ParserList& l) {
                        ++loaderCalls;
                        EXPECT_EQ(folder, QStringLiteral("/nonexistent"));
                        EXPECT_EQ(&l, &list);
                        EXPECT_EQ(l.GetCount(), 1u);
                        l.Add(std::make_unique<FakeParser>(0, 0));
                    });
    EXPECT_EQ(loaderCalls, 1);
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_NE(dynamic_cast<CProtParser_Kova*>(list.GetAt(0)), nullptr);
    BuildParserList(other, QString());
    EXPECT_EQ(other.GetCount(), 1u);
    EXPECT_EQ(list.GetCount(), 2u) << "each list is its own";
    BuildParserList(list, QString());
    EXPECT_EQ(list.GetCount(), 1u);
    FreeParserList(list);
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(other.GetCount(), 1u);
}

}  // namespace
