#include "platform/serial/PolledPort.h"

#include "platform/serial/SerialPort.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace platform {

PolledPort::~PolledPort() = default;

PolledSerialPort::PolledSerialPort() : own_(std::make_unique<SerialPort>()), channel_(*own_) {
    attach();
}

PolledSerialPort::PolledSerialPort(SerialChannel& channel) : channel_(channel) {
    attach();
}

void PolledSerialPort::attach() {
    channel_.setReceiver([this](std::span<const std::uint8_t> b) {
        queue_.insert(queue_.end(), b.begin(), b.end());
    });
    channel_.setFailureHandler([this](const QString&) { broken_ = true; });
}

PolledSerialPort::~PolledSerialPort() {
    channel_.setReceiver({});
    channel_.setFailureHandler({});
    channel_.close();
}

PortOpenResult PolledSerialPort::open(const QString& name, const PortSettings& settings) {
    close();
    const PortOpenResult r = channel_.open(name, settings);
    open_ = r.ok();
    return r;
}

void PolledSerialPort::close() {
    channel_.close();
    queue_.clear();
    open_ = false;
    broken_ = false;
}

bool PolledSerialPort::isOpen() const {
    return open_;
}

qint64 PolledSerialPort::bytesWaiting() {
    if (!open_ || broken_)
        return -1;
    return qint64(queue_.size());
}

bool PolledSerialPort::readByte(std::uint8_t& c) {
    if (!open_ || queue_.empty())
        return false;
    c = queue_.front();
    queue_.pop_front();
    return true;
}

int PolledSerialPort::write(std::span<const std::uint8_t> bytes) {
    return open_ ? channel_.write(bytes) : 0;
}

void PolledSerialPort::takeInPending() {
    if (open_ && !broken_)
        channel_.readPending();
}

QStringList AvailableSerialPortNames() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace platform
