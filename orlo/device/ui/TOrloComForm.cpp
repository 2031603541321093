#include "orlo/device/ui/TOrloComForm.h"

#include "orlo/device/BatchSave.h"
#include "platform/serial/SerialPort.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

namespace orlo {

namespace {

// The configuration section and the gap below it, hidden at creation.
constexpr int kConfigHeight = 424;
// The panel of the three numbers.
constexpr int kPanel4Height = 40;
constexpr int kWidth = 470;
constexpr int kDesignHeight = 638;
constexpr int kProgressMax = 35000;

const QColor kRed(Qt::red);
const QColor kYellow(Qt::yellow);
const QColor kGreen(Qt::green);

template <typename W>
W* make(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 120) {
    auto* l = make<QLabel>(parent, name, x, y, w, 18);
    l->setText(text);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y,
                    const QString& hint = {}) {
    auto* b = make<QPushButton>(parent, name, x, y, 110, 28);
    b->setText(text);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w = 44) {
    auto* e = make<QLineEdit>(parent, name, x, y, w, 22);
    e->setText(QStringLiteral("0"));
    return e;
}

void setTop(QWidget* w, int top) {
    w->move(w->x(), top);
}

}  // namespace

TLamp::TLamp(QWidget* parent) : QWidget(parent), color_(kRed) {}

void TLamp::setColor(const QColor& c) {
    color_ = c;
    update();
}

void TLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(color_);
    p.drawEllipse(rect().adjusted(1, 1, -2, -2));
}

TOrloComForm::TOrloComForm(platform::Prompts& prompts, platform::SerialChannel* channel,
                           platform::Clock clock, QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      ownChannel_(channel ? nullptr : std::make_unique<platform::SerialPort>()),
      session_(channel ? *channel : *ownChannel_, *this, std::move(clock)) {
    setObjectName(QStringLiteral("OrloComForm"));
    setWindowTitle(QStringLiteral("Data Reading"));
    buildControls();
    connectHandlers();

    // Creation: the configuration section is hidden and the window shrinks by it.
    Panel4->hide();
    moveBottom(-kConfigHeight);
    for (QWidget* w : std::initializer_list<QWidget*>{
             Bevel1,      Label2,  Panel5,      Panel2,       Panel3,      Label4,   Label5,
             Label6,      Label7,  Label13,     RecTimeLabel, MinEdit,     SecEdit,  mSecEdit,
             VSThrLabel1, UniEdit, VSThrLabel2, UploadButton, ResetButton, FirmLabel})
        w->hide();
}

TOrloComForm::~TOrloComForm() {
    while (busy_ > 0) {
        QApplication::restoreOverrideCursor();
        --busy_;
    }
}

void TOrloComForm::buildControls() {
    setFixedSize(kWidth, kDesignHeight);

    ConnectButton = button(this, "ConnectButton", QStringLiteral("Read Data"), 16, 12,
                           QStringLiteral("Power up ORLO device and then push Get Data button."));
    CancelButton = button(this, "CancelButton", QStringLiteral("Disconnect"), 134, 12);
    Shape1 = make<TLamp>(this, "Shape1", 262, 14, 24, 24);
    DataButton = button(this, "DataButton", QStringLiteral("Get Data"), 300, 12,
                        QStringLiteral("Downloads Data from Nimbo 4 device"));
    EraseButton = button(this, "EraseButton", QStringLiteral("Erase Memory"), 300, 44,
                         QStringLiteral("Erases Nimbo 4 memory"));
    SaveDataButton = button(this, "SaveDataButton", QStringLiteral("Save Data"), 344, 12);
    SaveEdit = make<QLineEdit>(this, "SaveEdit", 16, 44, 270, 22);
    for (QWidget* w :
         std::initializer_list<QWidget*>{DataButton, EraseButton, SaveDataButton, SaveEdit})
        w->hide();

    ProgressBar1 = make<QProgressBar>(this, "ProgressBar1", 16, 52, 438, 16);
    ProgressBar1->setRange(0, kProgressMax);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label10 = label(this, "Label10", QStringLiteral("0"), 16, 70, 40);
    Label12 = label(this, "Label12", QStringLiteral("MaxMem"), 394, 70, 60);
    Label12->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    InitLabel = label(this, "InitLabel", QStringLiteral("000"), 16, 90, 438);
    DataLabel1 = label(this, "DataLabel1", QStringLiteral("000"), 16, 108, 438);

    // Configuration section, 132 ... 548 in the full design.
    Bevel1 = make<QFrame>(this, "Bevel1", 8, 132, 454, 416);
    Bevel1->setFrameShape(QFrame::StyledPanel);
    Label2 = label(this, "Label2", QStringLiteral("Configuration:"), 16, 138);
    Label4 = label(this, "Label4", QStringLiteral("Sampling rate:"), 16, 164, 100);
    MinEdit = edit(this, "MinEdit", 120, 162, 40);
    Label5 = label(this, "Label5", QStringLiteral("Min"), 164, 164, 30);
    SecEdit = edit(this, "SecEdit", 200, 162, 40);
    Label6 = label(this, "Label6", QStringLiteral("Sec"), 244, 164, 30);
    mSecEdit = edit(this, "mSecEdit", 280, 162, 40);
    Label7 = label(this, "Label7", QStringLiteral("0.1sec"), 324, 164, 50);
    Label13 = label(this, "Label13", QStringLiteral("Recording Time available:"), 16, 192, 170);
    RecTimeLabel = label(this, "RecTimeLabel", QStringLiteral("0 s"), 190, 192, 200);

    Panel5 = make<QFrame>(this, "Panel5", 16, 216, 438, 56);
    Panel5->setFrameShape(QFrame::StyledPanel);
    Label17 = label(Panel5, "Label17", QStringLiteral("DataLog:"), 8, 6);
    CheckBox1 = make<QCheckBox>(Panel5, "CheckBox1", 8, 28, 100, 20);
    CheckBox1->setText(QStringLiteral("Altitude"));
    CheckBox2 = make<QCheckBox>(Panel5, "CheckBox2", 120, 28, 160, 20);
    CheckBox2->setText(QStringLiteral("RX Channel length"));
    CheckBox5 = make<QCheckBox>(Panel5, "CheckBox5", 290, 28, 130, 20);
    CheckBox5->setText(QStringLiteral("Power Supply"));

    Panel2 = make<QFrame>(this, "Panel2", 16, 278, 214, 140);
    Panel2->setFrameShape(QFrame::StyledPanel);
    Label9 = label(Panel2, "Label9", QStringLiteral("Recording Start:"), 8, 6);
    RSRadioButton1 = make<QRadioButton>(Panel2, "RSRadioButton1", 8, 28, 190, 20);
    RSRadioButton1->setText(QStringLiteral("Immediately"));
    RSRadioButton2 = make<QRadioButton>(Panel2, "RSRadioButton2", 8, 52, 200, 20);
    RSRadioButton2->setText(QStringLiteral("            sec after Power ON"));
    RSEdit = edit(Panel2, "RSEdit", 28, 51, 44);
    RSRadioButton3 = make<QRadioButton>(Panel2, "RSRadioButton3", 8, 78, 190, 20);
    RSRadioButton3->setText(QStringLiteral("By RX Channel"));
    RSRadioButton4 = make<QRadioButton>(Panel2, "RSRadioButton4", 8, 104, 140, 20);
    RSRadioButton4->setText(QStringLiteral("Above Altitude [m]:"));
    RSAltEdit = edit(Panel2, "RSAltEdit", 150, 103, 50);
    RSRadioButton1->setChecked(true);

    Panel3 = make<QFrame>(this, "Panel3", 240, 278, 214, 140);
    Panel3->setFrameShape(QFrame::StyledPanel);
    Label11 = label(Panel3, "Label11", QStringLiteral("Recording Finish:"), 8, 6);
    RFRadioButton1 = make<QRadioButton>(Panel3, "RFRadioButton1", 8, 28, 190, 20);
    RFRadioButton1->setText(QStringLiteral("On Power OFF"));
    RFRadioButton2 = make<QRadioButton>(Panel3, "RFRadioButton2", 8, 52, 200, 20);
    RFRadioButton2->setText(QStringLiteral("            min after Power ON"));
    RFEdit = edit(Panel3, "RFEdit", 28, 51, 44);
    RFRadioButton3 = make<QRadioButton>(Panel3, "RFRadioButton3", 8, 78, 190, 20);
    RFRadioButton3->setText(QStringLiteral("By RX Channel"));
    RFRadioButton1->setChecked(true);

    VSThrLabel1 = label(this, "VSThrLabel1", QStringLiteral("Lowmark Threshold:"), 16, 432, 130);
    UniEdit = edit(this, "UniEdit", 150, 430, 50);
    VSThrLabel2 = label(this, "VSThrLabel2", QStringLiteral("V (max 12V)"), 206, 432, 100);
    UploadButton = button(this, "UploadButton", QStringLiteral("Upload Cfg"), 16, 470,
                          QStringLiteral("Uploads configuration to Nimbo 4 device"));
    ResetButton = button(this, "ResetButton", QStringLiteral("Reset Cfg"), 134, 470,
                         QStringLiteral("Downloads configuration from Nimbo 4 device"));

    FirmLabel = label(this, "FirmLabel", QStringLiteral("Firmware:"), 16, 556, 200);
    // The numbers panel takes the place of the label when shown, below the section.
    Panel4 = make<QFrame>(this, "Panel4", 8, 556 - kConfigHeight, 454, 36);
    Label14 = label(Panel4, "Label14", QStringLiteral("Number 1:"), 8, 9, 64);
    HiddenEdit1 = edit(Panel4, "HiddenEdit1", 74, 7, 60);
    Label15 = label(Panel4, "Label15", QStringLiteral("Number 2:"), 150, 9, 64);
    HiddenEdit2 = edit(Panel4, "HiddenEdit2", 216, 7, 60);
    Label16 = label(Panel4, "Label16", QStringLiteral("Number 3:"), 292, 9, 64);
    HiddenEdit3 = edit(Panel4, "HiddenEdit3", 358, 7, 60);

    OKButton = button(this, "OKButton", QStringLiteral("Close"), 344, 580);
    StatusBar1 = make<QStatusBar>(this, "StatusBar1", 0, 616, kWidth, 22);
    StatusBar1->setSizeGripEnabled(false);
}

void TOrloComForm::moveBottom(int dy) {
    setFixedSize(kWidth, height() + dy);
    for (QWidget* w : std::initializer_list<QWidget*>{FirmLabel, OKButton, StatusBar1})
        setTop(w, w->y() + dy);
}

void TOrloComForm::connectHandlers() {
    connect(ConnectButton, &QPushButton::clicked, this, [this] { ConnectButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(DataButton, &QPushButton::clicked, this, [this] { DataButtonClick(); });
    connect(ResetButton, &QPushButton::clicked, this, [this] { ResetButtonClick(); });
    connect(UploadButton, &QPushButton::clicked, this, [this] { UploadButtonClick(); });
    connect(EraseButton, &QPushButton::clicked, this, [this] { EraseButtonClick(); });
    connect(SaveDataButton, &QPushButton::clicked, this, [this] { SaveDataButtonClick(); });

    TConfigImage& img = link().ConfigImage;
    auto channel = [this, &img](QCheckBox* box, int at) {
        connect(box, &QCheckBox::toggled, this, [this, &img, at](bool on) {
            img[std::size_t(at)] = on ? 1 : 0;
            UpdateRecordingTime();
        });
    };
    channel(CheckBox1, cfg::Altitude);
    channel(CheckBox2, cfg::RxLength);
    channel(CheckBox5, cfg::PowerSupply);

    for (QLineEdit* e : {MinEdit, SecEdit, mSecEdit})
        connect(e, &QLineEdit::textChanged, this, [this, e] { intervalEditChange(e); });

    connect(RSEdit, &QLineEdit::textChanged, this,
            [this, &img] { showConfigResult(StoreStartDelay(img, RSEdit->text()), RSEdit); });
    connect(RSAltEdit, &QLineEdit::textChanged, this, [this, &img] {
        showConfigResult(StoreStartAltitude(img, RSAltEdit->text()), RSAltEdit);
    });
    connect(RFEdit, &QLineEdit::textChanged, this,
            [this, &img] { showConfigResult(StoreFinishTime(img, RFEdit->text()), RFEdit); });
    connect(UniEdit, &QLineEdit::textChanged, this,
            [this, &img] { showConfigResult(StoreThreshold(img, UniEdit->text()), UniEdit); });
    QLineEdit* numbers[] = {HiddenEdit1, HiddenEdit2, HiddenEdit3};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* e = numbers[i];
        connect(e, &QLineEdit::textChanged, this,
                [this, &img, e, i] { showConfigResult(StoreNumber(img, i, e->text()), e); });
    }

    const std::pair<QRadioButton*, int> starts[] = {
        {RSRadioButton1, 1}, {RSRadioButton2, 2}, {RSRadioButton3, 3}, {RSRadioButton4, 4}};
    for (const auto& [radio, index] : starts) {
        const int i = index;
        connect(radio, &QRadioButton::toggled, this, [this, &img, i](bool on) {
            if (on)
                showConfigResult(
                    StoreStartRadio(img, i, i == 4 ? RSAltEdit->text() : RSEdit->text()), nullptr);
        });
    }
    const std::pair<QRadioButton*, int> finishes[] = {
        {RFRadioButton1, 1}, {RFRadioButton2, 2}, {RFRadioButton3, 3}};
    for (const auto& [radio, index] : finishes) {
        const int i = index;
        connect(radio, &QRadioButton::toggled, this, [this, &img, i](bool on) {
            if (on)
                showConfigResult(StoreFinishRadio(img, i, RFEdit->text()), nullptr);
        });
    }

    for (QLineEdit* e : {MinEdit, SecEdit, mSecEdit, RSEdit, RSAltEdit, RFEdit, UniEdit,
                         HiddenEdit1, HiddenEdit2, HiddenEdit3})
        e->installEventFilter(this);
}

void TOrloComForm::showConfigResult(const TConfigChange& r, QLineEdit* edit) {
    if (!r.Error.isEmpty())
        prompts_.error(r.Error);
    if (edit && r.Corrected && edit->text() != *r.Corrected)
        edit->setText(*r.Corrected);
}

void TOrloComForm::intervalEditChange(QLineEdit* e) {
    const QString error = CheckIntegerText(e->text());
    if (!error.isEmpty()) {
        prompts_.error(error);
        return;
    }
    UpdateRecordingTime();
}

void TOrloComForm::UpdateRecordingTime() {
    TConfigImage& img = link().ConfigImage;
    const TIntervalChange r =
        StoreInterval(img, MinEdit->text(), SecEdit->text(), mSecEdit->text());
    if (r.Clamped) {
        prompts_.error(r.Error);
        MinEdit->setText(QStringLiteral("10"));
        SecEdit->setText(QStringLiteral("0"));
        mSecEdit->setText(QStringLiteral("0"));
    }
    RecTimeLabel->setText(RecordingTimeText(RecordingSeconds(img, link().Memory.MemoryUsed)));
}

void TOrloComForm::RefreshConfigControls() {
    const TConfigControls c = ConfigControls(link().ConfigImage);
    MinEdit->setText(QStringLiteral("0"));
    SecEdit->setText(QStringLiteral("0"));
    mSecEdit->setText(QStringLiteral("0"));
    mSecEdit->setText(c.TenthText);
    SecEdit->setText(c.SecText);
    MinEdit->setText(c.MinText);
    CheckBox1->setChecked(c.Altitude);
    CheckBox2->setChecked(c.RxLength);
    CheckBox5->setChecked(c.PowerSupply);
    RSEdit->setText(c.StartDelayText);
    RSAltEdit->setText(c.StartAltitudeText);
    QRadioButton* starts[] = {nullptr, RSRadioButton1, RSRadioButton2, RSRadioButton3,
                              RSRadioButton4};
    if (c.StartRadio > 0)
        starts[c.StartRadio]->setChecked(true);
    RFEdit->setText(c.FinishTimeText);
    QRadioButton* finishes[] = {nullptr, RFRadioButton1, RFRadioButton2, RFRadioButton3};
    if (c.FinishRadio > 0)
        finishes[c.FinishRadio]->setChecked(true);
    UniEdit->setText(c.ThresholdText);
    HiddenEdit1->setText(c.NumberTexts[0]);
    HiddenEdit2->setText(c.NumberTexts[1]);
    HiddenEdit3->setText(c.NumberTexts[2]);
}

void TOrloComForm::EnableConfigControls(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             CheckBox1,      CheckBox2,      CheckBox5,      MinEdit,        SecEdit,
             mSecEdit,       RSRadioButton1, RSRadioButton2, RSRadioButton3, RSRadioButton4,
             RFRadioButton1, RFRadioButton2, RFRadioButton3, RSEdit,         RSAltEdit,
             RFEdit,         UniEdit,        HiddenEdit1,    HiddenEdit2,    HiddenEdit3})
        w->setEnabled(on);
}

bool TOrloComForm::eventFilter(QObject* watched, QEvent* e) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit)
        return QDialog::eventFilter(watched, e);
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            QWidget* next = edit == MinEdit    ? static_cast<QWidget*>(SecEdit)
                            : edit == SecEdit  ? static_cast<QWidget*>(mSecEdit)
                            : edit == mSecEdit ? static_cast<QWidget*>(RSRadioButton1)
                                               : nullptr;
            if (next)
                next->setFocus();
            return true;  // Enter never reaches the dialog's default button
        }
        const QString text = k->text();
        // Only typed characters are filtered: arrows, Delete and Tab still work.
        if (!text.isEmpty() && text.at(0).isPrint() &&
            (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
            const QChar c = text.at(0);
            const bool allowed = c.isDigit() || (edit == UniEdit && c == QLatin1Char('.'));
            if (!allowed)
                return true;
        }
    } else if (e->type() == QEvent::FocusOut) {
        if (edit->text().isEmpty())
            edit->setText(QStringLiteral("0"));
        if ((edit == HiddenEdit1 || edit == HiddenEdit2 || edit == HiddenEdit3) &&
            !NumberInRange(edit->text())) {
            prompts_.message({platform::Icon::None,
                              {},
                              QString::fromLatin1(NumberRangeText),
                              platform::Button::Ok,
                              platform::Button::Ok});
            edit->setFocus();
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TOrloComForm::TogglePanel4() {
    const bool show = Panel4->isHidden();
    Panel4->setVisible(show);
    moveBottom(show ? kPanel4Height : -kPanel4Height);
}

QString TOrloComForm::statusText() const {
    return StatusBar1->currentMessage();
}

void TOrloComForm::setStatus(const QString& text) {
    StatusBar1->showMessage(text);
}

void TOrloComForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (QScreen* s = screen())  // centred on the desktop
        move(s->availableGeometry().center() - rect().center());
    ConnectButton->setFocus();
    modalResult_ = 0;
    closing_ = false;
    OKButton->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{SaveDataButton, DataButton, UploadButton,
                                                      ResetButton, EraseButton, CancelButton})
        w->setEnabled(false);
    InitLabel->clear();
    DataLabel1->clear();
    ProgressBar1->setValue(0);
    setStatus(QStringLiteral("Power up your ORLO device and push Get Data button."));
    EnableConfigControls(false);
    QString folder = DefaultFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) &&
        !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    SaveEdit->setText(folder + DefaultFileName);
    FreeBlocks();
}

void TOrloComForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept();
        OKButtonClick();
        return;
    }
    if (e->key() == Qt::Key_N && e->modifiers() == (Qt::ControlModifier | Qt::AltModifier)) {
        e->accept();
        TogglePanel4();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TOrloComForm::ConnectButtonClick() {
    if (link().PortOpen)
        return;
    QString status;
    const QString port = PortName.isEmpty() ? QStringLiteral("COM1") : PortName;
    const bool ok = session_.Connect(port, status);
    setStatus(status);
    if (!ok)
        return;
    ConnectButton->setEnabled(false);
    CancelButton->setEnabled(true);
    Shape1->setColor(kYellow);
}

void TOrloComForm::CancelButtonClick() {
    link().Stop();
    session_.Pump();
    setStatus(QStringLiteral("Disconnected."));
    setWindowTitle(QStringLiteral("Data Reading / ORLO - Disconnected"));
    Shape1->setColor(kRed);
    OKButton->setEnabled(true);
    ConnectButton->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{CancelButton, DataButton, UploadButton,
                                                      ResetButton, EraseButton})
        w->setEnabled(false);
    EnableConfigControls(false);
}

void TOrloComForm::OKButtonClick() {
    if (!link().PendingCommand.empty() &&
        prompts_.askYesNo(QStringLiteral("Are you sure to break current operation?")) !=
            platform::Button::Yes)
        return;
    link().Stop();
    session_.Pump();
    done(modalResult_);
}

void TOrloComForm::reject() {
    // The window's close box: no question, the result stays the blocks found.
    done(modalResult_);
}

void TOrloComForm::done(int r) {
    if (!closing_) {
        closing_ = true;
        link().Stop();
        session_.Pump();
        setWindowTitle(QStringLiteral("Data Reading / ORLO - Disconnected"));
    }
    QDialog::done(r);
}

bool TOrloComForm::checkConnected() {
    if (link().PortOpen)
        return true;
    prompts_.error(QStringLiteral("Not connected."));
    return false;
}

void TOrloComForm::disableOtherCommands(QWidget* running) {
    for (QWidget* w : std::initializer_list<QWidget*>{OKButton, DataButton, UploadButton,
                                                      ResetButton, EraseButton})
        if (w != running)
            w->setEnabled(false);
}

void TOrloComForm::DataButtonClick() {
    if (!checkConnected())
        return;
    disableOtherCommands(DataButton);
    link().RequestMemory();
}

void TOrloComForm::ResetButtonClick() {
    // Checked first, so that a refused command leaves Close usable.
    if (!checkConnected())
        return;
    disableOtherCommands(ResetButton);
    link().RequestConfig(session_.now());
}

void TOrloComForm::UploadButtonClick() {
    if (!checkConnected())
        return;
    if (!link().ConfigLoaded) {
        prompts_.error(QStringLiteral("File not loaded."));
        return;
    }
    disableOtherCommands(UploadButton);
    link().UploadConfig(session_.now());
}

void TOrloComForm::EraseButtonClick() {
    if (!checkConnected())
        return;
    if (prompts_.askYesNo(QStringLiteral("Erase memory?"), {}, platform::Icon::Information) !=
        platform::Button::Yes)
        return;
    disableOtherCommands(EraseButton);
    link().EraseMemory();
}

void TOrloComForm::SaveDataButtonClick() {
    QString folder = DefaultFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const auto chosen = prompts_.saveFileName(SaveDataDialogRequest(folder + DefaultFileName));
    if (!chosen)
        return;
    TBatchSaveSettings s{DefaultFolder, DefaultFileName, *chosen};
    const qsizetype slash = chosen->lastIndexOf(QLatin1Char('/'));
    s.DefaultFolder = slash < 0 ? QString() : chosen->left(slash);
    s.DefaultFileName = chosen->mid(slash + 1);
    const TBatchSaveResult r = SaveAllBlocks(link().Memory, s, prompts_, NowDateText());
    DefaultFolder = s.DefaultFolder;
    DefaultFileName = s.DefaultFileName;
    SaveEdit->setText(s.SaveEdit);
    InitLabel->setText(r.Text);
}

int TOrloComForm::BlockToRecord(int index, TDataBlock& block, QString* error) const {
    return session_.link().Memory.BlockToRecord(index, block, error);
}

int TOrloComForm::BlockCount() const {
    return session_.link().Memory.BlockCount();
}

void TOrloComForm::FreeBlocks() {
    link().Memory.FreeBlocks();
}

// ---- link events ---------------------------------------------------------------------

void TOrloComForm::DeviceAnswered() {
    setWindowTitle(QStringLiteral("Data Reading / ORLO - Connected"));
    Shape1->setColor(kGreen);
    InitLabel->clear();
}

void TOrloComForm::ByteCounter(const QString& text) {
    DataLabel1->setText(text);
}

void TOrloComForm::ProgressPosition(int position) {
    ProgressBar1->setValue(std::clamp(position, 0, kProgressMax));
}

void TOrloComForm::ProgressStep(int step) {
    ProgressBar1->setValue(std::clamp(ProgressBar1->value() + step, 0, kProgressMax));
}

void TOrloComForm::ErrorBox(const QString& text) {
    prompts_.error(text);
}

void TOrloComForm::InformationBox(const QString& text) {
    prompts_.message(
        {platform::Icon::Information, {}, text, platform::Button::Yes, platform::Button::Yes});
}

void TOrloComForm::Busy(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busy_;
    } else if (busy_ > 0) {
        QApplication::restoreOverrideCursor();
        --busy_;
    }
}

void TOrloComForm::DownloadSplit(int blocks) {
    SaveDataButton->setEnabled(true);
    OKButton->setEnabled(true);
    modalResult_ = blocks;
}

void TOrloComForm::ConfigReadFinished(bool loaded) {
    if (loaded)
        EnableConfigControls(true);
    RefreshConfigControls();
}

void TOrloComForm::VerifyFinished(bool matched) {
    if (matched)
        EnableConfigControls(true);
    RefreshConfigControls();
}

void TOrloComForm::CommandFinished() {
    for (QWidget* w : std::initializer_list<QWidget*>{OKButton, UploadButton, ResetButton})
        w->setEnabled(true);
}

void TOrloComForm::LinkEnded() {
    Shape1->setColor(kRed);
    ConnectButton->setEnabled(true);
    // A download that found blocks closes the window with their number.
    if (modalResult_ > 0 && isVisible() && !closing_)
        done(modalResult_);
}

}  // namespace orlo
