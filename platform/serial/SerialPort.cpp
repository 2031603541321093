#include "platform/serial/SerialPort.h"

#include <cerrno>

namespace platform {

QString openFailureText(int systemError, const QString& portName) {
    return QStringLiteral("CreateFile failed with error %1  ,%2.\r\n")
        .arg(systemError)
        .arg(portName);
}

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

SerialPort::SerialPort(SerialLineSettings settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::readAvailable);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::onError);
}

SerialPort::~SerialPort() {
    port_.close();
}

SerialOpenResult SerialPort::open(const QString& portName) {
    if (port_.isOpen())
        port_.close();
    failing_ = false;
    port_.setPortName(portName);
    if (!port_.open(QIODevice::ReadWrite)) {
        const int code = systemErrorFor(port_.error());
        port_.clearError();
        return {false, openFailureText(code, portName)};
    }
    // Qt's own buffer stands in for the driver's receive queue; the transmit queue
    // has no counterpart and writes are flushed at once.
    port_.setReadBufferSize(settings_.ReceiveQueue);
    // Line settings that a device refuses are ignored, as the program always did.
    port_.setBaudRate(settings_.BaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // A pseudo-terminal has no modem lines and refuses these two.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
    if (!port_.clear(QSerialPort::AllDirections)) {
        port_.clearError();
        port_.close();
        return {false, QStringLiteral("PurgeComm failed")};
    }
    port_.clearError();
    return {true, {}};
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
