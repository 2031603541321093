#include "orlo/workspace/TFormOptions.h"

#include "orlo/workspace/AssertDlg.h"
#include "platform/core/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QToolButton>

#include <exception>

namespace orlo {

QString WithoutForbiddenNameChars(QString text) {
    static const QString forbidden = QStringLiteral("\"*/:<>?\\|");
    text.removeIf([](QChar c) { return forbidden.contains(c); });
    return text;
}

QStringList TFormOptions::SystemPortNames() {
    QStringList names;
    try {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            names << info.portName();
    } catch (const std::exception&) {
        ORLO_CHECK(false, QStringLiteral(
                              "FormOptions.FormCreate-chyba pri cteni seznamu Comu z registru."));
    }
    return names;
}

TFormOptions::TFormOptions(const QStringList& ports, platform::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setMinimumSize(150, 180);
    auto* grid = new QGridLayout(this);

    const QString folderHint = QStringLiteral("Kořenova složka datových souborů.");
    grid->addWidget(new QLabel(QStringLiteral("Default data folder:"), this), 0, 0, 1, 2);
    labelRoot_ = new QLabel(this);
    labelRoot_->setObjectName(QStringLiteral("LabelRoot"));
    labelRoot_->setCursor(Qt::PointingHandCursor);
    labelRoot_->setToolTip(folderHint);
    labelRoot_->setFrameShape(QFrame::StyledPanel);
    labelRoot_->setTextInteractionFlags(Qt::NoTextInteraction);
    labelRoot_->installEventFilter(this);
    speedButton_ = new QToolButton(this);
    speedButton_->setObjectName(QStringLiteral("SpeedButton1"));
    speedButton_->setText(QStringLiteral("..."));
    speedButton_->setToolTip(folderHint);
    connect(speedButton_, &QToolButton::clicked, this, &TFormOptions::ChooseFolder);
    grid->addWidget(labelRoot_, 1, 0);
    grid->addWidget(speedButton_, 1, 1);

    grid->addWidget(new QLabel(QStringLiteral("Communication port:"), this), 2, 0, 1, 2);
    comboCom_ = new QComboBox(this);
    comboCom_->setObjectName(QStringLiteral("ComboBoxCOM"));
    comboCom_->addItems(ports.isEmpty()
                            ? QStringList{QStringLiteral("COM1"), QStringLiteral("COM2"),
                                          QStringLiteral("COM3"), QStringLiteral("COM4")}
                            : ports);
    // The system list misses adapters that are unplugged and pseudo-terminals; a port can
    // also be typed as a name or a device path.
    comboCom_->setEditable(true);
    comboCom_->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(comboCom_, 3, 0, 1, 2);

    // The batch save's file name stays in the settings but is not offered here.
    auto* nameLabel = new QLabel(QStringLiteral("Default file name:"), this);
    editDefFileName_ = new QLineEdit(QStringLiteral("Block"), this);
    editDefFileName_->setObjectName(QStringLiteral("EditDefFileName"));
    auto* suffixLabel = new QLabel(QStringLiteral("+ \"00X.orl\""), this);
    connect(editDefFileName_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString clean = WithoutForbiddenNameChars(text);
        if (clean != text) {
            const int cursor = editDefFileName_->cursorPosition() - int(text.size() - clean.size());
            editDefFileName_->setText(clean);
            editDefFileName_->setCursorPosition(std::max(cursor, 0));
        }
    });
    grid->addWidget(nameLabel, 4, 0, 1, 2);
    grid->addWidget(editDefFileName_, 5, 0);
    grid->addWidget(suffixLabel, 5, 1);
    for (QWidget* w : {static_cast<QWidget*>(nameLabel), static_cast<QWidget*>(editDefFileName_),
                       static_cast<QWidget*>(suffixLabel)})
        w->hide();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->setRowStretch(6, 1);
    grid->addWidget(buttons, 7, 0, 1, 2);
}

void TFormOptions::SelectPort(const QString& port) {
    const int index = comboCom_->findText(port, Qt::MatchExactly);
    comboCom_->setCurrentIndex(index);
    // A stored port that is not listed stays shown, so OK does not silently drop it.
    if (index < 0)
        comboCom_->setEditText(port);
}

void TFormOptions::ChooseFolder() {
    const std::optional<QString> folder =
        prompts_.existingDirectory(QStringLiteral("Default data folder"), labelRoot_->text());
    if (folder)
        labelRoot_->setText(*folder);
}

bool TFormOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == labelRoot_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ChooseFolder();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orlo
