// Raw-text import of a KOVA capture of 1,000,000 lines: the receiver, the KOVA
// parser and the sample appending together. Goal: at least 1,000,000 lines/s.
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/TextTransfer.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace voltaro;

constexpr int kLines = 1000000;
constexpr int kBlockLines = 5000;  // a header every 5000 lines, charge and discharge

std::string capture() {
    std::string text;
    text.reserve(std::size_t(kLines) * 24);
    int t = 0;
    for (int n = 0; n < kLines; ++n) {
        const int inBlock = n % kBlockLines;
        const bool discharge = (n / kBlockLines) % 2 == 1;
        if (inBlock == 0) {
            text += "*** KOVA Charger v2.10 \"\r\n";
            t = 0;
            continue;
        }
        text += "3:";
        text += std::to_string(t);
        text += ':';
        text += std::to_string(12000 + inBlock % 1500);
        text += discharge ? ":1800-0\r\n" : ":2000 0\r\n";
        t += 2;
    }
    text += '\f';
    return text;
}

void BM_ImportRawText(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("capture.txt"));
    {
        const std::string text = capture();
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(text.data(), qint64(text.size())) != qint64(text.size())) {
            state.SkipWithError("cannot write the capture");
            return;
        }
    }
    ParserList parsers;
    parsers.Add(std::make_unique<CProtParser_Kova>());
    std::size_t blocks = 0;
    for (auto _ : state) {
        CDataModule session(nullptr);
        if (!ImportRawText(session, path, parsers, nullptr, [] { return std::string("t"); })) {
            state.SkipWithError("import failed");
            return;
        }
        blocks = session.m_blocks.GetCount();
        benchmark::DoNotOptimize(blocks);
    }
    if (blocks != kLines / kBlockLines)
        state.SkipWithError("wrong number of blocks");
    state.counters["lines/s"] = benchmark::Counter(double(kLines) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportRawText)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
