#pragma once
// The memory reply of the logger as a byte-fed machine.
//
// Bytes go into the memory image in order. Adjacent 0xFF pairs are counted, so the
// byte after five 0xFF in a row is the checksum; it is stored but not folded in.
// The image never grows beyond MemoryImageSize bytes.

#include "orlo/device/TOrloMemory.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <span>

namespace orlo {

class MemoryDownload {
public:
    explicit MemoryDownload(TOrloMemory& memory) : memory_(memory) {}

    // Resets the counters and the memory's byte counts.
    void Start();
    // Takes bytes until the checksum byte or the size limit; returns how many it
    // took. onCounter gets the byte count each time it reaches a multiple of 100.
    std::size_t Feed(std::span<const std::uint8_t> bytes,
                     const std::function<void(int)>& onCounter = {});
    // The checksum byte arrived or the image is full.
    bool Complete() const { return complete_; }
    // Bytes taken before the checksum byte (the loop counter).
    int Received() const { return i_; }

    struct Outcome {
        int Received = 0;
        bool CrcOk = false;
        std::uint8_t LastByte = 0;
        std::uint8_t Checksum = 0;
        QString CounterText;  // the byte counter after the download; empty if nothing came
        int ProgressStep = 0;
    };
    // Ends the download: MemoryCount takes its final value (MemoryUsed is left to
    // the caller, which sets it only after a good checksum).
    Outcome Finish();

    static QString CounterText(int count);
    static QString CrcErrorText(std::uint8_t received, std::uint8_t computed);

private:
    TOrloMemory& memory_;
    int i_ = 0;
    int k_ = 0;
    std::uint8_t checksum_ = 0;
    std::uint8_t last_ = 0;
    bool complete_ = false;
};

}  // namespace orlo

namespace orlo {

struct TDecodeResult {
    bool Ok = false;
    QString Error;
    int Blocks = 0;
};

// Takes a recorded memory reply (the bytes after "D") exactly as the download takes
// them from the port and splits it into blocks. Fails on a missing terminator or
// checksum, and on a bad checksum (with the download's message).
TDecodeResult DecodeMemoryReply(std::span<const std::uint8_t> reply, TOrloMemory& memory);

}  // namespace orlo
