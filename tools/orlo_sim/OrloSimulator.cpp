#include "OrloSimulator.h"

#include "orlo/device/OrloProtocol.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>

namespace orlo {

TConfigImage DefaultSimulatorConfig() {
    TConfigImage c{};
    for (int i = 0; i < ConfigSize; ++i)
        c[std::size_t(i)] = std::uint8_t((i * 31 + 7) & 0x7F);  // bytes nobody interprets
    for (int b = cfg::FirstChannel; b <= cfg::LastChannel; ++b)
        c[std::size_t(b)] = 0;
    c[cfg::Altitude] = 1;
    c[cfg::RxLength] = 1;
    SetConfigWord(c, cfg::Interval, 100);
    c[cfg::StartMode] = 3;
    c[cfg::FinishMode] = 0;
    SetConfigWord(c, cfg::StartDelay, 10);
    SetConfigWord(c, cfg::StartAltitude, 50);
    SetConfigWord(c, cfg::FinishTime, 5);
    SetConfigWord(c, cfg::Threshold, 959);
    SetConfigWord(c, cfg::Number1, 1);
    SetConfigWord(c, cfg::Number2, 2);
    SetConfigWord(c, cfg::Number3, 3);
    return c;
}

OrloSimulator::OrloSimulator(SimulatorOptions options, platform::Clock clock)
    : o_(std::move(options)), clock_(std::move(clock)) {}

std::vector<std::uint8_t> OrloSimulator::garbage() const {
    static const std::uint8_t noise[] = {'x', 0x00, 'Q', 0x55, 0x13, 'z', 0xFE, 0x11};
    std::vector<std::uint8_t> g;
    for (int i = 0; i < o_.Garbage; ++i)
        g.push_back(noise[i % int(sizeof noise)]);
    return g;
}

void OrloSimulator::queue(std::vector<std::uint8_t> bytes, std::int64_t delayMs, bool hangUp) {
    out_.push_back({std::move(bytes), clock_() + delayMs, hangUp});
}

void OrloSimulator::command(std::uint8_t c) {
    if (writing_ >= 0) {
        incoming_[std::size_t(writing_++)] = c;
        if (writing_ == ConfigSize) {
            o_.Config = incoming_;
            writing_ = -1;
            if (o_.Verbose)
                std::fprintf(stderr, "orlo-sim: configuration written\n");
        }
        return;
    }
    if (o_.Verbose)
        std::fprintf(stderr, "orlo-sim: command 0x%02X\n", c);
    if (std::find(o_.Ignored.begin(), o_.Ignored.end(), c) != o_.Ignored.end())
        return;
    switch (c) {
        case CmdHello:
            for (int i = 0; i < o_.HelloRepeat; ++i) {
                auto b = garbage();
                b.push_back(CmdHello);
                queue(std::move(b));
            }
            break;
        case CmdReadMemory: {
            auto b = garbage();
            b.push_back(CmdReadMemory);
            std::vector<std::uint8_t> mem = o_.Memory;
            if (o_.BadChecksum && !mem.empty())
                mem.back() ^= 0x5A;
            bool hangUp = false;
            if (o_.HangUpAfter >= 0 && std::size_t(o_.HangUpAfter) < mem.size()) {
                mem.resize(std::size_t(o_.HangUpAfter));
                hangUp = true;
            } else if (o_.StallAfter >= 0 && std::size_t(o_.StallAfter) < mem.size()) {
                mem.resize(std::size_t(o_.StallAfter));
            }
            b.insert(b.end(), mem.begin(), mem.end());
            queue(std::move(b), 0, hangUp);
            break;
        }
        case CmdReadConfig: {
            auto b = garbage();
            b.push_back(CmdReadConfig);
            TConfigImage rec = o_.Config;
            if (o_.VerifyDiffers)
                rec[200] ^= 0x01;
            b.insert(b.end(), rec.begin(), rec.end());
            std::uint8_t x = XorChecksum(rec);
            if (o_.BadConfigChecksum)
                x ^= 0x01;
            b.push_back(x);
            queue(std::move(b));
            break;
        }
        case CmdWriteConfig:
            writing_ = 0;
            break;
        case CmdErase:
            queue({CmdErase});
            queue({o_.EraseAnswer}, o_.EraseDelayMs);
            // What is erased is gone: from now on the memory holds only the terminator.
            o_.Memory = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
            break;
        default:
            break;  // the logger ignores what it does not know
    }
}

bool OrloSimulator::flush() {
    while (!out_.empty()) {
        Chunk& ch = out_.front();
        const std::int64_t now = clock_();
        if (ch.notBefore > now)
            return true;
        std::size_t n = ch.bytes.size();
        if (o_.Paced) {
            // 5760 bytes a second: what the line has carried since the last write.
            // An idle line banks nothing, so a reply never starts with a burst.
            if (pacedBudgetAt_ == 0)
                pacedBudgetAt_ = now;
            const std::int64_t elapsed = std::min<std::int64_t>(now - pacedBudgetAt_, 20);
            const std::int64_t budget = elapsed * 5760 / 1000;
            if (budget < 1)
                return true;
            n = std::min<std::size_t>(n, std::size_t(budget));
            pacedBudgetAt_ = now;
        }
        const std::ptrdiff_t w = pty_.writeSome({ch.bytes.data(), n});
        if (w < 0)
            return false;
        ch.bytes.erase(ch.bytes.begin(), ch.bytes.begin() + w);
        if (ch.bytes.empty()) {
            const bool hangUp = ch.hangUpAfter;
            out_.pop_front();
            if (hangUp) {
                pty_.drain();
                return false;
            }
        } else {
            return true;
        }
    }
    return true;
}

int OrloSimulator::run() {
    pty_.holdLineOpen();
    std::printf("%s\n", pty_.devicePath().toLocal8Bit().constData());
    std::fflush(stdout);
    for (;;) {
        const int wait = out_.empty() ? 200 : (o_.Paced ? 5 : 10);
        for (std::uint8_t c : pty_.read(wait, !out_.empty()))
            command(c);
        if (!flush()) {
            if (o_.Verbose)
                std::fprintf(stderr, "orlo-sim: hanging up\n");
            pty_.hangUp();
            return 0;
        }
    }
}

}  // namespace orlo
