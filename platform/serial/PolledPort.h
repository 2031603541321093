#pragma once
// A serial port that is asked, rather than told: how many bytes wait, read one,
// write some. Receivers that poll on a timer or a reading loop stand on it; the
// line settings are given when the port is opened.

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <span>

namespace platform {

struct PortSettings {
    enum class Parity { None, Odd, Even, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };
    enum class Flow { None, Hardware, Software };

    qint32 BaudRate = 9600;
    int DataBits = 8;  // 5..8
    Parity ParityMode = Parity::None;
    StopBits Stop = StopBits::One;
    Flow FlowControl = Flow::None;
    bool Dtr = true;  // modem lines raised while open (when not used for handshake)
    bool Rts = true;
    qint64 ReceiveQueue = 2048;  // bytes held for the reader

    bool operator==(const PortSettings&) const = default;
};

struct PortOpenResult {
    enum Status { Ok, OpenFailed, SetupFailed };
    Status status = OpenFailed;
    QString detail;  // the system's reason when not Ok
    bool ok() const { return status == Ok; }
};

class PolledPort {
public:
    virtual ~PolledPort();

    virtual PortOpenResult open(const QString& name, const PortSettings& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Bytes waiting to be read; -1 when the port's state cannot be read (closed,
    // or the line broke).
    virtual qint64 bytesWaiting() = 0;
    // False when no byte could be read.
    virtual bool readByte(std::uint8_t& c) = 0;
    // Bytes accepted for sending.
    virtual int write(std::span<const std::uint8_t> bytes) = 0;
};

// The real port over QSerialPort. Bytes arrive through the event loop.
class PolledSerialPort : public PolledPort {
public:
    PolledSerialPort();
    ~PolledSerialPort() override;

    PortOpenResult open(const QString& name, const PortSettings& settings) override;
    void close() override;
    bool isOpen() const override;
    qint64 bytesWaiting() override;
    bool readByte(std::uint8_t& c) override;
    int write(std::span<const std::uint8_t> bytes) override;

private:
    QSerialPort port_;
};

// The serial devices of this system, by name (COM3, /dev/ttyUSB0), sorted.
QStringList AvailableSerialPortNames();

}  // namespace platform
