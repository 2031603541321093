// "Read Offline Data" on the real serial port against charger-sim: the request
// button brings the session; silence after data gives the warning and the
// error status. The silence is measured by an injected clock.
#include "platform/serial/PolledPort.h"
#include "platform/testing/ScriptedPrompts.h"
#include "platform/testing/SkipOrFail.h"
#include "reception_SimulatorProcess.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/DocumentReceiver.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/ui/COfflineReadDialog.h"
#include "voltaro/reception/ui/ReceptionWindows.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace voltaro;
using voltaro::testing::SimulatorProcess;
using voltaro::testing::waitUntil;

class DialogSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SimulatorProcess::available())
            SKIP_OR_FAIL_IN_CI("no pseudo-terminals on this system");
        parsers.Add(std::make_unique<CProtParser_Kova>());
    }
    ParserList parsers;
    platform::ScriptedPrompts prompts;
    QWidget mainWindow;
};

TEST_F(DialogSimulatorTest, RequestButtonDownloadsTheSession) {
    SimulatorProcess sim;
    ASSERT_TRUE(
        sim.start({QStringLiteral("--offline"), QStringLiteral("--cycles"), QStringLiteral("CD"),
                   QStringLiteral("--samples"), QStringLiteral("10")}));
    platform::PolledSerialPort port;
    ASSERT_TRUE(port.open(sim.devicePath(), {}).ok());
    CDataModule session(nullptr);
    COfflineReadDialog dialog(session, port, parsers, prompts, &mainWindow,
                              [] { return qint64(0); });
    dialog.show();
    dialog.requestButton()->click();
    ASSERT_TRUE(waitUntil([&] { return dialog.IsFinished(); }));
    EXPECT_EQ(dialog.statusLabel()->text(), QStringLiteral("Read successful (2 blocks read)."));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(mainWindow.isEnabled());
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(session.m_blocks.GetCount(), 2u);
}

TEST_F(DialogSimulatorTest, SilenceGivesTheWarningAndErrors) {
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--offline"), QStringLiteral("--cycles"),
                           QStringLiteral("CD"), QStringLiteral("--samples"), QStringLiteral("10"),
                           QStringLiteral("--silence-after"), QStringLiteral("14")}));
    platform::PolledSerialPort port;
    ASSERT_TRUE(port.open(sim.devicePath(), {}).ok());
    CDataModule session(nullptr);
    qint64 now = 0;
    COfflineReadDialog dialog(session, port, parsers, prompts, &mainWindow, [&] { return now; });
    dialog.show();
    dialog.requestButton()->click();
    ASSERT_TRUE(
        waitUntil([&] { return sim.sent() == 1 && dialog.Reading().State().m_nLines == 14; }));
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_FALSE(dialog.IsFinished());
    now += 2001;
    ASSERT_TRUE(waitUntil([&] { return dialog.IsFinished(); }));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(
        prompts.messages()[0].text,
        QStringLiteral("Data reception has not finished successfully. Data may be corrupted."));
    EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Warning);
    EXPECT_EQ(dialog.statusLabel()->text(), QStringLiteral("There were errors! (2 blocks read)."));
    EXPECT_TRUE(mainWindow.isEnabled());
    // The user keeps what came with OK.
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(session.m_blocks.GetAt(1)->GetCount(), 2);
}

TEST_F(DialogSimulatorTest, OfflineDataCommandRunsTheDialogModally) {
    SimulatorProcess sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--offline"), QStringLiteral("--cycles"),
                           QStringLiteral("C"), QStringLiteral("--samples"), QStringLiteral("4")}));
    platform::PolledSerialPort port;
    const std::unique_ptr<ReceiverTimer> timer = MakeQtReceiverTimer();
    ReceptionServices services;
    services.port = &port;
    services.timer = timer.get();
    services.parsers = &parsers;
    InstallReceptionDialogs(services, prompts, &mainWindow);
    EXPECT_EQ(services.prompts, &prompts);  // the receiver's messages use the same door
    DocumentReceiver receiver(services);
    CMainDoc doc(true);
    receiver.Attach(doc);
    SerialOptions options = receiver.CurrentOptions();
    options.strPortName = sim.devicePath().toStdString();
    options.bSnooping = false;
    options.bSaveAsDefault = false;
    receiver.ApplyOptions(options);

    // Plays the user: request the data, then OK once the dialog has finished;
    // gives up (Cancel) rather than hang when nothing comes.
    QDeadlineTimer patience(15000);
    bool requested = false;
    bool ownerDisabledWhileReading = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* dialog = mainWindow.findChild<COfflineReadDialog*>();
        if (!dialog || !dialog->isVisible())
            return;
        if (patience.hasExpired()) {
            dialog->reject();
        } else if (!requested) {
            ownerDisabledWhileReading = !mainWindow.isEnabled();
            dialog->requestButton()->click();
            requested = true;
        } else if (dialog->IsFinished()) {
            dialog->okButton()->click();
        }
    });
    user.start(10);
    // The dialog's own modal loop, with the timer above as the user.
    prompts.answerDialog([](QDialog& d) { return d.exec(); });
    CDataModule* session = receiver.OnOfflineData();
    user.stop();
    ASSERT_EQ(prompts.modalRuns().size(), 1u);
    EXPECT_EQ(prompts.modalRuns()[0].title, QStringLiteral("Read Offline Data"));
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(ownerDisabledWhileReading);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(doc.m_sessions.GetTail(), session);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(session->m_blocks.GetCount(), 1u);
    EXPECT_EQ(session->m_blocks.GetAt(0)->GetCount(), 4);
    EXPECT_FALSE(port.isOpen());  // snooping is off: the port is closed again
    EXPECT_TRUE(prompts.messages().empty());
}

}  // namespace
