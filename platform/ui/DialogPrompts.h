#pragma once
// The modal half of the one door: font, colour and printer dialogs, and running a
// dialog of our own modally.
//
// It extends Prompts instead of adding to it, because these requests speak in Qt Gui
// and Qt Widgets types (QFont, QColor, QPrinter, QDialog) while Prompts is also what
// the core libraries and the command-line programs use, which link Qt Core only. So
// a core class or a console Prompts never sees a widget type, and a window takes a
// DialogPrompts& and reaches every modal interaction through that one object.
// QtPrompts shows the real dialogs; ScriptedPrompts (platform/testing) records each
// request and answers from its queues.

#include "platform/core/Prompts.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QDialog;
class QPrinter;

namespace platform {

class DialogPrompts : public Prompts {
public:
    ~DialogPrompts() override;

    // Runs the dialog modally and returns its result (QDialog::Accepted, Rejected or
    // the code given to done()). Windows never call exec() on their dialogs.
    virtual int runModal(QDialog& dialog) = 0;

    // The font dialog preset with initial; nothing when cancelled.
    virtual std::optional<QFont> fontDialog(const QFont& initial, const QString& title) = 0;
    // The colour dialog preset with initial; nothing when cancelled.
    virtual std::optional<QColor> colorDialog(const QColor& initial, const QString& title) = 0;

    // The printer dialogs set up the given printer; each returns false when the
    // user cancelled. Print: the printer, pages and copies before printing. Print
    // setup: the printer and its paper only. Page setup: paper, orientation and
    // margins.
    virtual bool printDialog(QPrinter& printer) = 0;
    virtual bool printSetupDialog(QPrinter& printer) = 0;
    virtual bool pageSetupDialog(QPrinter& printer) = 0;
};

}  // namespace platform
