#include "orlo/device/TOrloMemory.h"

#include "platform/core/TextCodec.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <bit>
#include <cstring>

namespace orlo {

TOrloMemory::TOrloMemory() : MemoryImage(MemoryImageSize, 0) {}

void TOrloMemory::SetMemory(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), MemoryImage.size());
    std::memcpy(MemoryImage.data(), bytes.data(), n);
    MemoryCount = n > 0 ? std::int32_t(n - 1) : 0;
    MemoryUsed = MemoryCount;
}

int TOrloMemory::FindMarker(int from) const {
    if (from < 0)
        from = 0;
    const std::uint8_t* img = MemoryImage.data();
    for (int p = from; p <= MemoryCount - 4; ++p) {
        if (img[p] != 0xFF)
            continue;
        if (img[p + 1] == 0xFF && img[p + 2] == 0xFF && img[p + 3] == 0xFF)
            return p;
    }
    return -1;
}

void TOrloMemory::AddBlock(int start, int end) {
    if (end - start < 18)
        return;
    TBlockNode n;
    n.Interval = word(start + 4);
    n.ChannelMask = word(start + 6);
    n.CurrentZero = word(start + 8);
    n.CurrentScale = word(start + 10);
    n.VoltageScale = word(start + 12);
    n.CurrentMode = word(start + 14);
    n.Extra = word(start + 16);
    n.ChannelCount = std::popcount(unsigned(n.ChannelMask) & 0xFFFFu);
    n.DataStart = start + 18;
    n.DataEnd = end;
    Blocks.push_back(n);
}

int TOrloMemory::SplitBlocks() {
    FreeBlocks();
    int pos = 0;
    int last = 0;
    int m;
    do {
        m = FindMarker(pos);
        if (m > last)
            AddBlock(last, m);
        pos = m + 3;
        last = m;
    } while (m != -1);
    return BlockCount();
}

int TOrloMemory::SampleCount(const TBlockNode& node) {
    if (node.ChannelCount <= 0)
        return 0;
    return (node.DataEnd - node.DataStart) / 2 / node.ChannelCount;
}

int TOrloMemory::FillRecord(const TBlockNode& node, TDataBlock& block, QString* reason) const {
    block.Interval = node.Interval;
    block.ChannelMask = node.ChannelMask;
    block.CurrentZero = node.CurrentZero;
    block.CurrentScale = node.CurrentScale;
    block.VoltageScale = node.VoltageScale;
    block.CurrentMode = node.CurrentMode;
    block.Extra = node.Extra;
    block.Time.clear();
    block.Voltage.clear();
    block.Current.clear();
    block.Rpm.clear();
    if (node.ChannelCount <= 0) {
        if (reason)
            *reason = QStringLiteral("The block records no channel.");
        return -1;
    }
    const int n = SampleCount(node);
    const int cc = node.ChannelCount;
    if (n < 0 || node.DataStart < 0 ||
        std::int64_t(node.DataStart) + 2 * std::int64_t(n) * cc >
            std::int64_t(MemoryImage.size())) {
        if (reason)
            *reason = QStringLiteral("The samples lie beyond the memory image.");
        return -1;
    }
    const bool hasU = node.ChannelMask & ChannelVoltage;
    const bool hasI = node.ChannelMask & ChannelCurrent;
    const bool hasR = node.ChannelMask & ChannelRpm;
    block.Time.resize(n);
    if (hasU)
        block.Voltage.resize(n);
    if (hasI)
        block.Current.resize(n);
    if (hasR)
        block.Rpm.resize(n);
    const double step = node.Interval / 50.0;
    const double uScale = node.VoltageScale / 10000.0;
    const double iScale = node.CurrentScale / 10000.0;
    const double iFactor = node.CurrentMode == 100 ? 2.0 : node.CurrentMode == 200 ? 4.0 : 1.0;
    double t = 0;
    int at = node.DataStart;
    for (int k = 0; k < n; ++k) {
        block.Time[k] = t;
        t += step;
        int ch = 0;
        if (hasU)
            block.Voltage[k] = word(at + 2 * ch++) * uScale;
        if (hasI) {
            const int raw = word(at + 2 * ch++);
            block.Current[k] =
                node.CurrentMode == 1 ? raw * 2.5 : (node.CurrentZero - raw) * iScale * iFactor;
        }
        if (hasR)
            block.Rpm[k] = word(at + 2 * ch++) * 60.0;
        at += 2 * cc;
    }
    return n;
}

int TOrloMemory::BlockToRecord(int index, TDataBlock& block, QString* error) const {
    return BlockToRecord(index, block, NowDateText(), error);
}

int TOrloMemory::BlockToRecord(int index, TDataBlock& block, const std::string& dateText,
                               QString* error) const {
    block.DateText = dateText;
    block.Notes.clear();
    block.Modified = false;
    if (Blocks.empty())
        return BlockFailed;
    if (index < 0 || index >= BlockCount())
        return BlockNotFound;
    QString reason;
    const int n = FillRecord(Blocks[std::size_t(index)], block, &reason);
    if (n < 0) {
        if (error)
            *error = BlockLoadError(index, reason);
        return BlockFailed;
    }
    ComputeBlockStatistics(block, n);
    return n == 0 ? BlockNoSamples : n;
}

QString BlockLoadError(int index, const QString& reason) {
    return QStringLiteral("Error in loading data from block!\rBlock %1: ").arg(index + 1) + reason;
}

std::string NowDateText() {
    return DateTimeText(QDateTime::currentDateTime());
}

std::string DateTimeText(const QDateTime& moment) {
    const QLocale locale = QLocale::system();
    // The long time format keeps the locale's hours and seconds; the zone Qt adds
    // to it was never part of the text.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    const QString text = locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(moment.time(), timeFormat.trimmed());
    return platform::fromQt(text);
}

}  // namespace orlo
