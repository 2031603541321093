// Splitting the logger memory into blocks and converting blocks into records.
#include "orlo/device/MemoryDownload.h"
#include "orlo/device/MemoryImageBuilder.h"
#include "orlo/device/TOrloMemory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace orlo;
using Bytes = std::vector<std::uint8_t>;

void putWord(Bytes& b, int v) {
    b.push_back(std::uint8_t(v >> 8));
    b.push_back(std::uint8_t(v & 0xFF));
}

Bytes marker() {
    return Bytes(4, 0xFF);
}

// Marker and header of a block.
Bytes head(int interval, int mask, int zero = 2048, int iscale = 100, int uscale = 100,
           int mode = 0, int extra = 0) {
    Bytes b = marker();
    for (int w : {interval, mask, zero, iscale, uscale, mode, extra})
        putWord(b, w);
    return b;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes words(std::initializer_list<int> ws) {
    Bytes b;
    for (int w : ws)
        putWord(b, w);
    return b;
}

struct SplitCase {
    const char* name;
    Bytes body;                              // without terminator and checksum
    std::vector<std::pair<int, int>> nodes;  // DataStart, DataEnd
    std::vector<int> samples;
};

TEST(DeviceMemoryTest, SplitsAtMarkersAsTheLoggerLaidThemOut) {
    const SplitCase cases[] = {
        {"one block of two channels and three samples",
         cat({head(5, 0xC000), words({1, 2, 3, 4, 5, 6})}),
         {{18, 30}},
         {3}},
        {"a header without samples, then a block",
         cat({head(5, 0xC000), head(5, 0x8000), words({7, 8})}),
         {{18, 18}, {36, 40}},
         {0, 2}},
        {"markers closer than 18 bytes: the first is skipped",
         cat({marker(), Bytes{1, 2, 3, 4, 5, 6}, head(5, 0x8000), words({9})}),
         {{28, 30}},
         {1}},
        {"a data length that is no multiple of the sample size",
         cat({head(5, 0xC000), words({1, 2, 3, 4, 5, 6}), Bytes{0x12}}),
         {{18, 31}},
         {3}},
        {"only the terminator", {}, {}, {}},
        {"three channels with revolutions, two blocks",
         cat({head(10, 0xE000), words({1, 2, 3}), head(10, 0xE000), words({4, 5, 6, 7, 8, 9})}),
         {{18, 24}, {42, 54}},
         {1, 2}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        TOrloMemory mem;
        const Bytes reply = TerminateMemory(c.body);
        const TDecodeResult r = DecodeMemoryReply(reply, mem);
        ASSERT_TRUE(r.Ok) << r.Error.toStdString();
        EXPECT_EQ(mem.MemoryCount, int(c.body.size()) + 4);
        ASSERT_EQ(r.Blocks, int(c.nodes.size()));
        ASSERT_EQ(mem.BlockCount(), int(c.nodes.size()));
        for (std::size_t i = 0; i < c.nodes.size(); ++i) {
            EXPECT_EQ(mem.Blocks[i].DataStart, c.nodes[i].first) << i;
            EXPECT_EQ(mem.Blocks[i].DataEnd, c.nodes[i].second) << i;
            EXPECT_EQ(TOrloMemory::SampleCount(mem.Blocks[i]), c.samples[i]) << i;
        }
    }
}

TEST(DeviceMemoryTest, FindMarkerLooksOnlyUpToFourBytesBeforeTheEnd) {
    TOrloMemory mem;
    const Bytes body = {0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0xFF, 0xFF, 0xFF, 0xFF};
    mem.SetMemory(body);  // MemoryCount 9
    EXPECT_EQ(mem.FindMarker(0), 1);
    EXPECT_EQ(mem.FindMarker(2), -1);  // the run at 6..9 ends on the last byte: no candidate
    EXPECT_EQ(mem.FindMarker(100), -1);
}

TEST(DeviceMemoryTest, HeaderWordsAreBigEndian) {
    TOrloMemory mem;
    ASSERT_TRUE(DecodeMemoryReply(
                    TerminateMemory(cat({head(0x0102, 0xE001, 0x0304, 0x0506, 0x0708, 200, 0x7FFE),
                                         words({1, 2, 3, 4})})),
                    mem)
                    .Ok);
    ASSERT_EQ(mem.BlockCount(), 1);
    const TBlockNode& n = mem.Blocks[0];
    EXPECT_EQ(n.Interval, 0x0102);
    EXPECT_EQ(n.ChannelMask, 0xE001);
    EXPECT_EQ(n.CurrentZero, 0x0304);
    EXPECT_EQ(n.CurrentScale, 0x0506);
    EXPECT_EQ(n.VoltageScale, 0x0708);
    EXPECT_EQ(n.CurrentMode, 200);
    EXPECT_EQ(n.Extra, 0x7FFE);
    EXPECT_EQ(n.ChannelCount, 4);
}

struct ConvertCase {
    const char* name;
    int mask, zero, iscale, uscale, mode;
    std::vector<int> raw;  // one sample
    double u, i, r;        // expected; NaN-free: only checked where the channel is present
};

TEST(DeviceMemoryTest, BlockToRecordConvertsToPhysicalUnits) {
    const ConvertCase cases[] = {
        {"voltage by its scale", 0x8000, 0, 0, 25, 0, {4800}, 12.0, 0, 0},
        {"current below zero is positive, x4 in mode 200",
         0x4000,
         2048,
         100,
         0,
         200,
         {2000},
         0,
         1.92,
         0},
        {"current x2 in mode 100", 0x4000, 2048, 100, 0, 100, {2000}, 0, 0.96, 0},
        {"direct current in mode 1 ignores zero and scale",
         0x4000,
         2048,
         100,
         0,
         1,
         {400},
         0,
         1000.0,
         0},
        {"revolutions times 60", 0xE000, 2048, 100, 100, 0, {1000, 2048, 123}, 10.0, 0.0, 7380.0},
        {"a fourth channel is counted and dropped",
         0xC010,
         2000,
         10,
         100,
         0,
         {500, 1000, 777},
         5.0,
         1.0,
         0},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes samples;
        for (int k = 0; k < 3; ++k)  // three equal samples
            for (int w : c.raw)
                putWord(samples, w);
        TOrloMemory mem;
        ASSERT_TRUE(DecodeMemoryReply(
                        TerminateMemory(
                            cat({head(25, c.mask, c.zero, c.iscale, c.uscale, c.mode), samples})),
                        mem)
                        .Ok);
        TDataBlock block;
        block.Notes = "old notes";
        block.Modified = true;
        QString error;
        ASSERT_EQ(mem.BlockToRecord(0, block, "1.2.2026 10:00:00", &error), 3)
            << error.toStdString();
        EXPECT_EQ(block.DateText, "1.2.2026 10:00:00");
        EXPECT_TRUE(block.Notes.empty());
        EXPECT_FALSE(block.Modified);
        EXPECT_EQ(block.ChannelMask, c.mask);
        ASSERT_EQ(block.Time.size(), 3u);
        EXPECT_DOUBLE_EQ(block.Time[2], 1.0);  // 25/50 s per sample
        EXPECT_EQ(block.Voltage.empty(), !(c.mask & 0x8000));
        EXPECT_EQ(block.Current.empty(), !(c.mask & 0x4000));
        EXPECT_EQ(block.Rpm.empty(), !(c.mask & 0x2000));
        if (c.mask & 0x8000) {
            EXPECT_NEAR(block.Voltage[1], c.u, 1e-9);
            EXPECT_NEAR(block.MaxU, c.u, 1e-9);  // statistics were computed
        }
        if (c.mask & 0x4000) {
            EXPECT_NEAR(block.Current[1], c.i, 1e-9);
        }
        if (c.mask & 0x2000) {
            EXPECT_NEAR(block.Rpm[1], c.r, 1e-9);
        }
    }
}

TEST(DeviceMemoryTest, EmptyBlockIsReportedApartAndLaterBlocksStillLoad) {
    TOrloMemory mem;
    ASSERT_TRUE(DecodeMemoryReply(TerminateMemory(cat({head(5, 0xC000), words({1, 2}),
                                                       head(5, 0xC000),  // no samples
                                                       head(5, 0x8000), words({3, 4, 5})})),
                                  mem)
                    .Ok);
    ASSERT_EQ(mem.BlockCount(), 3);
    TDataBlock block;
    EXPECT_EQ(mem.BlockToRecord(0, block, "d", nullptr), 1);
    EXPECT_EQ(mem.BlockToRecord(1, block, "d", nullptr), BlockNoSamples);
    EXPECT_EQ(mem.BlockToRecord(2, block, "d", nullptr), 3);
    EXPECT_EQ(mem.BlockToRecord(3, block, "d", nullptr), BlockNotFound);

    // The main window's loop: skip empty blocks, stop at the first missing one.
    std::vector<int> opened;
    for (int i = 0;; ++i) {
        const int n = mem.BlockToRecord(i, block, "d", nullptr);
        if (n == BlockNoSamples)
            continue;
        if (n < 1)
            break;
        opened.push_back(n);
    }
    EXPECT_EQ(opened, (std::vector<int>{1, 3}));
}

TEST(DeviceMemoryTest, BlockToRecordFailures) {
    TOrloMemory empty;
    TDataBlock block;
    EXPECT_EQ(empty.BlockToRecord(0, block, "d", nullptr), BlockFailed);

    TOrloMemory mem;
    ASSERT_TRUE(
        DecodeMemoryReply(TerminateMemory(cat({head(5, 0x0000), words({1, 2, 3})})), mem).Ok);
    QString error;
    EXPECT_EQ(mem.BlockToRecord(0, block, "d", &error), BlockFailed);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Error in loading data from block!\r")))
        << error.toStdString();
    EXPECT_GT(error.size(), 35);
}

TEST(DeviceMemoryTest, GeneratedImageRoundTripsThroughTheDecoder) {
    const TBlockSpec specs[] = {{5, 0xC000, 2048, 100, 100, 0, 0, 200},
                                {10, 0xE000, 2000, 50, 120, 200, 7, 1000},
                                {1, 0x8000, 0, 0, 100, 1, 0, 3}};
    TOrloMemory mem;
    const auto reply = BuildMemoryReply(specs);
    const TDecodeResult r = DecodeMemoryReply(reply, mem);
    ASSERT_TRUE(r.Ok) << r.Error.toStdString();
    ASSERT_EQ(r.Blocks, 3);
    for (int b = 0; b < 3; ++b) {
        TDataBlock block;
        ASSERT_EQ(mem.BlockToRecord(b, block, "d", nullptr), specs[b].Samples);
        EXPECT_EQ(block.Interval, specs[b].Interval);
        EXPECT_EQ(block.Extra, specs[b].Extra);
        EXPECT_NEAR(block.Voltage.back(),
                    SampleWord(b, specs[b].Samples - 1, 0) * specs[b].VoltageScale / 10000.0, 1e-9);
    }
}

}  // namespace

namespace {

TEST(DeviceMemoryDateText, ShortDateAndLongTimeOfTheLocaleWithoutZone) {
    const QDateTime moment(QDate(2026, 12, 11), QTime(9, 5, 7));
    const std::string text = orlo::DateTimeText(moment);
    // The two locales the suite runs under: C and a Czech one.
    if (qgetenv("LC_ALL").startsWith("cs_CZ"))
        EXPECT_EQ(text, "11.12.26 9:05:07");
    else
        EXPECT_EQ(text, "11 Dec 2026 09:05:07");
}

}  // namespace
