// The logger link fed bytes and ticks directly: greeting, dispatch, download,
// configuration read, write and verify, erase, stopping and line failures.
#include "orlo/device/MemoryImageBuilder.h"
#include "orlo/device/OrloLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace orlo;
using Bytes = std::vector<std::uint8_t>;

// Records every event as a short line; sent bytes go to their own list.
class Recorder : public OrloLinkEvents {
public:
    std::vector<std::string> log;
    Bytes sent;
    int acceptPerWrite = 1;  // bytes accepted per single-byte write

    int SendBytes(std::span<const std::uint8_t> b) override {
        const int n = std::min<int>(acceptPerWrite, int(b.size()));
        sent.insert(sent.end(), b.begin(), b.begin() + n);
        return n;
    }
    void StatusText(const QString& t) override { add("status:" + t); }
    void DeviceAnswered() override { add("answered"); }
    void ByteCounter(const QString& t) override { add("counter:" + t); }
    void ProgressPosition(int p) override { add(QStringLiteral("pos:%1").arg(p)); }
    void ProgressStep(int s) override { add(QStringLiteral("step:%1").arg(s)); }
    void ErrorBox(const QString& t) override { add("error:" + t); }
    void InformationBox(const QString& t) override { add("info:" + t); }
    void Busy(bool on) override { add(on ? "busy:on" : "busy:off"); }
    void MemoryUsedChanged() override { add("memused"); }
    void DownloadSplit(int n) override { add(QStringLiteral("split:%1").arg(n)); }
    void ConfigReadFinished(bool loaded) override { add(loaded ? "cfg:loaded" : "cfg:failed"); }
    void VerifyFinished(bool m) override { add(m ? "verify:match" : "verify:differ"); }
    void CommandFinished() override { add("done"); }
    void DisconnectAfterFailure() override { add("disconnect"); }
    void LinkEnded() override { add("ended"); }

    bool has(const std::string& line) const {
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    int count(const std::string& prefix) const {
        return int(std::count_if(log.begin(), log.end(),
                                 [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    std::vector<std::string> with(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& l : log)
            if (l.rfind(prefix, 0) == 0)
                out.push_back(l);
        return out;
    }

private:
    void add(const QString& s) { log.push_back(s.toStdString()); }
    void add(const char* s) { log.emplace_back(s); }
};

Bytes str(const char* s) {
    return Bytes(s, s + std::strlen(s));
}

struct Fixture {
    Recorder rec;
    OrloLink link{rec};
    std::int64_t now = 1000;

    void open() { link.Opened(now); }
    void feed(const Bytes& b) { link.Feed(b, now); }
    void feed(const char* s) { feed(str(s)); }
    // Opened, greeted, and the "D" the greeting brings has been sent.
    void connect() {
        open();
        feed("*");
        rec.log.clear();
        rec.sent.clear();
    }
};

TEST(DeviceLinkTest, ChecksumExamples) {
    Bytes a(264, 0);
    a[0] = 1, a[1] = 2, a[2] = 3;
    EXPECT_EQ(XorChecksum(a), 0x00);
    Bytes b(264, 0);
    b[0] = 0xFF;
    EXPECT_EQ(XorChecksum(b), 0xFF);
    EXPECT_EQ(XorChecksum(str("RW")), 'R' ^ 'W');
}

TEST(DeviceLinkTest, RepeatedHelloSendsExactlyOneMemoryRequest) {
    Fixture f;
    f.open();
    EXPECT_EQ(f.rec.sent, str("*"));
    EXPECT_TRUE(f.link.PortOpen);
    EXPECT_FALSE(f.link.DeviceAnswered);
    f.feed("***");
    f.feed("*");
    EXPECT_EQ(f.rec.sent, str("*D"));
    EXPECT_TRUE(f.link.DeviceAnswered);
    EXPECT_EQ(f.link.PendingCommand, "D");
    EXPECT_EQ(f.rec.log, (std::vector<std::string>{"status:Connected to ORLO", "answered", "pos:0",
                                                   "counter:Number of bytes read: 0"}));
}

TEST(DeviceLinkTest, BytesThatAnswerNothingPendingAreDropped) {
    struct Case {
        const char* name;
        const char* pending;
        const char* bytes;
    };
    const Case cases[] = {
        {"before the greeting every letter but * is dropped", "", "DREx\x01"},
        {"reply letters of commands not pending", "D", "REW*x"},
        {"a configuration letter while the memory is pending", "D", "RRR"},
        {"an erase letter while a read is pending", "R", "ED*"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.open();
        if (*c.pending) {
            f.feed("*");
            f.link.PendingCommand = c.pending;
        }
        f.rec.log.clear();
        f.rec.sent.clear();
        f.feed(c.bytes);
        EXPECT_EQ(f.link.phase(), OrloLink::Phase::Dispatch);
        EXPECT_EQ(f.link.PendingCommand, c.pending);
        EXPECT_TRUE(f.rec.sent.empty());
        for (const auto& l : f.rec.log)  // nothing but maybe the first greeting
            EXPECT_TRUE(l == "status:Connected to ORLO" || l == "answered" || l == "pos:0" ||
                        l.rfind("counter:", 0) == 0)
                << l;
    }
}

TEST(DeviceLinkTest, DownloadSplitsChecksAndEndsTheLink) {
    Fixture f;
    f.connect();
    const TBlockSpec specs[] = {{5, 0xC000, 2048, 100, 100, 0, 0, 40},
                                {5, 0xE000, 2048, 100, 100, 0, 0, 10},
                                {5, 0x8000, 2048, 100, 100, 0, 0, 7}};
    Bytes reply = BuildMemoryReply(specs);
    const int memoryBytes = int(reply.size()) - 1;
    Bytes stream = str("D");
    stream.insert(stream.end(), reply.begin(), reply.end());
    stream.insert(stream.end(), {'*', 'R', 0xFF});  // after the checksum: ignored
    // In uneven pieces, as a port delivers them.
    for (std::size_t at = 0; at < stream.size(); at += 37)
        f.feed(Bytes(stream.begin() + at, stream.begin() + std::min(stream.size(), at + 37)));

    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Closed);
    EXPECT_FALSE(f.link.PortOpen);
    EXPECT_EQ(f.link.PendingCommand, "");
    EXPECT_EQ(f.link.Memory.MemoryCount, memoryBytes - 1);
    EXPECT_EQ(f.link.Memory.MemoryUsed, memoryBytes - 1);
    EXPECT_EQ(f.link.Memory.BlockCount(), 3);
    EXPECT_EQ(f.link.Memory.MemoryImage[std::size_t(memoryBytes)], reply.back());
    EXPECT_TRUE(f.rec.has("status:Data reading started."));
    EXPECT_TRUE(f.rec.has("info:Data reading finished (3 blocks read.)"));
    EXPECT_TRUE(f.rec.has("split:3"));
    EXPECT_EQ(f.rec.count("error:"), 0);
    // The log ends with the clean-up, in order.
    const std::vector<std::string> tail(f.rec.log.end() - 4, f.rec.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"split:3", "busy:off", "done", "ended"}));
    EXPECT_TRUE(f.rec.sent.empty());
}

TEST(DeviceLinkTest, ByteCounterTexts) {
    struct Case {
        int memoryBytes;  // before the checksum, terminator included
        std::vector<std::string> counters;
        int step;
        int blocks;
    };
    const Case cases[] = {
        {5, {"counter:Number of bytes read: 0", "counter:Number of bytes read: 0"}, 5, 0},
        {6, {"counter:Number of bytes read: 0", "counter:Number of bytes read: 5"}, 6, 0},
        {255,
         {"counter:Number of bytes read: 0", "counter:Number of bytes read: 100",
          "counter:Number of bytes read: 200", "counter:Number of bytes read: 254"},
         255,
         1},
        {1200,
         {"counter:Number of bytes read: 0", "counter:Number of bytes read: 100",
          "counter:Number of bytes read: 200", "counter:Number of bytes read: 300",
          "counter:Number of bytes read: 400", "counter:Number of bytes read: 500",
          "counter:Number of bytes read: 600", "counter:Number of bytes read: 700",
          "counter:Number of bytes read: 800", "counter:Number of bytes read: 900",
          "counter:Number of bytes read: 1000", "counter:Number of bytes read: 1100",
          "counter:Number of bytes read: 1200", "counter:Number of bytes read: 1199"},
         200,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.memoryBytes);
        Fixture f;
        f.connect();
        Bytes body(std::size_t(c.memoryBytes - 5), 0x11);
        Bytes stream = str("D");
        const Bytes reply = TerminateMemory(body);
        stream.insert(stream.end(), reply.begin(), reply.end());
        f.feed(stream);
        EXPECT_EQ(f.rec.with("counter:"), c.counters);
        EXPECT_EQ(f.rec.with("step:"),
                  (std::vector<std::string>{"step:" + std::to_string(c.step)}));
        // A memory that does not start with a marker still gives a block from its
        // start when that is long enough for a header.
        EXPECT_TRUE(f.rec.has("split:" + std::to_string(c.blocks)));
    }
}

TEST(DeviceLinkTest, FiveFFsEndTheMemoryWhereverTheyOccur) {
    Fixture f;
    f.connect();
    // A 0xFF run inside a header: the byte after the fifth 0xFF is the checksum.
    Bytes body = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF};
    Bytes stream = str("D");
    stream.insert(stream.end(), body.begin(), body.end());
    stream.insert(stream.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    const std::uint8_t cs = XorChecksum(Bytes(stream.begin() + 1, stream.end()));
    stream.push_back(cs);
    stream.insert(stream.end(), {0x00, 0x00, 0x00});
    f.feed(stream);
    EXPECT_EQ(f.link.Memory.MemoryCount, 9);
    EXPECT_EQ(f.rec.count("error:"), 0);
    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Closed);
}

TEST(DeviceLinkTest, BadChecksumReportsBothValuesAndSplitsNothing) {
    Fixture f;
    f.connect();
    const TBlockSpec blocks[] = {{}};
    Bytes reply = BuildMemoryReply(blocks);
    const int good = reply.back();
    reply.back() = std::uint8_t(good ^ 0x5A);
    Bytes stream = str("D");
    stream.insert(stream.end(), reply.begin(), reply.end());
    f.feed(stream);
    const std::string expected =
        "error:Communication error, bad CRC. Buf=" + std::to_string(good ^ 0x5A) +
        ", CRC=" + std::to_string(good);
    EXPECT_TRUE(f.rec.has(expected));
    EXPECT_TRUE(f.rec.has("disconnect"));
    EXPECT_EQ(f.rec.count("split:"), 0);
    EXPECT_EQ(f.rec.count("memused"), 0);
    EXPECT_EQ(f.link.Memory.BlockCount(), 0);
    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Closed);
    EXPECT_EQ(f.rec.log.back(), "ended");
}

TEST(DeviceLinkTest, MemoryStopsGrowingAtTheImageSize) {
    Fixture f;
    f.connect();
    Bytes stream = str("D");
    stream.resize(1 + MemoryImageSize - 1, 0x00);
    stream.push_back(0x07);                 // byte 550001, compared with the checksum (7)
    stream.insert(stream.end(), 10, 0x33);  // never stored
    f.feed(stream);
    EXPECT_EQ(f.link.Memory.MemoryCount, MemoryImageSize - 1);
    EXPECT_EQ(f.link.Memory.MemoryImage.size(), std::size_t(MemoryImageSize));
    EXPECT_EQ(f.rec.count("error:"), 0);
    EXPECT_TRUE(f.rec.has("split:0"));
    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Closed);
}

TEST(DeviceLinkTest, StopEndsTheLinkInEveryPhase) {
    struct Case {
        const char* name;
        const char* pending;
        const char* bytes;  // fed before the stop
        std::vector<std::string> expectedTail;
    };
    const Case cases[] = {
        {"waiting for the greeting", "", "", {"ended"}},
        {"download in progress: no checksum test, no split",
         "D",
         "D\xFF\xFF\xFF\xFF\x01\x02",
         {"counter:Number of bytes read: 5", "step:6", "memused", "busy:off", "done", "ended"}},
        {"configuration read in progress",
         "R",
         "R\x01\x02\x03",
         {"error:Reading failed, only 3 bytes read.", "cfg:failed",
          "status:Config file reading finished.", "done", "ended"}},
        {"erase in progress", "E", "E", {"busy:off", "done", "ended"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.open();
        if (*c.pending) {
            f.feed("*");
            f.link.PendingCommand = c.pending;
        }
        f.feed(c.bytes);
        f.rec.log.clear();
        f.link.Stop();
        EXPECT_TRUE(f.rec.log.empty());  // the stop takes effect at the next tick
        f.link.Tick(f.now + 1);
        ASSERT_GE(f.rec.log.size(), c.expectedTail.size());
        const std::vector<std::string> tail(f.rec.log.end() - long(c.expectedTail.size()),
                                            f.rec.log.end());
        EXPECT_EQ(tail, c.expectedTail);
        EXPECT_EQ(f.link.phase(), OrloLink::Phase::Closed);
        EXPECT_FALSE(f.link.PortOpen);
        EXPECT_EQ(f.link.PendingCommand, "");
        EXPECT_EQ(f.rec.count("split:"), 0);
        f.feed("*D");  // a closed link takes nothing
        EXPECT_EQ(f.rec.log.back(), "ended");
    }
}

Bytes configRecord() {
    Bytes r(ConfigSize);
    for (int i = 0; i < ConfigSize; ++i)
        r[std::size_t(i)] = std::uint8_t(i * 7 + 3);
    return r;
}

Bytes configReply(const Bytes& record, int checksumDelta = 0) {
    Bytes b = str("R");
    b.insert(b.end(), record.begin(), record.end());
    b.push_back(std::uint8_t(XorChecksum(record) ^ checksumDelta));
    return b;
}

TEST(DeviceLinkTest, ConfigurationReadTakesTheRecord) {
    Fixture f;
    f.connect();
    f.link.RequestConfig(f.now);
    EXPECT_EQ(f.rec.sent, str("R"));
    EXPECT_EQ(f.link.PendingCommand, "R");
    const Bytes record = configRecord();
    const Bytes reply = configReply(record);
    for (std::size_t at = 0; at < reply.size(); at += 50)
        f.feed(Bytes(reply.begin() + at, reply.begin() + std::min(reply.size(), at + 50)));
    EXPECT_TRUE(f.link.ConfigLoaded);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), f.link.ConfigImage.begin()));
    EXPECT_EQ(f.rec.log, (std::vector<std::string>{
                             "cfg:loaded", "status:Config file reading finished.", "done"}));
    EXPECT_EQ(f.link.PendingCommand, "");
    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Dispatch);  // the link stays open
}

TEST(DeviceLinkTest, ConfigurationReadFailuresKeepTheOldRecord) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::int64_t tickAfter;  // ms after the last byte; 0: no tick
        std::string error;
    };
    const Bytes record = configRecord();
    Bytes partial = configReply(record);
    partial.resize(101);  // letter and 100 bytes
    const Case cases[] = {
        {"bad checksum", configReply(record, 1), 0, "error:Reading failed, CRC error."},
        {"the logger falls silent", partial, 2000, "error:Reading failed, only 100 bytes read."},
        {"the logger never answers", {}, 2000, "error:Reading failed, only 0 bytes read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.connect();
        f.link.ConfigImage.fill(0xAB);
        f.link.RequestConfig(f.now);
        f.feed(c.bytes);
        if (c.tickAfter) {
            f.link.Tick(f.now + c.tickAfter - 1);
            EXPECT_EQ(f.rec.count("error:"), 0);  // not yet
            f.link.Tick(f.now + c.tickAfter);
        }
        EXPECT_TRUE(f.rec.has(c.error));
        EXPECT_TRUE(f.rec.has("cfg:failed"));
        EXPECT_TRUE(f.rec.has("done"));
        EXPECT_FALSE(f.link.ConfigLoaded);
        EXPECT_EQ(f.link.ConfigImage[0], 0xAB);
        EXPECT_EQ(f.link.ConfigImage[263], 0xAB);
        EXPECT_EQ(f.link.PendingCommand, "");
    }
}

TEST(DeviceLinkTest, UploadWritesTheRecordAndVerifiesIt) {
    Fixture f;
    f.connect();
    const Bytes record = configRecord();
    std::copy(record.begin(), record.end(), f.link.ConfigImage.begin());
    f.link.UploadConfig(f.now);
    Bytes expected = str("W");
    expected.insert(expected.end(), record.begin(), record.end());
    expected.push_back('R');
    EXPECT_EQ(f.rec.sent, expected);
    EXPECT_EQ(f.link.PendingCommand, "W");
    EXPECT_EQ(f.rec.with("status:"),
              (std::vector<std::string>{"status:Config file writing started.",
                                        "status:Config file writing finished.",
                                        "status:Verifying config file."}));
    f.rec.log.clear();
    f.feed("W");  // an echo is ignored
    f.feed(configReply(record));
    EXPECT_EQ(f.rec.log, (std::vector<std::string>{"status:Config file writing finished.",
                                                   "verify:match", "done"}));
    EXPECT_TRUE(f.link.ConfigLoaded);
    EXPECT_EQ(f.link.PendingCommand, "");
}

TEST(DeviceLinkTest, VerifyFailures) {
    struct Case {
        const char* name;
        int changedByte;     // -1: none
        int checksumDelta;   // applied to the checksum byte
        int bytesBeforeGap;  // -1: the whole reply arrives
        std::string error;
        bool disconnects;
    };
    const Case cases[] = {
        {"one byte differs", 200, 0, -1, "error:Verifying config file failed.", false},
        {"bad checksum", -1, 3, -1, "error:Config file reading failed, CRC error.", true},
        {"a byte is 100 ms late", -1, 0, 10, "error:Communication error, no response from device",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.connect();
        const Bytes record = configRecord();
        std::copy(record.begin(), record.end(), f.link.ConfigImage.begin());
        f.link.UploadConfig(f.now);
        f.rec.log.clear();
        Bytes back = record;
        if (c.changedByte >= 0)
            back[std::size_t(c.changedByte)] ^= 1;
        Bytes reply = configReply(back, c.checksumDelta);
        if (c.bytesBeforeGap >= 0) {
            reply.resize(std::size_t(1 + c.bytesBeforeGap));
            f.feed(reply);
            f.link.Tick(f.now + 99);
            EXPECT_EQ(f.rec.count("error:"), 0);
            f.link.Tick(f.now + 100);
        } else {
            f.feed(reply);
        }
        EXPECT_TRUE(f.rec.has(c.error));
        EXPECT_EQ(f.rec.has("disconnect"), c.disconnects);
        EXPECT_TRUE(f.rec.has("verify:differ"));
        EXPECT_TRUE(f.rec.has("done"));
        EXPECT_EQ(f.link.PendingCommand, "");
        // The record written stays the one the user edited.
        EXPECT_TRUE(std::equal(record.begin(), record.end(), f.link.ConfigImage.begin()));
    }
}

TEST(DeviceLinkTest, VerifyThatNeverBeginsIsBounded) {
    Fixture f;
    f.connect();
    f.link.UploadConfig(f.now);
    f.rec.log.clear();
    f.link.Tick(f.now + 1999);
    EXPECT_TRUE(f.rec.log.empty());
    f.link.Tick(f.now + 2000);
    EXPECT_TRUE(f.rec.has("error:Communication error, no response from device"));
    EXPECT_TRUE(f.rec.has("disconnect"));
    EXPECT_TRUE(f.rec.has("verify:differ"));
    EXPECT_EQ(f.link.PendingCommand, "");
}

TEST(DeviceLinkTest, ShortWriteIsReported) {
    Fixture f;
    f.connect();
    f.rec.acceptPerWrite = 0;
    f.link.UploadConfig(f.now);
    EXPECT_TRUE(f.rec.has("error:Only 0 bytes written."));
}

TEST(DeviceLinkTest, EraseWaitsForTheSecondLetter) {
    struct Case {
        const char* bytes;
        std::string status;
    };
    const Case cases[] = {{"EE", "status:Erasing finished."},
                          {"EX", "status:Command:E expected, but X found"},
                          {"E*", "status:Command:E expected, but * found"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        Fixture f;
        f.connect();
        f.link.EraseMemory();
        EXPECT_EQ(f.rec.sent, str("E"));
        EXPECT_EQ(f.link.PendingCommand, "E");
        f.feed(Bytes{std::uint8_t(c.bytes[0])});
        EXPECT_EQ(f.rec.log,
                  (std::vector<std::string>{"status:Erasing started, please wait.", "busy:on"}));
        f.link.Tick(f.now + 60000);  // erasing takes its time: no limit
        EXPECT_EQ(f.link.phase(), OrloLink::Phase::EraseWait);
        f.feed(Bytes{std::uint8_t(c.bytes[1])});
        EXPECT_EQ(f.rec.log, (std::vector<std::string>{"status:Erasing started, please wait.",
                                                       "busy:on", c.status, "busy:off", "done"}));
        EXPECT_EQ(f.link.PendingCommand, "");
    }
}

TEST(DeviceLinkTest, LineFailureInTheMiddleOfADownloadEndsTheLink) {
    Fixture f;
    f.connect();
    f.feed("D\xFF\xFF\xFF\xFF\x00\x05");
    f.rec.log.clear();
    f.link.LineFailed(QStringLiteral("line lost"));
    EXPECT_EQ(f.rec.log, (std::vector<std::string>{"error:line lost", "disconnect", "busy:off",
                                                   "done", "ended"}));
    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Closed);
    f.link.LineFailed(QStringLiteral("again"));  // a closed link reports nothing more
    EXPECT_EQ(f.rec.log.size(), 5u);
}

TEST(DeviceLinkTest, SilenceLimitOfTheDownloadWhenChosen) {
    Fixture f;
    OrloLinkOptions o;
    o.DownloadSilenceMs = 3000;
    f.link.setOptions(o);
    f.connect();
    f.feed("D\xFF\xFF");
    f.link.Tick(f.now + 2999);
    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Download);
    f.link.Tick(f.now + 3000);
    EXPECT_TRUE(f.rec.has("error:Communication error, no response from device"));
    EXPECT_EQ(f.link.phase(), OrloLink::Phase::Closed);

    Fixture g;  // by default the download waits for Disconnect
    g.connect();
    g.feed("D\xFF\xFF");
    g.link.Tick(g.now + 3600000);
    EXPECT_EQ(g.link.phase(), OrloLink::Phase::Download);
}

}  // namespace
