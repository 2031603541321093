#pragma once
// Prompts shown as real Qt dialogs, parented to a window.

#include "platform/ui/DialogPrompts.h"

#include <QPointer>

class QWidget;

namespace platform {

class QtPrompts : public DialogPrompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr);

    void setParentWidget(QWidget* parent) { parent_ = parent; }

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
    QPointer<QWidget> parent_;
};

}  // namespace platform
