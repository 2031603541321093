// Decoding a full logger memory and downloading one through the simulator, in bytes
// per second. The line carries 5760 bytes a second at 57600 baud; the program
// should never be what a download waits for (the goal is 20 times that).
#include "orlo/device/MemoryDownload.h"
#include "orlo/device/MemoryImageBuilder.h"
#include "orlo/device/OrloLink.h"
#include "orlo/device/OrloSession.h"
#include "platform/serial/SerialPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace orlo;

constexpr double kLineRate = 5760.0;  // bytes per second at 57600 baud, 8N1

// Ten blocks of three channels filling the logger's 540000 bytes.
std::vector<std::uint8_t> fullReply() {
    std::vector<TBlockSpec> specs(10, TBlockSpec{5, 0xE000, 2048, 100, 100, 0, 0, 8990});
    return BuildMemoryReply(specs);
}

void BM_DecodeFullMemory(benchmark::State& state) {
    const auto reply = fullReply();
    TOrloMemory memory;
    for (auto _ : state) {
        const TDecodeResult r = DecodeMemoryReply(reply, memory);
        int samples = 0;
        for (int b = 0; b < r.Blocks; ++b) {
            TDataBlock block;
            samples += memory.BlockToRecord(b, block, "d", nullptr);
        }
        benchmark::DoNotOptimize(samples);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(reply.size()));
    state.counters["times_line_rate"] = benchmark::Counter(
        double(reply.size()) / kLineRate, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DecodeFullMemory)->Unit(benchmark::kMillisecond);

class Quiet : public OrloLinkEvents {
public:
    int SendBytes(std::span<const std::uint8_t> b) override { return int(b.size()); }
};

// The link machine alone, fed in the pieces a port delivers.
void BM_LinkFeed(benchmark::State& state) {
    std::vector<std::uint8_t> stream = {'*', 'D'};
    const auto reply = fullReply();
    stream.insert(stream.end(), reply.begin(), reply.end());
    const std::size_t piece = std::size_t(state.range(0));
    for (auto _ : state) {
        Quiet events;
        OrloLink link(events);
        link.Opened(0);
        for (std::size_t at = 0; at < stream.size(); at += piece)
            link.Feed(std::span(stream).subspan(at, std::min(piece, stream.size() - at)), 0);
        if (link.Memory.BlockCount() != 10)
            state.SkipWithError("the download did not split into ten blocks");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(stream.size()));
}
BENCHMARK(BM_LinkFeed)->Arg(64)->Arg(4096)->Unit(benchmark::kMillisecond);

#ifdef ORLO_SIM_PATH
class Done : public OrloLinkEvents {
public:
    bool ended = false;
    int blocks = -1;
    int SendBytes(std::span<const std::uint8_t>) override { return 0; }
    void DownloadSplit(int n) override { blocks = n; }
    void LinkEnded() override { ended = true; }
};

// The whole path: simulator on a pseudo-terminal, serial adapter, session, link.
void BM_SimulatorDownload(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    QProcess sim;
    sim.start(QStringLiteral(ORLO_SIM_PATH),
              {"--blocks", "10", "--samples", "8990", "--mask", "0xE000"});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(10000)) {
        state.SkipWithError("orlo-sim did not start");
        return;
    }
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const std::int64_t bytes = std::int64_t(fullReply().size());
    for (auto _ : state) {
        platform::SerialPort port;
        Done events;
        OrloSession session(port, events);
        QString status;
        if (!session.Connect(path, status)) {
            state.SkipWithError(qPrintable(status));
            break;
        }
        QDeadlineTimer deadline(60000);
        while (!events.ended && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (events.blocks != 10) {
            state.SkipWithError("the download did not bring ten blocks");
            break;
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * bytes);
    state.counters["times_line_rate"] = benchmark::Counter(
        double(bytes) / kLineRate, benchmark::Counter::kIsIterationInvariantRate);
    sim.kill();
    sim.waitForFinished(5000);
}
BENCHMARK(BM_SimulatorDownload)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
