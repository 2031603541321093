// The Data Reading window with its own serial port against the logger simulator.
#include "OrloSimProcess.h"
#include "platform/testing/SkipOrFail.h"

#include "orlo/device/ui/TOrloComForm.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using namespace orlo;
using orlo::testing::OrloSimProcess;
using orlo::testing::waitUntil;

TEST(DeviceUiSimulatorTest, ReadDataDownloadsAndClosesWithTheBlockCount) {
    if (!OrloSimProcess::available())
        SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
    OrloSimProcess sim({"--blocks", "3", "--samples", "250,60,0", "--hello-repeat", "2"});
    ASSERT_FALSE(sim.path().isEmpty());
    platform::ScriptedPrompts prompts;
    TOrloComForm form(prompts);
    form.PortName = sim.path();
    int result = -1;
    QObject::connect(&form, &QDialog::finished, [&](int r) { result = r; });
    form.show();
    form.ConnectButtonClick();
    ASSERT_TRUE(waitUntil([&] { return result >= 0; }));
    EXPECT_EQ(result, 3);
    EXPECT_EQ(prompts.texts(), QStringList{"Data reading finished (3 blocks read.)"});
    TDataBlock b;
    EXPECT_EQ(form.BlockToRecord(0, b), 250);
    EXPECT_EQ(form.BlockToRecord(1, b), 60);
    EXPECT_EQ(form.BlockToRecord(2, b), BlockNoSamples);
}

TEST(DeviceUiSimulatorTest, DisconnectAndReconnectDuringAStalledDownload) {
    if (!OrloSimProcess::available())
        SKIP_OR_FAIL_IN_CI("orlo-sim needs pseudo-terminals");
    OrloSimProcess sim({"--samples", "400", "--stall-after", "1000"});
    ASSERT_FALSE(sim.path().isEmpty());
    platform::ScriptedPrompts prompts;
    TOrloComForm form(prompts);
    form.PortName = sim.path();
    form.show();
    form.ConnectButtonClick();
    ASSERT_TRUE(waitUntil(
        [&] { return form.DataLabel1->text() == QStringLiteral("Number of bytes read: 1000"); }));
    form.CancelButtonClick();
    EXPECT_FALSE(form.link().PortOpen);
    EXPECT_TRUE(form.ConnectButton->isEnabled());
    EXPECT_EQ(form.statusText(), QStringLiteral("Disconnected."));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(form.isVisible());
    // The port can be opened again at once.
    form.ConnectButtonClick();
    EXPECT_EQ(form.statusText(), QStringLiteral("Waiting for ORLO at ") + sim.path());
    EXPECT_TRUE(form.link().PortOpen);
    form.OKButtonClick();
    EXPECT_FALSE(form.link().PortOpen);
}

}  // namespace
