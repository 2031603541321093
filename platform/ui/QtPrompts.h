#pragma once
// Prompts shown as real Qt dialogs, parented to a window.

#include "platform/core/Prompts.h"

#include <QPointer>

class QWidget;

namespace platform {

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr);

    void setParentWidget(QWidget* parent) { parent_ = parent; }

    Button message(const MessageRequest& request) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QStringList> openFileNames(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> existingDirectory(const QString& title,
                                             const QString& directory) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace platform
