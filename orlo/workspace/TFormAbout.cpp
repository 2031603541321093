#include "orlo/workspace/TFormAbout.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace orlo {

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    const QIcon programIcon = QApplication::windowIcon().isNull()
                                  ? style()->standardIcon(QStyle::SP_ComputerIcon)
                                  : QApplication::windowIcon();
    icon->setPixmap(programIcon.pixmap(48, 48));
    top->addWidget(icon);
    auto* texts = new QVBoxLayout;
    auto* name = new QLabel(QStringLiteral("ORLO"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    name->setFont(big);
    texts->addWidget(name);
    texts->addWidget(new QLabel(QStringLiteral("version 1.0"), this));
    top->addLayout(texts, 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace orlo
