#include "platform/ui/QtPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <array>
#include <utility>

namespace platform {
namespace {

constexpr std::array<std::pair<Button, QMessageBox::StandardButton>, 8> kButtonMap{{
    {Button::Ok, QMessageBox::Ok},
    {Button::Cancel, QMessageBox::Cancel},
    {Button::Yes, QMessageBox::Yes},
    {Button::No, QMessageBox::No},
    {Button::YesToAll, QMessageBox::YesToAll},
    {Button::Abort, QMessageBox::Abort},
    {Button::Retry, QMessageBox::Retry},
    {Button::Ignore, QMessageBox::Ignore},
}};

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString startPath(const FileDialogRequest& r) {
    if (r.fileName.isEmpty())
        return r.directory;
    if (r.directory.isEmpty() || QDir::isAbsolutePath(r.fileName))
        return r.fileName;
    return QDir(r.directory).filePath(r.fileName);
}

QString selectedFilter(const FileDialogRequest& r) {
    const QStringList filters = r.filter.split(QStringLiteral(";;"));
    return r.filterIndex >= 0 && r.filterIndex < filters.size() ? filters[r.filterIndex]
                                                                : QString();
}

}  // namespace

QtPrompts::QtPrompts(QWidget* parent) : parent_(parent) {}

Button QtPrompts::message(const MessageRequest& request) {
    const QString title =
        request.title.isEmpty() ? QApplication::applicationDisplayName() : request.title;
    QMessageBox box(toQt(request.icon), title, request.text, QMessageBox::NoButton, parent_);
    QMessageBox::StandardButtons buttons;
    for (const auto& [ours, qt] : kButtonMap)
        if (request.buttons.has(ours))
            buttons |= qt;
    if (!buttons)
        buttons = QMessageBox::Ok;
    box.setStandardButtons(buttons);
    for (const auto& [ours, qt] : kButtonMap)
        if (ours == request.defaultButton && request.buttons.has(ours))
            box.setDefaultButton(qt);
    // Esc gives Cancel, or No where there is no Cancel, as on Windows.
    if (request.buttons.has(Button::Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    else if (request.buttons.has(Button::No))
        box.setEscapeButton(QMessageBox::No);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& [ours, qt] : kButtonMap)
        if (qt == pressed)
            return ours;
    return request.buttons.has(Button::Cancel) ? Button::Cancel : Button::Ok;
}

std::optional<QString> QtPrompts::openFileName(const FileDialogRequest& request) {
    QString filter = selectedFilter(request);
    const QString path = QFileDialog::getOpenFileName(parent_, request.title, startPath(request),
                                                      request.filter, &filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QStringList> QtPrompts::openFileNames(const FileDialogRequest& request) {
    QString filter = selectedFilter(request);
    const QStringList paths = QFileDialog::getOpenFileNames(
        parent_, request.title, startPath(request), request.filter, &filter);
    if (paths.isEmpty())
        return std::nullopt;
    return paths;
}

std::optional<QString> QtPrompts::saveFileName(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, request.title, startPath(request), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString filter = selectedFilter(request);
    if (!filter.isEmpty())
        dialog.selectNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtPrompts::existingDirectory(const QString& title,
                                                    const QString& directory) {
    const QString path = QFileDialog::getExistingDirectory(parent_, title, directory);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

int QtPrompts::runModal(QDialog& dialog) {
    return dialog.exec();
}

std::optional<QFont> QtPrompts::fontDialog(const QFont& initial, const QString& title) {
    bool ok = false;
    // Qt's own dialog, the same on every desktop; native ones differ in what they offer.
    const QFont font =
        QFontDialog::getFont(&ok, initial, parent_, title, QFontDialog::DontUseNativeDialog);
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<QColor> QtPrompts::colorDialog(const QColor& initial, const QString& title) {
    const QColor color = QColorDialog::getColor(initial, parent_, title);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

bool QtPrompts::printDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrompts::printSetupDialog(QPrinter& printer) {
    // Qt has no separate setup dialog: the print dialog without the page choices.
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrompts::pageSetupDialog(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace platform
