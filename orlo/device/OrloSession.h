#pragma once
// Wires the logger link to a serial channel, a clock and a timer.
//
// Received bytes and timer ticks go to the link with the clock's time; the link's
// bytes go to the channel; its other events go on to the window (or the command
// line). When the link ends, the channel is closed. Events that arrive while the
// link is busy (a box shown from inside it runs a nested event loop) wait and are
// delivered afterwards, so the link is never entered twice.

#include "orlo/device/OrloLink.h"
#include "platform/core/Clock.h"
#include "platform/serial/SerialChannel.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

namespace orlo {

// The logger's line: 57600 baud, 8 data bits, no parity, one stop bit, no flow
// control, DTR and RTS off, both buffers purged on open. A setting the port
// refuses is passed over, as the program always did.
platform::PortSettings LoggerLineSettings();

class OrloSession : public QObject, private OrloLinkEvents {
    Q_OBJECT
public:
    OrloSession(platform::SerialChannel& channel, OrloLinkEvents& ui,
                platform::Clock clock = platform::SteadyClock(), OrloLinkOptions options = {},
                QObject* parent = nullptr);
    ~OrloSession() override;

    OrloLink& link() { return link_; }
    const OrloLink& link() const { return link_; }
    std::int64_t now() const { return clock_(); }

    // Opens the port and greets the logger. The text for the status bar: "Waiting
    // for ORLO at " + port, or the failure of the open.
    bool Connect(const QString& portName, QString& status);
    // Lets what is pending run: queued bytes, and the end of a stopped link.
    void Pump();
    // Stop() and Pump(): the link ends before this returns.
    void StopNow();
    // Milliseconds between ticks.
    void setTickInterval(int ms) { timer_.setInterval(ms); }

private:
    void received(std::span<const std::uint8_t> bytes);
    void lineFailed(const QString& message);
    void runPending();

    // OrloLinkEvents: the channel's part here, the rest to the window.
    int SendBytes(std::span<const std::uint8_t> bytes) override;
    void StatusText(const QString& t) override { ui_.StatusText(t); }
    void DeviceAnswered() override { ui_.DeviceAnswered(); }
    void ByteCounter(const QString& t) override { ui_.ByteCounter(t); }
    void ProgressPosition(int p) override { ui_.ProgressPosition(p); }
    void ProgressStep(int s) override { ui_.ProgressStep(s); }
    void ErrorBox(const QString& t) override { ui_.ErrorBox(t); }
    void InformationBox(const QString& t) override { ui_.InformationBox(t); }
    void Busy(bool on) override { ui_.Busy(on); }
    void MemoryUsedChanged() override { ui_.MemoryUsedChanged(); }
    void DownloadSplit(int n) override { ui_.DownloadSplit(n); }
    void ConfigReadFinished(bool loaded) override { ui_.ConfigReadFinished(loaded); }
    void VerifyFinished(bool matched) override { ui_.VerifyFinished(matched); }
    void CommandFinished() override { ui_.CommandFinished(); }
    void DisconnectAfterFailure() override { ui_.DisconnectAfterFailure(); }
    void LinkEnded() override;

    platform::SerialChannel& channel_;
    OrloLinkEvents& ui_;
    platform::Clock clock_;
    OrloLink link_;
    QTimer timer_;
    int depth_ = 0;
    std::vector<std::uint8_t> pending_;
    bool tickDue_ = false;
    QString failure_;
};

}  // namespace orlo
