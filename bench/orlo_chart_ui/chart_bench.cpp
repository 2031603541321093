// The block chart with five long logs: opening and first drawing, and the repaint after
// a cursor move. Runs offscreen unless a display platform is chosen.
//   build/bench/bench_orlo_chart_ui --benchmark_counters_tabular=true
#include "orlo/chart/TQuantity.h"
#include "orlo/workspace/chart/TBlockPlot.h"
#include "orlo/workspace/chart/TChartPanel.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kBlocks = 5;
constexpr int kSamples = 135'000;

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_orlo_chart_ui";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication instance(argc, argv);
    return instance;
}

// A noisy flight of 135,000 samples at 10 per second.
std::vector<std::unique_ptr<orlo::TDataBlock>> makeBlocks() {
    std::vector<std::unique_ptr<orlo::TDataBlock>> blocks;
    for (int j = 0; j < kBlocks; ++j) {
        auto b = std::make_unique<orlo::TDataBlock>();
        b->Interval = 5;
        b->ChannelMask = orlo::ChannelVoltage | orlo::ChannelCurrent | orlo::ChannelRpm;
        std::uint32_t noise = 12345u + static_cast<std::uint32_t>(j);
        for (int k = 0; k < kSamples; ++k) {
            noise = noise * 1664525u + 1013904223u;
            const double r = static_cast<double>(noise >> 8) / (1u << 24) - 0.5;
            const double t = k * 0.1;
            b->Time.push_back(orlo::SampleTime(k, b->Interval));
            b->Voltage.push_back(12.5 - t * 0.0002 - 0.5 * std::sin(t / 40) + 0.1 * r);
            b->Current.push_back(20 + 10 * std::sin(t / 25 + j) + 3 * r);
            b->Rpm.push_back(9000 + 2000 * std::sin(t / 30) + 200 * r);
        }
        orlo::ComputeBlockStatistics(*b, kSamples);
        blocks.push_back(std::move(b));
    }
    return blocks;
}

// Counts the paint events of the plot surface, so the figure shows that each move did
// repaint it.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Page {
    orlo::TGraphSetup setup;
    platform::ScriptedPrompts prompts;
    std::unique_ptr<orlo::TChartPanel> panel;
};

// Opens the blocks with voltage and current shown, as ticking their rows does, and
// draws the page once.
void openAndDraw(Page& page, std::vector<std::unique_ptr<orlo::TDataBlock>>& blocks) {
    page.panel = std::make_unique<orlo::TChartPanel>(page.setup, page.prompts);
    orlo::TChartPanel& p = *page.panel;
    p.resize(1000, 600);
    p.ActualBlock = [&blocks] { return blocks.front().get(); };
    p.ActualBlockShown = [] { return true; };
    p.ChannelButtonDown = [](int q) { return q < 2; };
    for (int j = 0; j < kBlocks; ++j)
        p.CreateBlockSeries(*blocks[static_cast<std::size_t>(j)], QStringLiteral("blok"), j);
    for (auto& b : blocks)
        for (int q : {orlo::QuantityVoltage, orlo::QuantityCurrent})
            p.SetSeriesActive(*b, q, true);
    for (auto a :
         {orlo::TBlockChart::AxisBottom, orlo::TBlockChart::AxisLeft, orlo::TBlockChart::AxisRight,
          orlo::TBlockChart::AxisRpm, orlo::TBlockChart::AxisAh})
        p.RefitAxis(a);
    p.show();
    QApplication::processEvents();
    p.Plot().ReplotNow();
    p.repaint();
}

void BM_OpenFiveBlocksAndDraw(benchmark::State& state) {
    app();
    auto blocks = makeBlocks();
    for (auto _ : state) {
        Page page;
        openAndDraw(page, blocks);
        state.PauseTiming();
        for (auto& b : blocks)
            page.panel->ReleaseBlockSeries(*b);
        page.panel.reset();
        state.ResumeTiming();
    }
    state.counters["points"] = benchmark::Counter(kBlocks * kSamples * 4.0);
}
BENCHMARK(BM_OpenFiveBlocksAndDraw)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CursorMoveRepaint(benchmark::State& state) {
    app();
    auto blocks = makeBlocks();
    Page page;
    openAndDraw(page, blocks);
    orlo::TChartPanel& p = *page.panel;
    QWidget* surface = p.Plot().PlotWidget();
    int x = p.Plot().PlotRect().left() + 10;
    const int y = p.Plot().PlotRect().center().y();
    PaintCounter counter;
    surface->installEventFilter(&counter);
    int labelled = 0;
    for (auto _ : state) {
        x = x + 7 > p.Plot().PlotRect().right() ? p.Plot().PlotRect().left() + 10 : x + 7;
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(surface->mapToGlobal(QPoint(x, y))),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &e);
        // The page with its label, and the chart surface itself from its buffers.
        p.repaint();
        surface->repaint();
        labelled += p.LabelPos()->text().isEmpty() ? 0 : 1;
    }
    surface->removeEventFilter(&counter);
    state.counters["paints/move"] =
        benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["labelled/move"] =
        benchmark::Counter(labelled, benchmark::Counter::kAvgIterations);
    for (auto& b : blocks)
        p.ReleaseBlockSeries(*b);
}
BENCHMARK(BM_CursorMoveRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
