#pragma once
// The serial port of the logger links: QSerialPort with fixed line settings.
//
// 57600 baud, 8 data bits, no parity, one stop bit, no flow control, DTR and RTS
// off, both buffers purged on open. Failures are reported with the texts the
// programs always showed; where the platform has no Windows error code the
// platform's own error number stands in it.

#include "platform/serial/SerialChannel.h"

#include <QObject>
#include <QSerialPort>

namespace platform {

struct SerialLineSettings {
    qint32 BaudRate = 57600;
    qint64 ReceiveQueue = 600000;
};

// "CreateFile failed with error %d  ,%s." + CR LF
QString openFailureText(int systemError, const QString& portName);
// The system error number that stands for a QSerialPort open failure.
int systemErrorFor(QSerialPort::SerialPortError error);

class SerialPort : public QObject, public SerialChannel {
    Q_OBJECT
public:
    explicit SerialPort(SerialLineSettings settings = {}, QObject* parent = nullptr);
    ~SerialPort() override;

    SerialOpenResult open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;
    int write(std::span<const std::uint8_t> bytes) override;

    QString portName() const { return port_.portName(); }

private:
    void readAvailable();
    void onError(QSerialPort::SerialPortError error);

    SerialLineSettings settings_;
    QSerialPort port_;
    bool failing_ = false;
};

}  // namespace platform
