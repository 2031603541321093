// Block statistics, derived series and the raw-reading conversions.
#include "orlo/data/TDataBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using orlo::TDataBlock;

// Three samples one second apart (Interval 50 ticks), so one step is 1/3600 h.
const std::vector<double> kU = {10, 12, 11};
const std::vector<double> kI = {2, 4, 3};
const std::vector<double> kR = {6000, 9000, 7500};
constexpr double kHour = 3600.0;

struct MaskCase {
    const char* name;
    int mask;
    std::array<bool, 9> present;
};

class StatisticsByChannels : public ::testing::TestWithParam<MaskCase> {};

TDataBlock blockWith(int mask) {
    TDataBlock b;
    b.Interval = 50;
    b.ChannelMask = mask;
    b.Time = {0, 1, 2};
    // Every series is filled: the statistics must drop those whose bit is clear.
    b.Voltage = kU;
    b.Current = kI;
    b.Rpm = kR;
    b.Present[8] = false;
    return b;
}

TEST_P(StatisticsByChannels, FillsOnlyTheQuantitiesOfTheSetBits) {
    const MaskCase& c = GetParam();
    TDataBlock b = blockWith(c.mask);
    orlo::ComputeBlockStatistics(b, 3);

    EXPECT_EQ(b.Present, c.present);
    const bool u = c.present[1], i = c.present[2], r = c.present[3];

    EXPECT_EQ(b.Voltage.size(), u ? 3u : 0u);
    EXPECT_EQ(b.Current.size(), i ? 3u : 0u);
    EXPECT_EQ(b.Rpm.size(), r ? 3u : 0u);
    EXPECT_DOUBLE_EQ(b.MaxU, u ? 12 : 0);
    EXPECT_DOUBLE_EQ(b.MinU, u ? 10 : 0);
    EXPECT_DOUBLE_EQ(b.AvgU, u ? 11 : 0);
    EXPECT_DOUBLE_EQ(b.MaxI, i ? 4 : 0);
    EXPECT_DOUBLE_EQ(b.MinI, i ? 2 : 0);
    EXPECT_DOUBLE_EQ(b.AvgI, i ? 3 : 0);
    EXPECT_DOUBLE_EQ(b.MaxR, r ? 9000 : 0);

    if (i) {
        // The first sample already contributes its step.
        ASSERT_EQ(b.Capacity.size(), 3u);
        EXPECT_DOUBLE_EQ(b.Capacity[0], 2 / kHour);
        EXPECT_DOUBLE_EQ(b.Capacity[1], 6 / kHour);
        EXPECT_DOUBLE_EQ(b.Capacity[2], 9 / kHour);
        EXPECT_DOUBLE_EQ(b.BlockC, 9 / kHour);
    } else {
        EXPECT_TRUE(b.Capacity.empty());
        EXPECT_DOUBLE_EQ(b.BlockC, 0);
    }
    if (u && i) {
        // Powers 20, 48, 33 W.
        ASSERT_EQ(b.Energy.size(), 3u);
        EXPECT_DOUBLE_EQ(b.Energy[0], 20 / kHour);
        EXPECT_DOUBLE_EQ(b.Energy[1], 68 / kHour);
        EXPECT_DOUBLE_EQ(b.Energy[2], 101 / kHour);
        EXPECT_DOUBLE_EQ(b.BlockE, 101 / kHour);
        EXPECT_DOUBLE_EQ(b.MaxP, 48);
        EXPECT_DOUBLE_EQ(b.AvgP, 101.0 / 3);
    } else {
        EXPECT_TRUE(b.Energy.empty());
        EXPECT_DOUBLE_EQ(b.MaxP, 0);
        EXPECT_DOUBLE_EQ(b.AvgP, 0);
        EXPECT_DOUBLE_EQ(b.BlockE, 0);
    }
}

constexpr bool T = true, F = false;
INSTANTIATE_TEST_SUITE_P(
    Masks, StatisticsByChannels,
    ::testing::Values(MaskCase{"none", 0x0000, {T, F, F, F, F, F, F, F, F}},
                      MaskCase{"voltage", 0x8000, {T, T, F, F, F, F, F, F, F}},
                      MaskCase{"current", 0x4000, {T, F, T, F, T, F, F, F, F}},
                      MaskCase{"rpm", 0x2000, {T, F, F, T, F, F, F, F, F}},
                      MaskCase{"voltage_current", 0xC000, {T, T, T, F, T, T, F, F, F}},
                      MaskCase{"all_three", 0xE000, {T, T, T, T, T, T, F, F, F}},
                      MaskCase{"current_rpm", 0x6000, {T, F, T, T, T, F, F, F, F}},
                      // Channels other than the three count, but keep nothing.
                      MaskCase{"voltage_and_other", 0x9001, {T, T, F, F, F, F, F, F, F}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Statistics, NoSamplesKeepsTheStartingExtremesAndZeroTotals) {
    TDataBlock b;
    b.Interval = 5;
    b.ChannelMask = 0xE000;
    orlo::ComputeBlockStatistics(b, 0);
    EXPECT_DOUBLE_EQ(b.MaxU, -9999);
    EXPECT_DOUBLE_EQ(b.MinU, 9999);
    EXPECT_DOUBLE_EQ(b.MaxI, -9999);
    EXPECT_DOUBLE_EQ(b.MinI, 9999);
    EXPECT_DOUBLE_EQ(b.MaxR, -9999);
    EXPECT_DOUBLE_EQ(b.MaxP, -9999);
    EXPECT_DOUBLE_EQ(b.AvgU, 0);
    EXPECT_DOUBLE_EQ(b.AvgI, 0);
    EXPECT_DOUBLE_EQ(b.AvgP, 0);
    EXPECT_DOUBLE_EQ(b.BlockC, 0);
    EXPECT_DOUBLE_EQ(b.BlockE, 0);
    EXPECT_TRUE(b.Present[4]);
    EXPECT_TRUE(b.Present[5]);
    EXPECT_TRUE(b.Capacity.empty());
    EXPECT_TRUE(b.Energy.empty());
}

TEST(Statistics, ExtremesStartAtPlusMinus9999) {
    TDataBlock b;
    b.Interval = 50;
    b.ChannelMask = 0xC000;
    b.Time = {0, 1};
    b.Voltage = {10000, 12000};    // all above the starting minimum
    b.Current = {-10000, -20000};  // all below the starting maximum
    orlo::ComputeBlockStatistics(b, 2);
    EXPECT_DOUBLE_EQ(b.MinU, 9999);
    EXPECT_DOUBLE_EQ(b.MaxU, 12000);
    EXPECT_DOUBLE_EQ(b.MaxI, -9999);
    EXPECT_DOUBLE_EQ(b.MinI, -20000);
    EXPECT_DOUBLE_EQ(b.MaxP, -9999);  // every power is far below -9999
}

TEST(Statistics, StepFollowsTheInterval) {
    // 36 A for ten samples of 0.1 s is 36 A * 1 s = 0.01 Ah.
    TDataBlock b;
    b.Interval = 5;
    b.ChannelMask = 0x4000;
    b.Time.resize(10);
    b.Current.assign(10, 36.0);
    orlo::ComputeBlockStatistics(b, 10);
    EXPECT_NEAR(b.BlockC, 0.01, 1e-15);
    EXPECT_NEAR(b.Capacity[0], 0.001, 1e-15);
}

TEST(Statistics, MeasuredSeriesOfAnotherLengthIsFittedToN) {
    TDataBlock b;
    b.Interval = 50;
    b.ChannelMask = 0xC000;
    b.Time = {0, 1, 2};
    b.Voltage = {10};          // too short: padded with zeros
    b.Current = {1, 2, 3, 4};  // too long: cut
    orlo::ComputeBlockStatistics(b, 3);
    EXPECT_EQ(b.Voltage, (std::vector<double>{10, 0, 0}));
    EXPECT_EQ(b.Current, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(b.Energy.size(), 3u);
    EXPECT_DOUBLE_EQ(b.MinU, 0);
    EXPECT_DOUBLE_EQ(b.BlockC, 6 / kHour);
}

struct CurrentCase {
    const char* name;
    int mode;
    int zero;
    int scale;
    int raw;
    double amps;
};

class CurrentConversion : public ::testing::TestWithParam<CurrentCase> {};

TEST_P(CurrentConversion, FollowsTheMode) {
    const CurrentCase& c = GetParam();
    TDataBlock b;
    b.CurrentMode = c.mode;
    b.CurrentZero = c.zero;
    b.CurrentScale = c.scale;
    EXPECT_NEAR(orlo::RawToCurrent(b, static_cast<std::uint16_t>(c.raw)), c.amps, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CurrentConversion,
    ::testing::Values(CurrentCase{"direct_ignores_zero_and_scale", 1, 2048, 100, 400, 1000.0},
                      CurrentCase{"times_four", 200, 2048, 100, 2000, 1.92},
                      CurrentCase{"times_two", 100, 2048, 100, 2000, 0.96},
                      CurrentCase{"plain", 0, 2048, 100, 2000, 0.48},
                      CurrentCase{"other_mode_is_plain", 7, 2048, 100, 2000, 0.48},
                      CurrentCase{"above_zero_is_negative", 0, 2048, 100, 2148, -1.0},
                      // (0 - 65535) * 2^31-1 does not fit 32 bits
                      CurrentCase{"large_scale", 0, 0, 2147483647, 65535,
                                  -65535.0 * 2147483647.0 / 10000.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Conversion, VoltageRpmAndTime) {
    TDataBlock b;
    b.VoltageScale = 123;
    EXPECT_NEAR(orlo::RawToVoltage(b, 1000), 12.3, 1e-12);
    EXPECT_NEAR(orlo::RawToVoltage(b, 65535), 806.0805, 1e-9);
    EXPECT_DOUBLE_EQ(orlo::RawToRpm(150), 9000);
    EXPECT_DOUBLE_EQ(orlo::SampleTime(3, 5), 0.3);
    EXPECT_DOUBLE_EQ(orlo::SampleTime(7, 50), 7.0);
}

}  // namespace
