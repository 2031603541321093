#pragma once
// TOrloComForm, the Data Reading window: connects to the logger, downloads its
// memory into blocks, and carries the (hidden) configuration section.
//
// The main window creates it once, sets DefaultFolder, DefaultFileName and
// PortName, and runs it modally through its prompts. The result is the number of
// blocks found; afterwards the main window converts them with BlockToRecord (index
// 0, 1, ...: skip BlockNoSamples, stop at any other result below 1) and calls
// FreeBlocks().
//
// Ctrl+Alt+N shows and hides the panel of the three numbers.

#include "orlo/device/OrloSession.h"
#include "platform/core/Prompts.h"
#include "platform/serial/SerialChannel.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QFrame;

namespace orlo {

// The round state lamp.
class TLamp : public QWidget {
public:
    explicit TLamp(QWidget* parent = nullptr);
    void setColor(const QColor& c);
    QColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_;
};

class TOrloComForm : public QDialog, private OrloLinkEvents {
    Q_OBJECT
public:
    // channel: the port to use; nullptr: a serial port of this window's own.
    explicit TOrloComForm(platform::Prompts& prompts, platform::SerialChannel* channel = nullptr,
                          platform::Clock clock = platform::SteadyClock(),
                          QWidget* parent = nullptr);
    ~TOrloComForm() override;

    // Save settings and port, loaded at start and saved at exit by the main window.
    QString DefaultFolder;
    QString DefaultFileName;
    QString PortName;

    // The blocks of the last download.
    int BlockToRecord(int index, TDataBlock& block, QString* error = nullptr) const;
    int BlockCount() const;
    void FreeBlocks();

    OrloLink& link() { return session_.link(); }
    OrloSession& session() { return session_; }

    // Handlers, named after their controls.
    void ConnectButtonClick();
    void CancelButtonClick();
    void OKButtonClick();
    void DataButtonClick();
    void ResetButtonClick();
    void UploadButtonClick();
    void EraseButtonClick();
    void SaveDataButtonClick();
    void TogglePanel4();

    void RefreshConfigControls();
    void EnableConfigControls(bool on);
    void UpdateRecordingTime();

    // Controls, named as the window always named them.
    QPushButton *ConnectButton, *CancelButton, *OKButton, *DataButton, *EraseButton,
        *SaveDataButton, *UploadButton, *ResetButton;
    TLamp* Shape1;
    QProgressBar* ProgressBar1;
    QLabel *Label10, *Label12, *InitLabel, *DataLabel1, *Label2, *Label4, *Label5, *Label6, *Label7,
        *Label13, *RecTimeLabel, *Label17, *Label9, *Label11, *VSThrLabel1, *VSThrLabel2,
        *FirmLabel, *Label14, *Label15, *Label16;
    QStatusBar* StatusBar1;
    QLineEdit *SaveEdit, *MinEdit, *SecEdit, *mSecEdit, *RSEdit, *RSAltEdit, *RFEdit, *UniEdit,
        *HiddenEdit1, *HiddenEdit2, *HiddenEdit3;
    QFrame *Bevel1, *Panel2, *Panel3, *Panel4, *Panel5;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox5;
    QRadioButton *RSRadioButton1, *RSRadioButton2, *RSRadioButton3, *RSRadioButton4,
        *RFRadioButton1, *RFRadioButton2, *RFRadioButton3;

    QString statusText() const;

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

public slots:
    void done(int r) override;
    void reject() override;

private:
    void buildControls();
    void connectHandlers();
    void setStatus(const QString& text);
    void showConfigResult(const TConfigChange& r, QLineEdit* edit);
    void intervalEditChange(QLineEdit* edit);
    void moveBottom(int dy);
    // The logger commands need an open port; false, with the message, without one.
    bool checkConnected();
    // While a logger command runs, OK and the other command buttons wait.
    void disableOtherCommands(QWidget* running);

    // OrloLinkEvents
    int SendBytes(std::span<const std::uint8_t>) override { return 0; }  // the session sends
    void StatusText(const QString& text) override { setStatus(text); }
    void DeviceAnswered() override;
    void ByteCounter(const QString& text) override;
    void ProgressPosition(int position) override;
    void ProgressStep(int step) override;
    void ErrorBox(const QString& text) override;
    void InformationBox(const QString& text) override;
    void Busy(bool on) override;
    void MemoryUsedChanged() override { UpdateRecordingTime(); }
    void DownloadSplit(int blocks) override;
    void ConfigReadFinished(bool loaded) override;
    void VerifyFinished(bool matched) override;
    void CommandFinished() override;
    void DisconnectAfterFailure() override { CancelButtonClick(); }
    void LinkEnded() override;

    platform::Prompts& prompts_;
    std::unique_ptr<platform::SerialChannel> ownChannel_;
    OrloSession session_;
    int modalResult_ = 0;
    int busy_ = 0;
    bool closing_ = false;
};

}  // namespace orlo
