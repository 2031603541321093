// The real serial adapter and the link session against the logger simulator on a
// pseudo-terminal: what a user's download, configuration work and interruptions do.
#include "OrloSimProcess.h"
#include "platform/testing/SkipOrFail.h"

#include "orlo/device/MemoryImageBuilder.h"
#include "orlo/device/OrloSession.h"
#include "platform/serial/PseudoTerminal.h"
#include "platform/serial/SerialPort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace orlo;
using orlo::testing::OrloSimProcess;
using orlo::testing::waitUntil;

class Window : public OrloLinkEvents {
public:
    std::vector<std::string> errors, statuses;
    std::string counter;
    int split = -1;
    bool ended = false;
    bool disconnected = false;
    int configFinished = 0, verified = 0, commandsDone = 0;
    bool configLoaded = false, verifyMatched = false;

    int SendBytes(std::span<const std::uint8_t>) override { return 0; }  // the session sends
    void StatusText(const QString& t) override { statuses.push_back(t.toStdString()); }
    void ByteCounter(const QString& t) override { counter = t.toStdString(); }
    void ErrorBox(const QString& t) override { errors.push_back(t.toStdString()); }
    void DownloadSplit(int n) override { split = n; }
    void ConfigReadFinished(bool loaded) override {
        ++configFinished;
        configLoaded = loaded;
    }
    void VerifyFinished(bool m) override {
        ++verified;
        verifyMatched = m;
    }
    void CommandFinished() override { ++commandsDone; }
    void DisconnectAfterFailure() override { disconnected = true; }
    void LinkEnded() override { ended = true; }
};

struct Rig {
    platform::SerialPort port;
    Window window;
    OrloSession session{port, window};

    bool connect(const QString& path) {
        QString status;
        const bool ok = session.Connect(path, status);
        EXPECT_EQ(status, ok ? QStringLiteral("Waiting for ORLO at ") + path : status);
        return ok;
    }
};

TEST(DeviceSimulatorTest, FullDownloadIntoBlocks) {
    if (!OrloSimProcess::available())
        SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
    OrloSimProcess sim({"--blocks", "4", "--samples", "120,0,35,2000", "--mask",
                        "0xC000,0xC000,0xE000,0x8000", "--current-mode", "0,1,200,100",
                        "--hello-repeat", "3", "--garbage", "3"});
    ASSERT_FALSE(sim.path().isEmpty());
    Rig rig;
    ASSERT_TRUE(rig.connect(sim.path()));
    ASSERT_TRUE(waitUntil([&] { return rig.window.ended; }));
    EXPECT_TRUE(rig.window.errors.empty()) << rig.window.errors.front();
    EXPECT_EQ(rig.window.split, 4);
    EXPECT_FALSE(rig.port.isOpen());
    const TOrloMemory& mem = rig.session.link().Memory;
    const int expected[] = {120, BlockNoSamples, 35, 2000};
    for (int b = 0; b < 4; ++b) {
        TDataBlock block;
        EXPECT_EQ(mem.BlockToRecord(b, block, "d", nullptr), expected[b]) << b;
    }
    EXPECT_EQ(rig.window.statuses.back(), "Data reading finished (4 blocks read.)");
}

TEST(DeviceSimulatorTest, DisconnectWhileWaitingEndsAtOnceAndClosesThePort) {
    platform::PseudoTerminal silent;  // a logger that is not switched on
    ASSERT_TRUE(silent.create());
    Rig rig;
    ASSERT_TRUE(rig.connect(silent.devicePath()));
    std::vector<std::uint8_t> got;
    ASSERT_TRUE(waitUntil([&] {
        const auto b = silent.read(10);
        got.insert(got.end(), b.begin(), b.end());
        return !got.empty();
    }));
    EXPECT_EQ(got, std::vector<std::uint8_t>{'*'});
    EXPECT_FALSE(rig.window.ended);
    rig.session.StopNow();  // no further event needs to run for the link to end
    EXPECT_TRUE(rig.window.ended);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_FALSE(rig.session.link().PortOpen);
    EXPECT_TRUE(rig.window.errors.empty());
}

TEST(DeviceSimulatorTest, DisconnectDuringAStalledDownload) {
    if (!OrloSimProcess::available())
        SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
    OrloSimProcess sim({"--blocks", "2", "--samples", "500", "--stall-after", "700"});
    ASSERT_FALSE(sim.path().isEmpty());
    Rig rig;
    ASSERT_TRUE(rig.connect(sim.path()));
    ASSERT_TRUE(waitUntil([&] { return rig.window.counter == "Number of bytes read: 700"; }));
    EXPECT_EQ(rig.session.link().phase(), OrloLink::Phase::Download);
    rig.session.StopNow();
    EXPECT_TRUE(rig.window.ended);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_TRUE(rig.window.errors.empty());  // a stopped download is no failure
    EXPECT_EQ(rig.window.split, -1);
    EXPECT_EQ(rig.session.link().Memory.MemoryUsed, 699);
}

TEST(DeviceSimulatorTest, FailuresOfTheLoggerEndTheLinkWithAnError) {
    struct Case {
        const char* name;
        QStringList args;
        std::string errorStart;
    };
    const Case cases[] = {
        {"hang-up in mid-download",
         {"--samples", "400", "--hangup-after", "900"},
         "The serial line was lost"},
        {"bad checksum", {"--bad-checksum"}, "Communication error, bad CRC. Buf="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!OrloSimProcess::available())
            SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
        OrloSimProcess sim(c.args);
        ASSERT_FALSE(sim.path().isEmpty());
        Rig rig;
        ASSERT_TRUE(rig.connect(sim.path()));
        ASSERT_TRUE(waitUntil([&] { return rig.window.ended; }));
        ASSERT_EQ(rig.window.errors.size(), 1u);
        EXPECT_EQ(rig.window.errors[0].rfind(c.errorStart, 0), 0u) << rig.window.errors[0];
        EXPECT_TRUE(rig.window.disconnected);
        EXPECT_EQ(rig.window.split, -1);
        EXPECT_FALSE(rig.port.isOpen());
    }
}

TEST(DeviceSimulatorTest, ConfigurationReadWriteVerifyAndErase) {
    // A logger that does not answer the greeting leaves the link waiting, where the
    // configuration commands work.
    if (!OrloSimProcess::available())
        SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
    OrloSimProcess sim({"--hello-repeat", "0", "--erase-delay", "30", "--garbage", "2"});
    ASSERT_FALSE(sim.path().isEmpty());
    Rig rig;
    ASSERT_TRUE(rig.connect(sim.path()));
    OrloLink& link = rig.session.link();

    link.RequestConfig(rig.session.now());
    ASSERT_TRUE(waitUntil([&] { return rig.window.configFinished == 1; }));
    EXPECT_TRUE(rig.window.configLoaded);
    EXPECT_TRUE(link.ConfigLoaded);
    EXPECT_EQ(ConfigWord(link.ConfigImage, cfg::Interval), 100);
    EXPECT_EQ(ConfigWord(link.ConfigImage, cfg::Number3), 3);

    SetConfigWord(link.ConfigImage, cfg::Number2, 4321);
    link.UploadConfig(rig.session.now());
    ASSERT_TRUE(waitUntil([&] { return rig.window.verified == 1; }));
    EXPECT_TRUE(rig.window.verifyMatched);
    EXPECT_TRUE(rig.window.errors.empty());

    // The logger keeps what was written: a fresh read brings it back.
    link.ConfigImage.fill(0);
    link.RequestConfig(rig.session.now());
    ASSERT_TRUE(waitUntil([&] { return rig.window.configFinished == 2; }));
    EXPECT_EQ(ConfigWord(link.ConfigImage, cfg::Number2), 4321);

    link.EraseMemory();
    ASSERT_TRUE(waitUntil([&] { return rig.window.statuses.back() == "Erasing finished."; }));
    EXPECT_EQ(link.PendingCommand, "");
    EXPECT_FALSE(rig.window.ended);
    rig.session.StopNow();
    EXPECT_TRUE(rig.window.ended);
}

TEST(DeviceSimulatorTest, VerifyOfARecordThatDiffers) {
    if (!OrloSimProcess::available())
        SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
    OrloSimProcess sim({"--hello-repeat", "0", "--verify-differ"});
    ASSERT_FALSE(sim.path().isEmpty());
    Rig rig;
    ASSERT_TRUE(rig.connect(sim.path()));
    rig.session.link().ConfigImage = {};
    rig.session.link().UploadConfig(rig.session.now());
    ASSERT_TRUE(waitUntil([&] { return rig.window.verified == 1; }));
    EXPECT_FALSE(rig.window.verifyMatched);
    EXPECT_EQ(rig.window.errors, std::vector<std::string>{"Verifying config file failed."});
    rig.session.StopNow();
}

}  // namespace
