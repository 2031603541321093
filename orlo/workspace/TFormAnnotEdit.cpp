#include "orlo/workspace/TFormAnnotEdit.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace orlo {
namespace {

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

QPushButton* boldButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    QFont f = button->font();
    f.setBold(true);
    button->setFont(f);
    return button;
}

}  // namespace

TFormAnnotEdit::TFormAnnotEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAnnotEdit"));
    setWindowTitle(QStringLiteral("Edit Annotation"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(boldLabel(QStringLiteral("Coordinates:"), this));
    auto* grid = new QGridLayout;
    editTime_ = new QLineEdit(this);
    editTime_->setObjectName(QStringLiteral("EditTime"));
    editAlt_ = new QLineEdit(this);
    editAlt_->setObjectName(QStringLiteral("EditAlt"));
    grid->addWidget(new QLabel(QStringLiteral("Time:"), this), 0, 0);
    grid->addWidget(editTime_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("sec"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Altitude:"), this), 1, 0);
    grid->addWidget(editAlt_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("m"), this), 1, 2);
    layout->addLayout(grid);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    layout->addWidget(boldLabel(QStringLiteral("Text:"), this));
    editText_ = new QLineEdit(this);
    editText_->setObjectName(QStringLiteral("EditText"));
    layout->addWidget(editText_);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    ok_ = boldButton(QStringLiteral("Ok"), this);
    cancel_ = boldButton(QStringLiteral("Cancel"), this);
    // Enter in the fields moves on (the fields keep it); on "Ok" it accepts.
    ok_->setDefault(true);
    bottom->addWidget(ok_);
    bottom->addWidget(cancel_);
    layout->addLayout(bottom);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    for (QLineEdit* e : {editTime_, editAlt_, editText_})
        e->installEventFilter(this);
}

double TFormAnnotEdit::FieldValue(const QLineEdit* field) {
    bool ok = false;
    const QString text = field->text().trimmed();
    double v = QLocale::system().toDouble(text, &ok);
    if (!ok)
        v = QLocale::c().toDouble(text, &ok);
    return ok ? v : 0.0;
}

void TFormAnnotEdit::showEvent(QShowEvent* event) {
    if (RestoreWindowState)
        RestoreWindowState(*this);
    QDialog::showEvent(event);
}

void TFormAnnotEdit::done(int result) {
    if (editText_->text().isEmpty())
        editText_->setText(QStringLiteral(" "));
    QDialog::done(result);
}

bool TFormAnnotEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (watched == editTime_)
            editAlt_->setFocus(Qt::TabFocusReason);
        else if (watched == editAlt_)
            editText_->setFocus(Qt::TabFocusReason);
        else if (watched == editText_)
            ok_->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (watched == editTime_ || watched == editAlt_) {
        // Characters other than digits, "-" and the decimal separator are dropped;
        // keys that type nothing (arrows, Delete, shortcuts) keep their work.
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const QString decimal = QLocale::system().decimalPoint();
            for (const QChar c : text)
                if (!c.isDigit() && c != QLatin1Char('-') && !decimal.contains(c))
                    return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orlo
