#pragma once
// The downloaded logger memory and the blocks found in it.
//
// Layout: every block starts with a marker of four 0xFF bytes, then seven 16-bit
// big-endian header words, then the samples (one big-endian word per channel bit,
// highest bit first). Five 0xFF bytes end the memory; the terminator's first four
// act as the marker that closes the last block.

#include "orlo/data/TDataBlock.h"
#include "orlo/device/OrloProtocol.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace orlo {

struct TBlockNode {
    std::int32_t Interval = 0;
    std::int32_t ChannelMask = 0;
    std::int32_t CurrentZero = 0;
    std::int32_t CurrentScale = 0;
    std::int32_t VoltageScale = 0;
    std::int32_t CurrentMode = 0;
    std::int32_t Extra = 0;
    std::int32_t ChannelCount = 0;
    std::int32_t DataStart = 0;  // first sample byte (marker + 18)
    std::int32_t DataEnd = 0;    // the next marker
};

// Results of BlockToRecord besides a sample count (>= 1).
inline constexpr int BlockNotFound = 0;    // no block with that number: stop asking
inline constexpr int BlockFailed = -1;     // no blocks at all, or the conversion failed
inline constexpr int BlockNoSamples = -2;  // a block without samples: skip it, ask on

class TOrloMemory {
public:
    TOrloMemory();

    // Received bytes in order; after a download the checksum byte follows the last
    // memory byte.
    std::vector<std::uint8_t> MemoryImage;
    // Index of the last byte before the checksum byte; 0 before any download.
    std::int32_t MemoryCount = 0;
    // The same after a download; the recording-time estimate uses it.
    std::int32_t MemoryUsed = 0;
    std::vector<TBlockNode> Blocks;

    // Puts bytes in as a download would have left them (tests, decoding of files):
    // the image holds them and MemoryCount is the index of the last one.
    void SetMemory(std::span<const std::uint8_t> bytes);

    // First p >= from with four 0xFF at p, among from ... MemoryCount - 4; -1 if none.
    int FindMarker(int from) const;
    // A block from one marker to the next; shorter than marker plus header: nothing.
    void AddBlock(int start, int end);
    // Rebuilds Blocks from the image; returns their number.
    int SplitBlocks();
    void FreeBlocks() { Blocks.clear(); }
    int BlockCount() const { return int(Blocks.size()); }

    // Number of whole samples of a node.
    static int SampleCount(const TBlockNode& node);

    // Converts block number index (from 0) into block: the sample count (>= 1),
    // BlockNoSamples, BlockNotFound or BlockFailed. A block that cannot be converted
    // gives BlockFailed with error set (BlockLoadError); the others can still be
    // asked for. Without blocks, BlockFailed leaves error alone.
    int BlockToRecord(int index, TDataBlock& block, QString* error = nullptr) const;
    int BlockToRecord(int index, TDataBlock& block, const std::string& dateText,
                      QString* error) const;

    // Header and series of one node in physical units, without statistics; the
    // sample count, or -1 with reason set.
    int FillRecord(const TBlockNode& node, TDataBlock& block, QString* reason) const;

private:
    int word(int at) const { return (MemoryImage[at] << 8) | MemoryImage[at + 1]; }
};

// The report of a block that cannot be converted: "Error in loading data from
// block!", CR, then the block's number from 1 (as the "tmp" rows count) and the
// reason, so that the user can tell which of a download's blocks was lost.
QString BlockLoadError(int index, const QString& reason);

// The moment a block is taken from the logger: short date and long time of the
// user's locale (without the time zone), as 8-bit text.
std::string NowDateText();
std::string DateTimeText(const QDateTime& moment);

}  // namespace orlo
