// Time lookup in a block and the value range of a slot over the open blocks.
#include "orlo/data/TDataBlock.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using orlo::TDataBlock;
using orlo::TSlotRange;

struct LocateCase {
    std::vector<double> time;
    double t;
    int index;
};

const LocateCase kLocate[] = {
    {{0, 0.1, 0.2, 0.3}, -1.0, 0},  // before the first sample
    {{0, 0.1, 0.2, 0.3}, 0.0, 0},
    {{0, 0.1, 0.2, 0.3}, 0.05, 1},
    {{0, 0.1, 0.2, 0.3}, 0.1, 1},
    {{0, 0.1, 0.2, 0.3}, 0.3, 3},
    {{0, 0.1, 0.2, 0.3}, 0.31, -1},  // beyond the last
    {{}, 0.0, -1},
    {{0, 0.1, 0.1, 0.1, 0.2}, 0.1, 1},  // first of equal times
    {{0, 0.1, 0.2}, std::numeric_limits<double>::quiet_NaN(), 0},
    {{0, 0.1, 0.2}, -std::numeric_limits<double>::infinity(), 0},
    {{0, 0.1, 0.2}, std::numeric_limits<double>::infinity(), -1},
};

TEST(LocateTimeIdx, LinearAndBinarySearchAgree) {
    for (const LocateCase& c : kLocate) {
        SCOPED_TRACE(testing::Message() << "t=" << c.t << " n=" << c.time.size());
        TDataBlock b;
        b.Time = c.time;
        EXPECT_EQ(orlo::LocateTimeIdx(b, c.t), c.index);
        EXPECT_EQ(orlo::LocateTimeIdxSorted(b, c.t), c.index);
    }
}

TEST(LocateTimeIdx, AgreeOverAWholeFlight) {
    TDataBlock b;
    for (int k = 0; k < 2400; ++k)
        b.Time.push_back(orlo::SampleTime(k, 5));
    for (int q = -10; q < 2500 * 10; q += 7) {
        const double t = q / 100.0;
        ASSERT_EQ(orlo::LocateTimeIdx(b, t), orlo::LocateTimeIdxSorted(b, t)) << t;
    }
}

TSlotRange shown(double lo, double hi) {
    return {true, true, lo, hi};
}
TSlotRange hidden(double lo, double hi) {
    return {true, false, lo, hi};
}
const TSlotRange missing{};

struct RangeCase {
    const char* name;
    std::vector<TSlotRange> entries;
    bool onlyShown;
    double min;
    double max;
};

const RangeCase kRanges[] = {
    {"all_zero", {shown(0, 0), shown(0, 0)}, true, -0.45, 0.55},
    {"no_blocks", {}, false, -0.45, 0.55},
    {"two_blocks", {shown(10, 20), shown(5, 30)}, true, 4.5, 33},
    {"later_block_never_shrinks", {shown(10, 20), shown(12, 18)}, false, 9, 22},
    {"negative_minimum_moves_to_zero", {shown(-10, 20)}, true, -9, 22},
    {"small_values_are_widened", {shown(0.3, 0.4)}, true, -0.45, 0.55},
    {"negative_small_maximum", {shown(-3, -0.2)}, true, -2.7, 0.55},
    // Without entry 0 the range keeps 0 inside it.
    {"first_missing_keeps_zero", {missing, shown(5, 30)}, true, -0.45, 33},
    {"first_hidden_only_shown", {hidden(5, 8), shown(6, 30)}, true, -0.45, 33},
    {"first_hidden_all", {hidden(5, 8), shown(6, 30)}, false, 4.5, 33},
    {"later_hidden_only_shown", {shown(5, 8), hidden(1, 300)}, true, 4.5, 8.8},
};

TEST(CalculateMinMax, TableOfSlotRanges) {
    for (const RangeCase& c : kRanges) {
        SCOPED_TRACE(c.name);
        const auto r =
            orlo::CalculateMinMax_Data(std::span<const TSlotRange>(c.entries), 1, c.onlyShown);
        ASSERT_TRUE(r.Ok);
        EXPECT_DOUBLE_EQ(r.Min, c.min);
        EXPECT_DOUBLE_EQ(r.Max, c.max);
    }
}

TEST(CalculateMinMax, QuantityOutsideTheSlotsFails) {
    const std::vector<TSlotRange> entries{shown(1, 2)};
    for (int quantity : {5, 6, -1}) {
        const auto r =
            orlo::CalculateMinMax_Data(std::span<const TSlotRange>(entries), quantity, false);
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.Error, QStringLiteral("List index out of bounds in CalculateMinMax_Data!"));
    }
    EXPECT_TRUE(orlo::CalculateMinMax_Data(std::span<const TSlotRange>(entries), 4, false).Ok);
}

}  // namespace
