// The block chart inside the main window: block styles, the bold actual block, the
// cursor fields of the right panel, arrow keys from other controls and the chart
// toolbar.
#include "WorkspaceTestSupport.h"

#include "orlo/workspace/InfoPanel.h"
#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/NotesPage.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TStringGrid.h"
#include "orlo/workspace/chart/TBlockPlot.h"
#include "orlo/workspace/chart/TChartPanel.h"
#include "orlo/workspace/chart/TFormGraphSetup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolBar>

#include <cmath>
#include <functional>

namespace orlo::test {
namespace {

TChartSeries& Series(TFormMain& f, int row, int slot) {
    return dynamic_cast<TChartSeries&>(*f.Grid().Chart().Series(*f.Grid().Block(row), slot));
}

class ChartInMainWindow : public WorkspaceTest {
protected:
    TFormMain& OpenBlocks(int count) {
        TFormMain& f = Show();
        f.resize(1000, 640);
        const QString path = WriteFile(QStringLiteral("flight.orl"), MakeBlock(600));
        for (int i = 0; i < count; ++i)
            f.Grid().OpenBlocks(path, 0);
        f.PageControl1()->setCurrentWidget(&f.Chart());
        QApplication::processEvents();
        return f;
    }

    void MoveMouse(TFormMain& f, double t, double v) {
        TBlockPlot& plot = f.Chart().Plot();
        const QPoint p(static_cast<int>(std::lround(plot.ValueToPixel(TBlockChart::AxisBottom, t))),
                       static_cast<int>(std::lround(plot.ValueToPixel(TBlockChart::AxisLeft, v))));
        QWidget* w = plot.PlotWidget();
        QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
};

TEST_F(ChartInMainWindow, EachBlockHasItsStyleAndTheSixthDrawsSolid) {
    TFormMain& f = OpenBlocks(6);
    ASSERT_EQ(f.Grid().RowCount(), 6);
    const TPenStyle pens[] = {PenSolid, PenDot, PenDash, PenDashDot, PenDashDotDot, PenSolid};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        for (int slot = 0; slot < SlotCount; ++slot)
            EXPECT_EQ(Series(f, i, slot).Pen(), pens[i]) << "slot " << slot;
    }
    // The actual block is drawn bold, the others thin.
    f.Grid().GridChangeActualFile(2, f.Grid().Blocks().ActualRow());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Series(f, i, SlotVoltage).Width(), i == 2 ? 2 : 1) << i;
}

TEST_F(ChartInMainWindow, CursorFieldsOfTheRightPanel) {
    TFormMain& f = OpenBlocks(1);
    f.Grid().GridCheck(0, true);
    f.Grid().GridChangeActualFile(0, f.Grid().Blocks().ActualRow());
    ASSERT_TRUE(Series(f, 0, SlotVoltage).IsActive());
    const TDataBlock& b = *f.Grid().Block(0);

    MoveMouse(f, 30.04, 10);
    const double t = f.Chart().Plot().PixelToValue(
        TBlockChart::AxisBottom,
        std::lround(f.Chart().Plot().ValueToPixel(TBlockChart::AxisBottom, 30.04)));
    const int i = LocateTimeIdx(b, t);
    ASSERT_GE(i, 0);
    EXPECT_FALSE(f.Chart().LabelPos()->text().isEmpty());
    EXPECT_EQ(f.Info().InfoField(11)->text(), FixedText(b.Voltage[std::size_t(i)], 2));
    EXPECT_EQ(f.Info().InfoField(12)->text(), FixedText(b.Current[std::size_t(i)], 2));
    EXPECT_EQ(f.Info().InfoField(13)->text(), QStringLiteral("-"));  // no revolutions
    EXPECT_EQ(f.Info().InfoField(15)->text(),
              FixedText(b.Voltage[std::size_t(i)] * b.Current[std::size_t(i)], 2));
    EXPECT_EQ(f.Info().InfoField(17)->text(), RecTimeText(t));

    // With the row's box unticked the label stays empty and the fields show "-".
    f.Grid().Blocks().SetShown(0, false);
    MoveMouse(f, 30.04, 10);
    EXPECT_TRUE(f.Chart().LabelPos()->text().isEmpty());
    for (int field = 11; field <= 17; ++field)
        EXPECT_EQ(f.Info().InfoField(field)->text(), QStringLiteral("-")) << field;
}

TEST_F(ChartInMainWindow, ArrowKeysInTheGridScrollAZoomedChart) {
    TFormMain& f = OpenBlocks(1);
    f.Grid().GridCheck(0, true);
    f.Chart().TBZoomOut->trigger();  // every axis fixed: both bars work
    QScrollBar& bar = *f.Chart().ScrollBar1();
    ASSERT_TRUE(bar.isEnabled());
    const int before = bar.value();
    const double centre = (f.Chart().Axes()[TBlockChart::AxisBottom].Min +
                           f.Chart().Axes()[TBlockChart::AxisBottom].Max) /
                          2;
    f.activateWindow();
    f.StringGrid1().setFocus();
    QApplication::processEvents();
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &f;
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(target, &right);
    EXPECT_EQ(bar.value(), before + 1);
    const double span = 59.9;  // the block's time span
    EXPECT_NEAR((f.Chart().Axes()[TBlockChart::AxisBottom].Min +
                 f.Chart().Axes()[TBlockChart::AxisBottom].Max) /
                    2,
                centre + span / 100, 1e-9);
}

TEST_F(ChartInMainWindow, ChartToolbarAndGraphSetup) {
    TFormMain& f = OpenBlocks(1);
    f.Grid().GridCheck(0, true);
    QStringList hints;
    for (QAction* a : f.Commands().ToolBarGraf->actions())
        if (!a->isSeparator())
            hints << a->toolTip();
    for (const char* hint :
         {"Zoom All", "Zoom Out", "Zoom In", "Graph Setup", "Save Picture", "Print Graph"})
        EXPECT_TRUE(hints.contains(QString::fromLatin1(hint))) << hint;

    prompts.answerDialog([](QDialog& d) {
        auto& form = dynamic_cast<TFormGraphSetup&>(d);
        form.Axes()[2].Auto->setChecked(false);  // current axis
        form.Axes()[2].Min->setText(QStringLiteral("0"));
        form.Axes()[2].Max->setText(QStringLiteral("50"));
        form.OkButton()->click();
        return form.result();
    });
    f.Chart().TBGraphSetup->trigger();
    EXPECT_TRUE(f.ActiveGraphSetup.Modified);
    EXPECT_FALSE(f.ActiveGraphSetup.CurrentAuto);
    EXPECT_DOUBLE_EQ(f.Chart().Plot().RangeMax(TBlockChart::AxisRight), 50);
    EXPECT_TRUE(prompts.messages().empty());
}

// The chart commands of the main window's menu and toolbar work whichever page is in
// front: the chart exists and keeps its ranges while the notes are shown.
TEST_F(ChartInMainWindow, PrintAndZoomAllWorkFromTheNotesPage) {
    TFormMain& f = OpenBlocks(1);
    f.Grid().GridCheck(0, true);
    f.Chart().TBZoomOut->trigger();
    ASSERT_FALSE(f.Chart().Axes()[TBlockChart::AxisBottom].Auto);
    f.PageControl1()->setCurrentWidget(&f.Notes());
    QApplication::processEvents();
    ASSERT_FALSE(f.Chart().isVisible());

    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("chart.pdf"));
    prompts.answerPrinter([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(150);  // a smaller page picture than at 1200 dpi: quicker
        return true;
    });
    f.Commands().mnuPrintGraph->trigger();
    ASSERT_EQ(prompts.printerRequests().size(), 1u);
    EXPECT_EQ(prompts.printerRequests()[0].kind, platform::ScriptedPrompts::PrinterCall::Print);
    EXPECT_GT(QFileInfo(pdf).size(), 5000);  // the chart, not an empty page

    f.Chart().TBUndoZoom->trigger();
    EXPECT_TRUE(f.Chart().Axes()[TBlockChart::AxisBottom].Auto);
    EXPECT_DOUBLE_EQ(f.Chart().Plot().RangeMax(TBlockChart::AxisBottom), 59.9);
    EXPECT_TRUE(prompts.messages().empty());
}

// The legend takes room above the plot instead of covering the curves, and lists the
// shown series block by block.
TEST_F(ChartInMainWindow, LegendLiesAboveThePlotInBlockOrder) {
    TFormMain& f = OpenBlocks(2);
    f.Commands().TBShowCurrent->setChecked(true);  // both blocks: voltage and current
    TBlockPlot& plot = f.Chart().Plot();
    plot.ReplotNow();
    const QRect full = plot.PlotRect();
    EXPECT_TRUE(plot.LegendRect().isEmpty());

    f.Commands().TBShowLegend->setChecked(true);
    plot.ReplotNow();
    const QRect legend = plot.LegendRect();
    ASSERT_FALSE(legend.isEmpty());
    EXPECT_LE(legend.bottom(), plot.PlotRect().top());
    EXPECT_LT(plot.PlotRect().height(), full.height());
    EXPECT_EQ(plot.LegendTitles(),
              (QStringList{QStringLiteral("flight (Volt)"), QStringLiteral("flight (Curr)"),
                           QStringLiteral("flight (Volt)"), QStringLiteral("flight (Curr)")}));

    // Unticking the first block leaves the second one's entries.
    f.Grid().GridCheck(0, false);
    EXPECT_EQ(plot.LegendTitles().size(), 2);

    f.Commands().TBShowLegend->setChecked(false);
    plot.ReplotNow();
    EXPECT_TRUE(plot.LegendRect().isEmpty());
    EXPECT_EQ(plot.PlotRect().top(), full.top());
    EXPECT_EQ(plot.PlotRect().height(), full.height());
}

// With nothing to list, a legend that is switched on takes no room from the plot; with
// entries it takes a line above it and leaves the plot nearly its full width.
TEST_F(ChartInMainWindow, AnEmptyLegendLeavesThePlotItsSize) {
    TFormMain& f = OpenBlocks(2);
    TBlockPlot& plot = f.Chart().Plot();
    plot.ReplotNow();
    const QRect full = plot.PlotRect();
    f.Commands().TBShowLegend->setChecked(true);
    const struct {
        const char* what;
        std::function<void()> act;
        bool listed;
    } steps[] = {
        {"both blocks shown", [] {}, true},
        {"first block unticked", [&] { f.Grid().GridCheck(0, false); }, true},
        {"both unticked", [&] { f.Grid().GridCheck(1, false); }, false},
        {"voltage button up",
         [&] {
             f.Grid().GridCheck(0, true);
             f.Commands().TBShowVoltage->setChecked(false);
         },
         false},
        {"voltage button down", [&] { f.Commands().TBShowVoltage->setChecked(true); }, true},
        {"every block closed",
         [&] {
             f.Grid().CloseGridRow(1);
             f.Grid().CloseGridRow(0);
         },
         false},
    };
    for (const auto& s : steps) {
        s.act();
        plot.ReplotNow();
        EXPECT_TRUE(plot.LegendVisible()) << s.what;
        EXPECT_EQ(plot.LegendRect().isEmpty(), !s.listed) << s.what;
        // Axis labels of other widths move the left edge a little.
        EXPECT_GT(plot.PlotRect().width(), full.width() * 9 / 10) << s.what;
        if (!s.listed) {
            EXPECT_EQ(plot.PlotRect().top(), full.top()) << s.what;
            EXPECT_EQ(plot.PlotRect().height(), full.height()) << s.what;
        } else {
            EXPECT_LT(plot.PlotRect().height(), full.height()) << s.what;
            EXPECT_GT(plot.PlotRect().height(), full.height() * 3 / 4) << s.what;
        }
    }
}

}  // namespace
}  // namespace orlo::test
