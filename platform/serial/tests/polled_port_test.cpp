// The polled port over a serial channel: delivered bytes wait in order until
// read, a closed or broken line reads as -1, settings and answers pass through.
// First over a scripted channel, then over the real port on a pseudo-terminal.

#include "platform/serial/PolledPort.h"
#include "platform/serial/PseudoTerminal.h"
#include "platform/testing/ChildProcess.h"

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using platform::PolledSerialPort;
using platform::PortOpenResult;
using platform::PortSettings;
using platform::PseudoTerminal;
using platform::testing::waitUntil;
using Bytes = std::vector<std::uint8_t>;

Bytes bytes(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

class ScriptedChannel : public platform::SerialChannel {
public:
    PortOpenResult answer{PortOpenResult::Ok, {}};
    QString openedName;
    PortSettings openedWith;
    Bytes written;
    Bytes held;  // what the system holds until readPending() takes it in
    int pendingReads = 0;

    PortOpenResult open(const QString& name, const PortSettings& s) override {
        openedName = name;
        openedWith = s;
        open_ = answer.ok();
        return answer;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    int write(std::span<const std::uint8_t> b) override {
        if (!open_)
            return 0;
        written.insert(written.end(), b.begin(), b.end());
        return int(b.size());
    }
    void readPending() override {
        ++pendingReads;
        const Bytes b = std::exchange(held, {});
        if (!b.empty())
            deliver(b);
    }

    void arrive(std::string_view s) { deliver(bytes(s)); }
    void breakLine() {
        open_ = false;  // as the serial port does: closed, then reported
        fail(QStringLiteral("The serial line was lost (read error)."));
    }

private:
    bool open_ = false;
};

Bytes readAll(platform::PolledPort& port) {
    Bytes got;
    std::uint8_t c = 0;
    while (port.readByte(c))
        got.push_back(c);
    return got;
}

TEST(PolledPortTest, DeliveredBytesWaitInOrderUntilRead) {
    ScriptedChannel channel;
    PolledSerialPort port(channel);
    ASSERT_TRUE(port.open(QStringLiteral("COM3"), {}).ok());
    channel.arrive("12.5V");
    channel.arrive(std::string_view("\0\xFF\r\n\x11\x13", 6));
    EXPECT_EQ(port.bytesWaiting(), 11);
    std::uint8_t c = 0;
    ASSERT_TRUE(port.readByte(c));
    EXPECT_EQ(c, '1');
    EXPECT_EQ(port.bytesWaiting(), 10);
    channel.arrive("A");  // more while some wait: behind them
    EXPECT_EQ(readAll(port), bytes(std::string_view("2.5V\0\xFF\r\n\x11\x13"
                                                    "A",
                                                    11)));
    EXPECT_EQ(port.bytesWaiting(), 0);
    EXPECT_FALSE(port.readByte(c));
}

TEST(PolledPortTest, OpenPassesNameAndSettingsAndReturnsTheChannelsAnswer) {
    PortSettings settings;
    settings.BaudRate = 19200;
    settings.DataBits = 7;
    settings.ParityMode = PortSettings::Parity::Even;
    settings.FlowControl = PortSettings::Flow::Hardware;
    settings.ReceiveQueue = 4096;
    settings.RefusedSettingFails = true;
    const PortOpenResult answers[] = {
        {PortOpenResult::Ok, {}},
        {PortOpenResult::OpenFailed, QStringLiteral("Permission denied"), EACCES},
        {PortOpenResult::SetupFailed, QStringLiteral("Invalid data bits")}};
    for (const PortOpenResult& answer : answers) {
        ScriptedChannel channel;
        channel.answer = answer;
        PolledSerialPort port(channel);
        const PortOpenResult r = port.open(QStringLiteral("/dev/ttyUSB1"), settings);
        EXPECT_EQ(channel.openedName, QStringLiteral("/dev/ttyUSB1"));
        EXPECT_EQ(channel.openedWith, settings);
        EXPECT_EQ(r.status, answer.status);
        EXPECT_EQ(r.detail, answer.detail);
        EXPECT_EQ(r.systemError, answer.systemError);
        EXPECT_EQ(port.isOpen(), answer.ok());
        EXPECT_EQ(port.bytesWaiting(), answer.ok() ? 0 : -1);
    }
}

TEST(PolledPortTest, ClosedOrBrokenLineReadsAsMinusOneAndAReopenStartsEmpty) {
    ScriptedChannel channel;
    PolledSerialPort port(channel);
    EXPECT_EQ(port.bytesWaiting(), -1);  // never opened
    ASSERT_TRUE(port.open(QStringLiteral("COM1"), {}).ok());
    channel.arrive("abc");
    channel.breakLine();
    // The port stays open for its user, who closes it; until then nothing counts.
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), -1);
    EXPECT_EQ(port.bytesWaiting(), -1);
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), -1);

    ASSERT_TRUE(port.open(QStringLiteral("COM1"), {}).ok());
    EXPECT_EQ(port.bytesWaiting(), 0);  // neither the break nor the old bytes remain
    std::uint8_t c = 0;
    EXPECT_FALSE(port.readByte(c));
    channel.arrive("d");
    port.close();
    EXPECT_FALSE(port.readByte(c));  // closing drops what was not read
}

TEST(PolledPortTest, TakeInPendingAsksTheChannelOnlyWhileTheLineIsUp) {
    ScriptedChannel channel;
    PolledSerialPort port(channel);
    channel.held = bytes("x");
    port.takeInPending();
    EXPECT_EQ(channel.pendingReads, 0);  // closed
    ASSERT_TRUE(port.open(QStringLiteral("COM1"), {}).ok());
    channel.arrive("ab");
    channel.held = bytes("cd");
    port.takeInPending();
    EXPECT_EQ(channel.pendingReads, 1);
    EXPECT_EQ(port.bytesWaiting(), 4);
    EXPECT_EQ(readAll(port), bytes("abcd"));
    channel.breakLine();
    port.takeInPending();
    EXPECT_EQ(channel.pendingReads, 1);
}

TEST(PolledPortTest, WritesReachTheChannelOnlyWhileOpen) {
    ScriptedChannel channel;
    PolledSerialPort port(channel);
    const Bytes request = bytes("U");
    EXPECT_EQ(port.write(request), 0);
    ASSERT_TRUE(port.open(QStringLiteral("COM1"), {}).ok());
    EXPECT_EQ(port.write(request), 1);
    port.close();
    EXPECT_EQ(port.write(request), 0);
    EXPECT_EQ(channel.written, request);
}

// Over the real serial port on a pseudo-terminal.

TEST(PolledSerialPortTest, BytesFromTheLineArriveThroughTheEventLoopInOrder) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.create()) << pty.errorText().toStdString();
    PolledSerialPort port;
    const auto r = port.open(pty.devicePath(), {});
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    const Bytes in = {'B', 'a', 't', 0x00, 0xFF, 0x0D, 0x0A, 0x11, 0x13, 0x0C};
    ASSERT_TRUE(pty.writeAll(in));
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() >= qint64(in.size()); }));
    EXPECT_EQ(readAll(port), in);  // raw: nothing translated or swallowed
    const Bytes out = bytes("U");
    EXPECT_EQ(port.write(out), 1);
    Bytes got;
    QDeadlineTimer deadline(5000);
    while (got.empty() && !deadline.hasExpired())
        got = pty.read(50);
    EXPECT_EQ(got, out);
}

TEST(PolledSerialPortTest, TakeInPendingReadsWhatTheSystemHoldsWithoutTheEventLoop) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.create());
    PolledSerialPort port;
    ASSERT_TRUE(port.open(pty.devicePath(), {}).ok());
    const Bytes in = bytes("Ende\f");
    ASSERT_TRUE(pty.writeAll(in));
    // No event is processed here: only takeInPending() can bring the bytes in.
    QDeadlineTimer deadline(5000);
    while (port.bytesWaiting() < qint64(in.size()) && !deadline.hasExpired()) {
        port.takeInPending();
        ::usleep(1000);
    }
    EXPECT_EQ(readAll(port), in);
    EXPECT_EQ(port.bytesWaiting(), 0);  // the zero wait's time-out is no line failure
}

TEST(PolledSerialPortTest, HangUpReadsAsMinusOneUntilClosed) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.create());
    PolledSerialPort port;
    ASSERT_TRUE(port.open(pty.devicePath(), {}).ok());
    pty.hangUp();
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == -1; }));
    EXPECT_TRUE(port.isOpen());
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), -1);
}

// A pseudo-terminal refuses data bits other than 8 and parity checks: the
// system's refusal. Bits outside 5..8 are refused before the system is asked.
TEST(PolledSerialPortTest, ARefusedSettingFailsTheOpenOnlyWhenTheSettingsSaySo) {
    struct Case {
        int dataBits;
        PortSettings::Parity parity;
        bool refusalFails;
        PortOpenResult::Status status;
        QString detail;  // empty: the system's reason, whatever its words
    };
    const Case cases[] = {
        {7, PortSettings::Parity::None, true, PortOpenResult::SetupFailed, {}},
        {8, PortSettings::Parity::Even, true, PortOpenResult::SetupFailed, {}},
        {9, PortSettings::Parity::None, true, PortOpenResult::SetupFailed,
         QStringLiteral("Invalid data bits")},
        {4, PortSettings::Parity::None, true, PortOpenResult::SetupFailed,
         QStringLiteral("Invalid data bits")},
        {7, PortSettings::Parity::None, false, PortOpenResult::Ok, {}},
        {8, PortSettings::Parity::Even, false, PortOpenResult::Ok, {}},
        {9, PortSettings::Parity::None, false, PortOpenResult::Ok, {}},
        {8, PortSettings::Parity::None, true, PortOpenResult::Ok, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dataBits << " bits, parity " << int(c.parity) << ", "
                                        << (c.refusalFails ? "strict" : "lenient"));
        PseudoTerminal pty;
        ASSERT_TRUE(pty.create());
        PortSettings s;
        s.BaudRate = 4800;
        s.DataBits = c.dataBits;
        s.ParityMode = c.parity;
        s.Stop = PortSettings::StopBits::Two;  // later settings: still made when lenient
        s.FlowControl = PortSettings::Flow::Software;
        s.RefusedSettingFails = c.refusalFails;
        PolledSerialPort port;
        const PortOpenResult r = port.open(pty.devicePath(), s);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(port.isOpen(), r.ok());
        if (!r.ok()) {
            EXPECT_FALSE(r.detail.isEmpty());
            if (!c.detail.isEmpty()) {
                EXPECT_EQ(r.detail, c.detail);
            }
            // Given up for good: the device is free for the next open.
            EXPECT_TRUE(port.open(pty.devicePath(), {}).ok());
            continue;
        }
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.fd(), &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), speed_t(B4800));
        EXPECT_NE(t.c_cflag & CSTOPB, tcflag_t(0));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    }
}

}  // namespace
