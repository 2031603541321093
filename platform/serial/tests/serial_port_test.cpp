#include "platform/serial/PseudoTerminal.h"
#include "platform/serial/SerialPort.h"
#include "platform/testing/ChildProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

namespace {

using platform::PortOpenResult;
using platform::PortSettings;
using platform::PseudoTerminal;
using platform::SerialPort;
using platform::testing::waitUntil;

// A logger link's line: fixed, modem lines off, purged, refusals passed over.
PortSettings loggerLine() {
    PortSettings s;
    s.BaudRate = 57600;
    s.Dtr = false;
    s.Rts = false;
    s.ReceiveQueue = 600000;
    s.PurgeOnOpen = true;
    s.RefusedSettingFails = false;
    return s;
}

std::vector<std::uint8_t> readAtLeast(PseudoTerminal& pty, std::size_t n) {
    std::vector<std::uint8_t> got;
    QDeadlineTimer deadline(5000);
    while (got.size() < n && !deadline.hasExpired()) {
        const auto part = pty.read(50);
        got.insert(got.end(), part.begin(), part.end());
    }
    return got;
}

TEST(SerialPortTest, OpenFailureTextsCarryErrorNumberAndPort) {
    struct Case {
        QSerialPort::SerialPortError error;
        int expected;
    };
    const Case cases[] = {{QSerialPort::DeviceNotFoundError, ENOENT},
                          {QSerialPort::PermissionError, EACCES},
                          {QSerialPort::OpenError, EBUSY},
                          {QSerialPort::UnknownError, EIO}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::systemErrorFor(c.error), c.expected);
    EXPECT_EQ(platform::openFailureText(2, QStringLiteral("COM1")),
              QStringLiteral("CreateFile failed with error 2  ,COM1.\r\n"));
}

TEST(SerialPortTest, MissingDeviceFailsWithTheSystemsReasonAndErrorNumber) {
    SerialPort port;
    const QString path = QStringLiteral("/dev/orlo-no-such-port");
    const auto r = port.open(path, loggerLine());
    EXPECT_EQ(r.status, PortOpenResult::OpenFailed);
    EXPECT_FALSE(r.detail.isEmpty());
    EXPECT_EQ(r.systemError, ENOENT);
    EXPECT_EQ(platform::openFailureText(r.systemError, path),
              QStringLiteral("CreateFile failed with error %1  ,/dev/orlo-no-such-port.\r\n")
                  .arg(ENOENT));
    EXPECT_FALSE(port.isOpen());
    const std::uint8_t star = '*';
    EXPECT_EQ(port.write({&star, 1}), 0);
}

TEST(SerialPortTest, OpensPseudoTerminalWithLineSettingsAndMovesBytesBothWays) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.create()) << pty.errorText().toStdString();
    SerialPort port;
    std::vector<std::uint8_t> received;
    port.setReceiver([&](std::span<const std::uint8_t> b) {
        received.insert(received.end(), b.begin(), b.end());
    });
    const auto r = port.open(pty.devicePath(), loggerLine());
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    ASSERT_TRUE(port.isOpen());

    termios t{};
    ASSERT_EQ(::tcgetattr(pty.fd(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), speed_t(B57600));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(0));

    const std::vector<std::uint8_t> out = {'*', 0x00, 0xFF, 'D'};
    EXPECT_EQ(port.write(out), 4);
    EXPECT_EQ(readAtLeast(pty, 4), out);

    const std::vector<std::uint8_t> in = {'*', 0xFF, 0x00, 0x0D, 0x0A, 0x11, 0x13};
    ASSERT_TRUE(pty.writeAll(in));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= in.size(); }));
    EXPECT_EQ(received, in);  // raw: no CR/LF translation, no XON/XOFF swallowed
    port.close();
    EXPECT_FALSE(port.isOpen());
}

// A pseudo-terminal keeps 8 data bits and no parity whatever it is told (see the
// polled port's tests for that refusal), so those stay at 8N here.
TEST(SerialPortTest, LineSettingsGivenAtOpenReachTheLine) {
    struct Case {
        qint32 baud;
        speed_t speed;
        PortSettings::StopBits stop;
        PortSettings::Flow flow;
    };
    const Case cases[] = {
        {9600, B9600, PortSettings::StopBits::Two, PortSettings::Flow::Software},
        {19200, B19200, PortSettings::StopBits::One, PortSettings::Flow::Hardware},
        {115200, B115200, PortSettings::StopBits::Two, PortSettings::Flow::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        PseudoTerminal pty;
        ASSERT_TRUE(pty.create());
        PortSettings s;
        s.BaudRate = c.baud;
        s.Stop = c.stop;
        s.FlowControl = c.flow;
        SerialPort port;
        const auto r = port.open(pty.devicePath(), s);
        ASSERT_TRUE(r.ok()) << r.detail.toStdString();
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.fd(), &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), c.speed);
        EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.stop == PortSettings::StopBits::Two);
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.flow == PortSettings::Flow::Hardware);
        EXPECT_EQ((t.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF),
                  c.flow == PortSettings::Flow::Software);
    }
}

TEST(SerialPortTest, PurgeOnOpenDropsWhatTheSystemHeldBeforeAndOnlyThen) {
    for (const bool purge : {true, false}) {
        SCOPED_TRACE(purge);
        PseudoTerminal pty;
        ASSERT_TRUE(pty.create());
        // Our own opening of the device lets the stale bytes wait there, unread.
        const int held =
            ::open(pty.devicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(held, 0);
        ASSERT_TRUE(pty.writeAll(std::vector<std::uint8_t>{'o', 'l', 'd'}));
        int queued = 0;
        QDeadlineTimer deadline(5000);
        while (queued < 3 && !deadline.hasExpired() && ::ioctl(held, FIONREAD, &queued) == 0)
            QThread::msleep(1);
        ASSERT_EQ(queued, 3);

        PortSettings s = loggerLine();
        s.PurgeOnOpen = purge;
        SerialPort port;
        std::vector<std::uint8_t> received;
        port.setReceiver([&](std::span<const std::uint8_t> b) {
            received.insert(received.end(), b.begin(), b.end());
        });
        ASSERT_TRUE(port.open(pty.devicePath(), s).ok());
        ASSERT_TRUE(pty.writeAll(std::vector<std::uint8_t>{'n', 'e', 'w'}));
        ASSERT_TRUE(waitUntil([&] { return received.size() >= (purge ? 3u : 6u); }));
        const std::string text(received.begin(), received.end());
        EXPECT_EQ(text, purge ? "new" : "oldnew");
        port.close();
        ::close(held);
    }
}

TEST(SerialPortTest, HangUpOfTheOtherSideIsReportedOnce) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.create());
    SerialPort port;
    int failures = 0;
    port.setFailureHandler([&](const QString& text) {
        ++failures;
        EXPECT_FALSE(text.isEmpty());
    });
    ASSERT_TRUE(port.open(pty.devicePath(), loggerLine()).ok());
    pty.hangUp();
    ASSERT_TRUE(waitUntil([&] { return failures > 0; }));
    EXPECT_FALSE(port.isOpen());
    QCoreApplication::processEvents();
    EXPECT_EQ(failures, 1);
}

TEST(PseudoTerminalTest, HeldLineStaysUpBetweenTheProgramsOpensAndNeverBlocksAWrite) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.create()) << pty.errorText().toStdString();
    pty.holdLineOpen();
    // The program opens, writes and closes twice; nothing is lost in between.
    for (const char* part : {"ab", "c"}) {
        SerialPort port;
        ASSERT_TRUE(port.open(pty.devicePath(), loggerLine()).ok());
        const std::string text(part);
        EXPECT_EQ(port.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}),
                  static_cast<int>(text.size()));
        EXPECT_EQ(readAtLeast(pty, text.size()),
                  std::vector<std::uint8_t>(text.begin(), text.end()));
        port.close();
        // With the program gone the controlling side sees no hang-up.
        pollfd p{pty.fd(), POLLIN, 0};
        EXPECT_EQ(::poll(&p, 1, 0), 0) << p.revents;
    }
    // Nobody reads: the line fills up and writeSome says so instead of waiting.
    const std::vector<std::uint8_t> chunk(4096, 'x');
    std::ptrdiff_t total = 0;
    std::ptrdiff_t n = 0;
    while ((n = pty.writeSome(chunk)) > 0 && total < (std::ptrdiff_t(1) << 24))
        total += n;
    EXPECT_EQ(n, 0);
    EXPECT_GT(total, 0);
    // Once dropped, the line is gone for writing and reading.
    pty.hangUp();
    EXPECT_EQ(pty.writeSome(chunk), -1);
    EXPECT_TRUE(pty.read(0).empty());
}

}  // namespace
