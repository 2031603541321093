#pragma once
// A Prompts that shows nothing: it records every request and answers from queues.
//
// A message with no queued answer gets Cancel when the box offers it, otherwise
// No, otherwise Ok; such answers are counted in unanswered() so a test can tell
// an unexpected box from a planned one. A dialog with no queued answer is
// cancelled.

#include "platform/core/Prompts.h"

#include <deque>
#include <optional>
#include <vector>

namespace platform {

class ScriptedPrompts : public Prompts {
public:
    struct DialogCall {
        enum Kind { OpenFile, OpenFiles, SaveFile, Directory } kind;
        FileDialogRequest request;  // for Directory: title and directory only
    };

    // Queues.
    void answer(Button b) { answers_.push_back(b); }
    void answerFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
    void answerFiles(std::optional<QStringList> paths) { fileLists_.push_back(std::move(paths)); }
    void answerDirectory(std::optional<QString> path) { directories_.push_back(std::move(path)); }

    // What was asked, in order.
    const std::vector<MessageRequest>& messages() const { return messages_; }
    const std::vector<DialogCall>& dialogs() const { return dialogs_; }
    QStringList texts() const;  // the message texts only
    int unanswered() const { return unanswered_; }
    bool allAnswersUsed() const {
        return answers_.empty() && files_.empty() && fileLists_.empty() && directories_.empty();
    }
    void clear();

    Button message(const MessageRequest& request) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QStringList> openFileNames(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> existingDirectory(const QString& title,
                                             const QString& directory) override;

private:
    std::deque<Button> answers_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<QStringList>> fileLists_;
    std::deque<std::optional<QString>> directories_;
    std::vector<MessageRequest> messages_;
    std::vector<DialogCall> dialogs_;
    int unanswered_ = 0;
};

}  // namespace platform
