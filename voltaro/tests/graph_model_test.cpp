// The chart model: what the graph page plots for a document and its view flags.
#include "voltaro/graph/ChartModel.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/model/ItemEnvironment.h"

#include <gtest/gtest.h>
#include <memory>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace voltaro;

DataSample sample(float t, float u, float i = 0.0f, float c = 0.0f) {
    DataSample s;
    s.T = t;
    s.U = u;
    s.I = i;
    s.C = c;
    return s;
}

// n samples T = k * dt, U = u0 + k * du, I = 2 + k, C = k / 100.
std::vector<DataSample> ramp(int n, float dt = 60.0f, float u0 = 12.0f, float du = 0.01f) {
    std::vector<DataSample> out;
    for (int k = 0; k < n; ++k)
        out.push_back(sample(static_cast<float>(k) * dt, u0 + static_cast<float>(k) * du,
                             2.0f + static_cast<float>(k), static_cast<float>(k) / 100.0f));
    return out;
}

// A project with sessions and blocks made directly, and the model built from it.
class ChartDoc {
public:
    CDataModule* session(const char* name) {
        auto* s = doc.m_sessions.AddTail(std::make_unique<CDataModule>(&doc));
        s->m_strName = name;
        return s;
    }
    // A block of the last session (a new one "S" when there is none).
    CDataBlock* block(const char* name, std::vector<DataSample> samples, bool selected = true) {
        CDataModule* s = doc.m_sessions.IsEmpty() ? session("S") : doc.m_sessions.GetTail();
        auto owned = std::make_unique<CDataBlock>();
        auto* b = owned.get();
        b->m_strName = name;
        b->m_samples = std::move(samples);
        b->m_bSelected = selected;
        s->AddBlock(std::move(owned));
        return b;
    }
    GraphAxis& axis(int q) { return doc.m_graphSettings.m_axes[static_cast<std::size_t>(q)]; }
    // Quantity q shown on the right-hand axis against `reference`.
    void rightOf(int q, int reference) {
        axis(q).shown = 1;
        axis(q).right = 1;
        axis(q).reference = reference;
    }
    ChartModel build(const ChartViewState& view = {}) const { return BuildChartModel(doc, view); }

    CMainDoc doc{true};
};

std::vector<std::string> names(const ChartModel& m) {
    std::vector<std::string> out;
    for (const ChartBlock& b : m.blocks)
        out.push_back(b.qualifiedName);
    return out;
}

TEST(ChartModel, NothingToPlotLeavesAnEmptyModel) {
    struct Case {
        const char* what;
        std::function<void(ChartDoc&)> setUp;
    };
    const Case cases[] = {
        {"empty project", [](ChartDoc&) {}},
        {"no block selected",
         [](ChartDoc& t) {
             t.block("a", ramp(5), false);
             t.block("b", {}, false);
         }},
        {"every quantity hidden",
         [](ChartDoc& t) {
             t.block("a", ramp(5));
             for (int q = 0; q < kChartQuantities; ++q)
                 t.axis(q).shown = 0;
         }},
        {"only a right-hand quantity whose reference is hidden",
         [](ChartDoc& t) {
             t.block("a", ramp(5));
             for (int q = 0; q < kChartQuantities; ++q)
                 t.axis(q).shown = 0;
             t.rightOf(QuantityI, QuantityU);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartDoc t;
        c.setUp(t);
        const ChartModel m = t.build();
        EXPECT_TRUE(m.noData());
        EXPECT_TRUE(m.entries.empty());
        EXPECT_TRUE(m.axes.empty());
        EXPECT_TRUE(m.subsets.empty());
        EXPECT_EQ(m.pointsPerSubset, 0);
        EXPECT_TRUE(m.x.empty());
        EXPECT_TRUE(m.y.empty());
    }
}

TEST(ChartModel, ShorterBlocksArePaddedToTheLongestPlusTwoClosingPoints) {
    ChartDoc d;
    const auto shortSamples = ramp(10, 60.0f, 12.2f, 0.02f);
    d.block("short", shortSamples);
    d.block("long", ramp(25));
    const ChartModel m = d.build();

    ASSERT_EQ(m.pointsPerSubset, 27);
    ASSERT_EQ(names(m), (std::vector<std::string>{"S.long", "S.short"}));
    ASSERT_EQ(m.entries.size(), 3u);  // U, I, C by default
    ASSERT_EQ(m.subsets.size(), 6u);
    EXPECT_EQ(m.x.size(), 2u * 27u);
    EXPECT_EQ(m.y.size(), 6u * 27u);

    for (int s : {1, 3, 5}) {  // the short block's subsets (plotting position 1)
        SCOPED_TRACE(s);
        const ChartSubset& sub = m.subsets[static_cast<std::size_t>(s)];
        EXPECT_EQ(sub.block, 1);
        EXPECT_EQ(sub.realPoints, 10);
        const auto x = m.subsetX(s);
        const auto y = m.subsetY(s);
        ASSERT_EQ(x.size(), 27u);
        ASSERT_EQ(y.size(), 27u);
        for (std::size_t k = 0; k < 10; ++k) {
            EXPECT_FLOAT_EQ(x[k], static_cast<float>(k));
            EXPECT_FALSE(IsChartNull(y[k]));
        }
        for (std::size_t k = 10; k < 25; ++k) {
            EXPECT_EQ(x[k], 0.0f) << k;  // padding sits at time 0
            EXPECT_TRUE(IsChartNull(y[k])) << k;
        }
        EXPECT_TRUE(IsChartNull(x[25]));
        EXPECT_TRUE(IsChartNull(x[26]));
    }
    // U of the short block is 12.2 .. 12.38: closed by 12.0 and 12.5.
    EXPECT_FLOAT_EQ(m.subsetY(1)[9], shortSamples[9].U);
    EXPECT_EQ(m.subsetY(1)[25], 12.0f);
    EXPECT_EQ(m.subsetY(1)[26], 12.5f);
    // The long block has no padding.
    EXPECT_EQ(m.subsets[0].realPoints, 25);
    EXPECT_FLOAT_EQ(m.subsetX(0)[24], 24.0f);
    EXPECT_EQ(m.xMin, 0.0f);
    EXPECT_FLOAT_EQ(m.xMax, 24.0f);
}

TEST(ChartModel, FlatSubsetsGetHalfUnitClosingPointsThatWidenTheAutomaticRange) {
    const float null = kChartNull;
    struct Case {
        std::vector<float> u;
        float closeLow, closeHigh;  // null: no closing values
        float rangeMin, rangeMax;
    };
    const Case cases[] = {
        {{12.2f, 12.3f, 12.4f}, 12.0f, 12.5f, 12.0f, 12.5f},
        {{-0.3f, -0.2f, -0.1f}, 0.0f, 0.0f, -0.3f, 0.0f},  // toward zero
        {{-1.2f, -1.0f}, -1.0f, -0.5f, -1.2f, -0.5f},
        {{1.0f, 1.49f}, 1.0f, 1.5f, 1.0f, 1.5f},
        {{5.0f}, 5.0f, 5.5f, 5.0f, 5.5f},
        {{1.0f, 1.5f}, null, null, 1.0f, 1.5f},  // a span of 0.5 is not flat
        {{3.7f, 9.1f, 4.0f}, null, null, 3.7f, 9.1f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.u));
        ChartDoc t;
        std::vector<DataSample> samples;
        for (float u : c.u)
            samples.push_back(sample(static_cast<float>(samples.size()), u));
        t.block("a", samples);
        const ChartModel m = t.build();
        const ChartSubset& s = m.subsets.at(0);
        ASSERT_EQ(m.entries.at(0).quantity, QuantityU);
        const auto y = m.subsetY(0);
        if (IsChartNull(c.closeLow)) {
            EXPECT_TRUE(IsChartNull(s.closeLow));
            EXPECT_TRUE(IsChartNull(s.closeHigh));
        } else {
            EXPECT_EQ(s.closeLow, c.closeLow);
            EXPECT_EQ(s.closeHigh, c.closeHigh);
            EXPECT_FALSE(std::signbit(s.closeLow) && s.closeLow == 0.0f) << "a negative zero";
        }
        EXPECT_EQ(std::bit_cast<std::uint32_t>(y[y.size() - 2]),
                  std::bit_cast<std::uint32_t>(s.closeLow));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(y[y.size() - 1]),
                  std::bit_cast<std::uint32_t>(s.closeHigh));
        const ChartEntry& e = m.entries[0];
        EXPECT_TRUE(e.hasData);
        EXPECT_EQ(e.scaleCode, 0);
        EXPECT_FLOAT_EQ(static_cast<float>(e.min), c.rangeMin);
        EXPECT_FLOAT_EQ(static_cast<float>(e.max), c.rangeMax);
    }
}

TEST(ChartModel, EmptyBlocksArePlottedWithoutValues) {
    ChartDoc d;
    d.block("empty", {});
    d.block("full", {sample(0, 3), sample(60, 4)});
    d.block("also empty", {});
    const ChartModel m = d.build();
    ASSERT_FALSE(m.noData());
    EXPECT_EQ(m.pointsPerSubset, 4);
    ASSERT_EQ(names(m), (std::vector<std::string>{"S.full", "S.empty", "S.also empty"}));
    const ChartSubset& empty = m.subsets.at(1);
    EXPECT_EQ(empty.realPoints, 0);
    EXPECT_TRUE(IsChartNull(empty.yMin));
    EXPECT_TRUE(IsChartNull(empty.yMax));
    EXPECT_TRUE(IsChartNull(empty.closeLow));
    for (float v : m.subsetY(1))
        EXPECT_TRUE(IsChartNull(v));

    // An entry whose blocks are all empty falls back to the record's range.
    ChartDoc t;
    t.block("empty", {});
    t.axis(QuantityU).min = -2.0;
    t.axis(QuantityU).max = 7.0;
    const ChartModel e = t.build();
    ASSERT_FALSE(e.noData());
    EXPECT_EQ(e.pointsPerSubset, 2);
    EXPECT_FALSE(e.entries[0].hasData);
    EXPECT_EQ(e.entries[0].min, -2.0);
    EXPECT_EQ(e.entries[0].max, 7.0);
    EXPECT_EQ(e.xMin, 0.0f);
    EXPECT_EQ(e.xMax, 0.0f);
}

TEST(ChartModel, TheCurrentBlockOrElseTheLongestIsPlottedFirst) {
    struct Case {
        const char* what;
        std::vector<float> durations;  // one block each, "S.b0", "S.b1", ...
        int current;                   // -1 none, -2 a block that is not selected
        std::vector<int> plotting;     // tree index per plotting position
        std::vector<int> legend;       // plotting position per tree index
    };
    const Case cases[] = {
        {"longest first", {10, 50, 30}, -1, {1, 0, 2}, {1, 0, 2}},
        {"current first though not the longest", {10, 50, 30}, 2, {2, 0, 1}, {1, 2, 0}},
        {"current already first", {10, 50, 30}, 0, {0, 1, 2}, {0, 1, 2}},
        {"equal durations keep the first", {30, 30, 10}, -1, {0, 1, 2}, {0, 1, 2}},
        {"no duration at all keeps the first", {0, 0, 0}, -1, {0, 1, 2}, {0, 1, 2}},
        {"an unselected current block is ignored", {10, 50, 30}, -2, {1, 0, 2}, {1, 0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartDoc t;
        std::vector<CDataBlock*> blocks;
        for (std::size_t i = 0; i < c.durations.size(); ++i) {
            const std::string name = "b" + std::to_string(i);
            blocks.push_back(t.block(name.c_str(), {sample(0, 1), sample(c.durations[i], 2)}));
        }
        CDataBlock* unselected = t.block("off", ramp(100), false);
        ChartViewState view;
        if (c.current >= 0)
            view.currentBlock = blocks[static_cast<std::size_t>(c.current)];
        else if (c.current == -2)
            view.currentBlock = unselected;
        const ChartModel m = t.build(view);

        std::vector<std::string> expected;
        for (int i : c.plotting)
            expected.push_back("S.b" + std::to_string(i));
        EXPECT_EQ(names(m), expected);
        EXPECT_EQ(m.currentBlock, c.current >= 0 ? 0 : -1);
        EXPECT_EQ(m.legend, c.legend);
        EXPECT_EQ(m.selectionOrder, c.legend);
        // Subset s = entry x blocks + block, for every entry.
        for (std::size_t s = 0; s < m.subsets.size(); ++s) {
            EXPECT_EQ(m.subsets[s].entry, static_cast<int>(s / 3));
            EXPECT_EQ(m.subsets[s].block, static_cast<int>(s % 3));
            EXPECT_EQ(m.subsets[s].label, expected[s % 3]);
        }
    }
}

TEST(ChartModel, BlocksOfAllSessionsInTreeOrderWithQualifiedNames) {
    ChartDoc d;
    d.session("First");
    d.block("x", ramp(3));
    d.block("hidden", ramp(3), false);
    d.session("Second");
    d.block("y", ramp(3));
    d.block("z", ramp(3));
    const ChartModel m = d.build();
    EXPECT_EQ(names(m), (std::vector<std::string>{"First.x", "Second.y", "Second.z"}));
    EXPECT_EQ(m.legend, (std::vector<int>{0, 1, 2}));

    d.doc.m_graphSettings.m_bLegend = 0;
    EXPECT_EQ(d.build().legend, std::vector<int>{-1});
}

TEST(ChartModel, RightHandPartnersShareTheAxisOfTheirReference) {
    struct Quantity {
        int q, shown, right, reference;
    };
    struct Expected {
        int q, axis;
        bool right;
        bool operator==(const Expected&) const = default;
    };
    struct Case {
        const char* what;
        std::vector<Quantity> set;  // changes to the defaults (U, I, C shown on the left)
        std::vector<Expected> entries;
        std::vector<int> axisSubsets;  // with two blocks
    };
    const int U = QuantityU, I = QuantityI, C = QuantityC, E = QuantityE, R = QuantityR;
    const Case cases[] = {
        {"defaults", {}, {{U, 0, false}, {I, 1, false}, {C, 2, false}}, {2, 2, 2}},
        {"I right against U", {{I, 1, 1, U}}, {{U, 0, false}, {I, 0, true}, {C, 1, false}}, {4, 2}},
        {"I right against U, U hidden", {{U, 0, 0, 0}, {I, 1, 1, U}}, {{C, 0, false}}, {2}},
        {"I and C right against U: the lower index only",
         {{I, 1, 1, U}, {C, 1, 1, U}},
         {{U, 0, false}, {I, 0, true}},
         {4}},
        {"C right against I, itself on the right",
         {{I, 1, 1, U}, {C, 1, 1, I}},
         {{U, 0, false}, {I, 0, true}},
         {4}},
        {"hidden right-hand quantity", {{I, 0, 1, U}}, {{U, 0, false}, {C, 1, false}}, {2, 2}},
        {"reference out of range", {{I, 1, 1, 7}}, {{U, 0, false}, {C, 1, false}}, {2, 2}},
        {"E right against C, R on the left",
         {{E, 1, 1, C}, {R, 1, 0, 0}},
         {{U, 0, false}, {I, 1, false}, {C, 2, false}, {E, 2, true}, {R, 3, false}},
         {2, 2, 4, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartDoc t;
        t.block("a", ramp(5));
        t.block("b", ramp(3));
        for (const Quantity& q : c.set) {
            t.axis(q.q).shown = q.shown;
            t.axis(q.q).right = q.right;
            t.axis(q.q).reference = q.reference;
        }
        const ChartModel m = t.build();
        std::vector<Expected> entries;
        for (const ChartEntry& e : m.entries)
            entries.push_back({e.quantity, e.yAxis, e.right});
        EXPECT_EQ(entries, c.entries);
        std::vector<int> counts;
        for (const ChartAxis& a : m.axes) {
            counts.push_back(a.subsetCount);
            EXPECT_EQ(a.hasPartner, a.subsetCount == 4);
        }
        EXPECT_EQ(counts, c.axisSubsets);
        ASSERT_EQ(m.subsets.size(), 2 * c.entries.size());
        for (std::size_t s = 0; s < m.subsets.size(); ++s)
            EXPECT_EQ(m.subsets[s].quantity, c.entries[s / 2].q);
    }
}

TEST(ChartModel, IntensitiesAndLineKindsComeFromTwoPools) {
    struct Case {
        const char* what;
        std::vector<int> intensity;  // per block in tree order, -1 automatic
        std::vector<int> lineType;
        int current;  // tree index, -1 none
        std::vector<int> intensities;
        std::vector<int> kinds;
    };
    const std::vector<int> autoKinds3 = {5, 1, 2};
    const Case cases[] = {
        {"all automatic", {-1, -1, -1}, {-1, -1, -1}, -1, {100, 90, 80}, autoKinds3},
        {"first explicit 100 %", {100, -1, -1}, {-1, -1, -1}, -1, {100, 90, 80}, autoKinds3},
        {"second current and automatic",
         {100, -1, -1},
         {-1, -1, -1},
         1,
         {100, 100, 90},
         autoKinds3},
        {"third current and automatic", {-1, -1, -1}, {-1, -1, -1}, 2, {90, 80, 100}, autoKinds3},
        {"a current block keeps its explicit intensity",
         {-1, 40, -1},
         {-1, -1, -1},
         1,
         {100, 40, 90},
         autoKinds3},
        {"a value outside the pool moves nothing", {35, -1}, {9, -1}, -1, {35, 100}, {9, 5}},
        {"an explicit kind goes to the back of the pool",
         {-1, -1, -1},
         {-1, 5, -1},
         -1,
         {100, 90, 80},
         {1, 5, 2}},
        {"the pools wrap around",
         std::vector<int>(11, -1),
         std::vector<int>(11, -1),
         -1,
         {100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 100},
         {5, 1, 2, 3, 4, 6, 0, 5, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartDoc t;
        std::vector<CDataBlock*> blocks;
        for (std::size_t i = 0; i < c.intensity.size(); ++i) {
            // Decreasing durations, so the plotting order is the tree order
            // unless a current block is set.
            CDataBlock* b =
                t.block(("b" + std::to_string(i)).c_str(), ramp(3, 100.0f - static_cast<float>(i)));
            b->m_nColorIntensity = c.intensity[i];
            b->m_nLineType = c.lineType[i];
            blocks.push_back(b);
        }
        ChartViewState view;
        if (c.current >= 0)
            view.currentBlock = blocks[static_cast<std::size_t>(c.current)];
        const ChartModel m = t.build(view);
        const std::size_t n = blocks.size();
        std::vector<int> intensities(n), kinds(n);
        for (std::size_t i = 0; i < n; ++i) {
            const ChartBlock& b = m.blocks[static_cast<std::size_t>(m.selectionOrder[i])];
            intensities[i] = b.intensity;
            kinds[i] = b.lineKind;
        }
        EXPECT_EQ(intensities, c.intensities);
        EXPECT_EQ(kinds, c.kinds);
        // Every entry's subsets take their block's kind and intensity.
        for (const ChartSubset& s : m.subsets) {
            const ChartBlock& b = m.blocks[static_cast<std::size_t>(s.block)];
            EXPECT_EQ(s.lineKind, b.lineKind);
            EXPECT_EQ(s.color, ChartQuantityColor(s.quantity, b.intensity));
        }
    }
}

TEST(ChartModel, ColoursPerQuantityAndIntensity) {
    struct Case {
        int intensity;
        std::uint32_t u, i, c, e, r;
    };
    // c = intensity x 255 / 100, integer.
    const Case cases[] = {
        {100, 0x0000FF, 0xFF0000, 0x00FF00, 0xFF00FF, 0x00FFFF},
        {90, 0x0000E5, 0xE50000, 0x00E500, 0xE500E5, 0x00E5E5},
        {50, 0x00007F, 0x7F0000, 0x007F00, 0x7F007F, 0x007F7F},
        {10, 0x000019, 0x190000, 0x001900, 0x190019, 0x001919},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.intensity);
        ChartDoc t;
        for (int q = 0; q < kChartQuantities; ++q)
            t.axis(q).shown = 1;
        t.block("a", ramp(2))->m_nColorIntensity = c.intensity;
        const ChartModel m = t.build();
        ASSERT_EQ(m.subsets.size(), 5u);
        const std::vector<std::uint32_t> colors = {m.subsets[0].color, m.subsets[1].color,
                                                   m.subsets[2].color, m.subsets[3].color,
                                                   m.subsets[4].color};
        EXPECT_EQ(colors, (std::vector<std::uint32_t>{c.u, c.i, c.c, c.e, c.r}));
    }
    // The axes carry the fixed quantity colours and labels.
    ChartDoc t;
    for (int q = 0; q < kChartQuantities; ++q)
        t.axis(q).shown = 1;
    t.block("a", ramp(2));
    const ChartModel m = t.build();
    const std::uint32_t axisColors[] = {0x0000C0, 0xC00000, 0x00C000, 0xC000C0, 0x00C0C0};
    const char* labels[] = {"U [V]", "I [A]", "C [Ah]", "E [Wh]", "R [rpm]"};
    ASSERT_EQ(m.entries.size(), 5u);
    for (std::size_t q = 0; q < 5; ++q) {
        EXPECT_EQ(m.entries[q].color, axisColors[q]);
        EXPECT_EQ(m.entries[q].label, labels[q]);
    }
}

TEST(ChartModel, XInMinutesSecondsOrNormalized) {
    struct Case {
        bool seconds, normalized;
        const char* label;
        std::vector<float> x;  // of the block's three samples
    };
    const Case cases[] = {
        {false, false, "Time [min]", {0.5f, 1.5f, 3.0f}},
        {true, false, "Time [sec]", {30.0f, 90.0f, 180.0f}},
        {false, true, "0..100 % (Normalized)", {0.0f, 50.0f, 100.0f}},
        {true, true, "0..100 % (Normalized)", {0.0f, 50.0f, 100.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ChartDoc t;
        t.block("a", {sample(30, 1), sample(90, 2), sample(180, 3)});
        t.block("b", {sample(0, 1)});
        t.doc.m_graphSettings.m_bXSeconds = c.seconds;
        ChartViewState view;
        view.normalizedX = c.normalized;
        const ChartModel m = t.build(view);
        EXPECT_EQ(m.xLabel, c.label);
        const auto x = m.subsetX(0);
        EXPECT_EQ(std::vector<float>(x.begin(), x.begin() + 3), c.x);
        EXPECT_EQ(m.xMin, 0.0f);
        EXPECT_EQ(m.xMax, c.x.back());
    }
}

TEST(ChartModel, NormalizedXFollowsTheBlocksPercentLimits) {
    // U rises to its maximum at sample 50, then falls.
    std::vector<DataSample> peak;
    for (int k = 0; k <= 100; ++k)
        peak.push_back(sample(static_cast<float>(k * 7), 10.0f - std::abs(k - 50) * 0.01f));
    struct Case {
        const char* what;
        int start, end;
        bool maxUAsEnd;
        std::function<float(int)> x;
    };
    const Case cases[] = {
        {"no limits: X = k", -1, -1, false, [](int k) { return static_cast<float>(k); }},
        {"limits 10 .. 60", 10, 60, false, [](int k) { return (k - 10) * 2.0f; }},
        {"100 % at maximal U", -1, -1, true, [](int k) { return k * 2.0f; }},
        {"a set end wins over maximal U", -1, 25, true, [](int k) { return k * 4.0f; }},
        {"equal limits: the whole block", 30, 30, false,
         [](int k) { return static_cast<float>(k); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartDoc t;
        CDataBlock* b = t.block("a", peak);
        b->m_nStartIndex = c.start;
        b->m_nEndIndex = c.end;
        t.block("longer", ramp(131));  // 30 padding points for "a"
        ChartViewState view;
        view.normalizedX = true;
        view.maxUAsEnd = c.maxUAsEnd;
        view.currentBlock = b;
        const ChartModel m = t.build(view);
        ASSERT_EQ(m.pointsPerSubset, 133);
        const auto x = m.subsetX(0);
        // Padding points follow the same formula.
        for (int k = 0; k < 131; ++k)
            ASSERT_FLOAT_EQ(x[static_cast<std::size_t>(k)], c.x(k)) << k;
        EXPECT_FLOAT_EQ(m.xMin, std::min(0.0f, c.x(0)));

        // The same numbers as the block's own PercentAtIndex under the program's option.
        t.doc.Environment().flags.bMaxUAsEnd = c.maxUAsEnd;
        for (int k = 0; k <= 100; ++k)
            EXPECT_FLOAT_EQ(x[static_cast<std::size_t>(k)],
                            static_cast<float>(b->PercentAtIndex(k)));
    }
}

TEST(ChartModel, ScaleCodesAndAxisRanges) {
    struct Case {
        int autoMin, autoMax;
        double min, max;
        int code;
        double shownMin, shownMax;
    };
    // Data 12.2 .. 12.4, closed by 12.0 and 12.5.
    const Case cases[] = {
        {1, 1, 0.0, 10.0, 0, 12.0, 12.5},
        {0, 1, 3.0, 10.0, 1, 3.0, 12.5},
        {1, 0, 0.0, 20.0, 2, 12.0, 20.0},
        {0, 0, -1.0, 15.0, 3, -1.0, 15.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ChartDoc t;
        t.block("a", {sample(0, 12.2f), sample(1, 12.4f)});
        GraphAxis& u = t.axis(QuantityU);
        u.min = c.min;
        u.autoMin = c.autoMin;
        u.max = c.max;
        u.autoMax = c.autoMax;
        const ChartEntry e = t.build().entries.at(0);
        EXPECT_EQ(e.scaleCode, c.code);
        EXPECT_FLOAT_EQ(static_cast<float>(e.min), static_cast<float>(c.shownMin));
        EXPECT_FLOAT_EQ(static_cast<float>(e.max), static_cast<float>(c.shownMax));
    }
}

TEST(ChartModel, GridTitlesFontsAndSizes) {
    ChartDoc d;
    struct Case {
        int vert, horz, grid;
    };
    for (const Case& c : {Case{1, 1, 0}, Case{0, 1, 1}, Case{1, 0, 2}, Case{0, 0, 3}}) {
        SCOPED_TRACE(c.grid);
        ChartDoc t;
        t.block("a", ramp(2));
        t.doc.m_graphSettings.m_bVertGrid = c.vert;
        t.doc.m_graphSettings.m_bHorzGrid = c.horz;
        EXPECT_EQ(t.build().gridCode, c.grid);
    }

    d.block("a", ramp(2));
    GraphSettings& g = d.doc.m_graphSettings;
    g.m_strTitle = "Charge \xE8";
    g.m_strSubtitle = "sub";
    g.m_strTitleFont = "Times";
    g.m_strSubtitleFont = "Courier";
    g.m_nTitlesFont = 0;
    g.m_nLegendFont = 13;
    g.m_nOverallFont = 1;
    g.m_nCursorKind = 3;
    g.m_bOverlapAxes = 1;
    ChartViewState view;
    view.czechFonts = true;
    view.axisNamesShown = true;
    const ChartModel m = d.build(view);
    EXPECT_EQ(m.title, "Charge \xE8");
    EXPECT_EQ(m.subtitle, "sub");
    EXPECT_EQ(m.titleFont, "Times");
    EXPECT_EQ(m.subtitleFont, "Courier");
    EXPECT_EQ(m.labelFont, "Arial CE");
    EXPECT_FLOAT_EQ(m.titlesScale, 0.7f);
    EXPECT_FLOAT_EQ(m.legendScale, 2.0f);
    EXPECT_EQ(m.overallFontSize, 1);
    EXPECT_EQ(m.cursorKind, 3);
    EXPECT_TRUE(m.overlapAxes);
    EXPECT_TRUE(m.axisNamesShown);
    EXPECT_EQ(d.build().labelFont, "Arial");

    // Indexes from a damaged file stay within their ranges.
    g.m_nTitlesFont = 40;
    g.m_nLegendFont = -3;
    g.m_nOverallFont = 9;
    const ChartModel clamped = d.build();
    EXPECT_FLOAT_EQ(clamped.titlesScale, 2.0f);
    EXPECT_FLOAT_EQ(clamped.legendScale, 0.7f);
    EXPECT_EQ(clamped.overallFontSize, 2);
}

TEST(ChartModel, TheLastLabelLosesItsTrailingBlanks) {
    ChartDoc d;
    d.block("a ", ramp(2));
    d.block("b\t ", ramp(2));
    const ChartModel m = d.build();
    ASSERT_EQ(m.subsets.size(), 6u);
    EXPECT_EQ(m.subsets[0].label, "S.a ");
    EXPECT_EQ(m.subsets[4].label, "S.a ");
    EXPECT_EQ(m.subsets[5].label, "S.b");
}

TEST(ChartModel, RebuildingIntoAModelLeavesNothingOfTheLastBuild) {
    // A live graph rebuilds into the same model; each build must equal a fresh one.
    ChartDoc big;
    big.rightOf(QuantityI, QuantityU);
    big.block("a", ramp(40, 1.0f, 12.2f, 0.001f))->m_nLineType = 3;
    big.block("b", ramp(25));
    ChartDoc small;
    small.block("c", {sample(0, 2)});
    ChartDoc none;
    none.block("d", ramp(5), false);

    ChartModel reused;
    for (ChartDoc* t : {&big, &small, &big, &none, &small}) {
        const ChartInput input = ReadChartInput(t->doc);
        BuildChartModel(input, {}, reused);
        EXPECT_EQ(reused, BuildChartModel(input, {}));
    }
}

}  // namespace
