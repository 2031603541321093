#include "platform/serial/PolledPort.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace platform {
namespace {

QSerialPort::Parity toQt(PortSettings::Parity p) {
    switch (p) {
        case PortSettings::Parity::Odd:
            return QSerialPort::OddParity;
        case PortSettings::Parity::Even:
            return QSerialPort::EvenParity;
        case PortSettings::Parity::Mark:
            return QSerialPort::MarkParity;
        case PortSettings::Parity::Space:
            return QSerialPort::SpaceParity;
        case PortSettings::Parity::None:
            break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(PortSettings::StopBits s) {
    switch (s) {
        case PortSettings::StopBits::OneAndHalf:
            return QSerialPort::OneAndHalfStop;
        case PortSettings::StopBits::Two:
            return QSerialPort::TwoStop;
        case PortSettings::StopBits::One:
            break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl toQt(PortSettings::Flow f) {
    switch (f) {
        case PortSettings::Flow::Hardware:
            return QSerialPort::HardwareControl;
        case PortSettings::Flow::Software:
            return QSerialPort::SoftwareControl;
        case PortSettings::Flow::None:
            break;
    }
    return QSerialPort::NoFlowControl;
}

}  // namespace

PolledPort::~PolledPort() = default;

PolledSerialPort::PolledSerialPort() = default;

PolledSerialPort::~PolledSerialPort() {
    port_.close();
}

PortOpenResult PolledSerialPort::open(const QString& name, const PortSettings& s) {
    if (port_.isOpen())
        port_.close();
    port_.setPortName(name);
    if (!port_.open(QIODevice::ReadWrite)) {
        PortOpenResult r{PortOpenResult::OpenFailed, port_.errorString()};
        port_.clearError();
        return r;
    }
    const bool dataBitsOk = s.DataBits >= 5 && s.DataBits <= 8;
    const bool ok = s.BaudRate > 0 && dataBitsOk && port_.setBaudRate(s.BaudRate) &&
                    port_.setDataBits(static_cast<QSerialPort::DataBits>(s.DataBits)) &&
                    port_.setParity(toQt(s.ParityMode)) && port_.setStopBits(toQt(s.Stop)) &&
                    port_.setFlowControl(toQt(s.FlowControl));
    if (!ok) {
        PortOpenResult r{PortOpenResult::SetupFailed,
                         dataBitsOk ? port_.errorString() : QStringLiteral("Invalid data bits")};
        port_.clearError();
        port_.close();
        return r;
    }
    // Modem lines are a courtesy to the device: a pseudo-terminal has none and
    // refuses them, which is no reason to give up the port.
    if (s.FlowControl != PortSettings::Flow::Hardware)
        port_.setRequestToSend(s.Rts);
    port_.setDataTerminalReady(s.Dtr);
    port_.clearError();
    port_.setReadBufferSize(s.ReceiveQueue);
    return {PortOpenResult::Ok, {}};
}

void PolledSerialPort::close() {
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool PolledSerialPort::isOpen() const {
    return port_.isOpen();
}

qint64 PolledSerialPort::bytesWaiting() {
    if (!port_.isOpen())
        return -1;
    const QSerialPort::SerialPortError e = port_.error();
    if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError)
        return -1;
    return port_.bytesAvailable();
}

bool PolledSerialPort::readByte(std::uint8_t& c) {
    char ch = 0;
    if (!port_.isOpen() || !port_.getChar(&ch))
        return false;
    c = static_cast<std::uint8_t>(ch);
    return true;
}

int PolledSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen() || bytes.empty())
        return 0;
    const qint64 n = port_.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    port_.flush();
    return n < 0 ? 0 : int(n);
}

QStringList AvailableSerialPortNames() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace platform
