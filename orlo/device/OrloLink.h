#pragma once
// The logger link as a byte-fed state machine.
//
// The owner feeds what the port received and the time from its clock, and ticks
// it now and then; the machine answers through OrloLinkEvents (bytes to send,
// texts, boxes, the end of an operation). It never reads the port, never waits
// and never shows anything, so every path runs in a test without a port.
//
// While the link is open, every received byte is tested in turn: the first "*"
// answers with "D"; an "R", "E" or "D" starts the reply of the command that is
// pending; every other byte is dropped. A reply in progress takes the bytes until
// it is complete. Stop() asks the link to end; the next Tick() finishes the
// operation in progress as stopped and ends the link.

#include "orlo/device/MemoryDownload.h"
#include "orlo/device/OrloConfig.h"
#include "orlo/device/TOrloMemory.h"

#include <QString>

#include <cstdint>
#include <span>
#include <string>

namespace orlo {

class OrloLinkEvents {
public:
    virtual ~OrloLinkEvents();
    // Bytes to write; returns how many were written.
    virtual int SendBytes(std::span<const std::uint8_t> bytes) = 0;
    virtual void StatusText(const QString& text);
    // The first "*" came: caption, lamp green, file-count label cleared.
    virtual void DeviceAnswered();
    virtual void ByteCounter(const QString& text);
    virtual void ProgressPosition(int position);
    virtual void ProgressStep(int step);
    virtual void ErrorBox(const QString& text);
    // An information box with one Yes button.
    virtual void InformationBox(const QString& text);
    // Hourglass pointer on or off.
    virtual void Busy(bool on);
    // MemoryUsed changed: the recording-time estimate is due.
    virtual void MemoryUsedChanged();
    // The memory was split into blocks (count may be 0).
    virtual void DownloadSplit(int blocks);
    // The configuration reply was handled; loaded: the record is new and complete.
    virtual void ConfigReadFinished(bool loaded);
    // The verify read after a write was handled; matched: the logger holds the record.
    virtual void VerifyFinished(bool matched);
    // The pending command is done: Close, Upload Cfg and Reset Cfg come back.
    virtual void CommandFinished();
    // A failure that ends the link the way the Disconnect button does.
    virtual void DisconnectAfterFailure();
    // The link is over: the owner closes the port.
    virtual void LinkEnded();
};

struct OrloLinkOptions {
    // A configuration reply (read or verify) waits at most this long for its first
    // and for each next byte.
    int ConfigReadLimitMs = 2000;
    // The verify read fails when a byte is this late.
    int VerifyGapMs = 100;
    // The memory reply fails when a byte is this late; 0 waits for Disconnect.
    int DownloadSilenceMs = 0;
};

class OrloLink {
public:
    enum class Phase { Closed, Dispatch, Download, ConfigRead, Verify, EraseWait };

    explicit OrloLink(OrloLinkEvents& events, OrloLinkOptions options = {});

    // The port is open: greet the logger.
    void Opened(std::int64_t nowMs);
    void Feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    void Tick(std::int64_t nowMs);
    // Asks the link to end; Tick() carries it out.
    void Stop() { StopRequested = true; }
    // The port broke (hang-up, device removed).
    void LineFailed(const QString& message);

    // Commands of the window's buttons; the window checks PortOpen first.
    void RequestMemory();                    // Get Data
    void RequestConfig(std::int64_t nowMs);  // Reset Cfg
    void UploadConfig(std::int64_t nowMs);   // Upload Cfg: "W", the record, "R" to verify
    void EraseMemory();                      // Erase Memory (after the user agreed)

    Phase phase() const { return phase_; }
    const OrloLinkOptions& options() const { return options_; }
    void setOptions(const OrloLinkOptions& o) { options_ = o; }

    // State shared with the window, named as the window always named it.
    bool PortOpen = false;
    bool DeviceAnswered = false;
    bool StopRequested = true;
    std::string PendingCommand;
    TOrloMemory Memory;
    TConfigImage ConfigImage{};
    TConfigImage VerifyImage{};
    bool ConfigLoaded = false;

private:
    int send(std::uint8_t byte);
    void dispatch(std::uint8_t c);
    std::size_t feedReply(std::span<const std::uint8_t> bytes);
    void finishDownload();
    void finishConfigRead();
    void finishVerify(const QString& failure);
    void finishErase(int byte);
    void failDisconnect(const QString& message);
    void endLink();

    OrloLinkEvents& events_;
    OrloLinkOptions options_;
    Phase phase_ = Phase::Closed;
    MemoryDownload download_{Memory};
    std::int64_t now_ = 0;
    std::int64_t lastByteAt_ = 0;
    std::int64_t configAskedAt_ = 0;
    // Configuration reply in progress.
    TConfigImage reply_{};
    int replyCount_ = 0;
    std::uint8_t replyXor_ = 0;
    std::uint8_t replyLast_ = 0;
};

QString PhaseName(OrloLink::Phase phase);

}  // namespace orlo
