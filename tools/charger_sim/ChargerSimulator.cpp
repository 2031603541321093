#include "ChargerSimulator.h"

#include <cmath>
#include <cstdio>

namespace charger_sim {

std::vector<std::string> SessionOutput(const SimulatorOptions& o) {
    std::vector<std::string> out;
    int n = 0;
    for (const std::string& source : o.Lines) {
        if (o.SilenceAfter >= 0 && n >= o.SilenceAfter)
            return out;  // silent for good: no form feed either
        ++n;
        std::string line = source;
        if (o.PartialEvery > 0 && n % o.PartialEvery == 0)
            line.resize(line.size() / 2);
        if (o.LongEvery > 0 && n % o.LongEvery == 0 && line.size() < 200)
            line.append(200 - line.size(), '=');
        out.push_back(line + "\r\n");
        if (o.GarbageEvery > 0 && n % o.GarbageEvery == 0)
            out.push_back("#@!~ line noise ~!@#\r\n");
    }
    if (o.FormFeed)
        out.push_back("\f");
    return out;
}

ChargerSimulator::ChargerSimulator(SimulatorOptions options, platform::Clock clock)
    : o_(std::move(options)), clock_(std::move(clock)) {}

void ChargerSimulator::queueSession() {
    for (std::string& line : SessionOutput(o_))
        out_.push_back(std::move(line));
    announce_ = true;
}

bool ChargerSimulator::flush() {
    while (!out_.empty()) {
        const std::int64_t now = clock_();
        if (partDone_ == 0 && now < nextLineAt_)
            return true;
        const std::string& line = out_.front();
        const std::ptrdiff_t w =
            pty_.writeSome({reinterpret_cast<const std::uint8_t*>(line.data()) + partDone_,
                            line.size() - partDone_});
        if (w < 0)
            return false;
        partDone_ += std::size_t(w);
        if (partDone_ < line.size())
            return true;
        out_.pop_front();
        partDone_ = 0;
        if (o_.LinesPerSecond > 0)
            nextLineAt_ = now + std::int64_t(std::lround(1000.0 / o_.LinesPerSecond));
    }
    if (announce_) {
        announce_ = false;
        pty_.drain();
        std::printf("sent %d\n", ++sessions_);
        std::fflush(stdout);
    }
    return true;
}

int ChargerSimulator::run() {
    pty_.holdLineOpen();
    std::printf("%s\n", pty_.devicePath().toLocal8Bit().constData());
    std::fflush(stdout);
    if (!o_.Offline) {
        nextLineAt_ = clock_() + o_.StartDelayMs;
        queueSession();
    }
    for (;;) {
        int wait = 200;
        if (!out_.empty())
            wait = o_.LinesPerSecond > 0 || o_.StartDelayMs > 0 ? 2 : 10;
        for (std::uint8_t c : pty_.read(wait, !out_.empty())) {
            if (o_.Offline && c == 'U')
                queueSession();
        }
        if (!flush()) {
            pty_.hangUp();
            return 0;
        }
    }
}

}  // namespace charger_sim
