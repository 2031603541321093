// Appending samples as the receiver does, and the scans the graph runs over a block.
#include "voltaro/model/CDataBlock.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using voltaro::CDataBlock;
using voltaro::DataSample;

void fill(CDataBlock& block, int n) {
    DataSample s;
    const std::string line = "  123.0  12.345  2.500  1234.5  0";
    for (int i = 0; i < n; ++i) {
        s.T = static_cast<float>(i);
        s.U = 10.0f + static_cast<float>(i % 1000) * 0.001f;
        s.I = 2.5f;
        block.AppendSample(s, line, false);
    }
}

void BM_AppendSample(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CDataBlock block;
        fill(block, n);
        benchmark::DoNotOptimize(block.m_samples.back().E);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetBytesProcessed(state.iterations() * n * static_cast<int64_t>(sizeof(DataSample)));
}
BENCHMARK(BM_AppendSample)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_MaxUIndex(benchmark::State& state) {
    CDataBlock block;
    fill(block, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        block.m_nMaxUIndex = -1;
        benchmark::DoNotOptimize(block.GetMaxUIndex());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MaxUIndex)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The cursor looks up the sample under the mouse; the worst case is the block's end.
void BM_IndexAtTimeAtTheEnd(benchmark::State& state) {
    CDataBlock block;
    fill(block, static_cast<int>(state.range(0)));
    const float t = block.GetDuration();
    for (auto _ : state) {
        int index = 0;
        benchmark::DoNotOptimize(block.IndexAtTime(t, &index));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IndexAtTimeAtTheEnd)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
