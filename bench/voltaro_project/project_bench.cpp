// Project file speed and memory with 1,000,000 samples (20 blocks of 50,000 in
// four sessions, about 108 MB of sample records), against a plain copy of the
// same file. Run with --benchmark_counters_tabular=true.
//
// peak_MB: the growth of the process's peak resident memory while saving or
// loading, read from /proc (Linux); peak_per_sample_bytes relates the growth
// while loading to the sample records.
#include "voltaro/model/ArchiveWriter.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kSessions = 4;
constexpr int kBlocksPerSession = 5;
constexpr int kSamplesPerBlock = 50000;
constexpr double kSampleBytes =
    double(kSessions) * kBlocksPerSession * kSamplesPerBlock * sizeof(voltaro::DataSample);

void fill(voltaro::CMainDoc& doc) {
    for (int s = 0; s < kSessions; ++s) {
        voltaro::CDataModule* session =
            doc.m_sessions.AddTail(std::make_unique<voltaro::CDataModule>(&doc));
        for (int b = 0; b < kBlocksPerSession; ++b) {
            voltaro::CDataBlock* block = session->AddBlock(std::make_unique<voltaro::CDataBlock>());
            block->m_strName = std::to_string(b + 1) + " NiMH C";
            block->m_strInfo = "KOVA v2.10";
            block->m_protocol.assign(2000, 'p');
            for (int k = 0; k < kSamplesPerBlock; ++k) {
                voltaro::DataSample smp;
                smp.T = float(k);
                smp.U = 1.2f + 0.3f * float(std::sin(k * 0.001));
                smp.I = 2.0f;
                smp.R = 0.0f;
                block->AppendSample(smp, "3:125:12450:1500 1.2345 2.000", false);
            }
        }
    }
}

// Values of /proc/self/status in kB, 0 where unknown.
long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(key.size()));
        }
    }
    return 0;
}

// Starts a new peak: the kernel sets the peak resident size to the current one.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Fixture {
    QTemporaryDir dir;
    QString source;
    qint64 size = 0;
    bool ok = false;

    Fixture() {
        source = dir.filePath(QStringLiteral("bench.vtr"));
        voltaro::CMainDoc doc(true);
        fill(doc);
        ok = doc.OnSaveDocument(source);
        size = QFile(source).size();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_SaveProject(benchmark::State& state) {
    Fixture& f = fixture();
    voltaro::CMainDoc doc(true);
    fill(doc);
    const QString target = f.dir.filePath(QStringLiteral("save.vtr"));
    double peakGrowthKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const long before = statusKb("VmRSS");
        resetPeak();
        state.ResumeTiming();
        if (!doc.OnSaveDocument(target)) {
            state.SkipWithError("save failed");
            return;
        }
        state.PauseTiming();
        peakGrowthKb = std::max(peakGrowthKb, double(statusKb("VmHWM") - before));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * f.size);
    state.counters["peak_MB"] = peakGrowthKb / 1024.0;
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same serialisation into memory: the cost of the format without the disk.
void BM_SerializeToMemory(benchmark::State& state) {
    Fixture& f = fixture();
    voltaro::CMainDoc doc(true);
    fill(doc);
    QByteArray bytes;
    bytes.reserve(f.size);
    for (auto _ : state) {
        bytes.resize(0);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        voltaro::ArchiveWriter ar(&buffer);
        doc.Serialize(ar);
        ar.flush();
        benchmark::DoNotOptimize(bytes.size());
    }
    state.SetBytesProcessed(state.iterations() * f.size);
}
BENCHMARK(BM_SerializeToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadProject(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    double peakGrowthKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<voltaro::CMainDoc>(true);
        const long before = statusKb("VmRSS");
        resetPeak();
        state.ResumeTiming();
        if (!doc->OnOpenDocument(f.source)) {
            state.SkipWithError("load failed");
            return;
        }
        state.PauseTiming();
        peakGrowthKb = std::max(peakGrowthKb, double(statusKb("VmHWM") - before));
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * f.size);
    state.counters["peak_MB"] = peakGrowthKb / 1024.0;
    state.counters["peak_per_sample_bytes"] = peakGrowthKb * 1024.0 / kSampleBytes;
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: copying the same file with nothing parsed.
void BM_CopyFile(benchmark::State& state) {
    Fixture& f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("copy.vtr"));
    for (auto _ : state) {
        QFile::remove(target);
        if (!QFile::copy(f.source, target)) {
            state.SkipWithError("copy failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * f.size);
}
BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The copy made durable the way a save is: flushed to the disk before it counts.
void BM_CopyFileSynced(benchmark::State& state) {
    Fixture& f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("copy.vtr"));
    for (auto _ : state) {
        QFile::remove(target);
        QFile out(target);
        if (!QFile::copy(f.source, target) || !out.open(QIODevice::ReadWrite) ||
            ::fsync(out.handle()) != 0) {
            state.SkipWithError("copy failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * f.size);
}
BENCHMARK(BM_CopyFileSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

// A plain read of the whole file into one buffer: the floor for loading.
void BM_ReadFile(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        QFile file(f.source);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("open failed");
            return;
        }
        const QByteArray all = file.readAll();
        benchmark::DoNotOptimize(all.size());
    }
    state.SetBytesProcessed(state.iterations() * f.size);
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
