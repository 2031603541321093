// Data file speed on the logger's whole memory: one block of 135,000 voltage and
// current samples. Bytes processed are bytes of file text.
#include "orlo/data/TDataBlock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

constexpr int kSamples = 135000;

orlo::TDataBlock flightBlock() {
    orlo::TDataBlock b;
    b.DateText = "11.12.2026 10:15:02";
    b.Interval = 5;
    b.ChannelMask = 0xC000;
    b.CurrentZero = 2048;
    b.CurrentScale = 100;
    b.VoltageScale = 123;
    b.CurrentMode = 200;
    for (int k = 0; k < kSamples; ++k) {
        b.Time.push_back(orlo::SampleTime(k, b.Interval));
        b.Voltage.push_back(12.6 - 1.4 * k / kSamples + 0.05 * std::sin(k * 0.37));
        b.Current.push_back(24.0 + 9.0 * std::sin(k * 0.011) + 0.3 * std::cos(k * 1.3));
    }
    orlo::ComputeBlockStatistics(b, kSamples);
    return b;
}

void BM_ReadAndStatistics(benchmark::State& state) {
    const std::string text = orlo::DataFileText(flightBlock());
    for (auto _ : state) {
        orlo::TDataBlock b;
        const auto r = orlo::ReadDataBytes(text, b);
        benchmark::DoNotOptimize(r.Count);
        benchmark::DoNotOptimize(b.BlockE);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadAndStatistics)->Unit(benchmark::kMillisecond);

void BM_ReadFileAndStatistics(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.orl"));
    const orlo::TDataBlock source = flightBlock();
    if (!orlo::WriteDataFile(path, source).Ok) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    const auto size = QFile(path).size();
    for (auto _ : state) {
        orlo::TDataBlock b;
        const auto r = orlo::ReadDataFile(path, b);
        benchmark::DoNotOptimize(r.Count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_ReadFileAndStatistics)->Unit(benchmark::kMillisecond);

void BM_WriteText(benchmark::State& state) {
    const orlo::TDataBlock b = flightBlock();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string text = orlo::DataFileText(b);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}
BENCHMARK(BM_WriteText)->Unit(benchmark::kMillisecond);

void BM_WriteFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.orl"));
    const orlo::TDataBlock b = flightBlock();
    for (auto _ : state) {
        if (!orlo::WriteDataFile(path, b).Ok) {
            state.SkipWithError("write failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * QFile(path).size());
}
BENCHMARK(BM_WriteFile)->Unit(benchmark::kMillisecond);

}  // namespace
