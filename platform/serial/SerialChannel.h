#pragma once
// A byte link to a device: the serial port in the programs, a fake in tests.
//
// Reading is push-style: the channel hands every received byte to the receiver it
// was given, from the event loop. Writes are short and synchronous. The line
// settings are given when the channel is opened.

#include <QString>

#include <cstdint>
#include <functional>
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
    qint64 ReceiveQueue = 2048;  // bytes taken from the system at a time
    // Both directions emptied right after opening; a failure fails the open.
    bool PurgeOnOpen = false;
    // A line setting the device refuses fails the open (SetupFailed); otherwise it
    // is passed over and the port stays open with what the device took.
    bool RefusedSettingFails = true;

    bool operator==(const PortSettings&) const = default;
};

struct PortOpenResult {
    enum Status { Ok, OpenFailed, SetupFailed };
    Status status = OpenFailed;
    QString detail;       // the system's reason, or the step that failed, when not Ok
    int systemError = 0;  // OpenFailed: the system's error number for it
    bool ok() const { return status == Ok; }
};

// "CreateFile failed with error %d  ,%s." + CR LF: how the logger links report a
// port that could not be opened.
QString openFailureText(int systemError, const QString& portName);

class SerialChannel {
public:
    using Receiver = std::function<void(std::span<const std::uint8_t>)>;
    // The line broke while open (device unplugged, other end hung up).
    using FailureHandler = std::function<void(const QString&)>;

    virtual ~SerialChannel();

    virtual PortOpenResult open(const QString& portName, const PortSettings& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Number of bytes accepted for sending; 0 when the channel is closed.
    virtual int write(std::span<const std::uint8_t> bytes) = 0;
    // Takes in what the system holds for the port now and delivers it, without
    // waiting for the event loop to notice. A channel that delivers as bytes come
    // has nothing to do.
    virtual void readPending() {}

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
