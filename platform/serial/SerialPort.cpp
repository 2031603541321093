#include "platform/serial/SerialPort.h"

#include <cerrno>

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

int systemErrorFor(QSerialPort::SerialPortError error) {
#ifdef Q_OS_WIN
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return 2;  // ERROR_FILE_NOT_FOUND
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return 5;  // ERROR_ACCESS_DENIED: the port is in use
        default:
            return 31;  // ERROR_GEN_FAILURE
    }
#else
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return ENOENT;
        case QSerialPort::PermissionError:
            return EACCES;
        case QSerialPort::OpenError:
            return EBUSY;
        default:
            return EIO;
    }
#endif
}

SerialPort::SerialPort(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::readAvailable);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::onError);
}

SerialPort::~SerialPort() {
    port_.close();
}

PortOpenResult SerialPort::open(const QString& portName, const PortSettings& s) {
    if (port_.isOpen())
        port_.close();
    failing_ = false;
    port_.setPortName(portName);
    if (!port_.open(QIODevice::ReadWrite)) {
        PortOpenResult r{PortOpenResult::OpenFailed, port_.errorString(),
                         systemErrorFor(port_.error())};
        port_.clearError();
        return r;
    }
    // Qt's own buffer stands in for the driver's receive queue; the transmit queue
    // has no counterpart and writes are flushed at once.
    port_.setReadBufferSize(s.ReceiveQueue);

    // The settings in turn; a refused one stops the rest only where it fails the open.
    QString refusal;
    const auto take = [&](bool accepted, const char* ownReason = nullptr) {
        if (!accepted && refusal.isNull())
            refusal = ownReason ? QString::fromLatin1(ownReason) : port_.errorString();
        return accepted || !s.RefusedSettingFails;
    };
    const bool dataBitsOk = s.DataBits >= 5 && s.DataBits <= 8;
    const bool set =
        take(s.BaudRate > 0 && port_.setBaudRate(s.BaudRate)) &&
        take(dataBitsOk && port_.setDataBits(static_cast<QSerialPort::DataBits>(s.DataBits)),
             dataBitsOk ? nullptr : "Invalid data bits") &&
        take(port_.setParity(toQt(s.ParityMode))) && take(port_.setStopBits(toQt(s.Stop))) &&
        take(port_.setFlowControl(toQt(s.FlowControl)));
    if (!set) {
        port_.clearError();
        port_.close();
        return {PortOpenResult::SetupFailed, refusal};
    }
    // Modem lines are a courtesy to the device: a pseudo-terminal has none and
    // refuses them, which is no reason to give up the port.
    if (s.FlowControl != PortSettings::Flow::Hardware)
        port_.setRequestToSend(s.Rts);
    port_.setDataTerminalReady(s.Dtr);
    port_.clearError();
    if (s.PurgeOnOpen && !port_.clear(QSerialPort::AllDirections)) {
        port_.clearError();
        port_.close();
        return {PortOpenResult::SetupFailed, QStringLiteral("PurgeComm failed")};
    }
    port_.clearError();
    return {PortOpenResult::Ok, {}};
}

void SerialPort::close() {
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool SerialPort::isOpen() const {
    return port_.isOpen();
}

int SerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen() || bytes.empty())
        return 0;
    const qint64 n = port_.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    port_.flush();
    return n < 0 ? 0 : int(n);
}

void SerialPort::readPending() {
    // A zero wait reads what the system holds (readyRead hands it on) and ends in
    // a time-out error once nothing more is there, which is no fault of the line.
    // The rounds are counted so that a device that never pauses cannot keep us here.
    for (int round = 0; round < 256 && port_.isOpen() && port_.waitForReadyRead(0); ++round) {
    }
    if (port_.isOpen()) {
        port_.clearError();
        readAvailable();
    }
}

void SerialPort::readAvailable() {
    const QByteArray data = port_.readAll();
    if (!data.isEmpty())
        deliver(
            {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())});
}

void SerialPort::onError(QSerialPort::SerialPortError error) {
    // Only a broken line matters while open; setting refusals were handled in open().
    // A hang-up shows as a failing read (EIO) on a terminal, as a resource error on
    // an unplugged adapter.
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || failing_ ||
        !port_.isOpen())
        return;
    failing_ = true;
    const QString text = error == QSerialPort::ReadError
                             ? QStringLiteral("The serial line was lost (read error).")
                             : QStringLiteral("The serial line was lost (the device was removed).");
    port_.clearError();
    port_.close();
    fail(text);
}

}  // namespace platform
