#pragma once
// The one door for modal interaction: message boxes and the common dialogs.
//
// Windows and commands take a Prompts& and never call QMessageBox or QFileDialog
// themselves. QtPrompts shows real dialogs; ScriptedPrompts (platform/testing)
// records every text and answers from a queue, so each window runs offscreen in
// tests without a dialog blocking it. Font, colour and printer dialogs and modal
// runs of our own dialogs extend this in platform/ui/DialogPrompts.h, which keeps
// this header to Qt Core types.

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

enum class Icon { None, Information, Warning, Error, Question };

// Bit values, so that a set of buttons is one integer.
enum class Button : unsigned {
    None = 0,
    Ok = 1u << 0,
    Cancel = 1u << 1,
    Yes = 1u << 2,
    No = 1u << 3,
    YesToAll = 1u << 4,
    Abort = 1u << 5,
    Retry = 1u << 6,
    Ignore = 1u << 7,
};

class Buttons {
public:
    constexpr Buttons() = default;
    constexpr Buttons(Button b) : bits_(static_cast<unsigned>(b)) {}  // NOLINT: implicit on purpose
    constexpr Buttons operator|(Button b) const {
        return fromBits(bits_ | static_cast<unsigned>(b));
    }
    constexpr bool has(Button b) const { return (bits_ & static_cast<unsigned>(b)) != 0; }
    constexpr unsigned bits() const { return bits_; }
    constexpr bool operator==(const Buttons&) const = default;
    static constexpr Buttons fromBits(unsigned bits) {
        Buttons r;
        r.bits_ = bits;
        return r;
    }

private:
    unsigned bits_ = 0;
};

constexpr Buttons operator|(Button a, Button b) {
    return Buttons(a) | b;
}

struct MessageRequest {
    Icon icon = Icon::None;
    QString title;  // empty: the application's name
    QString text;
    Buttons buttons = Button::Ok;
    Button defaultButton = Button::None;  // None: the first of the buttons
};

struct FileDialogRequest {
    QString title;
    QString directory;             // initial folder; empty: the current one
    QString fileName;              // initial file name, with or without folder
    QString filter;                // Qt form: "ORLO data (*.orl);;All files (*)"
    int filterIndex = 0;           // the filter selected initially
    QString defaultSuffix;         // without the dot, appended when the user typed none
    bool confirmOverwrite = true;  // save dialogs only
};

class Prompts {
public:
    virtual ~Prompts();

    virtual Button message(const MessageRequest& request) = 0;

    // Each returns nothing when the user cancelled.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QStringList> openFileNames(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> existingDirectory(const QString& title,
                                                     const QString& directory) = 0;

    // Shorthands over message().
    void error(const QString& text, const QString& title = {});
    void warning(const QString& text, const QString& title = {});
    void information(const QString& text, const QString& title = {});
    // Question boxes return the button pressed.
    Button askYesNo(const QString& text, const QString& title = {}, Icon icon = Icon::Question);
    Button askYesNoCancel(const QString& text, const QString& title = {},
                          Icon icon = Icon::Question);
    Button askYesNoCancelYesToAll(const QString& text, const QString& title = {},
                                  Icon icon = Icon::Question);
};

// "*.orl (ORLO Data File)|*.orl|*.* (All Files)|*.*" (description|pattern pairs)
// to the Qt form "*.orl (ORLO Data File) (*.orl);;*.* (All Files) (*)".
QString qtFilterFromPairs(const QString& pairs);

}  // namespace platform
