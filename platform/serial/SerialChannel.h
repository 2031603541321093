#pragma once
// A byte link to a device: the serial port in the programs, a fake in tests.
//
// Reading is push-style: the channel hands every received byte to the receiver it
// was given, from the event loop. Writes are short and synchronous.

#include <QString>

#include <cstdint>
#include <functional>
#include <span>

namespace platform {

struct SerialOpenResult {
    bool Ok = false;
    QString Error;  // the status text of the failed step when !Ok
};

class SerialChannel {
public:
    using Receiver = std::function<void(std::span<const std::uint8_t>)>;
    // The line broke while open (device unplugged, other end hung up).
    using FailureHandler = std::function<void(const QString&)>;

    virtual ~SerialChannel();

    virtual SerialOpenResult open(const QString& portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Number of bytes accepted for sending; 0 when the channel is closed.
    virtual int write(std::span<const std::uint8_t> bytes) = 0;

    void setReceiver(Receiver r) { receiver_ = std::move(r); }
    void setFailureHandler(FailureHandler f) { failure_ = std::move(f); }

protected:
    void deliver(std::span<const std::uint8_t> bytes) {
        if (receiver_)
            receiver_(bytes);
    }
    void fail(const QString& message) {
        if (failure_)
            failure_(message);
    }

private:
    Receiver receiver_;
    FailureHandler failure_;
};

}  // namespace platform
