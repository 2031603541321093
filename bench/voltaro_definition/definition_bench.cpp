// A charger described by a definition file: data lines through the parser alone
// (regular expressions, column reading, two formulas per line) and a capture of
// 100,000 lines through the receiver behind the KOVA parser. Goal: at least
// 100,000 lines/s, so a long offline download reads in about a second.
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/CProtParser_Regexp.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/Receiver.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace voltaro;

const char* const kDefinition =
    "TITLE = Mercury 4\n"
    "HEAD = ^MERCURY4;START;CH(\\d);(\\w+);(\\d+S)?;(\\w+)\n"
    "HEAD_IX_NAME = 4\nHEAD_IX_BATT = 2\n"
    "BATT1_IF = ^LiPo$\nBATT1_THEN = LiPo\n"
    "DATA = ^MERCURY4;DATA;CH(\\d);(\\d+);(\\d+);(-?\\d+);(-?[\\d.]+)\n"
    "DATA_IX_T = 2\nDATA_IX_U = 3\nDATA_IX_I = 4\n"
    "DATA_EXPRESSION_U = u/1000\nDATA_EXPRESSION_I = abs(i)/1000\n"
    "IGNORE1 = ^MERCURY4;STATUS;\nIGNORE2 = ^\\s*$\nIGNORE3 = ^MERCURY4;END;\n"
    "ENDSESSION = ^MERCURY4;LINK;CLOSED\n";

std::unique_ptr<CProtParser_Regexp> makeParser() {
    auto parser = std::make_unique<CProtParser_Regexp>([] { return qint64(0); });
    if (!parser->LoadDefinitionText(kDefinition, QStringLiteral("Mercury4.rxp")))
        std::abort();
    return parser;
}

void BM_ParseDataLine(benchmark::State& state) {
    const auto parser = makeParser();
    CDataBlock block;
    DataSample sample;
    const std::string line = "MERCURY4;DATA;CH1;1234;11521;-1984;24.5";
    for (auto _ : state) {
        const int flags = parser->ParseData(block, line, true, &sample);
        benchmark::DoNotOptimize(flags);
        benchmark::DoNotOptimize(sample.I);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["lines/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseDataLine);

std::string capture(int lines) {
    std::string text;
    int t = 0;
    for (int n = 0; n < lines; ++n) {
        if (n % 2000 == 0) {
            text += "MERCURY4;START;CH1;LiPo;3S;CHARGE\r\n";
            t = 0;
        } else if (n % 97 == 0) {
            text += "MERCURY4;STATUS;CH1;BALANCING\r\n";
        } else {
            text += "MERCURY4;DATA;CH1;" + std::to_string(t) + ';' +
                    std::to_string(11200 + n % 900) + ";2000;24.5\r\n";
            t += 2;
        }
    }
    text += "MERCURY4;LINK;CLOSED\r\n";
    return text;
}

void BM_ReceiveCapture(benchmark::State& state) {
    const int lines = 100000;
    const std::string text = capture(lines);
    for (auto _ : state) {
        ParserList parsers;
        parsers.Add(std::make_unique<CProtParser_Kova>());
        parsers.Add(makeParser());
        ReceiverState receiver;
        Receiver r(receiver, parsers, [] { return std::string("11.12.2026 12:00:00"); });
        for (char c : text)
            if (r.PutChar(static_cast<unsigned char>(c)) == 0)
                break;
        if (!receiver.m_pSession || receiver.m_pSession->m_blocks.GetCount() != 50)
            std::abort();
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines/s"] =
        benchmark::Counter(double(state.iterations()) * lines, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceiveCapture)->Unit(benchmark::kMillisecond);

}  // namespace
