#pragma once
// A serial port and a timer for reception tests: the port serves queued bytes
// and records what was written; the timer runs only when the test ticks it.

#include "platform/serial/PolledPort.h"
#include "voltaro/reception/DocumentReceiver.h"

#include <deque>
#include <string>
#include <vector>

namespace voltaro::testing {

class FakePort : public platform::PolledPort {
public:
    platform::PortOpenResult open(const QString& name,
                                  const platform::PortSettings& settings) override {
        opened.push_back(name);
        lastSettings = settings;
        if (openResult != platform::PortOpenResult::Ok)
            return {openResult, QStringLiteral("refused")};
        open_ = true;
        return {platform::PortOpenResult::Ok, {}};
    }
    void close() override {
        if (open_)
            ++closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    qint64 bytesWaiting() override {
        if (!open_ || broken)
            return -1;
        return static_cast<qint64>(incoming.size());
    }
    bool readByte(std::uint8_t& c) override {
        if (!open_ || incoming.empty())
            return false;
        c = static_cast<std::uint8_t>(incoming.front());
        incoming.pop_front();
        return true;
    }
    int write(std::span<const std::uint8_t> bytes) override {
        if (!open_ || refuseWrites)
            return 0;
        written.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return static_cast<int>(bytes.size());
    }

    void send(std::string_view bytes) {
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }

    platform::PortOpenResult::Status openResult = platform::PortOpenResult::Ok;
    bool broken = false;
    bool refuseWrites = false;
    std::deque<char> incoming;
    std::string written;
    std::vector<QString> opened;
    platform::PortSettings lastSettings;
    int closes = 0;

private:
    bool open_ = false;
};

class FakeTimer : public ReceiverTimer {
public:
    bool start(int intervalMs, std::function<void()> t) override {
        if (refuseStart)
            return false;
        interval = intervalMs;
        tick = std::move(t);
        active = true;
        ++starts;
        return true;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    // One timer tick, as the event loop would deliver it.
    void fire() {
        if (active && tick)
            tick();
    }

    bool active = false;
    bool refuseStart = false;
    int interval = 0;
    int starts = 0;
    std::function<void()> tick;
};

}  // namespace voltaro::testing
