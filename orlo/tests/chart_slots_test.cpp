// The value range of a slot over the series the chart keeps for the open blocks.
#include "orlo/chart/TSeriesSlot.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class FakeSeries : public orlo::TSlotSeries {
public:
    FakeSeries(bool active, double lo, double hi) : active_(active), lo_(lo), hi_(hi) {}
    bool IsActive() const override { return active_; }
    double MinY() const override { return lo_; }
    double MaxY() const override { return hi_; }

private:
    bool active_;
    double lo_, hi_;
};

TEST(CalculateMinMax, AsksTheSeriesOfTheRequestedSlot) {
    orlo::TBlockSlots a, b, c;
    a[orlo::SlotCurrent].Series = std::make_unique<FakeSeries>(true, 2, 40);
    a[orlo::SlotVoltage].Series = std::make_unique<FakeSeries>(true, 900, 1000);
    b[orlo::SlotCurrent].Series = std::make_unique<FakeSeries>(false, -50, 100);
    // c has no series in the slot: an empty, hidden one.
    const std::vector<const orlo::TBlockSlots*> list{&a, nullptr, &b, &c};

    auto r = orlo::CalculateMinMax_Data(std::span<const orlo::TBlockSlots* const>(list),
                                        orlo::SlotCurrent, true);
    ASSERT_TRUE(r.Ok);
    EXPECT_DOUBLE_EQ(r.Min, 1.8);
    EXPECT_DOUBLE_EQ(r.Max, 44);

    r = orlo::CalculateMinMax_Data(std::span<const orlo::TBlockSlots* const>(list),
                                   orlo::SlotCurrent, false);
    ASSERT_TRUE(r.Ok);
    EXPECT_DOUBLE_EQ(r.Min, -45);
    EXPECT_DOUBLE_EQ(r.Max, 110);

    const auto ranges =
        orlo::SlotRanges(std::span<const orlo::TBlockSlots* const>(list), orlo::SlotCurrent);
    ASSERT_EQ(ranges.size(), 4u);
    EXPECT_FALSE(ranges[1].Exists);
    EXPECT_TRUE(ranges[3].Exists);
    EXPECT_FALSE(ranges[3].Active);
}

}  // namespace
