// The chart model of a long project: 10 blocks of 100,000 samples with U, I and C
// shown (3 million points), built fresh, rebuilt into the same model, and rebuilt
// after each received sample as the live graph does.
//   build/bench/voltaro_graph/bench_voltaro_graph --benchmark_counters_tabular=true
#include "voltaro/graph/ChartModel.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using namespace voltaro;

constexpr int kBlocks = 10;
constexpr int kSamples = 100'000;

// A charge-like run per block: rising voltage with noise, steady current.
std::unique_ptr<CMainDoc> makeProject() {
    auto doc = std::make_unique<CMainDoc>(true);
    CDataModule* session = doc->m_sessions.AddTail(std::make_unique<CDataModule>(doc.get()));
    std::uint32_t noise = 12345u;
    for (int j = 0; j < kBlocks; ++j) {
        auto owned = std::make_unique<CDataBlock>();
        auto* b = owned.get();
        b->m_strName = "block " + std::to_string(j);
        b->m_bSelected = true;
        b->m_samples.reserve(kSamples + 100'000);
        DataSample s;
        for (int k = 0; k < kSamples; ++k) {
            noise = noise * 1664525u + 1013904223u;
            const float r = static_cast<float>(noise >> 8) / static_cast<float>(1u << 24) - 0.5f;
            s.T = static_cast<float>(k) * (1.0f + 0.1f * static_cast<float>(j));
            s.U = 11.0f + 2.0f * static_cast<float>(k) / kSamples + 0.02f * r;
            s.I = 2.0f + 0.1f * std::sin(static_cast<float>(k) / 500.0f);
            s.C = static_cast<float>(k) * 0.0005f;
            b->m_samples.push_back(s);
        }
        session->AddBlock(std::move(owned));
    }
    return doc;
}

CMainDoc& project() {
    static std::unique_ptr<CMainDoc> doc = makeProject();
    return *doc;
}

void modelCounters(benchmark::State& state, const ChartModel& m) {
    state.counters["points"] = static_cast<double>(m.y.size());
    state.counters["modelMB"] =
        static_cast<double>((m.x.size() + m.y.size()) * sizeof(float)) / (1024.0 * 1024.0);
}

void BM_BuildChartModel(benchmark::State& state) {
    CMainDoc& doc = project();
    ChartViewState view;
    view.normalizedX = state.range(0) != 0;
    ChartModel m;
    for (auto _ : state) {
        m = BuildChartModel(doc, view);
        benchmark::DoNotOptimize(m.y.data());
    }
    modelCounters(state, m);
}
BENCHMARK(BM_BuildChartModel)->ArgName("normalized")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RebuildChartModelInPlace(benchmark::State& state) {
    CMainDoc& doc = project();
    ChartModel m;
    for (auto _ : state) {
        BuildChartModel(ReadChartInput(doc), {}, m);
        benchmark::DoNotOptimize(m.y.data());
    }
    modelCounters(state, m);
}
BENCHMARK(BM_RebuildChartModelInPlace)->Unit(benchmark::kMillisecond);

// One sample arrives on the current block, then the graph is rebuilt; Arg 1 keeps
// the model's storage from the last rebuild, Arg 0 builds a new model each time.
void BM_LiveAppendThenRebuild(benchmark::State& state) {
    CMainDoc& doc = project();
    CDataBlock* live = doc.m_sessions.GetHead()->m_blocks.GetTail();
    const std::string line = "  123.0  12.345  2.500  1234.5  0";
    ChartViewState view;
    view.currentBlock = live;
    ChartModel m;
    DataSample s = live->m_samples.back();
    for (auto _ : state) {
        s.T += 1.0f;
        live->AppendSample(s, line, false);
        if (state.range(0))
            BuildChartModel(ReadChartInput(doc), view, m);
        else
            m = BuildChartModel(doc, view);
        benchmark::DoNotOptimize(m.y.data());
    }
    modelCounters(state, m);
}
BENCHMARK(BM_LiveAppendThenRebuild)
    ->ArgName("reuse")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
