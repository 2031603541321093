#include "platform/testing/ScriptedPrompts.h"

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
    messages_.clear();
    dialogs_.clear();
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

}  // namespace platform
