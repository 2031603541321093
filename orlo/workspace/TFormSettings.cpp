#include "orlo/workspace/TFormSettings.h"

#include "platform/core/Prompts.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace orlo {

TFormSettings::TFormSettings(platform::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("FormSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* form = new QFormLayout(this);
    // Only "-" and digits can be typed.
    auto* validator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9]*")), this);
    for (int i = 0; i < 3; ++i) {
        edits_[i] = new QLineEdit(QStringLiteral("0"), this);
        edits_[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edits_[i]->setValidator(validator);
        edits_[i]->installEventFilter(this);
        form->addRow(QStringLiteral("Number %1:").arg(i + 1), edits_[i]);
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

bool TFormSettings::ValidNumber(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok && v > -999999;
}

bool TFormSettings::CheckEdit(int index) {
    if (ValidNumber(edits_[index]->text()))
        return true;
    checking_ = true;
    prompts_.error(QStringLiteral("Incorrect number!"));
    edits_[index]->setFocus();
    checking_ = false;
    return false;
}

bool TFormSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !checking_)
        for (int i = 0; i < 3; ++i)
            if (watched == edits_[i])
                CheckEdit(i);
    return QDialog::eventFilter(watched, event);
}

}  // namespace orlo
