// The "Graph" page offscreen: series, axis fitting, mouse zoom and panning, scroll
// bars, cursor readout, graph setup dialog, picture export and printing.
#include "orlo/chart/TQuantity.h"
#include "orlo/workspace/chart/ChartPrinting.h"
#include "orlo/workspace/chart/TBlockPlot.h"
#include "orlo/workspace/chart/TChartPanel.h"
#include "orlo/workspace/chart/TFormGraphSetup.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

using orlo::TBlockChart;
using orlo::TChartPanel;
using orlo::TDataBlock;

// n samples, 1 s apart, of voltage u(k), current i(k) and revolutions.
std::unique_ptr<TDataBlock> makeBlock(int n, double (*u)(int), double (*i)(int),
                                      int interval = 50) {
    auto b = std::make_unique<TDataBlock>();
    b->Interval = interval;
    b->ChannelMask = orlo::ChannelVoltage | orlo::ChannelCurrent | orlo::ChannelRpm;
    for (int k = 0; k < n; ++k) {
        b->Time.push_back(orlo::SampleTime(k, interval));
        b->Voltage.push_back(u(k));
        b->Current.push_back(i(k));
        b->Rpm.push_back(1000 + 10 * (k % 50));
    }
    orlo::ComputeBlockStatistics(*b, n);
    return b;
}

double rampU(int k) {
    return 10 + 0.01 * k;  // 10 .. 11.99 V over 200 samples
}
double flatI(int) {
    return 20;
}
double zero(int) {
    return 0;
}

class ChartPanelTest : public testing::Test {
protected:
    void SetUp() override {
        panel = std::make_unique<TChartPanel>(setup, prompts);
        panel->ActualBlock = [this]() -> const TDataBlock* {
            return actual >= 0 ? blocks[static_cast<std::size_t>(actual)].get() : nullptr;
        };
        panel->ActualBlockShown = [this] { return actualShown; };
        panel->ChannelButtonDown = [this](int q) { return channels[q]; };
        panel->GridVisible = [this] { return gridVisible; };
        for (auto& l : fields)
            l = std::make_unique<QLabel>();
        panel->SetCursorFields({fields[0].get(), fields[1].get(), fields[2].get(), fields[3].get(),
                                fields[4].get(), fields[5].get(), fields[6].get()});
        panel->resize(900, 560);
        panel->show();
        QApplication::processEvents();
        panel->ApplyGraphSetup();
    }

    TDataBlock& open(std::unique_ptr<TDataBlock> b, int style = 0) {
        blocks.push_back(std::move(b));
        TDataBlock& block = *blocks.back();
        panel->CreateBlockSeries(block, QStringLiteral("blok%1").arg(blocks.size()), style);
        return block;
    }

    // Shows the quantities of a block and re-fits every axis, as ticking its row does.
    void show(TDataBlock& b, std::initializer_list<int> quantities) {
        for (int q : quantities)
            panel->SetSeriesActive(b, q, true);
        for (auto a : {TBlockChart::AxisBottom, TBlockChart::AxisLeft, TBlockChart::AxisRight,
                       TBlockChart::AxisRpm, TBlockChart::AxisAh})
            panel->RefitAxis(a);
        panel->UpdateScrollBars();
    }

    orlo::TBlockPlot& plot() { return panel->Plot(); }
    QPoint at(double t, double v) {
        return QPoint(
            static_cast<int>(std::lround(plot().ValueToPixel(TBlockChart::AxisBottom, t))),
            static_cast<int>(std::lround(plot().ValueToPixel(TBlockChart::AxisLeft, v))));
    }
    // Value width of one pixel on an axis.
    double pixel(TBlockChart::Axis a) {
        return std::fabs(plot().PixelToValue(a, 101) - plot().PixelToValue(a, 100));
    }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* w = plot().PlotWidget();
        QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, mods);
        QApplication::sendEvent(w, &e);
    }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        mouse(QEvent::MouseButtonPress, p, b, b, mods);
    }
    void move(QPoint p, Qt::MouseButtons held = Qt::LeftButton,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        mouse(QEvent::MouseMove, p, Qt::NoButton, held, mods);
    }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        mouse(QEvent::MouseButtonRelease, p, b, Qt::NoButton);
    }
    void drag(QPoint from, QPoint to) {
        press(from);
        move(from);
        move((from + to) / 2);
        move(to);
        release(to);
    }

    orlo::TGraphSetup setup;
    platform::ScriptedPrompts prompts;
    std::vector<std::unique_ptr<TDataBlock>> blocks;  // outlives the panel
    std::array<std::unique_ptr<QLabel>, 7> fields;
    std::unique_ptr<TChartPanel> panel;
    int actual = -1;
    bool actualShown = true;
    bool channels[4] = {true, false, false, false};
    bool gridVisible = true;
};

TEST_F(ChartPanelTest, AxesFitTheShownSeries) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage, orlo::QuantityCurrent});
    const orlo::TChartAxes& axes = panel->Axes();
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisBottom].Min, 0);
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisBottom].Max, 199);
    // The value axes get the padded range of the block routines.
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisLeft].Min, 10 * 0.9);
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisLeft].Max, 11.99 * 1.1);
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisRight].Min, 20 * 0.9);
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisRight].Max, 20 * 1.1);
    EXPECT_DOUBLE_EQ(plot().RangeMin(TBlockChart::AxisLeft), 9);
    EXPECT_DOUBLE_EQ(plot().RangeMax(TBlockChart::AxisRight), 22);
    // Hidden revolutions: the axis fits nothing.
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisRpm].Min, -0.45);
    EXPECT_DOUBLE_EQ(axes[TBlockChart::AxisRpm].Max, 0.55);
}

TEST_F(ChartPanelTest, ExtraAxesAppearWithTheirSeries) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    EXPECT_FALSE(plot().AxisVisible(TBlockChart::AxisRpm));
    EXPECT_FALSE(plot().AxisVisible(TBlockChart::AxisAh));
    EXPECT_TRUE(plot().AxisVisible(TBlockChart::AxisRight));
    show(b, {orlo::QuantityRpm});
    EXPECT_TRUE(plot().AxisVisible(TBlockChart::AxisRpm));
    EXPECT_FALSE(plot().AxisVisible(TBlockChart::AxisAh));
    // Revolutions print whole numbers, so no label may repeat.
    setup.RPMAuto = false;
    setup.RPMMin = 0;
    setup.RPMMax = 2;
    panel->ApplyGraphSetup();
    const QStringList labels = plot().TickLabels(TBlockChart::AxisRpm);
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.size(), QSet<QString>(labels.begin(), labels.end()).size())
        << labels.join(QLatin1Char(' ')).toStdString();
    panel->SetSeriesActive(b, orlo::QuantityRpm, false);
    EXPECT_FALSE(plot().AxisVisible(TBlockChart::AxisRpm));
}

TEST_F(ChartPanelTest, AllZeroBlocksGiveTheSmallestRange) {
    TDataBlock& a = open(makeBlock(50, zero, zero));
    TDataBlock& b = open(makeBlock(80, zero, zero), 1);
    show(a, {orlo::QuantityVoltage});
    show(b, {orlo::QuantityVoltage});
    EXPECT_DOUBLE_EQ(panel->Axes()[TBlockChart::AxisLeft].Min, -0.45);
    EXPECT_DOUBLE_EQ(panel->Axes()[TBlockChart::AxisLeft].Max, 0.55);
    EXPECT_DOUBLE_EQ(panel->Axes()[TBlockChart::AxisBottom].Max, 79);
}

TEST_F(ChartPanelTest, FixedSetupRangesAndTheEmptyOne) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    setup.VoltageAuto = false;
    setup.VoltageMin = 5;
    setup.VoltageMax = 5;
    setup.TimeAuto = false;
    setup.TimeMin = 20;
    setup.TimeMax = 80;
    panel->ApplyGraphSetup();
    EXPECT_DOUBLE_EQ(setup.VoltageMax, 6);
    EXPECT_DOUBLE_EQ(plot().RangeMin(TBlockChart::AxisLeft), 5);
    EXPECT_DOUBLE_EQ(plot().RangeMax(TBlockChart::AxisLeft), 6);
    EXPECT_DOUBLE_EQ(plot().RangeMin(TBlockChart::AxisBottom), 20);
    EXPECT_DOUBLE_EQ(plot().RangeMax(TBlockChart::AxisBottom), 80);
    // A fixed time axis scrolls; the value axes are still partly automatic.
    EXPECT_TRUE(panel->ScrollBar1()->isEnabled());
    EXPECT_EQ(panel->ScrollBar1()->value(), 25);  // centre 50 s of 0..199 s
    EXPECT_FALSE(panel->ScrollBar2()->isEnabled());
    // Refitting leaves a fixed axis alone.
    panel->RefitAxis(TBlockChart::AxisLeft);
    EXPECT_DOUBLE_EQ(plot().RangeMax(TBlockChart::AxisLeft), 6);
}

TEST_F(ChartPanelTest, RubberBandZoomsAndRestores) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage, orlo::QuantityCurrent});
    const orlo::TChartAxes fitted = panel->Axes();
    EXPECT_FALSE(panel->ScrollBar1()->isEnabled());
    EXPECT_FALSE(panel->ScrollBar2()->isEnabled());

    // A click without moving changes nothing.
    press(at(50, 11));
    release(at(50, 11));
    EXPECT_EQ(panel->Axes().Ranges, fitted.Ranges);

    // Left to right zooms every axis to the band.
    const QPoint from = at(50, 11.5), to = at(100, 10.5);
    const double right0 = plot().PixelToValue(TBlockChart::AxisRight, from.y());
    const double right1 = plot().PixelToValue(TBlockChart::AxisRight, to.y());
    const double dx = pixel(TBlockChart::AxisBottom), dy = pixel(TBlockChart::AxisLeft);
    drag(from, to);
    const orlo::TChartAxes& z = panel->Axes();
    EXPECT_NEAR(z[TBlockChart::AxisBottom].Min, 50, dx);
    EXPECT_NEAR(z[TBlockChart::AxisBottom].Max, 100, dx);
    EXPECT_NEAR(z[TBlockChart::AxisLeft].Min, 10.5, dy);
    EXPECT_NEAR(z[TBlockChart::AxisLeft].Max, 11.5, dy);
    EXPECT_DOUBLE_EQ(z[TBlockChart::AxisRight].Min, std::min(right0, right1));
    EXPECT_DOUBLE_EQ(z[TBlockChart::AxisRight].Max, std::max(right0, right1));
    for (const orlo::TAxisRange& r : z.Ranges)
        EXPECT_FALSE(r.Auto);
    EXPECT_FALSE(panel->Band().Exists());
    EXPECT_TRUE(panel->ScrollBar1()->isEnabled());
    EXPECT_TRUE(panel->ScrollBar2()->isEnabled());
    EXPECT_NEAR(panel->ScrollBar1()->value(), 38, 1);  // centre 75 s of 0..199 s

    // A press outside the plot and a drag over it draw no band and zoom nothing.
    const orlo::TChartAxes zoomed = panel->Axes();
    const QRect area = plot().PlotRect();
    press(QPoint(area.left() - 5, area.top() + 10));
    move(area.center());
    EXPECT_FALSE(panel->Band().Exists());
    release(area.center() + QPoint(50, 50));
    EXPECT_EQ(panel->Axes().Ranges, zoomed.Ranges);

    // Right to left restores the setup ranges (all automatic here).
    drag(at(70, 11), at(60, 10.8));
    EXPECT_EQ(panel->Axes().Ranges, fitted.Ranges);
    EXPECT_FALSE(panel->ScrollBar1()->isEnabled());

    // So does a band that ends in its starting column.
    drag(from, to);
    drag(at(60, 11), at(60, 10.8));
    EXPECT_EQ(panel->Axes().Ranges, fitted.Ranges);
}

TEST_F(ChartPanelTest, UndoZoomReturnsToTheSetupsFixedRange) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    setup.VoltageAuto = false;
    setup.VoltageMin = 8;
    setup.VoltageMax = 14;
    panel->ApplyGraphSetup();
    drag(at(20, 12), at(40, 11));
    EXPECT_LT(panel->Axes()[TBlockChart::AxisLeft].Max, 13);
    panel->TBUndoZoom->trigger();
    EXPECT_EQ(panel->Axes()[TBlockChart::AxisLeft], (orlo::TAxisRange{8, 14, false}));
    EXPECT_TRUE(panel->Axes()[TBlockChart::AxisBottom].Auto);
    EXPECT_DOUBLE_EQ(panel->Axes()[TBlockChart::AxisBottom].Max, 199);
}

TEST_F(ChartPanelTest, ZoomButtonsWidenAndNarrow) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage, orlo::QuantityRpm});
    const orlo::TChartAxes fitted = panel->Axes();
    gridVisible = false;
    panel->TBZoomIn->trigger();
    EXPECT_EQ(panel->Axes().Ranges, fitted.Ranges);  // only with the grid shown
    gridVisible = true;

    panel->TBZoomIn->trigger();  // "Zoom Out": wider
    const auto& wide = panel->Axes();
    for (auto a : {TBlockChart::AxisBottom, TBlockChart::AxisLeft, TBlockChart::AxisRight,
                   TBlockChart::AxisRpm, TBlockChart::AxisAh}) {
        SCOPED_TRACE(a);
        const double w = fitted[a].Max - fitted[a].Min;
        EXPECT_DOUBLE_EQ(wide[a].Min, fitted[a].Min - 0.1 * w);
        EXPECT_DOUBLE_EQ(wide[a].Max, fitted[a].Max + 0.1 * w);
        EXPECT_FALSE(wide[a].Auto);
    }
    EXPECT_TRUE(panel->ScrollBar1()->isEnabled());
    EXPECT_TRUE(panel->ScrollBar2()->isEnabled());

    const orlo::TChartAxes before = panel->Axes();
    panel->TBZoomOut->trigger();  // "Zoom In": narrower
    for (auto a : {TBlockChart::AxisBottom, TBlockChart::AxisRpm}) {
        const double w = before[a].Max - before[a].Min;
        EXPECT_NEAR(panel->Axes()[a].Min, before[a].Min + 0.1 * w, 1e-9);
        EXPECT_NEAR(panel->Axes()[a].Max, before[a].Max - 0.1 * w, 1e-9);
    }
}

TEST_F(ChartPanelTest, ScrollBarsAndArrowKeysMoveTheWindow) {
    TDataBlock& b = open(makeBlock(201, rampU, flatI));
    show(b, {orlo::QuantityVoltage, orlo::QuantityCurrent});
    EXPECT_FALSE(panel->ArrowKey(Qt::Key_Right));  // automatic axes do not scroll
    panel->TBZoomOut->trigger();                   // fixes and narrows every axis
    const orlo::TChartAxes zoomed = panel->Axes();
    const double width = zoomed[TBlockChart::AxisBottom].Max - zoomed[TBlockChart::AxisBottom].Min;
    // Setting the positions from the axes moves no axis.
    panel->UpdateScrollBars();
    EXPECT_EQ(panel->Axes().Ranges, zoomed.Ranges);
    EXPECT_EQ(panel->ScrollBar1()->value(), 50);

    panel->ScrollBar1()->setValue(0);
    const orlo::TAxisRange& bottom = panel->Axes()[TBlockChart::AxisBottom];
    EXPECT_NEAR((bottom.Min + bottom.Max) / 2, 0, 1e-9);
    EXPECT_NEAR(bottom.Max - bottom.Min, width, 1e-9);
    EXPECT_TRUE(panel->ArrowKey(Qt::Key_Right));
    EXPECT_EQ(panel->ScrollBar1()->value(), 1);
    EXPECT_NEAR((bottom.Min + bottom.Max) / 2, 2, 1e-9);  // 1 % of 200 s
    EXPECT_TRUE(panel->ArrowKey(Qt::Key_Left));
    EXPECT_TRUE(panel->ArrowKey(Qt::Key_Left));
    EXPECT_EQ(panel->ScrollBar1()->value(), 0);

    // The vertical bar moves every value axis over its own data, counted from the top.
    panel->ScrollBar2()->setValue(0);
    const orlo::TAxisRange& left = panel->Axes()[TBlockChart::AxisLeft];
    EXPECT_NEAR((left.Min + left.Max) / 2, 12, 1e-9);
    EXPECT_TRUE(panel->ArrowKey(Qt::Key_Down));
    EXPECT_NEAR((left.Min + left.Max) / 2, 12 - 0.02, 1e-9);
    const orlo::TAxisRange& right = panel->Axes()[TBlockChart::AxisRight];
    EXPECT_NEAR((right.Min + right.Max) / 2, 20, 1e-9);  // a flat series: centred on it
    EXPECT_FALSE(panel->ArrowKey(Qt::Key_Home));
}

TEST_F(ChartPanelTest, CtrlRightDragPansAndTheExtraAxesFollowTheirData) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage, orlo::QuantityRpm});
    const orlo::TChartAxes fitted = panel->Axes();
    const QPoint start = at(100, 11);
    const double dt = plot().PixelToValue(TBlockChart::AxisBottom, start.x()) -
                      plot().PixelToValue(TBlockChart::AxisBottom, start.x() + 80);
    press(start, Qt::RightButton, Qt::ControlModifier);
    EXPECT_FALSE(panel->PopupGraf()->isVisible());
    move(start + QPoint(80, 0), Qt::RightButton, Qt::ControlModifier);
    release(start + QPoint(80, 0), Qt::RightButton);
    const orlo::TAxisRange& bottom = panel->Axes()[TBlockChart::AxisBottom];
    EXPECT_NEAR(bottom.Min, fitted[TBlockChart::AxisBottom].Min + dt, 1e-9);
    EXPECT_NEAR(bottom.Max, fitted[TBlockChart::AxisBottom].Max + dt, 1e-9);
    EXPECT_FALSE(bottom.Auto);
    EXPECT_NEAR(panel->Axes()[TBlockChart::AxisLeft].Min, fitted[TBlockChart::AxisLeft].Min, 1e-9);
    EXPECT_EQ(panel->Axes()[TBlockChart::AxisRpm], fitted[TBlockChart::AxisRpm]);
    EXPECT_TRUE(panel->ScrollBar1()->isEnabled());
    // Without Ctrl the right button opens the pop-up menu instead.
    press(start, Qt::RightButton);
    EXPECT_TRUE(panel->PopupGraf()->isVisible());
    QStringList entries;
    for (QAction* a : panel->PopupGraf()->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(entries, QStringList({"Zoom All", "Graph setup", "Save Picture", "-", "Cancel"}));
    panel->PopupGraf()->hide();
}

TEST_F(ChartPanelTest, CursorReadoutFollowsTheMouse) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    setup.TimeAuto = false;
    setup.TimeMin = -20;
    setup.TimeMax = 300;
    panel->ApplyGraphSetup();
    actual = 0;

    const QPoint p = at(125.3, 11);
    move(p, Qt::NoButton);
    const double t = plot().PixelToValue(TBlockChart::AxisBottom, p.x());
    const int i = orlo::LocateTimeIdx(b, t);
    ASSERT_GE(i, 0);
    const QString label = panel->LabelPos()->text();
    EXPECT_TRUE(label.startsWith(QStringLiteral("[2 min 5"))) << label.toStdString();
    EXPECT_TRUE(label.endsWith(QStringLiteral(" V ]"))) << label.toStdString();
    EXPECT_EQ(fields[orlo::FieldU]->text(), orlo::FixedText(b.Voltage[std::size_t(i)], 2));
    EXPECT_EQ(fields[orlo::FieldR]->text(), QString::number(b.Rpm[std::size_t(i)]));
    EXPECT_EQ(fields[orlo::FieldTime]->text(), orlo::RecTimeText(t));

    // Beyond the last sample: time only; left of 0: nothing.
    const QPoint late = at(250, 11);
    move(late, Qt::NoButton);
    EXPECT_FALSE(panel->LabelPos()->text().isEmpty());
    EXPECT_EQ(fields[orlo::FieldU]->text(), QStringLiteral("-"));
    EXPECT_TRUE(fields[orlo::FieldTime]->text().startsWith(QStringLiteral("4:")));
    EXPECT_EQ(fields[orlo::FieldTime]->text(),
              orlo::RecTimeText(plot().PixelToValue(TBlockChart::AxisBottom, late.x())));
    move(at(-10, 11), Qt::NoButton);
    EXPECT_TRUE(panel->LabelPos()->text().isEmpty());
    for (const auto& f : fields)
        EXPECT_EQ(f->text(), QStringLiteral("-"));

    // The block's box unticked: the label stays empty.
    actualShown = false;
    move(p, Qt::NoButton);
    EXPECT_TRUE(panel->LabelPos()->text().isEmpty());
}

TEST_F(ChartPanelTest, SeriesLooksOrderAndRelease) {
    TDataBlock& a = open(makeBlock(20, rampU, flatI), 0);
    TDataBlock& b = open(makeBlock(20, rampU, flatI), 3);
    auto series = [&](const TDataBlock& block, int slot) {
        return dynamic_cast<orlo::TChartSeries*>(panel->Series(block, slot));
    };
    auto* volt = series(b, 0);
    ASSERT_NE(volt, nullptr);
    EXPECT_EQ(volt->Title(), QStringLiteral("blok2 (Volt)"));
    EXPECT_EQ(volt->Pen(), orlo::PenDashDot);
    EXPECT_FALSE(volt->IsActive());
    EXPECT_EQ(volt->PointCount(), 20);
    ASSERT_NE(series(b, 4), nullptr);
    EXPECT_EQ(series(b, 4)->IsActive(), false);
    EXPECT_EQ(series(b, 4)->Title(), QString());
    ASSERT_NE(panel->Slots(b), nullptr);
    for (const auto& slot : *panel->Slots(b)) {
        EXPECT_EQ(slot.ColorIndex, 3);
        EXPECT_TRUE(slot.ShiftOn);
    }
    panel->SetSeriesWidth(b, 1, 2);
    EXPECT_EQ(series(b, 1)->Width(), 2);

    ASSERT_EQ(panel->SeriesOrder().size(), 10u);
    EXPECT_EQ(panel->SeriesOrder()[5], volt);
    panel->MoveSeriesEarlier(b, 0);
    EXPECT_EQ(panel->SeriesOrder()[4], volt);

    panel->ReleaseBlockSeries(a);
    EXPECT_EQ(panel->SeriesOrder().size(), 5u);
    EXPECT_EQ(panel->Slots(a), nullptr);
    EXPECT_EQ(panel->Series(a, 0), nullptr);
    show(b, {orlo::QuantityVoltage});
    EXPECT_DOUBLE_EQ(panel->Axes()[TBlockChart::AxisBottom].Max, 19);
}

TEST_F(ChartPanelTest, LegendAndMinSecLabels) {
    TDataBlock& b = open(makeBlock(2000, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    panel->SetLegendVisible(true);
    EXPECT_TRUE(plot().LegendVisible());
    panel->SetLegendVisible(false);
    EXPECT_FALSE(plot().LegendVisible());

    EXPECT_EQ(plot().AxisTitle(TBlockChart::AxisBottom), QStringLiteral("Time (sec)"));
    panel->CheckBox_min_sec()->click();
    EXPECT_EQ(plot().AxisTitle(TBlockChart::AxisBottom), QStringLiteral("Time (min:sec)"));
    const QStringList labels = plot().TickLabels(TBlockChart::AxisBottom);
    ASSERT_FALSE(labels.isEmpty());
    for (const QString& l : labels)
        EXPECT_TRUE(l.contains(QLatin1Char(':'))) << l.toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("8:20")) || labels.contains(QStringLiteral("10:00")))
        << labels.join(QLatin1Char(' ')).toStdString();
    // The value axes keep their numbers.
    for (auto a : {TBlockChart::AxisLeft, TBlockChart::AxisRight, TBlockChart::AxisRpm,
                   TBlockChart::AxisAh}) {
        const QStringList values = plot().TickLabels(a);
        ASSERT_FALSE(values.isEmpty()) << a;
        for (const QString& l : values)
            EXPECT_FALSE(l.contains(QLatin1Char(':'))) << a << " " << l.toStdString();
    }
    panel->CheckBox_min_sec()->click();
    EXPECT_EQ(plot().AxisTitle(TBlockChart::AxisBottom), QStringLiteral("Time (sec)"));
    for (const QString& l : plot().TickLabels(TBlockChart::AxisBottom))
        EXPECT_FALSE(l.contains(QLatin1Char(':'))) << l.toStdString();
}

TEST(ChartPanelLifetime, BlocksMayOutliveThePage) {
    // The page owns the series; a block it drew stays whole when the page goes first.
    orlo::TGraphSetup setup;
    platform::ScriptedPrompts prompts;
    auto panel = std::make_unique<TChartPanel>(setup, prompts);
    std::unique_ptr<TDataBlock> b = makeBlock(30, rampU, flatI);
    panel->CreateBlockSeries(*b, QStringLiteral("late"), 0);
    panel->SetSeriesActive(*b, orlo::QuantityVoltage, true);
    EXPECT_TRUE(panel->Series(*b, 0)->IsActive());
    EXPECT_DOUBLE_EQ(panel->Series(*b, 0)->MaxY(), 10.29);
    panel.reset();
    EXPECT_EQ(b->Voltage.size(), 30u);
    EXPECT_DOUBLE_EQ(*std::max_element(b->Voltage.begin(), b->Voltage.end()), 10.29);
    b.reset();
}

// ---- graph setup dialog ---------------------------------------------------------------

TEST_F(ChartPanelTest, GraphSetupDialogOkAppliesAndCancelKeeps) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    const orlo::TGraphSetup before = setup;

    prompts.answerDialog([](QDialog& d) {
        auto& form = static_cast<orlo::TFormGraphSetup&>(d);
        const auto& voltage = form.Axes()[0];
        voltage.Auto->setChecked(false);
        voltage.Min->setText(QStringLiteral("2"));
        voltage.Max->setText(QStringLiteral("2"));
        voltage.LineWidth->setCurrentIndex(2);
        return int(QDialog::Rejected);
    });
    panel->TBGraphSetup->trigger();
    EXPECT_EQ(setup, before);

    prompts.answerDialog([](QDialog& d) {
        auto& form = static_cast<orlo::TFormGraphSetup&>(d);
        const auto& voltage = form.Axes()[0];
        EXPECT_TRUE(voltage.Auto->isChecked());  // the active setup again, not the last edit
        voltage.Auto->setChecked(false);
        voltage.Min->setText(QStringLiteral("2"));
        voltage.Max->setText(QStringLiteral("2"));
        voltage.LineWidth->setCurrentIndex(2);
        form.Axes()[4].Auto->setChecked(false);
        form.Axes()[4].Min->setText(QStringLiteral("x"));  // confirmed anyway: 0
        form.Axes()[4].Max->setText(QString());            // 100
        form.OkButton()->click();
        return form.result();
    });
    panel->TBGraphSetup->trigger();
    EXPECT_TRUE(setup.Modified);
    EXPECT_FALSE(setup.VoltageAuto);
    EXPECT_DOUBLE_EQ(setup.VoltageMin, 2);
    EXPECT_DOUBLE_EQ(setup.VoltageMax, 3);  // an empty range grows by one
    EXPECT_EQ(setup.VoltageLineWidth, 3);
    EXPECT_DOUBLE_EQ(setup.TimeMin, 0);
    EXPECT_DOUBLE_EQ(setup.TimeMax, 100);
    EXPECT_EQ(panel->Axes()[TBlockChart::AxisLeft], (orlo::TAxisRange{2, 3, false}));
    EXPECT_EQ(panel->Axes()[TBlockChart::AxisBottom], (orlo::TAxisRange{0, 100, false}));
    EXPECT_TRUE(panel->ScrollBar1()->isEnabled());
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(ChartPanelTest, GraphSetupDialogControls) {
    orlo::TFormGraphSetup& form = panel->FormGraphSetup();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Graph setup"));
    const char* titles[] = {"Voltage axis", "RPM axis", "Current axis", "Ah axis", "Time axis"};
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_EQ(form.Axes()[k].Group->title(), QString::fromLatin1(titles[k]));
    EXPECT_EQ(form.Axes()[4].LineStyle, nullptr);
    EXPECT_EQ(form.Axes()[0].LineStyle->itemText(1), QStringLiteral("Dash "));
    EXPECT_TRUE(form.AnnotationGroup()->isHidden());
    EXPECT_TRUE(form.MarkerGroup()->isHidden());

    form.Record.RPMAuto = false;
    form.Record.RPMMin = -1.25;
    form.Record.RPMMax = 3000;
    form.Record.CurrentLineStyle = 4;
    form.Record.CurrentLineWidth = 1;
    form.ShowRecord();
    const auto& rpm = form.Axes()[1];
    EXPECT_EQ(rpm.Min->text(), orlo::FixedText(-1.25, 1));
    EXPECT_EQ(rpm.Max->text(), orlo::FixedText(3000, 1));
    EXPECT_TRUE(rpm.Min->isEnabled());
    rpm.Auto->click();
    EXPECT_FALSE(rpm.Min->isEnabled());
    EXPECT_FALSE(rpm.Max->isEnabled());
    const auto& current = form.Axes()[2];
    EXPECT_EQ(current.LineStyle->currentIndex(), 4);
    EXPECT_TRUE(current.LineStyle->isEnabled());
    current.LineWidth->setCurrentIndex(1);
    EXPECT_FALSE(current.LineStyle->isEnabled());  // only width 1 offers a style

    form.DefaultsButton()->click();
    EXPECT_EQ(form.Record, orlo::TGraphSetup{});
    EXPECT_TRUE(form.Axes()[1].Auto->isChecked());
    EXPECT_EQ(form.Axes()[2].LineStyle->currentIndex(), 1);
}

TEST_F(ChartPanelTest, NumberEditsRefuseWhatIsNoNumber) {
    orlo::TFormGraphSetup& form = panel->FormGraphSetup();
    QLineEdit& edit = *form.Axes()[0].Min;
    struct Case {
        QString text;
        bool ok;
    };
    const Case cases[] = {
        {QStringLiteral("12"), true},
        {QStringLiteral("-999998"), true},
        {QStringLiteral("-999999"), false},
        {QStringLiteral("abc"), false},
        {QString(), false},
        {QStringLiteral("1") + QLocale::system().decimalPoint() + QStringLiteral("5"), true},
    };
    for (const Case& c : cases) {
        prompts.clear();
        edit.setText(c.text);
        EXPECT_EQ(form.CheckNumberEdit(edit), c.ok) << c.text.toStdString();
        EXPECT_EQ(prompts.texts(),
                  c.ok ? QStringList() : QStringList({QStringLiteral("Incorrect number!")}));
    }
}

TEST_F(ChartPanelTest, NumberEditsTakeOnlyNumberKeys) {
    orlo::TFormGraphSetup& form = panel->FormGraphSetup();
    form.Axes()[2].Auto->setChecked(false);
    QLineEdit& edit = *form.Axes()[2].Max;
    edit.clear();
    const QString point = QLocale::system().decimalPoint();
    const QString typed[] = {
        QStringLiteral("-"), QStringLiteral("1"), QStringLiteral("a"), point,
        QStringLiteral("5"), QStringLiteral(" "), QStringLiteral("e"), QStringLiteral("+")};
    for (const QString& t : typed) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, t);
        QApplication::sendEvent(&edit, &press);
    }
    EXPECT_EQ(edit.text(), QStringLiteral("-1") + point + QStringLiteral("5"));
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    QApplication::sendEvent(&edit, &back);
    EXPECT_EQ(edit.text(), QStringLiteral("-1") + point);
}

// ---- picture and printing -------------------------------------------------------------

// Pixels in which the colour's strongest channel (blue or red) clearly leads the other
// two, as in a line of that colour, also one softened by compression.
int countColour(const QImage& image, QColor c) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            const int lead = c == QColor(Qt::blue) ? p.blue() - std::max(p.red(), p.green())
                                                   : p.red() - std::max(p.blue(), p.green());
            if (lead > 80)
                ++n;
        }
    return n;
}

TEST_F(ChartPanelTest, SavePictureInThreeFormats) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage, orlo::QuantityCurrent});
    QTemporaryDir dir;
    for (const char* name : {"chart.bmp", "chart.png", "chart.jpg"}) {
        SCOPED_TRACE(name);
        prompts.clear();
        const QString path = dir.filePath(QString::fromLatin1(name));
        prompts.answerFile(path);
        panel->TBSaveGraph->trigger();
        ASSERT_EQ(prompts.dialogs().size(), 1u);
        EXPECT_EQ(prompts.dialogs()[0].request.defaultSuffix, QStringLiteral("bmp"));
        EXPECT_TRUE(prompts.messages().empty());
        const QImage image(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), plot().PlotWidget()->size());
        EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
        EXPECT_GT(countColour(image, Qt::blue), 50);
        EXPECT_GT(countColour(image, Qt::red), 50);
    }
    // Cancelled: nothing written, nothing said.
    prompts.clear();
    panel->TBSaveGraph->trigger();
    EXPECT_TRUE(prompts.messages().empty());

    const QString bad = dir.filePath(QStringLiteral("missing/chart.bmp"));
    prompts.answerFile(bad);
    panel->TBSaveGraph->trigger();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.texts()[0].startsWith(
        QStringLiteral("Error by saving Graph as Image file \"") + bad + QStringLiteral("\"!\n")))
        << prompts.texts()[0].toStdString();
    EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Error);
}

TEST_F(ChartPanelTest, RenderingDrawsTheChartInsideItsRectangleOnly) {
    // What a printed page gets: the chart fills the rectangle it is given.
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    QImage page(1200, 800, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        plot().Render(painter, QRect(100, 100, 1000, 600));
    }
    EXPECT_GT(countColour(page, Qt::blue), 100);
    EXPECT_EQ(page.pixelColor(50, 50), QColor(Qt::white));  // outside the print rectangle
}

TEST_F(ChartPanelTest, PrintingAsksForALandscapePageAndReportsTheFailure) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    QTemporaryDir dir;

    panel->TBPrintGraph->trigger();  // cancelled: nothing printed, nothing said
    ASSERT_EQ(prompts.printerRequests().size(), 1u);
    EXPECT_EQ(prompts.printerRequests()[0].kind, platform::ScriptedPrompts::PrinterCall::Print);
    EXPECT_EQ(prompts.printerRequests()[0].layout.orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(prompts.messages().empty());

    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    prompts.answerPrinter([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(150);  // a smaller page picture than at 1200 dpi: quicker
        return true;
    });
    panel->TBPrintGraph->trigger();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 5000);  // more than an empty page
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])"))
            .match(QString::fromLatin1(bytes));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble());  // landscape
    EXPECT_TRUE(prompts.messages().empty());

    prompts.answerPrinterToPdf(dir.filePath(QStringLiteral("missing/chart.pdf")));
    panel->TBPrintGraph->trigger();
    EXPECT_EQ(prompts.texts(),
              QStringList(
                  {QStringLiteral("Error by printing Graph!\nThe printer could not be started.")}));
}

TEST_F(ChartPanelTest, PrintingOnAPrinterWritesAPage) {
    TDataBlock& b = open(makeBlock(200, rampU, flatI));
    show(b, {orlo::QuantityVoltage});
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("chart.pdf")));
    orlo::PrintChartOn(plot(), printer);
    QFile pdf(printer.outputFileName());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 5000);  // more than an empty page

    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/chart.pdf")));
    EXPECT_THROW(orlo::PrintChartOn(plot(), printer), std::runtime_error);
}

TEST_F(ChartPanelTest, LongSeriesKeepTheirPeaksWhenDrawn) {
    // 135,000 samples at 10 V with one sample of 20 V: the spike must reach the picture.
    static int spike = 0;
    spike = 70'001;
    TDataBlock& b = open(makeBlock(
        135'000, [](int k) { return k == spike ? 20.0 : 10.0; }, flatI, 5));
    show(b, {orlo::QuantityVoltage, orlo::QuantityCurrent});
    setup.VoltageAuto = false;
    setup.VoltageMin = 0;
    setup.VoltageMax = 25;
    panel->ApplyGraphSetup();
    const QImage image = plot().Picture();
    const int x = static_cast<int>(
        std::lround(plot().ValueToPixel(TBlockChart::AxisBottom, b.Time[std::size_t(spike)])));
    const int top = static_cast<int>(std::lround(plot().ValueToPixel(TBlockChart::AxisLeft, 20)));
    const int base = static_cast<int>(std::lround(plot().ValueToPixel(TBlockChart::AxisLeft, 10)));
    const auto blueAt = [&](int px, int py) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (countColour(image.copy(px + dx, py + dy, 1, 1), Qt::blue) == 1)
                    return true;
        return false;
    };
    EXPECT_TRUE(blueAt(x, top)) << "the peak is lost";
    EXPECT_TRUE(blueAt(x, base));
    EXPECT_FALSE(blueAt(x - 40, top));  // elsewhere the line stays at 10 V
    EXPECT_TRUE(blueAt(x - 40, base));
    EXPECT_GT(countColour(image, Qt::red), 100);
}

}  // namespace
