#include "orlo/workspace/chart/TFormGraphSetup.h"

#include "orlo/chart/CursorReadout.h"
#include "platform/core/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace orlo {
namespace {

struct AxisFields {
    bool TGraphSetup::*autoField;
    double TGraphSetup::*minField;
    double TGraphSetup::*maxField;
    std::int32_t TGraphSetup::*styleField;  // nullptr for time
    std::int32_t TGraphSetup::*widthField;
};

// Voltage, RPM, current, Ah, time: the order of the group boxes.
constexpr AxisFields kFields[] = {
    {&TGraphSetup::VoltageAuto, &TGraphSetup::VoltageMin, &TGraphSetup::VoltageMax,
     &TGraphSetup::VoltageLineStyle, &TGraphSetup::VoltageLineWidth},
    {&TGraphSetup::RPMAuto, &TGraphSetup::RPMMin, &TGraphSetup::RPMMax, &TGraphSetup::RPMLineStyle,
     &TGraphSetup::RPMLineWidth},
    {&TGraphSetup::CurrentAuto, &TGraphSetup::CurrentMin, &TGraphSetup::CurrentMax,
     &TGraphSetup::CurrentLineStyle, &TGraphSetup::CurrentLineWidth},
    {&TGraphSetup::AhAuto, &TGraphSetup::AhMin, &TGraphSetup::AhMax, &TGraphSetup::AhLineStyle,
     &TGraphSetup::AhLineWidth},
    {&TGraphSetup::TimeAuto, &TGraphSetup::TimeMin, &TGraphSetup::TimeMax, nullptr, nullptr},
};

std::optional<double> localeNumber(const QString& text) {
    bool ok = false;
    const double v = QLocale::system().toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

}  // namespace

TFormGraphSetup::TFormGraphSetup(platform::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("FormGraphSetup"));
    setWindowTitle(QStringLiteral("Graph setup"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    auto* grid = new QGridLayout;
    axes_[0] = makeAxis(QStringLiteral("Voltage axis"), true, this);
    axes_[1] = makeAxis(QStringLiteral("RPM axis"), true, this);
    axes_[2] = makeAxis(QStringLiteral("Current axis"), true, this);
    axes_[3] = makeAxis(QStringLiteral("Ah axis"), true, this);
    axes_[4] = makeAxis(QStringLiteral("Time axis"), false, this);
    grid->addWidget(axes_[0].Group, 0, 0);
    grid->addWidget(axes_[1].Group, 0, 1);
    grid->addWidget(axes_[2].Group, 1, 0);
    grid->addWidget(axes_[3].Group, 1, 1);
    grid->addWidget(axes_[4].Group, 2, 0);
    // Marks are not drawn by this chart; the groups stay hidden and are not read.
    annotation_ = makeMarkerGroup(QStringLiteral("Annotation"));
    marker_ = makeMarkerGroup(QStringLiteral("Marker"));
    grid->addWidget(annotation_, 2, 1);
    grid->addWidget(marker_, 3, 1);
    annotation_->hide();
    marker_->hide();

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("ButtonOk"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    defaults_ = new QPushButton(QStringLiteral("Defaults"), this);
    defaults_->setObjectName(QStringLiteral("ButtonDefaults"));
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addWidget(defaults_);
    connect(ok_, &QPushButton::clicked, this, [this] {
        ReadRecord();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(defaults_, &QPushButton::clicked, this, &TFormGraphSetup::DefaultsClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    ShowRecord();
}

TFormGraphSetup::AxisControls TFormGraphSetup::makeAxis(const QString& title, bool withLines,
                                                        QWidget* parent) {
    AxisControls c;
    c.Group = new QGroupBox(title, parent);
    auto* form = new QFormLayout(c.Group);
    c.Min = new QLineEdit(c.Group);
    c.Max = new QLineEdit(c.Group);
    c.Auto = new QCheckBox(QStringLiteral("Automatic"), c.Group);
    form->addRow(QStringLiteral("Minimum:"), c.Min);
    form->addRow(QStringLiteral("Maximum:"), c.Max);
    form->addRow(c.Auto);
    for (QLineEdit* e : {c.Min, c.Max})
        e->installEventFilter(this);
    connect(c.Auto, &QCheckBox::toggled, this, [c](bool on) {
        c.Min->setEnabled(!on);
        c.Max->setEnabled(!on);
    });
    if (withLines) {
        c.LineStyle = new QComboBox(c.Group);
        c.LineStyle->addItems({QStringLiteral("Solid"), QStringLiteral("Dash "),
                               QStringLiteral("Dot"), QStringLiteral("DashDot"),
                               QStringLiteral("DashDotDot")});
        c.LineWidth = new QComboBox(c.Group);
        for (int w = 1; w <= 5; ++w)
            c.LineWidth->addItem(QString::number(w));
        form->addRow(QStringLiteral("Line style:"), c.LineStyle);
        form->addRow(QStringLiteral("Line width:"), c.LineWidth);
        // Wide pens draw solid anyway, so only width 1 offers a style.
        connect(c.LineWidth, &QComboBox::currentIndexChanged, this,
                [c](int index) { c.LineStyle->setEnabled(index == 0); });
    }
    return c;
}

QGroupBox* TFormGraphSetup::makeMarkerGroup(const QString& title) {
    auto* group = new QGroupBox(title, this);
    auto* form = new QFormLayout(group);
    auto* style = new QComboBox(group);
    style->addItems({QStringLiteral("Rectangle"), QStringLiteral("Circle"),
                     QStringLiteral("Triangle"), QStringLiteral("DownTriangle"),
                     QStringLiteral("Cross"), QStringLiteral("DiagCross"), QStringLiteral("Star"),
                     QStringLiteral("Diamond"), QStringLiteral("SmallDot")});
    auto* size = new QComboBox(group);
    for (int s = 2; s <= 10; ++s)
        size->addItem(QString::number(s));
    size->setCurrentIndex(2);  // "4"
    form->addRow(QStringLiteral("Mark style:"), style);
    form->addRow(QStringLiteral("Mark Size:"), size);
    return group;
}

void TFormGraphSetup::ShowRecord() {
    for (std::size_t k = 0; k < axes_.size(); ++k) {
        const AxisControls& c = axes_[k];
        const AxisFields& f = kFields[k];
        c.Min->setText(FixedText(Record.*f.minField, 1));
        c.Max->setText(FixedText(Record.*f.maxField, 1));
        c.Auto->setChecked(Record.*f.autoField);
        c.Min->setEnabled(!(Record.*f.autoField));
        c.Max->setEnabled(!(Record.*f.autoField));
        if (c.LineStyle) {
            c.LineStyle->setCurrentIndex(std::clamp(Record.*f.styleField, 0, 4));
            c.LineWidth->setCurrentIndex(std::clamp(Record.*f.widthField - 1, 0, 4));
            c.LineStyle->setEnabled(c.LineWidth->currentIndex() == 0);
        }
    }
}

void TFormGraphSetup::ReadRecord() {
    for (std::size_t k = 0; k < axes_.size(); ++k) {
        const AxisControls& c = axes_[k];
        const AxisFields& f = kFields[k];
        Record.*f.minField = localeNumber(c.Min->text()).value_or(0);
        Record.*f.maxField = localeNumber(c.Max->text()).value_or(100);
        Record.*f.autoField = c.Auto->isChecked();
        if (c.LineStyle) {
            Record.*f.styleField = c.LineStyle->currentIndex();
            Record.*f.widthField = c.LineWidth->currentIndex() + 1;
        }
    }
}

void TFormGraphSetup::DefaultsClick() {
    Record = TGraphSetup{};
    ShowRecord();
}

bool TFormGraphSetup::CheckNumberEdit(QLineEdit& edit) {
    const std::optional<double> v = localeNumber(edit.text());
    if (v && !(*v < -999998))
        return true;
    prompts_.error(QStringLiteral("Incorrect number!"));
    edit.setFocus();
    return false;
}

void TFormGraphSetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (RestoreWindowState)
        RestoreWindowState(*this);
}

bool TFormGraphSetup::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() == 1) {
            const QChar c = text.at(0);
            const bool allowed = c.isDigit() || c == QLatin1Char('-') || c == QChar(8) ||
                                 c == QChar(13) || c == QChar(27) ||
                                 text == QLocale::system().decimalPoint();
            if (!allowed && c.isPrint())
                return true;  // swallowed
        }
    } else if (edit && event->type() == QEvent::FocusOut && !checking_ && isVisible()) {
        // The message box takes the focus too; that second leave is not checked again.
        checking_ = true;
        CheckNumberEdit(*edit);
        checking_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orlo
