#include "orlo/device/OrloLink.h"

#include "platform/core/TextCodec.h"

#include <algorithm>

namespace orlo {

OrloLinkEvents::~OrloLinkEvents() = default;
void OrloLinkEvents::StatusText(const QString&) {}
void OrloLinkEvents::DeviceAnswered() {}
void OrloLinkEvents::ByteCounter(const QString&) {}
void OrloLinkEvents::ProgressPosition(int) {}
void OrloLinkEvents::ProgressStep(int) {}
void OrloLinkEvents::ErrorBox(const QString&) {}
void OrloLinkEvents::InformationBox(const QString&) {}
void OrloLinkEvents::Busy(bool) {}
void OrloLinkEvents::MemoryUsedChanged() {}
void OrloLinkEvents::DownloadSplit(int) {}
void OrloLinkEvents::ConfigReadFinished(bool) {}
void OrloLinkEvents::VerifyFinished(bool) {}
void OrloLinkEvents::CommandFinished() {}
void OrloLinkEvents::DisconnectAfterFailure() {}
void OrloLinkEvents::LinkEnded() {}

QString PhaseName(OrloLink::Phase phase) {
    switch (phase) {
        case OrloLink::Phase::Closed:
            return QStringLiteral("closed");
        case OrloLink::Phase::Dispatch:
            return QStringLiteral("dispatch");
        case OrloLink::Phase::Download:
            return QStringLiteral("download");
        case OrloLink::Phase::ConfigRead:
            return QStringLiteral("config read");
        case OrloLink::Phase::Verify:
            return QStringLiteral("verify");
        case OrloLink::Phase::EraseWait:
            return QStringLiteral("erase wait");
    }
    return {};
}

OrloLink::OrloLink(OrloLinkEvents& events, OrloLinkOptions options)
    : events_(events), options_(options) {}

int OrloLink::send(std::uint8_t byte) {
    if (!PortOpen)
        return 0;
    return events_.SendBytes({&byte, 1});
}

void OrloLink::Opened(std::int64_t nowMs) {
    now_ = nowMs;
    lastByteAt_ = nowMs;
    PortOpen = true;
    DeviceAnswered = false;
    StopRequested = false;
    phase_ = Phase::Dispatch;
    send(CmdHello);
}

void OrloLink::Feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    now_ = nowMs;
    std::size_t pos = 0;
    while (pos < bytes.size() && phase_ != Phase::Closed && !StopRequested) {
        lastByteAt_ = nowMs;
        if (phase_ == Phase::Dispatch)
            dispatch(bytes[pos++]);
        else
            pos += feedReply(bytes.subspan(pos));
    }
}

void OrloLink::dispatch(std::uint8_t c) {
    if (c == CmdHello && !DeviceAnswered) {
        DeviceAnswered = true;
        events_.StatusText(QStringLiteral("Connected to ORLO"));
        events_.DeviceAnswered();
        PendingCommand = "D";
        send(CmdReadMemory);
        events_.ProgressPosition(0);
        events_.ByteCounter(MemoryDownload::CounterText(0));
    } else if (c == CmdReadConfig && (PendingCommand == "R" || PendingCommand == "W")) {
        phase_ = PendingCommand == "R" ? Phase::ConfigRead : Phase::Verify;
        reply_.fill(0);
        replyCount_ = 0;
        replyXor_ = 0;
        replyLast_ = 0;
    } else if (c == CmdErase && PendingCommand == "E") {
        events_.StatusText(QStringLiteral("Erasing started, please wait."));
        events_.Busy(true);
        phase_ = Phase::EraseWait;
    } else if (c == CmdReadMemory && PendingCommand == "D") {
        events_.Busy(true);
        events_.StatusText(QStringLiteral("Data reading started."));
        download_.Start();
        phase_ = Phase::Download;
        events_.ByteCounter(MemoryDownload::CounterText(0));
        events_.ProgressPosition(0);
    }
    // Anything else, further "*" included, is dropped.
}

std::size_t OrloLink::feedReply(std::span<const std::uint8_t> bytes) {
    switch (phase_) {
        case Phase::Download: {
            const std::size_t used = download_.Feed(bytes, [this](int i) {
                events_.ByteCounter(MemoryDownload::CounterText(i));
                events_.ProgressPosition(i);
            });
            if (download_.Complete())
                finishDownload();
            return used;
        }
        case Phase::ConfigRead:
        case Phase::Verify: {
            std::size_t used = 0;
            while (used < bytes.size()) {
                const std::uint8_t c = bytes[used++];
                replyLast_ = c;
                ++replyCount_;
                if (replyCount_ < ConfigReplySize) {
                    reply_[std::size_t(replyCount_ - 1)] = c;
                    replyXor_ ^= c;
                } else {
                    if (phase_ == Phase::ConfigRead)
                        finishConfigRead();
                    else
                        finishVerify({});
                    break;
                }
            }
            return used;
        }
        case Phase::EraseWait:
            finishErase(bytes[0]);
            return 1;
        default:
            return bytes.size();
    }
}

void OrloLink::Tick(std::int64_t nowMs) {
    now_ = nowMs;
    if (phase_ == Phase::Closed)
        return;
    if (StopRequested) {
        switch (phase_) {
            case Phase::Download:
                finishDownload();
                break;
            case Phase::ConfigRead:
                finishConfigRead();
                break;
            case Phase::Verify:
                finishVerify({});
                break;
            case Phase::EraseWait:
                finishErase(-1);
                break;
            default:
                break;
        }
        endLink();
        return;
    }
    const std::int64_t quiet = nowMs - lastByteAt_;
    if (phase_ == Phase::Dispatch && PendingCommand == "R" &&
        nowMs - configAskedAt_ >= options_.ConfigReadLimitMs) {
        // The logger never began its reply.
        replyCount_ = 0;
        finishConfigRead();
    } else if (phase_ == Phase::Dispatch && PendingCommand == "W" &&
               nowMs - configAskedAt_ >= options_.ConfigReadLimitMs) {
        replyCount_ = 0;
        finishVerify(QStringLiteral("Communication error, no response from device"));
    } else if (phase_ == Phase::ConfigRead && quiet >= options_.ConfigReadLimitMs)
        finishConfigRead();
    else if (phase_ == Phase::Verify && quiet >= options_.VerifyGapMs)
        finishVerify(QStringLiteral("Communication error, no response from device"));
    else if (phase_ == Phase::Download && options_.DownloadSilenceMs > 0 &&
             quiet >= options_.DownloadSilenceMs) {
        phase_ = Phase::Dispatch;
        download_.Finish();
        failDisconnect(QStringLiteral("Communication error, no response from device"));
        events_.Busy(false);
        PendingCommand.clear();
        events_.CommandFinished();
        endLink();
    }
}

void OrloLink::finishDownload() {
    phase_ = Phase::Dispatch;
    const bool stopped = StopRequested;
    const MemoryDownload::Outcome o = download_.Finish();
    if (o.Received > 0) {
        events_.ByteCounter(o.CounterText);
        events_.ProgressStep(o.ProgressStep);
    }
    if (!stopped && !o.CrcOk) {
        failDisconnect(MemoryDownload::CrcErrorText(o.LastByte, o.Checksum));
    } else {
        Memory.MemoryUsed = std::max(0, o.Received - 1);
        events_.MemoryUsedChanged();
        if (!stopped) {
            const int n = Memory.SplitBlocks();
            const QString text = QStringLiteral("Data reading finished (%1 blocks read.)").arg(n);
            events_.StatusText(text);
            events_.InformationBox(text);
            events_.DownloadSplit(n);
        }
    }
    events_.Busy(false);
    PendingCommand.clear();
    events_.CommandFinished();
    StopRequested = true;
    endLink();
}

void OrloLink::finishConfigRead() {
    phase_ = Phase::Dispatch;
    bool loaded = false;
    if (replyCount_ < ConfigReplySize) {
        // Stopped or timed out: the record keeps what it held.
        events_.ErrorBox(QStringLiteral("Reading failed, only %1 bytes read.").arg(replyCount_));
    } else if (replyLast_ != replyXor_) {
        events_.ErrorBox(QStringLiteral("Reading failed, CRC error."));
    } else {
        ConfigImage = reply_;
        ConfigLoaded = true;
        loaded = true;
    }
    events_.ConfigReadFinished(loaded);
    events_.StatusText(QStringLiteral("Config file reading finished."));
    PendingCommand.clear();
    events_.CommandFinished();
}

void OrloLink::finishVerify(const QString& failure) {
    phase_ = Phase::Dispatch;
    bool matched = false;
    QString error = failure;
    VerifyImage = reply_;
    if (error.isEmpty()) {
        if (replyCount_ < ConfigReplySize)
            error = QStringLiteral("Reading failed, only %1 bytes read.").arg(replyCount_);
        else if (replyLast_ != replyXor_)
            error = QStringLiteral("Config file reading failed, CRC error.");
    }
    if (error.isEmpty()) {
        ConfigLoaded = true;
        matched = VerifyImage == ConfigImage;
        if (!matched)
            events_.ErrorBox(QStringLiteral("Verifying config file failed."));
        events_.StatusText(QStringLiteral("Config file writing finished."));
    } else {
        failDisconnect(error);
    }
    PendingCommand.clear();
    events_.VerifyFinished(matched);
    events_.CommandFinished();
}

void OrloLink::finishErase(int byte) {
    phase_ = Phase::Dispatch;
    if (byte == CmdErase) {
        events_.StatusText(QStringLiteral("Erasing finished."));
    } else if (byte >= 0) {
        const char c = char(byte);
        events_.StatusText(QStringLiteral("Command:E expected, but %1 found")
                               .arg(platform::toQt(std::string_view(&c, 1))));
    }
    events_.Busy(false);
    PendingCommand.clear();
    events_.CommandFinished();
}

void OrloLink::failDisconnect(const QString& message) {
    StopRequested = true;
    events_.ErrorBox(message);
    events_.DisconnectAfterFailure();
}

void OrloLink::LineFailed(const QString& message) {
    if (phase_ == Phase::Closed)
        return;
    const Phase was = phase_;
    phase_ = Phase::Dispatch;
    if (was == Phase::Download)
        download_.Finish();
    failDisconnect(message);
    if (was != Phase::Dispatch) {
        if (was == Phase::Download || was == Phase::EraseWait)
            events_.Busy(false);
        PendingCommand.clear();
        events_.CommandFinished();
    }
    endLink();
}

void OrloLink::RequestMemory() {
    PendingCommand = "D";
    events_.ProgressPosition(0);
    events_.ByteCounter(MemoryDownload::CounterText(0));
    send(CmdReadMemory);
}

void OrloLink::RequestConfig(std::int64_t nowMs) {
    now_ = nowMs;
    PendingCommand = "R";
    configAskedAt_ = nowMs;
    send(CmdReadConfig);
}

void OrloLink::UploadConfig(std::int64_t nowMs) {
    now_ = nowMs;
    PendingCommand = "W";
    send(CmdWriteConfig);
    events_.StatusText(QStringLiteral("Config file writing started."));
    int sum = 0;
    for (std::uint8_t b : ConfigImage)
        sum += send(b);
    if (sum != ConfigSize)
        events_.ErrorBox(QStringLiteral("Only %1 bytes written.").arg(sum));
    events_.StatusText(QStringLiteral("Config file writing finished."));
    events_.StatusText(QStringLiteral("Verifying config file."));
    configAskedAt_ = nowMs;
    send(CmdReadConfig);
}

void OrloLink::EraseMemory() {
    send(CmdErase);
    PendingCommand = "E";
}

void OrloLink::endLink() {
    if (phase_ == Phase::Closed)
        return;
    phase_ = Phase::Closed;
    PortOpen = false;
    DeviceAnswered = false;
    StopRequested = true;
    // Nothing can answer on a closed port, so no command is left pending.
    PendingCommand.clear();
    events_.LinkEnded();
}

}  // namespace orlo
