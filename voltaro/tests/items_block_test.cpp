#include "items_RecordingDocument.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voltaro {
namespace {

using testing::Notification;
using testing::RecordingDocument;
using testing::SilentView;

DataSample sample(float t, float u, float i, float r = 0.0f) {
    DataSample s;
    s.T = t;
    s.U = u;
    s.I = i;
    s.R = r;
    return s;
}

class BlockTest : public ::testing::Test {
protected:
    BlockTest() : session(&doc), block(session.AddBlock(std::make_unique<CDataBlock>())) {
        block->m_strName = "NiMH C";
    }
    void appendU(std::initializer_list<float> us) {
        float t = 0;
        for (float u : us)
            block->AppendSample(sample(t += 1, u, 1), "", false);
    }
    void appendTimes(std::initializer_list<float> ts) {
        for (float t : ts)
            block->AppendSample(sample(t, 1, 1), "", false);
    }
    void appendCount(int n) {
        for (int i = 0; i < n; ++i)
            block->AppendSample(sample(static_cast<float>(i), 10, 1), "", false);
    }

    RecordingDocument doc;
    CDataModule session;
    CDataBlock* block;  // owned by the session
};

// Each step appends (T, U, I); C and E are the running charge and energy.
struct IntegrationStep {
    float T, U, I;
    double C, E;
};

struct IntegrationCase {
    const char* what;
    std::vector<IntegrationStep> steps;
};

class AppendSampleIntegration : public BlockTest,
                                public ::testing::WithParamInterface<IntegrationCase> {};

TEST_P(AppendSampleIntegration, DerivesChargeAndEnergyByTheRectangleRule) {
    const IntegrationCase& c = GetParam();
    for (std::size_t k = 0; k < c.steps.size(); ++k) {
        const IntegrationStep& s = c.steps[k];
        DataSample in = sample(s.T, s.U, s.I);
        in.C = 99.0f;  // whatever a parser left here is overwritten
        in.E = -99.0f;
        block->AppendSample(in, "", false);
        const DataSample& out = block->m_samples.back();
        EXPECT_NEAR(out.C, s.C, 2e-6 + 1e-6 * std::abs(s.C)) << c.what << ", step " << k;
        EXPECT_NEAR(out.E, s.E, 2e-6 + 1e-6 * std::abs(s.E)) << c.what << ", step " << k;
    }
    EXPECT_EQ(block->m_samples.size(), c.steps.size());
}

INSTANTIATE_TEST_SUITE_P(
    Items, AppendSampleIntegration,
    ::testing::Values(IntegrationCase{"the first sample integrates from T = 0",
                                      {{60, 10, 2, 2.0 * 60 / 3600, 10.0 * 2 * 60 / 3600}}},
                      IntegrationCase{"each interval takes the new sample's U and I",
                                      {{60, 10, 2, 0.0333333, 0.333333},
                                       {120, 12, 3, 0.0333333 + 0.05, 0.333333 + 0.6},
                                       {180, 12, 0, 0.0833333, 0.933333}}},
                      IntegrationCase{"time running backwards makes C and E fall",
                                      {{60, 10, 2, 0.0333333, 0.333333},
                                       {120, 12, 3, 0.0833333, 0.933333},
                                       {90, 12, 3, 0.0833333 - 0.025, 0.933333 - 0.3}}},
                      IntegrationCase{"discharge current counts negative",
                                      {{0, 12, -5, 0, 0},
                                       {36, 11, -5, -0.05, -0.55},
                                       {72, 10, -5, -0.1, -1.05}}}));

TEST_F(BlockTest, AppendSampleKeepsTheFirst80CharactersOfTheLine) {
    const std::string longLine(100, 'x');
    block->AppendSample(sample(1, 1, 1), longLine, false);
    DataSample withReserved = sample(2, 1, 1);
    withReserved.reserved = 7;
    block->AppendSample(withReserved, "U=12.1 I=2.0", false);

    EXPECT_EQ(block->m_samples[0].Text(), std::string(80, 'x'));
    const DataSample& s = block->m_samples[1];
    EXPECT_EQ(s.Text(), "U=12.1 I=2.0");
    EXPECT_EQ(std::string(s.text + 12, s.text + 80), std::string(68, '\0')) << "NUL-padded";
    EXPECT_EQ(s.reserved, 0);
}

TEST_F(BlockTest, OfflineAppendingSendsNoViewTraffic) {
    int shown = 0;
    int refreshes = 0;
    doc.environment.showOnlineData = [&](CDataBlock&) { ++shown; };
    doc.environment.requestRefresh = [&] { ++refreshes; };
    block->m_bSelected = true;
    for (int i = 0; i < 5; ++i)
        block->AppendSample(sample(static_cast<float>(i), 1, 1), "", false);
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(refreshes, 0);
    EXPECT_FALSE(doc.modified);
}

TEST_F(BlockTest, OnlineAppendingNotifiesAYoungBlockThenRefreshesTheGraphIfSelected) {
    std::vector<CDataBlock*> shown;
    int refreshes = 0;
    doc.environment.showOnlineData = [&](CDataBlock& b) { shown.push_back(&b); };
    doc.environment.requestRefresh = [&] { ++refreshes; };

    for (int i = 0; i < 5; ++i)
        block->AppendSample(sample(static_cast<float>(i), 1, 1), "", true);
    EXPECT_EQ(doc.notifications, (std::vector<Notification>(3, {nullptr, HINT_BLOCK_DATA, block})))
        << "samples 1 to 3 notify";
    EXPECT_EQ(shown, std::vector<CDataBlock*>(5, block));
    EXPECT_EQ(refreshes, 0) << "not selected: the graph does not show it";

    block->m_bSelected = true;
    doc.modified = false;  // as after a save in the middle of the charge
    block->AppendSample(sample(5, 1, 1), "", true);
    block->AppendSample(sample(6, 1, 1), "", true);
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(doc.notifications.size(), 3u);
    EXPECT_TRUE(doc.modified) << "live samples are unsaved work";
}

TEST_F(BlockTest, TheFirstAppendAnnouncesTheBlockWhenAProtocolEditorExists) {
    // No editor yet: nothing written, and the block stays unannounced.
    block->AppendSample(sample(1, 1, 1), "", true);
    EXPECT_FALSE(block->m_bAnnounced);

    std::vector<std::pair<CDataItem*, std::string>> entries;
    doc.environment.addProtocolEntry = [&](CDataItem& item, const std::string& text) {
        entries.emplace_back(&item, text);
    };
    block->m_strDevice = "KOVA 4";
    block->AppendSample(sample(2, 1, 1), "", true);
    block->AppendSample(sample(3, 1, 1), "", true);
    EXPECT_TRUE(block->m_bAnnounced);
    ASSERT_EQ(entries.size(), 1u) << "announced once";
    EXPECT_EQ(entries[0].first, block);
    EXPECT_EQ(entries[0].second, "Online Data block from KOVA 4 created %1");

    CDataBlock* offline = session.AddBlock(std::make_unique<CDataBlock>());
    offline->AppendSample(sample(1, 1, 1), "", false);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].first, offline);
    EXPECT_EQ(entries[1].second, "Offline Data block  created %1");
}

struct MaxUCase {
    std::vector<float> u;
    int expected;
};

class MaxUIndex : public BlockTest, public ::testing::WithParamInterface<MaxUCase> {};

TEST_P(MaxUIndex, IsTheFirstMaximumOfU) {
    for (std::size_t i = 0; i < GetParam().u.size(); ++i)
        block->AppendSample(sample(static_cast<float>(i), GetParam().u[i], 1), "", false);
    EXPECT_EQ(block->GetMaxUIndex(), GetParam().expected);
    EXPECT_EQ(block->m_nMaxUIndex, GetParam().expected) << "cached";
}

INSTANTIATE_TEST_SUITE_P(Items, MaxUIndex,
                         ::testing::Values(MaxUCase{{}, 0}, MaxUCase{{4}, 0},
                                           MaxUCase{{1, 3, 2}, 1}, MaxUCase{{5, 5}, 0},
                                           MaxUCase{{1, 2, 3, 3, 1}, 2}, MaxUCase{{3, 1, 2}, 0},
                                           MaxUCase{{-3, -1, -2}, 1}));

TEST_F(BlockTest, AppendingResetsTheMaxUCache) {
    appendU({1, 3, 2});
    EXPECT_EQ(block->GetMaxUIndex(), 1);
    block->AppendSample(sample(10, 4, 1), "", false);
    EXPECT_EQ(block->m_nMaxUIndex, -1);
    EXPECT_EQ(block->GetMaxUIndex(), 3);
}

TEST_F(BlockTest, AnEmptyBlockHasNoExtent) {
    EXPECT_EQ(block->GetDuration(), 0.0f);
    EXPECT_EQ(block->GetMaxUIndex(), 0);
    EXPECT_EQ(block->GetStartIndex(), 0);
    EXPECT_EQ(block->GetEndIndex(), -1);
    EXPECT_EQ(block->IndexAtTime(1.0f), nullptr);
    EXPECT_EQ(block->IndexAtPercent(50.0), nullptr);
    EXPECT_EQ(block->PercentAtIndex(0), 0.0);
    block->SetPercentLimit(5, true);
    EXPECT_EQ(block->m_nEndIndex, -1);
}

TEST_F(BlockTest, DurationIsTheTimeOfTheLastSample) {
    appendTimes({2, 4.5f, 3});
    EXPECT_EQ(block->GetDuration(), 3.0f);
}

TEST_F(BlockTest, IndexAtTimeFindsTheFirstSampleReachingTheTime) {
    appendTimes({0, 10, 20, 30});
    const struct {
        float t;
        int index;
    } cases[] = {{-5, 0}, {0, 0}, {10, 1}, {15, 2}, {29.9f, 3}, {30, 3}, {99, 3}};
    for (const auto& c : cases) {
        int index = -1;
        const DataSample* s = block->IndexAtTime(c.t, &index);
        EXPECT_EQ(index, c.index) << "t = " << c.t;
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s, &block->m_samples[static_cast<std::size_t>(c.index)]);
    }
}

struct PercentCase {
    const char* what;
    int start, end;  // limits, -1 = not set
    bool maxUAsEnd;
    double percent;
    int index;
};

class IndexAtPercent : public BlockTest, public ::testing::WithParamInterface<PercentCase> {};

TEST_P(IndexAtPercent, MapsPercentOntoTheNormalisedRange) {
    const PercentCase& c = GetParam();
    // 201 samples; U peaks at index 120.
    for (int i = 0; i <= 200; ++i)
        block->AppendSample(sample(static_cast<float>(i), i == 120 ? 20.0f : 10.0f, 1), "", false);
    block->m_nStartIndex = c.start;
    block->m_nEndIndex = c.end;
    doc.environment.flags.bMaxUAsEnd = c.maxUAsEnd;
    int index = -1;
    const DataSample* s = block->IndexAtPercent(c.percent, &index);
    EXPECT_EQ(index, c.index) << c.what;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->T, static_cast<float>(c.index));
}

INSTANTIATE_TEST_SUITE_P(
    Items, IndexAtPercent,
    ::testing::Values(PercentCase{"0 % is the first sample", -1, -1, false, 0, 0},
                      PercentCase{"100 % is the last sample", -1, -1, false, 100, 200},
                      PercentCase{"halfway", -1, -1, false, 50, 100},
                      PercentCase{"rounds half up", -1, -1, false, 0.25, 1},
                      PercentCase{"below 0 clamps to the first", -1, -1, false, -10, 0},
                      PercentCase{"above 100 clamps to the last", -1, -1, false, 150, 200},
                      PercentCase{"huge values stay in the block", -1, -1, false, 1e300, 200},
                      PercentCase{"limits set the range", 50, 150, false, 0, 50},
                      PercentCase{"limits: 100 %", 50, 150, false, 100, 150},
                      PercentCase{"limits: halfway", 50, 150, false, 50, 100},
                      PercentCase{"limits: far below", 50, 150, false, -100, 0},
                      PercentCase{"100 % at maximal U", -1, -1, true, 100, 120},
                      PercentCase{"an explicit end wins over maximal U", -1, 180, true, 100, 180}));

TEST_F(BlockTest, PercentAtIndexIsTheInverse) {
    appendCount(201);
    EXPECT_DOUBLE_EQ(block->PercentAtIndex(50), 25.0);
    block->m_nStartIndex = 50;
    block->m_nEndIndex = 150;
    EXPECT_DOUBLE_EQ(block->PercentAtIndex(100), 50.0);
    EXPECT_DOUBLE_EQ(block->PercentAtIndex(0), -50.0);
    // Equal limits fall back to the whole block.
    block->m_nEndIndex = 50;
    EXPECT_DOUBLE_EQ(block->PercentAtIndex(100), 50.0);
}

TEST_F(BlockTest, PercentAtIndexOfASingleSampleIsZero) {
    appendCount(1);
    EXPECT_EQ(block->PercentAtIndex(0), 0.0);
}

TEST_F(BlockTest, SetPercentLimitClampsToTheBlockQuietly) {
    appendCount(200);
    const struct {
        int index;
        bool end;
        int stored;
    } cases[] = {{500, true, 199}, {-7, false, -1}, {20, false, 20}, {150, true, 150}};
    block->m_nEndIndex = 150;
    for (const auto& c : cases) {
        block->SetPercentLimit(c.index, c.end);
        EXPECT_EQ(c.end ? block->m_nEndIndex : block->m_nStartIndex, c.stored) << c.index;
    }
    EXPECT_EQ(block->GetStartIndex(), 20);
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_FALSE(doc.modified);
}

TEST_F(BlockTest, EndIndexFollowsTheMaxUOption) {
    appendU({1, 5, 2, 3});
    EXPECT_EQ(block->GetEndIndex(), 3);
    doc.environment.flags.bMaxUAsEnd = true;
    EXPECT_EQ(block->GetEndIndex(), 1);
}

struct StyleCase {
    unsigned id;
    int intensity;  // expected afterwards
    int lineType;
};

class StyleCommand : public BlockTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(StyleCommand, SetsTheAttributeAndChecksItsMenuEntry) {
    const StyleCase& c = GetParam();
    block->m_nColorIntensity = 50;
    block->m_nLineType = 3;
    EXPECT_TRUE(block->OnCommand(c.id));
    EXPECT_EQ(block->m_nColorIntensity, c.intensity);
    EXPECT_EQ(block->m_nLineType, c.lineType);
    EXPECT_EQ(doc.notifications, (std::vector<Notification>{{nullptr, HINT_BLOCK_STYLE, block}}));
    EXPECT_FALSE(doc.modified) << "a style change does not mark the project";

    CommandState state;
    EXPECT_TRUE(block->OnUpdateCommand(c.id, state));
    EXPECT_TRUE(state.bChecked);
    EXPECT_TRUE(state.bEnabled);
}

INSTANTIATE_TEST_SUITE_P(Items, StyleCommand,
                         ::testing::Values(StyleCase{32828, 10, 3}, StyleCase{32830, 30, 3},
                                           StyleCase{32837, 100, 3}, StyleCase{32870, -1, 3},
                                           StyleCase{32838, 50, 0}, StyleCase{32844, 50, 6},
                                           StyleCase{32850, 50, 12}, StyleCase{32871, 50, -1}));

TEST_F(BlockTest, StyleMenuChecksOnlyTheCurrentEntry) {
    block->m_nColorIntensity = 30;
    block->m_nLineType = -1;
    std::vector<unsigned> checked;
    for (unsigned id = 32820; id <= 32880; ++id) {
        CommandState state;
        if (block->OnUpdateCommand(id, state) && state.bChecked)
            checked.push_back(id);
    }
    EXPECT_EQ(checked, (std::vector<unsigned>{32830, 32871}));
    EXPECT_FALSE(block->OnCommand(32851));
    EXPECT_TRUE(doc.notifications.empty());
}

TEST(LineTypeMenu, NamesTheSevenOfferedTypes) {
    const char* expected[] = {"Thin Solid",   "Dash",         "Dot",        "Dash-Dot",
                              "Dash-Dot-Dot", "Medium Solid", "Thick Solid"};
    for (int i = 0; i < 7; ++i)
        EXPECT_STREQ(LineTypeMenuText(i), expected[i]);
    EXPECT_EQ(LineTypeMenuText(7), nullptr);
    EXPECT_EQ(LineTypeMenuText(-1), nullptr);
}

TEST_F(BlockTest, SelectionChangesNotifyAndMarkTheDocument) {
    SilentView tree;
    EXPECT_TRUE(block->SetSelected(true, true, &tree));
    EXPECT_TRUE(block->IsSelected());
    EXPECT_EQ(doc.notifications, (std::vector<Notification>{{&tree, HINT_BLOCK_CHANGED, block}}));
    EXPECT_TRUE(doc.modified);

    doc.notifications.clear();
    doc.modified = false;
    EXPECT_FALSE(block->SetSelected(true, true, &tree)) << "unchanged";
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_FALSE(doc.modified);

    EXPECT_TRUE(block->SetSelected(false, false, nullptr));
    EXPECT_TRUE(doc.notifications.empty());
    EXPECT_TRUE(doc.modified);
}

TEST_F(BlockTest, SetNameEndsAutomaticNamingButKeepsTheBatteryPending) {
    SilentView tree;
    block->m_bAutoNamed = true;
    block->m_bBatteryPending = true;
    block->SetName("Pack 3", true, &tree);
    EXPECT_EQ(block->GetName(), "Pack 3");
    EXPECT_FALSE(block->m_bAutoNamed);
    EXPECT_TRUE(block->m_bBatteryPending);
    EXPECT_EQ(doc.notifications, (std::vector<Notification>{{&tree, HINT_BLOCK_CHANGED, block}}));
    EXPECT_TRUE(doc.modified);
}

TEST_F(BlockTest, NamesPicturesAndMenus) {
    session.SetName("Session7", false, nullptr);
    EXPECT_EQ(block->GetQualifiedName(), "Session7.NiMH C");
    EXPECT_EQ(block->GetSession(), &session);
    EXPECT_EQ(block->GetImageIndex(), 2);
    EXPECT_EQ(block->GetMenuIndex(), 2);
    CDataBlock loose;
    loose.m_strName = "alone";
    EXPECT_EQ(loose.GetSession(), nullptr);
    EXPECT_EQ(loose.GetQualifiedName(), "alone");
    EXPECT_EQ(loose.m_nColorIntensity, -1);
    EXPECT_EQ(loose.m_nLineType, -1);
    EXPECT_EQ(loose.m_nStartIndex, -1);
    EXPECT_EQ(loose.m_nEndIndex, -1);
}

TEST(CreatedText, ShowsTheLocalDateAndTime) {
    const QDateTime when(QDate(2026, 12, 11), QTime(10, 5, 0));
    const std::string text = CDataBlock::CreatedText(when);
    EXPECT_NE(text.find("10:05"), std::string::npos) << text;
    EXPECT_NE(text.find("11"), std::string::npos) << text;
    EXPECT_NE(text.find("26"), std::string::npos) << text;
    EXPECT_NE(CDataBlock::CreatedText(when.addDays(1)), text);
}

std::string exportBlock(const CDataBlock& block, unsigned cmd, int* result = nullptr) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const int r = block.Export(buffer, cmd);
    if (result)
        *result = r;
    return buffer.data().toStdString();
}

TEST_F(BlockTest, TranslatedExportWritesHeaderColumnsAndNumbersWithDots) {
    block->m_strCreated = "11.12.2026 10:00:00";
    block->AppendSample(sample(0.25f, 12.3456f, 1), "", false);
    block->AppendSample(sample(120, 1, -0.5f, 1500), "", false);
    int result = -1;
    EXPECT_EQ(exportBlock(*block, ID_EXPORT_TRANSLATED, &result),
              "#####################################\r\n"
              "# Name:        NiMH C\r\n"
              "# Date:        11.12.2026 10:00:00\r\n"
              "# Data Count:  2\r\n"
              "#\r\n"
              "T [s]\tU [V]\tI [A]\tC [Ah]\tE [Wh]\tR [rpm]\r\n"
              "0.25\t12.346\t1.000\t0.000\t0.001\t0.000\r\n"
              "120\t1.000\t-0.500\t-0.017\t-0.016\t1500.000\r\n"
              "\r\n\r\n");
    EXPECT_EQ(result, 0);
}

TEST_F(BlockTest, TranslatedExportOfAnEmptyBlock) {
    EXPECT_EQ(exportBlock(*block, ID_EXPORT_TRANSLATED),
              "#####################################\r\n"
              "# Name:        NiMH C\r\n"
              "# Date:        \r\n"
              "# Data Count:  0\r\n"
              "#\r\n"
              "T [s]\tU [V]\tI [A]\tC [Ah]\tE [Wh]\tR [rpm]\r\n"
              "\r\n\r\n");
}

TEST_F(BlockTest, RawExportRepeatsTheHeaderAndTheStoredLines) {
    block->m_strInfo = "KOVA 4 NiMH 6 cells";
    block->AppendSample(sample(1, 7, 1), "1 7.00 1.00", false);
    block->AppendSample(sample(2, 7, 1), std::string(85, '9'), false);
    EXPECT_EQ(exportBlock(*block, ID_EXPORT_RAW),
              "\r\nKOVA 4 NiMH 6 cells\r\n1 7.00 1.00\r\n" + std::string(80, '9') + "\r\n\r\n");
}

TEST_F(BlockTest, ExportRefusesOtherCommandsAndReportsAFailedWrite) {
    block->AppendSample(sample(1, 7, 1), "x", false);
    int result = 0;
    EXPECT_EQ(exportBlock(*block, 30055, &result), "");
    EXPECT_NE(result, 0);

    QBuffer closed;  // not open: every write fails
    EXPECT_NE(block->Export(closed, ID_EXPORT_RAW), 0);
}

}  // namespace
}  // namespace voltaro
