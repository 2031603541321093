#include "orlo/device/MemoryDownload.h"

#include <algorithm>

namespace orlo {

void MemoryDownload::Start() {
    i_ = 0;
    k_ = 0;
    checksum_ = 0;
    last_ = 0;
    complete_ = false;
    memory_.MemoryCount = 0;
    memory_.MemoryUsed = 0;
}

std::size_t MemoryDownload::Feed(std::span<const std::uint8_t> bytes,
                                 const std::function<void(int)>& onCounter) {
    std::uint8_t* img = memory_.MemoryImage.data();
    std::size_t used = 0;
    while (used < bytes.size() && !complete_) {
        const std::uint8_t c = bytes[used++];
        last_ = c;
        img[i_] = c;
        if (k_ == 4) {
            complete_ = true;
            break;
        }
        checksum_ ^= c;
        if (i_ > 0) {
            if (c == 0xFF && img[i_ - 1] == 0xFF)
                ++k_;
            else
                k_ = 0;
        }
        ++i_;
        if (i_ % 100 == 0 && onCounter)
            onCounter(i_);
        if (i_ >= MemoryImageSize)
            complete_ = true;
    }
    return used;
}

MemoryDownload::Outcome MemoryDownload::Finish() {
    Outcome o;
    o.Received = i_;
    o.LastByte = last_;
    o.Checksum = checksum_;
    o.CrcOk = last_ == checksum_;
    if (i_ > 0) {
        memory_.MemoryCount = i_ - 1;
        o.CounterText = CounterText(i_ <= 5 ? 0 : i_ - 1);
        o.ProgressStep = i_ % 1000;
    }
    return o;
}

QString MemoryDownload::CounterText(int count) {
    return QStringLiteral("Number of bytes read: %1").arg(count);
}

QString MemoryDownload::CrcErrorText(std::uint8_t received, std::uint8_t computed) {
    return QStringLiteral("Communication error, bad CRC. Buf=%1, CRC=%2")
        .arg(int(received))
        .arg(int(computed));
}

}  // namespace orlo

namespace orlo {

TDecodeResult DecodeMemoryReply(std::span<const std::uint8_t> reply, TOrloMemory& memory) {
    TDecodeResult r;
    MemoryDownload d(memory);
    d.Start();
    d.Feed(reply);
    memory.FreeBlocks();
    if (!d.Complete()) {
        d.Finish();
        r.Error = QStringLiteral(
                      "The memory ends after %1 bytes, before its terminator and "
                      "checksum.")
                      .arg(reply.size());
        return r;
    }
    const MemoryDownload::Outcome o = d.Finish();
    if (!o.CrcOk) {
        r.Error = MemoryDownload::CrcErrorText(o.LastByte, o.Checksum);
        return r;
    }
    memory.MemoryUsed = std::max(0, o.Received - 1);
    r.Blocks = memory.SplitBlocks();
    r.Ok = true;
    return r;
}

}  // namespace orlo
