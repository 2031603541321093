#include "platform/serial/PseudoTerminal.h"
#include "platform/serial/SerialPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <termios.h>

#include <functional>
#include <vector>

namespace {

using platform::PseudoTerminal;
using platform::SerialPort;

// Runs the event loop until the condition holds or a generous time-out passes.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
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

TEST(SerialPortTest, MissingDeviceFailsWithCreateFileText) {
    SerialPort port;
    const auto r = port.open(QStringLiteral("/dev/orlo-no-such-port"));
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Error,
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
    const auto r = port.open(pty.devicePath());
    ASSERT_TRUE(r.Ok) << r.Error.toStdString();
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
    ASSERT_TRUE(waitFor([&] { return received.size() >= in.size(); }));
    EXPECT_EQ(received, in);  // raw: no CR/LF translation, no XON/XOFF swallowed
    port.close();
    EXPECT_FALSE(port.isOpen());
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
    ASSERT_TRUE(port.open(pty.devicePath()).Ok);
    pty.hangUp();
    ASSERT_TRUE(waitFor([&] { return failures > 0; }));
    EXPECT_FALSE(port.isOpen());
    QCoreApplication::processEvents();
    EXPECT_EQ(failures, 1);
}

}  // namespace
