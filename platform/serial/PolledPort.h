#pragma once
// A serial port that is asked, rather than told: how many bytes wait, read one,
// write some. Receivers that poll on a timer or a reading loop stand on it; the
// line settings are given when the port is opened.

#include "platform/serial/SerialChannel.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <memory>
#include <span>

namespace platform {

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

// The real port: a serial channel whose bytes wait in a queue until they are read.
// Bytes arrive through the event loop, or at once with takeInPending().
class PolledSerialPort : public PolledPort {
public:
    // Over a serial port of its own.
    PolledSerialPort();
    // Over the given channel, which must outlive this port.
    explicit PolledSerialPort(SerialChannel& channel);
    ~PolledSerialPort() override;
    PolledSerialPort(const PolledSerialPort&) = delete;
    PolledSerialPort& operator=(const PolledSerialPort&) = delete;

    PortOpenResult open(const QString& name, const PortSettings& settings) override;
    void close() override;
    // From a successful open until close(): a broken line leaves the port open,
    // with bytesWaiting() at -1.
    bool isOpen() const override;
    qint64 bytesWaiting() override;
    bool readByte(std::uint8_t& c) override;
    int write(std::span<const std::uint8_t> bytes) override;

    // Takes in what the system holds for the port now, so that bytes that came
    // since the event loop last ran are counted and read too.
    void takeInPending();

private:
    void attach();

    std::unique_ptr<SerialChannel> own_;
    SerialChannel& channel_;
    std::deque<std::uint8_t> queue_;
    bool open_ = false;
    bool broken_ = false;
};

// The serial devices of this system, by name (COM3, /dev/ttyUSB0), sorted.
QStringList AvailableSerialPortNames();

}  // namespace platform
