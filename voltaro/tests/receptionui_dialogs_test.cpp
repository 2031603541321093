// The reception windows offscreen: "Read Offline Data" driven through its pump
// with a fake port and clock, "Options" and the line settings editor.
#include "platform/testing/ScriptedPrompts.h"
#include "reception_FakePort.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/reception/CProtParser_Kova.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/SerialLineSettings.h"
#include "voltaro/reception/ui/CLineSettingsDialog.h"
#include "voltaro/reception/ui/COfflineReadDialog.h"
#include "voltaro/reception/ui/CSerialOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using namespace voltaro;
using voltaro::testing::FakePort;

class OfflineDialogTest : public ::testing::Test {
protected:
    OfflineDialogTest() : session(nullptr) {
        parsers.Add(std::make_unique<CProtParser_Kova>());
        port.open(QStringLiteral("COM1"), {});
    }
    std::unique_ptr<COfflineReadDialog> makeDialog() {
        auto d = std::make_unique<COfflineReadDialog>(session, port, parsers, prompts, &mainWindow,
                                                      [this] { return now; });
        d->show();
        return d;
    }

    QWidget mainWindow;
    qint64 now = 0;
    CDataModule session;
    ParserList parsers;
    FakePort port;
    platform::ScriptedPrompts prompts;
};

TEST_F(OfflineDialogTest, RequestReadAndFinishWithOk) {
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Read Offline Data"));
    EXPECT_EQ(dialog->statusLabel()->text(), QStringLiteral("Waiting for data ...."));
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(dialog->requestButton()->isEnabled());
    EXPECT_FALSE(dialog->okButton()->isEnabled());
    dialog->requestButton()->click();
    dialog->Pump();
    EXPECT_EQ(port.written, "U");

    port.send("*** KOVA v2.10 \"\r\n3:0:12000:0 0\r\n3:30:12");
    dialog->Pump();
    EXPECT_FALSE(dialog->requestButton()->isEnabled());
    EXPECT_EQ(dialog->statusLabel()->text(),
              QStringLiteral("Reading... (2 lines, 0 bad, 1 blocks)"));
    EXPECT_FALSE(dialog->IsFinished());

    port.send("050:1000 0\r\n\f");
    dialog->Pump();
    EXPECT_TRUE(dialog->IsFinished());
    EXPECT_EQ(dialog->statusLabel()->text(), QStringLiteral("Read successful (1 block read)."));
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_TRUE(dialog->okButton()->isEnabled());
    EXPECT_FALSE(dialog->requestButton()->isEnabled());
    EXPECT_TRUE(prompts.messages().empty());
    dialog->okButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(session.m_blocks.GetCount(), 1u);
}

TEST_F(OfflineDialogTest, SilenceWarnsAndReportsErrors) {
    auto dialog = makeDialog();
    port.send("*** KOVA v2.10 \"\r\n3:0:12000:0 0\r\n*** KOVA v2.10 !\r\n3:0:12000:0-0\r\n");
    dialog->Pump();
    now += 2000;
    dialog->Pump();
    EXPECT_FALSE(dialog->IsFinished());
    now += 1;
    dialog->Pump();
    ASSERT_TRUE(dialog->IsFinished());
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(
        prompts.messages()[0].text,
        QStringLiteral("Data reception has not finished successfully. Data may be corrupted."));
    EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Warning);
    EXPECT_EQ(dialog->statusLabel()->text(), QStringLiteral("There were errors! (2 blocks read)."));
    EXPECT_TRUE(dialog->okButton()->isEnabled());
    // Cancel now only closes.
    dialog->cancelButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->Reading().GetOutcome(), StreamReading::Outcome::TimedOut);
}

TEST_F(OfflineDialogTest, CancelWhileReadingDiscards) {
    auto dialog = makeDialog();
    port.send("*** KOVA v2.10 \"\r\n3:0:12000:0 0\r\n");
    dialog->Pump();
    dialog->cancelButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->Reading().GetOutcome(), StreamReading::Outcome::Cancelled);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_TRUE(prompts.messages().empty());
    // Nothing more is read.
    port.send("3:30:12000:0 0\r\n");
    dialog->Pump();
    EXPECT_EQ(port.incoming.size(), 16u);
}

TEST_F(OfflineDialogTest, FailedRequestIsReportedAndTheDialogWaits) {
    auto dialog = makeDialog();
    port.refuseWrites = true;
    dialog->requestButton()->click();
    dialog->Pump();
    EXPECT_EQ(prompts.texts(),
              QStringList{QStringLiteral("Could not transmit data request message.")});
    EXPECT_FALSE(dialog->IsFinished());
    EXPECT_TRUE(dialog->requestButton()->isEnabled());
    // Silence before any data is no time-out.
    now += 60000;
    dialog->Pump();
    EXPECT_FALSE(dialog->IsFinished());
}

TEST_F(OfflineDialogTest, ClosingTheDialogGivesTheMainWindowBack) {
    {
        auto dialog = makeDialog();
        EXPECT_FALSE(mainWindow.isEnabled());
    }
    EXPECT_TRUE(mainWindow.isEnabled());
}

TEST(SerialOptionsDialog, ComPortsSetupAndChoices) {
    SerialOptions in;
    in.nPortIndex = 3;
    in.bSnooping = false;
    platform::ScriptedPrompts prompts;
    CSerialOptionsDialog dialog(in, {}, prompts);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));
    ASSERT_EQ(dialog.portCombo()->count(), 14);
    EXPECT_EQ(dialog.portCombo()->itemText(0), QStringLiteral("COM1"));
    EXPECT_EQ(dialog.portCombo()->itemText(13), QStringLiteral("COM14"));
    EXPECT_EQ(dialog.portCombo()->currentText(), QStringLiteral("COM4"));
    EXPECT_FALSE(dialog.snoopingCheck()->isChecked());
    EXPECT_EQ(dialog.snoopingCheck()->text(),
              QStringLiteral("&Serial Port Snooping (Auto-create Online Sessions)"));
    EXPECT_TRUE(dialog.saveDefaultCheck()->isChecked());
    EXPECT_EQ(dialog.setupButton()->text(), QStringLiteral("S&etup..."));

    // The line settings dialog: 4800 accepted once, then 300 cancelled.
    const auto setBaud = [](const QString& rate, int result) {
        return [rate, result](QDialog& d) {
            auto& line = dynamic_cast<CLineSettingsDialog&>(d);
            line.baudRate()->setCurrentText(rate);
            return result;
        };
    };
    prompts.answerDialog(setBaud(QStringLiteral("4800"), QDialog::Accepted));
    prompts.answerDialog(setBaud(QStringLiteral("300"), QDialog::Rejected));
    dialog.portCombo()->setCurrentIndex(5);
    dialog.setupButton()->click();
    dialog.setupButton()->click();  // cancelled: the copy keeps 4800 from the first
    ASSERT_EQ(prompts.modalRuns().size(), 2u);
    EXPECT_EQ(prompts.modalRuns()[0].title, SerialPortName(5, {}) + QStringLiteral(" Properties"));
    dialog.snoopingCheck()->setChecked(true);
    dialog.saveDefaultCheck()->setChecked(false);
    const SerialOptions out = dialog.Options();
    EXPECT_EQ(out.nPortIndex, 5);
    EXPECT_TRUE(out.strPortName.empty());
    EXPECT_TRUE(out.bSnooping);
    EXPECT_FALSE(out.bSaveAsDefault);
    EXPECT_EQ(out.dcb.BaudRate, 4800u);
}

TEST(SerialOptionsDialog, NamedPortsKeepTheChosenDevice) {
    SerialOptions in;
    in.strPortName = "ttyUSB7";
    platform::ScriptedPrompts prompts;
    CSerialOptionsDialog dialog(in, {QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")}, prompts);
    ASSERT_EQ(dialog.portCombo()->count(), 3);
    EXPECT_EQ(dialog.portCombo()->currentText(), QStringLiteral("ttyUSB7"));
    EXPECT_EQ(dialog.Options().strPortName, "ttyUSB7");
    dialog.portCombo()->setCurrentIndex(1);
    EXPECT_EQ(dialog.Options().strPortName, "ttyUSB0");
    EXPECT_EQ(dialog.Options().nPortIndex, 1);
}

TEST(LineSettingsDialog, ShowsAndChangesTheRecord) {
    SerialControlRecord dcb;
    dcb.XonLim = 77;
    CLineSettingsDialog dialog(dcb, QStringLiteral("COM2"));
    EXPECT_EQ(dialog.baudRate()->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(dialog.dataBits()->currentText(), QStringLiteral("8"));
    EXPECT_EQ(dialog.parity()->currentText(), QStringLiteral("None"));
    EXPECT_EQ(dialog.stopBits()->currentText(), QStringLiteral("1"));
    EXPECT_EQ(dialog.flowControl()->currentText(), QStringLiteral("None"));
    EXPECT_EQ(dialog.Record(), dcb);

    dialog.baudRate()->setCurrentText(QStringLiteral("19200"));
    dialog.dataBits()->setCurrentIndex(dialog.dataBits()->findText(QStringLiteral("7")));
    dialog.parity()->setCurrentIndex(dialog.parity()->findText(QStringLiteral("Even")));
    dialog.stopBits()->setCurrentIndex(dialog.stopBits()->findText(QStringLiteral("2")));
    dialog.flowControl()->setCurrentIndex(
        dialog.flowControl()->findText(QStringLiteral("Hardware")));
    const SerialControlRecord r = dialog.Record();
    EXPECT_EQ(r.BaudRate, 19200u);
    EXPECT_EQ(r.ByteSize, 7);
    EXPECT_EQ(r.ParityMode, SerialControlRecord::EvenParity);
    EXPECT_TRUE(r.Flags & SerialControlRecord::kParityCheck);
    EXPECT_EQ(r.StopBitsMode, SerialControlRecord::TwoStopBits);
    EXPECT_EQ(FlowControlOf(r), platform::PortSettings::Flow::Hardware);
    EXPECT_EQ(r.XonLim, 77);  // what the dialog does not show stays
    const platform::PortSettings s = PortSettingsFromRecord(r);
    EXPECT_EQ(s.BaudRate, 19200);
    EXPECT_EQ(s.DataBits, 7);
}

}  // namespace
