// Axis ranges, zoom, rubber band and scroll-bar arithmetic of the block chart.
#include "orlo/chart/ChartModel.h"
#include "orlo/chart/ChartStyles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using orlo::TAxisRange;
using orlo::TBlockChart;
using orlo::TChartAxes;
using orlo::TDataSpan;
using orlo::TGraphSetup;
using orlo::TZoomBand;

TEST(ChartApplyGraphSetup, FixedRangesGoToTheirAxesAndEmptyOnesGrow) {
    struct Case {
        const char* name;
        double min, max;
        double axisMin, axisMax;  // expected on the axis and in the record
    };
    const Case cases[] = {
        {"ordinary", 2, 8, 2, 8},
        {"5..5 becomes 5..6", 5, 5, 5, 6},
        {"reversed", 9, 3, 9, 10},
        {"negative", -3, -1, -3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGraphSetup s;
        s.VoltageAuto = s.CurrentAuto = s.RPMAuto = s.AhAuto = s.TimeAuto = false;
        s.VoltageMin = c.min, s.VoltageMax = c.max;
        s.CurrentMin = c.min + 100, s.CurrentMax = c.max + 100;
        s.RPMMin = c.min + 200, s.RPMMax = c.max + 200;
        s.AhMin = c.min + 300, s.AhMax = c.max + 300;
        s.TimeMin = c.min + 400, s.TimeMax = c.max + 400;
        TChartAxes axes;
        orlo::ApplyGraphSetup(s, axes);
        const std::pair<TBlockChart::Axis, double> offsets[] = {
            {TBlockChart::AxisLeft, 0}, {TBlockChart::AxisRight, 100},  {TBlockChart::AxisRpm, 200},
            {TBlockChart::AxisAh, 300}, {TBlockChart::AxisBottom, 400},
        };
        for (const auto& [axis, off] : offsets) {
            const TAxisRange& r = axes[axis];
            EXPECT_FALSE(r.Auto) << axis;
            EXPECT_DOUBLE_EQ(r.Min, c.axisMin + off) << axis;
            EXPECT_DOUBLE_EQ(r.Max, c.axisMax + off) << axis;
        }
        EXPECT_DOUBLE_EQ(s.VoltageMax, c.axisMax);
        EXPECT_DOUBLE_EQ(s.CurrentMax, c.axisMax + 100);
        EXPECT_DOUBLE_EQ(s.RPMMax, c.axisMax + 200);
        EXPECT_DOUBLE_EQ(s.AhMax, c.axisMax + 300);
        EXPECT_DOUBLE_EQ(s.TimeMax, c.axisMax + 400);
    }
}

TEST(ChartApplyGraphSetup, AutomaticAxesKeepTheirRangeAndTheRecord) {
    TGraphSetup s;  // all automatic, 0..100
    s.VoltageMin = 5, s.VoltageMax = 5;
    TChartAxes axes;
    axes[TBlockChart::AxisLeft] = {1, 2, false};
    orlo::ApplyGraphSetup(s, axes);
    EXPECT_EQ(axes[TBlockChart::AxisLeft], (TAxisRange{1, 2, true}));
    EXPECT_DOUBLE_EQ(s.VoltageMax, 5);  // an automatic axis leaves its fields alone
}

TEST(ChartZoomArithmetic, PercentAndTenthSteps) {
    struct Case {
        const char* name;
        TAxisRange (*zoom)(const TAxisRange&);
        double min, max;
    };
    const Case cases[] = {
        {"percent 90 widens", [](const TAxisRange& r) { return orlo::PercentZoom(r, 90); }, -1, 11},
        {"percent 110 narrows", [](const TAxisRange& r) { return orlo::PercentZoom(r, 110); }, 1,
         9},
        {"tenth wider", orlo::WidenByTenth, -1, 11},
        {"tenth narrower", orlo::NarrowByTenth, 1, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TAxisRange r = c.zoom(TAxisRange{0, 10, true});
        EXPECT_DOUBLE_EQ(r.Min, c.min);
        EXPECT_DOUBLE_EQ(r.Max, c.max);
        EXPECT_FALSE(r.Auto);
    }
}

TEST(ChartZoomArithmetic, RangeBetweenSortsAndKeepsAnAxisWithoutSpan) {
    const TAxisRange current{3, 4, true};
    EXPECT_EQ(orlo::RangeBetween(7, 2, current), (TAxisRange{2, 7, false}));
    EXPECT_EQ(orlo::RangeBetween(2, 7, current), (TAxisRange{2, 7, false}));
    EXPECT_EQ(orlo::RangeBetween(5, 5, current), current);
    EXPECT_EQ(orlo::RangeBetween(std::nan(""), 5, current), current);
    EXPECT_EQ(orlo::ShiftRange({1, 3, true}, 2.5), (TAxisRange{3.5, 5.5, false}));
}

// The plot area used by the band cases: x 50..449, y 20..319.
const QRect kPlot(50, 20, 400, 300);

struct BandStep {
    enum Kind { Down, Move, MoveNoButton, Up } kind;
    QPoint p;
};

struct BandCase {
    const char* name;
    std::vector<BandStep> steps;  // the last step is Up
    TZoomBand::Release action;
    QPoint from, to;
};

TEST(ChartZoomBand, DragsClicksAndPressesOutside) {
    using R = TZoomBand::Release;
    const BandCase cases[] = {
        {"left to right zooms",
         {{BandStep::Down, {100, 50}},
          {BandStep::Move, {120, 60}},
          {BandStep::Move, {300, 200}},
          {BandStep::Up, {}}},
         R::Zoom,
         {120, 60},
         {300, 200}},
        {"right to left restores",
         {{BandStep::Down, {300, 50}},
          {BandStep::Move, {300, 50}},
          {BandStep::Move, {100, 200}},
          {BandStep::Up, {}}},
         R::Restore,
         {300, 50},
         {100, 200}},
        {"back to the starting column restores",
         {{BandStep::Down, {200, 50}},
          {BandStep::Move, {200, 50}},
          {BandStep::Move, {260, 90}},
          {BandStep::Move, {200, 150}},
          {BandStep::Up, {}}},
         R::Restore,
         {200, 50},
         {200, 150}},
        {"a click without moving does nothing",
         {{BandStep::Down, {200, 50}}, {BandStep::Up, {}}},
         R::Nothing,
         {},
         {}},
        {"a press on the plot's edge starts a band",
         {{BandStep::Down, {50, 20}},
          {BandStep::Move, {50, 20}},
          {BandStep::Move, {449, 319}},
          {BandStep::Up, {}}},
         R::Zoom,
         {50, 20},
         {449, 319}},
        {"a press outside the plot draws nothing",
         {{BandStep::Down, {10, 10}},
          {BandStep::Move, {100, 100}},
          {BandStep::Move, {300, 200}},
          {BandStep::Up, {}}},
         R::Nothing,
         {},
         {}},
        {"a drag leaving the plot is clipped to it",
         {{BandStep::Down, {100, 100}},
          {BandStep::Move, {100, 100}},
          {BandStep::Move, {900, -40}},
          {BandStep::Up, {}}},
         R::Zoom,
         {100, 100},
         {449, 20}},
        {"moves without the left button draw nothing",
         {{BandStep::Down, {100, 100}}, {BandStep::MoveNoButton, {300, 200}}, {BandStep::Up, {}}},
         R::Nothing,
         {},
         {}},
        {"an earlier click does not start a band for a press outside",
         {{BandStep::Down, {100, 100}},
          {BandStep::Up, {}},
          {BandStep::Down, {5, 5}},
          {BandStep::Move, {200, 200}},
          {BandStep::Up, {}}},
         R::Nothing,
         {},
         {}},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(c.name);
        TZoomBand band;
        TZoomBand::ReleaseResult last;
        for (const BandStep& s : c.steps) {
            switch (s.kind) {
                case BandStep::Down:
                    band.MouseDown(s.p, kPlot);
                    break;
                case BandStep::Move:
                    band.MouseMove(s.p, true, kPlot);
                    break;
                case BandStep::MoveNoButton:
                    EXPECT_FALSE(band.MouseMove(s.p, false, kPlot));
                    break;
                case BandStep::Up:
                    last = band.MouseUp();
                    EXPECT_FALSE(band.Exists());
                    EXPECT_EQ(band.X0, TZoomBand::NoBand);
                    break;
            }
        }
        EXPECT_EQ(last.Action, c.action);
        if (c.action != R::Nothing) {
            EXPECT_EQ(last.From, c.from);
            EXPECT_EQ(last.To, c.to);
        }
    }
}

TEST(ChartZoomBand, DrawnRectangleFollowsTheMouse) {
    TZoomBand band;
    EXPECT_TRUE(band.MouseDown({300, 200}, kPlot));
    EXPECT_FALSE(band.Exists());
    EXPECT_TRUE(band.MouseMove({300, 200}, true, kPlot));
    EXPECT_TRUE(band.MouseMove({100, 50}, true, kPlot));
    EXPECT_EQ(band.Rect(), QRect(QPoint(100, 50), QPoint(300, 200)));
    EXPECT_FALSE(band.MouseDown({0, 0}, kPlot));
}

TEST(ChartScrollBars, PositionsFromTheAxisCentre) {
    struct Case {
        const char* name;
        TAxisRange bottom;
        TDataSpan x;
        bool enabled;
        std::optional<int> position;
    };
    const Case cases[] = {
        {"automatic axis: disabled", {0, 100, true}, {true, 0, 100}, false, std::nullopt},
        {"centre at the start", {-10, 10, false}, {true, 0, 100}, true, 0},
        {"centre in the middle", {40, 60, false}, {true, 0, 100}, true, 50},
        {"centre at a quarter", {20, 30, false}, {true, 0, 100}, true, 25},
        {"half rounds to even (12.5)", {10, 15, false}, {true, 0, 100}, true, 12},
        {"half rounds to even (13.5)", {11, 16, false}, {true, 0, 100}, true, 14},
        {"no data span: position kept", {10, 20, false}, {true, 5, 5}, true, std::nullopt},
        {"no data at all", {10, 20, false}, {}, true, std::nullopt},
        {"beyond the data: bar's end", {300, 400, false}, {true, 0, 100}, true, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const orlo::TScrollBarState s = orlo::HorizontalScrollState(c.bottom, c.x);
        EXPECT_EQ(s.Enabled, c.enabled);
        EXPECT_EQ(s.Position, c.position);
    }
}

TEST(ChartScrollBars, VerticalNeedsAllFourValueAxesFixed) {
    TChartAxes axes;
    for (TAxisRange& r : axes.Ranges)
        r = {0, 10, false};
    axes[TBlockChart::AxisLeft] = {10, 14, false};  // centre 12
    const TDataSpan y{true, 0, 16};
    const orlo::TScrollBarState fixed = orlo::VerticalScrollState(axes, y);
    EXPECT_TRUE(fixed.Enabled);
    EXPECT_EQ(fixed.Position, 25);  // (16 - 12) / 16, counted from the top
    for (TBlockChart::Axis a : {TBlockChart::AxisLeft, TBlockChart::AxisRight, TBlockChart::AxisRpm,
                                TBlockChart::AxisAh}) {
        TChartAxes one = axes;
        one[a].Auto = true;
        EXPECT_FALSE(orlo::VerticalScrollState(one, y).Enabled) << a;
    }
    // The bottom axis has no say in the vertical bar.
    axes[TBlockChart::AxisBottom].Auto = true;
    EXPECT_TRUE(orlo::VerticalScrollState(axes, y).Enabled);
}

TEST(ChartScrollBars, MovingABarCentresTheWindowAndKeepsItsWidth) {
    const TDataSpan data{true, 100, 300};
    for (int position : {0, 1, 37, 50, 99, 100}) {
        SCOPED_TRACE(position);
        const TAxisRange h = orlo::ScrollHorizontal({0, 20, false}, position, data);
        EXPECT_DOUBLE_EQ(h.Max - h.Min, 20);
        EXPECT_DOUBLE_EQ((h.Min + h.Max) / 2, 100 + position * 2.0);
        EXPECT_EQ(orlo::HorizontalScrollState(h, data).Position, position);

        const TAxisRange v = orlo::ScrollVertical({0, 20, false}, position, data);
        EXPECT_DOUBLE_EQ(v.Max - v.Min, 20);
        EXPECT_DOUBLE_EQ((v.Min + v.Max) / 2, 100 + (100 - position) * 2.0);
        TChartAxes axes;
        for (TAxisRange& r : axes.Ranges)
            r = v;
        EXPECT_EQ(orlo::VerticalScrollState(axes, data).Position, position);
    }
}

TEST(ChartScrollBars, AWindowWithoutWidthGetsOneUnit) {
    const TAxisRange h = orlo::ScrollHorizontal({7, 7, false}, 50, {true, 0, 100});
    EXPECT_DOUBLE_EQ(h.Min, 50);
    EXPECT_DOUBLE_EQ(h.Max, 51);
    EXPECT_FALSE(h.Auto);
}

TEST(ChartScrollBars, ArrowStepsStayOnTheBar) {
    EXPECT_EQ(orlo::StepScrollPosition(0, -1), 0);
    EXPECT_EQ(orlo::StepScrollPosition(1, -1), 0);
    EXPECT_EQ(orlo::StepScrollPosition(99, 1), 100);
    EXPECT_EQ(orlo::StepScrollPosition(100, 1), 100);
}

TEST(ChartStyles, BlockStylesAndSlotLooks) {
    using orlo::TPenStyle;
    const TPenStyle expected[] = {orlo::PenSolid,   orlo::PenDot,        orlo::PenDash,
                                  orlo::PenDashDot, orlo::PenDashDotDot, orlo::PenSolid};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(orlo::PenOfStyleIndex(i), expected[i]) << i;
    EXPECT_EQ(orlo::PenOfStyleIndex(255), orlo::PenSolid);

    const std::pair<TBlockChart::Axis, orlo::TRgb> kSlotLooks[] = {
        {TBlockChart::AxisLeft, orlo::ColorBlue},
        {TBlockChart::AxisRight, orlo::ColorRed},
        {TBlockChart::AxisRpm, orlo::TRgb{128, 128, 0}},
        {TBlockChart::AxisAh, orlo::TRgb{0, 128, 0}},
    };
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(orlo::SlotStyle(k).Axis, kSlotLooks[k].first) << k;
        EXPECT_EQ(orlo::SlotStyle(k).Color, kSlotLooks[k].second) << k;
    }
    EXPECT_EQ(orlo::SlotStyle(4).Suffix, nullptr);
}

}  // namespace
