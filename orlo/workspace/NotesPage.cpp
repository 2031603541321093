#include "orlo/workspace/NotesPage.h"

#include "platform/richtext/RtfCodec.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QVBoxLayout>

namespace orlo {
namespace {

QLineEdit* readOnlyField(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    e->setPalette(pal);
    return e;
}

}  // namespace

TNotesPage::TNotesPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* info = new QWidget(this);
    info->setObjectName(QStringLiteral("PanelLetInfo"));
    auto* grid = new QGridLayout(info);
    grid->setContentsMargins(0, 0, 0, 0);
    editDate_ = readOnlyField(info, "EditDate");
    editSample_ = readOnlyField(info, "EditSample");
    editVer_ = readOnlyField(info, "EditVer");
    editFlyTime_ = readOnlyField(info, "EditFlyTime");
    editMaxAlt_ = readOnlyField(info, "EditMaxAlt");
    editSample_->setMaximumWidth(80);
    editVer_->setMaximumWidth(50);
    grid->addWidget(new QLabel(QStringLiteral("Date:"), info), 0, 0);
    grid->addWidget(editDate_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sampling:"), info), 0, 2);
    grid->addWidget(editSample_, 0, 3);
    // The field holds seconds (the logger's interval / 50).
    grid->addWidget(new QLabel(QStringLiteral("s"), info), 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("Ver:"), info), 0, 5);
    grid->addWidget(editVer_, 0, 6);
    grid->addWidget(new QLabel(QStringLiteral("Record time:"), info), 1, 0);
    grid->addWidget(editFlyTime_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Max. Voltage:"), info), 1, 2);
    grid->addWidget(editMaxAlt_, 1, 3, 1, 4);
    grid->setColumnStretch(1, 1);
    layout->addWidget(info);

    richEdit_ = new QTextEdit(this);
    richEdit_->setObjectName(QStringLiteral("RichEdit1"));
    richEdit_->setFont(QFont(QStringLiteral("Arial"), 8));
    richEdit_->document()->setDefaultFont(QFont(QStringLiteral("Arial"), 8));
    richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(richEdit_, 1);
}

bool TNotesPage::IsModified() const {
    return richEdit_->document()->isModified();
}

void TNotesPage::SetModified(bool modified) {
    richEdit_->document()->setModified(modified);
}

std::string TNotesPage::SaveNotes() const {
    return platform::RtfCodec::save(*richEdit_->document());
}

void TNotesPage::LoadNotes(const std::string& notes) {
    platform::RtfCodec::load(*richEdit_->document(), notes);
}

void TNotesPage::ClearNotes() {
    richEdit_->clear();
}

void TNotesPage::ShowFileInfo(const TBlockInfoTexts& t) {
    editDate_->setText(t.Date);
    editFlyTime_->setText(t.FlyTime);
    editSample_->setText(t.Sample);
    editVer_->setText(t.Ver);
    editMaxAlt_->setText(t.MaxAlt);
}

void TNotesPage::ClearFileInfo() {
    for (QLineEdit* e : {editDate_, editFlyTime_, editMaxAlt_, editSample_, editVer_})
        e->clear();
}

}  // namespace orlo
