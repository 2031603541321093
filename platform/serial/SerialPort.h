#pragma once
// The serial port of both programs: QSerialPort behind the channel interface.
//
// The line settings come with open(). Failures to open carry Qt's reason and the
// system error number; where the platform has no Windows error code the
// platform's own error number stands in it.

#include "platform/serial/SerialChannel.h"

#include <QObject>
#include <QSerialPort>

namespace platform {

// The system error number that stands for a QSerialPort open failure.
int systemErrorFor(QSerialPort::SerialPortError error);

class SerialPort : public QObject, public SerialChannel {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    PortOpenResult open(const QString& portName, const PortSettings& settings) override;
    void close() override;
    bool isOpen() const override;
    int write(std::span<const std::uint8_t> bytes) override;
    void readPending() override;

    QString portName() const { return port_.portName(); }

private:
    void readAvailable();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    bool failing_ = false;
};

}  // namespace platform
