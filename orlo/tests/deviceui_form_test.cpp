// The Data Reading window offscreen, driven through its handlers with a fake port,
// a manual clock and scripted prompts.
#include "orlo/device/MemoryImageBuilder.h"
#include "orlo/device/ui/TOrloComForm.h"
#include "platform/serial/SerialPort.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace orlo;
using platform::Button;
using Bytes = std::vector<std::uint8_t>;

class FakeChannel : public platform::SerialChannel {
public:
    platform::PortOpenResult answer{platform::PortOpenResult::Ok, {}};
    bool opened = false;
    QString openedPort;
    platform::PortSettings settings;
    Bytes written;

    platform::PortOpenResult open(const QString& port, const platform::PortSettings& s) override {
        openedPort = port;
        settings = s;
        opened = answer.ok();
        return answer;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    int write(std::span<const std::uint8_t> b) override {
        if (!opened)
            return 0;
        written.insert(written.end(), b.begin(), b.end());
        return int(b.size());
    }
    void inject(const Bytes& b) { deliver(b); }
    void inject(const char* s) { inject(Bytes(s, s + std::strlen(s))); }
};

struct Rig {
    platform::ScriptedPrompts prompts;
    FakeChannel port;
    std::int64_t now = 5000;
    std::unique_ptr<TOrloComForm> form;

    Rig() {
        form = std::make_unique<TOrloComForm>(prompts, &port, [this] { return now; });
        form->PortName = QStringLiteral("/dev/ttyORLO");
        form->DefaultFolder = QStringLiteral("/data/flights");
        form->DefaultFileName = QStringLiteral("Blok");
        form->show();
    }
    void connect() {
        form->ConnectButtonClick();
        ASSERT_TRUE(port.opened);
    }
    void tick(int ms) {
        now += ms;
        form->session().Pump();
    }
    QString status() const { return form->statusText(); }
};

Bytes bytes(const char* s) {
    return Bytes(s, s + std::strlen(s));
}

Bytes memoryReply(std::initializer_list<TBlockSpec> specs) {
    std::vector<TBlockSpec> v(specs);
    Bytes b = bytes("D");
    const Bytes r = BuildMemoryReply(v);
    b.insert(b.end(), r.begin(), r.end());
    return b;
}

Bytes configReply(const TConfigImage& rec, int checksumDelta = 0) {
    Bytes b = bytes("R");
    b.insert(b.end(), rec.begin(), rec.end());
    b.push_back(std::uint8_t(XorChecksum(rec) ^ checksumDelta));
    return b;
}

void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, k, mods, text);
    QApplication::sendEvent(w, &press);
}

TEST(DeviceUiFormTest, CreationHidesTheConfigurationAndCtrlAltNTogglesTheNumbers) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Data Reading"));
    for (QWidget* w : std::initializer_list<QWidget*>{
             f.Bevel1,       f.Label2,     f.Panel5,       f.Panel2,         f.Panel3,
             f.Label4,       f.MinEdit,    f.SecEdit,      f.mSecEdit,       f.Label13,
             f.RecTimeLabel, f.UniEdit,    f.UploadButton, f.ResetButton,    f.FirmLabel,
             f.Panel4,       f.DataButton, f.EraseButton,  f.SaveDataButton, f.SaveEdit})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{f.ConnectButton, f.CancelButton, f.OKButton,
                                                      f.ProgressBar1, f.Shape1})
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    const int h = f.height(), ok = f.OKButton->y(), bar = f.StatusBar1->y(),
              firm = f.FirmLabel->y();
    EXPECT_EQ(f.StatusBar1->y() + f.StatusBar1->height(), h);

    key(f.ConnectButton, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(f.Panel4->isVisible());
    EXPECT_EQ(f.height(), h + 40);
    EXPECT_EQ(f.OKButton->y(), ok + 40);
    EXPECT_EQ(f.StatusBar1->y(), bar + 40);
    EXPECT_EQ(f.FirmLabel->y(), firm + 40);
    EXPECT_GE(f.OKButton->y(), f.Panel4->y() + f.Panel4->height());

    key(f.ConnectButton, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(f.Panel4->isVisible());  // another modifier: not the combination
    key(f.ConnectButton, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(f.Panel4->isVisible());
    EXPECT_EQ(f.height(), h);
    EXPECT_EQ(f.OKButton->y(), ok);
}

TEST(DeviceUiFormTest, WindowKeysWorkFromInsideAnEdit) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    key(f.ConnectButton, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_TRUE(f.Panel4->isVisible());
    // The number edits filter keys; the window's own keys must still reach it.
    key(f.HiddenEdit1, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("n"));
    EXPECT_FALSE(f.Panel4->isVisible());
    EXPECT_EQ(f.HiddenEdit1->text(), QStringLiteral("0"));

    key(f.ConnectButton, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    rig.connect();
    f.ResetButtonClick();  // a command is pending: Esc asks first
    rig.prompts.answer(Button::Yes);
    key(f.HiddenEdit1, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_EQ(rig.prompts.texts(), QStringList{"Are you sure to break current operation?"});
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(rig.port.opened);
}

TEST(DeviceUiFormTest, ShowingResetsTheWindow) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    EXPECT_EQ(rig.status(), QStringLiteral("Power up your ORLO device and push Get Data button."));
    EXPECT_TRUE(f.ConnectButton->isEnabled());
    EXPECT_TRUE(f.OKButton->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{
             f.SaveDataButton, f.DataButton, f.UploadButton, f.ResetButton, f.EraseButton,
             f.CancelButton, f.MinEdit, f.CheckBox1, f.RSRadioButton1, f.HiddenEdit3})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f.InitLabel->text().isEmpty());
    EXPECT_TRUE(f.DataLabel1->text().isEmpty());
    EXPECT_EQ(f.SaveEdit->text(), QStringLiteral("/data/flights/Blok"));
    EXPECT_EQ(f.Shape1->color(), QColor(Qt::red));
}

TEST(DeviceUiFormTest, OpenFailureGoesToTheStatusBarAndAnEmptyPortMeansCOM1) {
    struct Case {
        platform::PortOpenResult answer;
        QString status;
    };
    const Case cases[] = {
        {{platform::PortOpenResult::OpenFailed, QStringLiteral("No such file or directory"), 2},
         QStringLiteral("CreateFile failed with error 2  ,COM1.\r\n")},
        {{platform::PortOpenResult::SetupFailed, QStringLiteral("PurgeComm failed")},
         QStringLiteral("PurgeComm failed")}};
    for (const Case& c : cases) {
        Rig rig;
        rig.port.answer = c.answer;
        rig.form->PortName.clear();
        rig.form->ConnectButtonClick();
        EXPECT_EQ(rig.port.openedPort, QStringLiteral("COM1"));
        EXPECT_EQ(rig.status(), c.status);
        EXPECT_TRUE(rig.form->ConnectButton->isEnabled());
        EXPECT_FALSE(rig.form->CancelButton->isEnabled());
        EXPECT_FALSE(rig.form->link().PortOpen);
        EXPECT_TRUE(rig.prompts.messages().empty());
    }
}

TEST(DeviceUiFormTest, ThePortIsOpenedWithTheLoggersFixedLine) {
    Rig rig;
    rig.connect();
    const platform::PortSettings& s = rig.port.settings;
    EXPECT_EQ(s.BaudRate, 57600);
    EXPECT_EQ(s.DataBits, 8);
    EXPECT_EQ(s.ParityMode, platform::PortSettings::Parity::None);
    EXPECT_EQ(s.Stop, platform::PortSettings::StopBits::One);
    EXPECT_EQ(s.FlowControl, platform::PortSettings::Flow::None);
    EXPECT_FALSE(s.Dtr);
    EXPECT_FALSE(s.Rts);
    EXPECT_TRUE(s.PurgeOnOpen);
    EXPECT_FALSE(s.RefusedSettingFails);  // a refused setting never kept the logger away
}

TEST(DeviceUiFormTest, DownloadFindsBlocksAndClosesTheWindowWithTheirNumber) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    rig.connect();
    EXPECT_EQ(rig.status(), QStringLiteral("Waiting for ORLO at /dev/ttyORLO"));
    EXPECT_EQ(f.Shape1->color(), QColor(Qt::yellow));
    EXPECT_FALSE(f.ConnectButton->isEnabled());
    EXPECT_TRUE(f.CancelButton->isEnabled());
    EXPECT_EQ(rig.port.written, bytes("*"));

    rig.port.inject("**");
    EXPECT_EQ(rig.port.written, bytes("*D"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Data Reading / ORLO - Connected"));
    EXPECT_EQ(f.Shape1->color(), QColor(Qt::green));
    EXPECT_EQ(f.DataLabel1->text(), QStringLiteral("Number of bytes read: 0"));

    int finished = -1;
    QObject::connect(&f, &QDialog::finished, [&](int r) { finished = r; });
    rig.port.inject(memoryReply({{5, 0xC000, 2048, 100, 100, 0, 0, 400},
                                 {5, 0xC000, 2048, 100, 100, 0, 0, 0},
                                 {5, 0xE000, 2048, 100, 100, 0, 0, 90}}));
    EXPECT_EQ(rig.status(), QStringLiteral("Data reading finished (3 blocks read.)"));
    ASSERT_EQ(rig.prompts.texts(), QStringList{"Data reading finished (3 blocks read.)"});
    EXPECT_EQ(rig.prompts.messages()[0].buttons, platform::Buttons(Button::Yes));
    EXPECT_EQ(finished, 3);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(rig.port.opened);
    EXPECT_EQ(f.Shape1->color(), QColor(Qt::red));
    const int memoryBytes = 3 * 18 + 400 * 4 + 90 * 6 + 5;
    EXPECT_EQ(f.DataLabel1->text(),
              QStringLiteral("Number of bytes read: %1").arg(memoryBytes - 1));
    EXPECT_EQ(f.ProgressBar1->value(), 2100 + memoryBytes % 1000);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // hourglass gone

    // What the main window does next.
    TDataBlock b;
    EXPECT_EQ(f.BlockToRecord(0, b), 400);
    EXPECT_EQ(f.BlockToRecord(1, b), BlockNoSamples);
    EXPECT_EQ(f.BlockToRecord(2, b), 90);
    EXPECT_EQ(f.BlockToRecord(3, b), BlockNotFound);
    f.FreeBlocks();
    EXPECT_EQ(f.BlockToRecord(0, b), BlockFailed);
}

TEST(DeviceUiFormTest, AMemoryWithOnlyTheTerminatorKeepsTheWindowOpen) {
    Rig rig;
    rig.connect();
    rig.port.inject("*");
    rig.port.inject(memoryReply({}));
    EXPECT_EQ(rig.status(), QStringLiteral("Data reading finished (0 blocks read.)"));
    EXPECT_EQ(rig.form->DataLabel1->text(), QStringLiteral("Number of bytes read: 0"));
    EXPECT_TRUE(rig.form->isVisible());
    EXPECT_TRUE(rig.form->SaveDataButton->isEnabled());
    EXPECT_TRUE(rig.form->OKButton->isEnabled());
    EXPECT_TRUE(rig.form->ConnectButton->isEnabled());
    EXPECT_FALSE(rig.port.opened);
}

TEST(DeviceUiFormTest, BadChecksumShowsTheErrorAndDisconnects) {
    Rig rig;
    rig.connect();
    rig.port.inject("*");
    Bytes reply = memoryReply({{}});
    reply.back() ^= 0x01;
    rig.port.inject(reply);
    ASSERT_EQ(rig.prompts.messages().size(), 1u);
    EXPECT_TRUE(rig.prompts.texts()[0].startsWith(QStringLiteral("Communication error, bad CRC.")));
    EXPECT_EQ(rig.prompts.messages()[0].icon, platform::Icon::Error);
    EXPECT_EQ(rig.status(), QStringLiteral("Disconnected."));
    EXPECT_EQ(rig.form->windowTitle(), QStringLiteral("Data Reading / ORLO - Disconnected"));
    EXPECT_TRUE(rig.form->isVisible());
    EXPECT_FALSE(rig.port.opened);
    EXPECT_EQ(rig.form->BlockCount(), 0);
}

TEST(DeviceUiFormTest, DisconnectWhileWaitingClosesThePortAtOnce) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    rig.connect();
    f.CancelButtonClick();
    EXPECT_FALSE(rig.port.opened);
    EXPECT_FALSE(f.link().PortOpen);
    EXPECT_EQ(rig.status(), QStringLiteral("Disconnected."));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Data Reading / ORLO - Disconnected"));
    EXPECT_EQ(f.Shape1->color(), QColor(Qt::red));
    EXPECT_TRUE(f.ConnectButton->isEnabled());
    EXPECT_TRUE(f.OKButton->isEnabled());
    EXPECT_FALSE(f.CancelButton->isEnabled());
    rig.port.inject("*");  // too late: nothing is sent any more
    EXPECT_EQ(rig.port.written, bytes("*"));
}

TEST(DeviceUiFormTest, CloseAsksWhileACommandIsPending) {
    struct Case {
        const char* name;
        std::vector<Button> answers;
        bool viaEsc;
        bool closes;
    };
    const Case cases[] = {{"No keeps the window", {Button::No}, false, false},
                          {"Yes stops and closes", {Button::Yes}, false, true},
                          {"Esc acts as Close", {Button::Yes}, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.connect();
        rig.form->ResetButtonClick();
        EXPECT_EQ(rig.port.written, bytes("*R"));
        EXPECT_FALSE(rig.form->OKButton->isEnabled());
        for (Button b : c.answers)
            rig.prompts.answer(b);
        if (c.viaEsc)
            key(rig.form->ConnectButton, Qt::Key_Escape);
        else
            rig.form->OKButtonClick();
        EXPECT_EQ(rig.prompts.texts(), QStringList{"Are you sure to break current operation?"});
        EXPECT_EQ(rig.form->isVisible(), !c.closes);
        EXPECT_EQ(rig.port.opened, !c.closes);
        if (c.closes) {
            EXPECT_EQ(rig.form->windowTitle(),
                      QStringLiteral("Data Reading / ORLO - Disconnected"));
        }
    }
    Rig idle;  // nothing pending: no question
    idle.form->OKButtonClick();
    EXPECT_TRUE(idle.prompts.messages().empty());
    EXPECT_FALSE(idle.form->isVisible());
}

TEST(DeviceUiFormTest, ConfigurationReadShowsTheRecordAndReencodesIt) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    rig.connect();
    TConfigImage rec{};
    rec[cfg::Altitude] = 1;
    rec[cfg::PowerSupply] = 1;
    SetConfigWord(rec, cfg::Interval, 15);  // shows as 0.1 s, stored back as 10
    rec[cfg::StartMode] = 1;
    SetConfigWord(rec, cfg::StartDelay, 12000);  // shows 9999
    rec[cfg::FinishMode] = 3;
    SetConfigWord(rec, cfg::FinishTime, 20);
    SetConfigWord(rec, cfg::Threshold, 959);
    SetConfigWord(rec, cfg::Number2, 777);
    rec[250] = 0xAB;  // not interpreted, kept
    f.ResetButtonClick();
    rig.port.inject(configReply(rec));

    EXPECT_TRUE(rig.prompts.messages().empty()) << rig.prompts.texts().join('|').toStdString();
    EXPECT_EQ(rig.status(), QStringLiteral("Config file reading finished."));
    EXPECT_EQ(f.MinEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(f.SecEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(f.mSecEdit->text(), QStringLiteral("1"));
    EXPECT_TRUE(f.CheckBox1->isChecked());
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_TRUE(f.CheckBox5->isChecked());
    EXPECT_TRUE(f.RSRadioButton2->isChecked());
    EXPECT_EQ(f.RSEdit->text(), QStringLiteral("9999"));
    EXPECT_TRUE(f.RFRadioButton3->isChecked());
    EXPECT_EQ(f.RFEdit->text(), QStringLiteral("20"));
    EXPECT_EQ(f.UniEdit->text(), QStringLiteral("11.50"));
    EXPECT_EQ(f.HiddenEdit2->text(), QStringLiteral("777"));
    const TConfigImage& img = f.link().ConfigImage;
    EXPECT_EQ(ConfigWord(img, cfg::Interval), 10);
    EXPECT_EQ(ConfigWord(img, cfg::StartDelay), 9999);
    EXPECT_EQ(img[cfg::StartMode], 1);
    EXPECT_EQ(img[cfg::FinishMode], 3);
    EXPECT_EQ(ConfigWord(img, cfg::Threshold), 959);
    EXPECT_EQ(img[250], 0xAB);
    EXPECT_TRUE(f.MinEdit->isEnabled());
    EXPECT_TRUE(f.OKButton->isEnabled());
    EXPECT_TRUE(f.UploadButton->isEnabled());
    EXPECT_TRUE(f.ResetButton->isEnabled());
    EXPECT_EQ(f.link().PendingCommand, "");
}

TEST(DeviceUiFormTest, ConfigurationReadThatNeverEndsIsBounded) {
    Rig rig;
    rig.connect();
    rig.form->ResetButtonClick();
    rig.port.inject("R\x01\x02");
    rig.tick(1999);
    EXPECT_TRUE(rig.prompts.messages().empty());
    rig.tick(1);
    EXPECT_EQ(rig.prompts.texts(), QStringList{"Reading failed, only 2 bytes read."});
    EXPECT_EQ(rig.status(), QStringLiteral("Config file reading finished."));
    EXPECT_TRUE(rig.form->OKButton->isEnabled());
    EXPECT_FALSE(rig.form->MinEdit->isEnabled());
    EXPECT_TRUE(rig.port.opened);  // the link is still there for another try
}

TEST(DeviceUiFormTest, DisconnectInTheMiddleOfAConfigurationRead) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    rig.connect();
    f.ResetButtonClick();
    rig.port.inject("R\x05\x06\x07");
    f.CancelButtonClick();
    EXPECT_EQ(rig.prompts.texts(), QStringList{"Reading failed, only 3 bytes read."});
    EXPECT_FALSE(rig.port.opened);
    EXPECT_EQ(rig.status(), QStringLiteral("Disconnected."));
    EXPECT_TRUE(f.OKButton->isEnabled());
    EXPECT_EQ(f.link().PendingCommand, "");
    f.OKButtonClick();  // nothing pending any more: closes without a question
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(rig.prompts.messages().size(), 1u);
}

TEST(DeviceUiFormTest, IntervalEditsAndTheEstimate) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    f.link().Memory.MemoryUsed = 40000;
    f.CheckBox1->setChecked(true);
    f.CheckBox2->setChecked(true);
    f.MinEdit->setText(QStringLiteral("0"));
    f.SecEdit->setText(QStringLiteral("1"));
    f.mSecEdit->setText(QStringLiteral("0"));
    EXPECT_EQ(f.RecTimeLabel->text(), QStringLiteral("34h 43min 20s"));
    f.CheckBox1->setChecked(false);
    f.CheckBox2->setChecked(false);
    EXPECT_EQ(f.RecTimeLabel->text(), QStringLiteral("0 s"));

    f.SecEdit->setText(QStringLiteral("0"));
    f.MinEdit->setText(QStringLiteral("10"));
    EXPECT_TRUE(rig.prompts.messages().empty());  // exactly 10 min is allowed
    EXPECT_EQ(ConfigWord(f.link().ConfigImage, cfg::Interval), 60000);
    f.mSecEdit->setText(QStringLiteral("1"));
    EXPECT_EQ(rig.prompts.texts(), QStringList{"Max Sample rate is 10min"});
    EXPECT_EQ(f.MinEdit->text(), QStringLiteral("10"));
    EXPECT_EQ(f.SecEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(f.mSecEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(ConfigWord(f.link().ConfigImage, cfg::Interval), 60000);
}

TEST(DeviceUiFormTest, UploadNeedsALoadedRecordAndVerifies) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    f.UploadButtonClick();
    EXPECT_EQ(rig.prompts.texts(), QStringList{"Not connected."});
    rig.connect();
    rig.prompts.clear();
    f.UploadButtonClick();
    EXPECT_EQ(rig.prompts.texts(), QStringList{"File not loaded."});
    EXPECT_EQ(rig.port.written, bytes("*"));  // nothing sent

    TConfigImage rec{};
    SetConfigWord(rec, cfg::Interval, 100);
    f.ResetButtonClick();
    rig.port.inject(configReply(rec));
    ASSERT_TRUE(f.link().ConfigLoaded);
    f.EnableConfigControls(false);
    rig.port.written.clear();
    rig.prompts.clear();
    f.UploadButtonClick();
    ASSERT_EQ(rig.port.written.size(), 266u);  // W, the record, R
    EXPECT_EQ(rig.port.written.front(), 'W');
    EXPECT_EQ(rig.port.written.back(), 'R');
    EXPECT_EQ(rig.status(), QStringLiteral("Verifying config file."));
    TConfigImage back = f.link().ConfigImage;
    back[100] ^= 0x10;
    rig.port.inject(configReply(back));
    EXPECT_EQ(rig.prompts.texts(), QStringList{"Verifying config file failed."});
    EXPECT_FALSE(f.MinEdit->isEnabled());  // controls stay disabled
    EXPECT_TRUE(rig.port.opened);
}

TEST(DeviceUiFormTest, EraseAnsweredByAnotherByte) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    rig.connect();
    rig.prompts.answer(Button::No);
    f.EraseButtonClick();
    EXPECT_EQ(rig.port.written, bytes("*"));
    ASSERT_EQ(rig.prompts.messages().size(), 1u);
    EXPECT_EQ(rig.prompts.messages()[0].text, QStringLiteral("Erase memory?"));
    EXPECT_EQ(rig.prompts.messages()[0].icon, platform::Icon::Information);
    rig.prompts.answer(Button::Yes);
    f.EraseButtonClick();
    EXPECT_EQ(rig.port.written, bytes("*E"));
    rig.port.inject("E");
    EXPECT_EQ(rig.status(), QStringLiteral("Erasing started, please wait."));
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    rig.port.inject("X");
    EXPECT_EQ(rig.status(), QStringLiteral("Command:E expected, but X found"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(f.OKButton->isEnabled());
}

TEST(DeviceUiFormTest, EditKeyFiltersAndLeavingEdits) {
    Rig rig;
    TOrloComForm& f = *rig.form;
    f.EnableConfigControls(true);
    f.MinEdit->clear();
    key(f.MinEdit, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    key(f.MinEdit, Qt::Key_Period, Qt::NoModifier, QStringLiteral("."));
    key(f.MinEdit, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    EXPECT_EQ(f.MinEdit->text(), QStringLiteral("7"));
    f.UniEdit->clear();
    for (const char* c : {"1", "1", ".", "5", ","})
        key(f.UniEdit, c[0] == '.' ? Qt::Key_Period : Qt::Key_1, Qt::NoModifier,
            QString::fromLatin1(c));
    EXPECT_EQ(f.UniEdit->text(), QStringLiteral("11.5"));
    EXPECT_EQ(ConfigWord(f.link().ConfigImage, cfg::Threshold), 959);

    f.HiddenEdit1->setText(QStringLiteral("70000"));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(f.HiddenEdit1, &out);
    EXPECT_EQ(rig.prompts.texts(), QStringList{"Number must be 0..65535!"});
    f.RSEdit->clear();
    QApplication::sendEvent(f.RSEdit, &out);
    EXPECT_EQ(f.RSEdit->text(), QStringLiteral("0"));
}

TEST(DeviceUiFormTest, SaveDataWritesTheBlocksUnderTheChosenName) {
    QTemporaryDir dir;
    Rig rig;
    TOrloComForm& f = *rig.form;
    rig.connect();
    rig.port.inject("*");
    rig.port.inject(memoryReply({{5, 0xE000, 2048, 100, 100, 0, 0, 12},
                                 {5, 0xC000, 2048, 100, 100, 0, 0, 0},
                                 {5, 0x8000, 2048, 100, 100, 0, 0, 5}}));
    rig.prompts.clear();
    rig.prompts.answerFile(dir.filePath(QStringLiteral("Lake010.orl")));
    f.SaveDataButtonClick();
    ASSERT_EQ(rig.prompts.dialogs().size(), 1u);
    EXPECT_EQ(rig.prompts.dialogs()[0].request.fileName, QStringLiteral("/data/flights/Blok"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.orl")}, QDir::Files, QDir::Name),
              (QStringList{"Lake010.orl", "Lake011.orl"}));
    EXPECT_EQ(f.InitLabel->text(), QStringLiteral("2 files succesfully written."));
    EXPECT_EQ(f.DefaultFolder, dir.path());
    EXPECT_EQ(f.DefaultFileName, QStringLiteral("Lake010.orl"));
    EXPECT_EQ(f.SaveEdit->text(), dir.filePath(QStringLiteral("Lake010.orl")));
}

}  // namespace
