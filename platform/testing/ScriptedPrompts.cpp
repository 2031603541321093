#include "platform/testing/ScriptedPrompts.h"

#include <QDialog>
#include <QPrinter>

namespace platform {
namespace {

template <typename T>
std::optional<T> take(std::deque<std::optional<T>>& queue) {
    if (queue.empty())
        return std::nullopt;
    std::optional<T> v = std::move(queue.front());
    queue.pop_front();
    return v;
}

}  // namespace

QStringList ScriptedPrompts::texts() const {
    QStringList out;
    for (const MessageRequest& m : messages_)
        out << m.text;
    return out;
}

void ScriptedPrompts::clear() {
    answers_.clear();
    files_.clear();
    fileLists_.clear();
    directories_.clear();
    modals_.clear();
    fonts_.clear();
    colors_.clear();
    printers_.clear();
    messages_.clear();
    dialogs_.clear();
    modalRuns_.clear();
    fontRequests_.clear();
    colorRequests_.clear();
    printerRequests_.clear();
    unanswered_ = 0;
}

Button ScriptedPrompts::message(const MessageRequest& request) {
    messages_.push_back(request);
    if (!answers_.empty()) {
        const Button b = answers_.front();
        answers_.pop_front();
        return b;
    }
    ++unanswered_;
    for (Button b : {Button::Cancel, Button::No, Button::Ok})
        if (request.buttons.has(b))
            return b;
    return Button::Ok;
}

std::optional<QString> ScriptedPrompts::openFileName(const FileDialogRequest& request) {
    dialogs_.push_back({DialogCall::OpenFile, request});
    return take(files_);
}

std::optional<QStringList> ScriptedPrompts::openFileNames(const FileDialogRequest& request) {
    dialogs_.push_back({DialogCall::OpenFiles, request});
    return take(fileLists_);
}

std::optional<QString> ScriptedPrompts::saveFileName(const FileDialogRequest& request) {
    dialogs_.push_back({DialogCall::SaveFile, request});
    return take(files_);
}

std::optional<QString> ScriptedPrompts::existingDirectory(const QString& title,
                                                          const QString& directory) {
    FileDialogRequest r;
    r.title = title;
    r.directory = directory;
    dialogs_.push_back({DialogCall::Directory, r});
    return take(directories_);
}

void ScriptedPrompts::answerDialog(int result) {
    modals_.push_back([result](QDialog&) { return result; });
}

void ScriptedPrompts::answerPrinterToPdf(const QString& path) {
    printers_.push_back([path](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    });
}

void ScriptedPrompts::answerPrinterCancel() {
    printers_.push_back([](QPrinter&) { return false; });
}

int ScriptedPrompts::runModal(QDialog& dialog) {
    modalRuns_.push_back({&dialog, dialog.windowTitle()});
    if (modals_.empty())
        return QDialog::Rejected;
    const ModalAnswer play = std::move(modals_.front());
    modals_.pop_front();
    return play(dialog);
}

std::optional<QFont> ScriptedPrompts::fontDialog(const QFont& initial, const QString& title) {
    fontRequests_.push_back({initial, title});
    return take(fonts_);
}

std::optional<QColor> ScriptedPrompts::colorDialog(const QColor& initial, const QString& title) {
    colorRequests_.push_back({initial, title});
    return take(colors_);
}

bool ScriptedPrompts::printDialog(QPrinter& p) {
    return printer(PrinterCall::Print, p);
}

bool ScriptedPrompts::printSetupDialog(QPrinter& p) {
    return printer(PrinterCall::PrintSetup, p);
}

bool ScriptedPrompts::pageSetupDialog(QPrinter& p) {
    return printer(PrinterCall::PageSetup, p);
}

bool ScriptedPrompts::printer(PrinterCall::Kind kind, QPrinter& p) {
    printerRequests_.push_back({kind, p.pageLayout(), p.docName()});
    if (printers_.empty())
        return false;
    const PrinterAnswer setUp = std::move(printers_.front());
    printers_.pop_front();
    return setUp(p);
}

}  // namespace platform
