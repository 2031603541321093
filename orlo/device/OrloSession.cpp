#include "orlo/device/OrloSession.h"

namespace orlo {

platform::PortSettings LoggerLineSettings() {
    platform::PortSettings s;
    s.BaudRate = 57600;
    s.DataBits = 8;
    s.ParityMode = platform::PortSettings::Parity::None;
    s.Stop = platform::PortSettings::StopBits::One;
    s.FlowControl = platform::PortSettings::Flow::None;
    s.Dtr = false;
    s.Rts = false;
    s.ReceiveQueue = 600000;
    s.PurgeOnOpen = true;
    s.RefusedSettingFails = false;
    return s;
}

OrloSession::OrloSession(platform::SerialChannel& channel, OrloLinkEvents& ui,
                         platform::Clock clock, OrloLinkOptions options, QObject* parent)
    : QObject(parent), channel_(channel), ui_(ui), clock_(std::move(clock)), link_(*this, options) {
    // A quarter of the read time-out the logger was built for keeps its 100 ms rules.
    timer_.setInterval(25);
    connect(&timer_, &QTimer::timeout, this, [this] {
        tickDue_ = true;
        runPending();
    });
    channel_.setReceiver([this](std::span<const std::uint8_t> b) { received(b); });
    channel_.setFailureHandler([this](const QString& m) { lineFailed(m); });
}

OrloSession::~OrloSession() {
    channel_.setReceiver({});
    channel_.setFailureHandler({});
    channel_.close();
}

bool OrloSession::Connect(const QString& portName, QString& status) {
    if (link_.PortOpen)
        return false;
    const platform::PortOpenResult r = channel_.open(portName, LoggerLineSettings());
    if (!r.ok()) {
        status = r.status == platform::PortOpenResult::OpenFailed
                     ? platform::openFailureText(r.systemError, portName)
                     : r.detail;
        return false;
    }
    status = QStringLiteral("Waiting for ORLO at ") + portName;
    pending_.clear();
    failure_.clear();
    timer_.start();
    ++depth_;
    link_.Opened(clock_());
    --depth_;
    return true;
}

void OrloSession::received(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    runPending();
}

void OrloSession::lineFailed(const QString& message) {
    failure_ = message.isEmpty() ? QStringLiteral("The serial line was lost.") : message;
    runPending();
}

void OrloSession::runPending() {
    if (depth_ > 0)
        return;  // the link is busy further up the stack; it runs this when done
    ++depth_;
    while (!pending_.empty() || tickDue_ || !failure_.isEmpty()) {
        if (!pending_.empty()) {
            std::vector<std::uint8_t> bytes;
            bytes.swap(pending_);
            link_.Feed(bytes, clock_());
        } else if (!failure_.isEmpty()) {
            const QString m = failure_;
            failure_.clear();
            link_.LineFailed(m);
        } else {
            tickDue_ = false;
            link_.Tick(clock_());
        }
    }
    --depth_;
}

void OrloSession::Pump() {
    tickDue_ = true;
    runPending();
}

void OrloSession::StopNow() {
    link_.Stop();
    Pump();
}

int OrloSession::SendBytes(std::span<const std::uint8_t> bytes) {
    return channel_.write(bytes);
}

void OrloSession::LinkEnded() {
    timer_.stop();
    channel_.close();
    pending_.clear();
    ui_.LinkEnded();
}

}  // namespace orlo
