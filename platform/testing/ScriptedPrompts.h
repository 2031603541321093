#pragma once
// A DialogPrompts that shows nothing: it records every request and answers from
// queues.
//
// A message with no queued answer gets Cancel when the box offers it, otherwise
// No, otherwise Ok; such answers are counted in unanswered() so a test can tell
// an unexpected box from a planned one. A dialog with no queued answer is
// cancelled: a file, font or colour dialog gives nothing, a printer dialog false,
// a modal run QDialog::Rejected.
//
// A modal run's answer is either a result or a function that plays the user on the
// dialog (fills its fields, clicks its buttons) and returns the result; a printer
// dialog's answer may likewise set up the printer, e.g. to write a PDF file.

#include "platform/ui/DialogPrompts.h"

#include <QPageLayout>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

class ScriptedPrompts : public DialogPrompts {
public:
    struct DialogCall {
        enum Kind { OpenFile, OpenFiles, SaveFile, Directory } kind;
        FileDialogRequest request;  // for Directory: title and directory only
    };
    struct ModalCall {
        QDialog* dialog;  // for identity only: it may be gone since
        QString title;    // its window title when it was run
    };
    struct FontCall {
        QFont initial;
        QString title;
    };
    struct ColorCall {
        QColor initial;
        QString title;
    };
    struct PrinterCall {
        enum Kind { Print, PrintSetup, PageSetup } kind;
        QPageLayout layout;  // the printer's page as the dialog was opened on it
        QString docName;
    };
    using ModalAnswer = std::function<int(QDialog&)>;
    using PrinterAnswer = std::function<bool(QPrinter&)>;

    // Queues.
    void answer(Button b) { answers_.push_back(b); }
    void answerFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
    void answerFiles(std::optional<QStringList> paths) { fileLists_.push_back(std::move(paths)); }
    void answerDirectory(std::optional<QString> path) { directories_.push_back(std::move(path)); }
    void answerDialog(ModalAnswer play) { modals_.push_back(std::move(play)); }
    void answerDialog(int result);
    void answerFont(std::optional<QFont> font) { fonts_.push_back(std::move(font)); }
    void answerColor(std::optional<QColor> color) { colors_.push_back(std::move(color)); }
    // For the print, print setup and page setup dialogs alike.
    void answerPrinter(PrinterAnswer setUp) { printers_.push_back(std::move(setUp)); }
    // OK, with the printer writing a PDF file at path.
    void answerPrinterToPdf(const QString& path);
    void answerPrinterCancel();

    // What was asked, in order.
    const std::vector<MessageRequest>& messages() const { return messages_; }
    const std::vector<DialogCall>& dialogs() const { return dialogs_; }
    const std::vector<ModalCall>& modalRuns() const { return modalRuns_; }
    const std::vector<FontCall>& fontRequests() const { return fontRequests_; }
    const std::vector<ColorCall>& colorRequests() const { return colorRequests_; }
    const std::vector<PrinterCall>& printerRequests() const { return printerRequests_; }
    QStringList texts() const;  // the message texts only
    int unanswered() const { return unanswered_; }
    bool allAnswersUsed() const {
        return answers_.empty() && files_.empty() && fileLists_.empty() && directories_.empty() &&
               modals_.empty() && fonts_.empty() && colors_.empty() && printers_.empty();
    }
    void clear();

    Button message(const MessageRequest& request) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QStringList> openFileNames(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> existingDirectory(const QString& title,
                                             const QString& directory) override;

    int runModal(QDialog& dialog) override;
    std::optional<QFont> fontDialog(const QFont& initial, const QString& title) override;
    std::optional<QColor> colorDialog(const QColor& initial, const QString& title) override;
    bool printDialog(QPrinter& printer) override;
    bool printSetupDialog(QPrinter& printer) override;
    bool pageSetupDialog(QPrinter& printer) override;

private:
    bool printer(PrinterCall::Kind kind, QPrinter& printer);

    std::deque<Button> answers_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<QStringList>> fileLists_;
    std::deque<std::optional<QString>> directories_;
    std::deque<ModalAnswer> modals_;
    std::deque<std::optional<QFont>> fonts_;
    std::deque<std::optional<QColor>> colors_;
    std::deque<PrinterAnswer> printers_;
    std::vector<MessageRequest> messages_;
    std::vector<DialogCall> dialogs_;
    std::vector<ModalCall> modalRuns_;
    std::vector<FontCall> fontRequests_;
    std::vector<ColorCall> colorRequests_;
    std::vector<PrinterCall> printerRequests_;
    int unanswered_ = 0;
};

}  // namespace platform
