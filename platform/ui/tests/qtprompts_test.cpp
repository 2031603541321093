#include "platform/ui/QtPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace platform {
namespace {

// Presses a button of the first message box that appears.
void pressWhenShown(QMessageBox::StandardButton which) {
    QTimer::singleShot(0, [which] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                box->button(which)->click();
                return;
            }
        FAIL() << "no message box shown";
    });
}

TEST(QtPrompts, MessageBoxOffersTheRequestedButtonsAndReportsThePressedOne) {
    QtPrompts prompts;
    struct Case {
        QMessageBox::StandardButton press;
        Button expected;
    } cases[] = {{QMessageBox::Yes, Button::Yes},
                 {QMessageBox::No, Button::No},
                 {QMessageBox::Cancel, Button::Cancel},
                 {QMessageBox::YesToAll, Button::YesToAll}};
    for (const Case& c : cases) {
        pressWhenShown(c.press);
        EXPECT_EQ(prompts.askYesNoCancelYesToAll(QStringLiteral("Rewrite?")), c.expected);
    }
}

// Acts on the first visible dialog of type D once the modal loop runs; closes any
// other dialog so that a wrong one cannot hang the test.
template <typename D>
void actWhenShown(std::function<void(D&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) {
                act(*d);
                return;
            }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                d->reject();
        ADD_FAILURE() << "the expected dialog was not shown";
    });
}

TEST(QtPrompts, RunModalShowsTheDialogModallyAndGivesItsResult) {
    QtPrompts prompts;
    struct Case {
        std::function<void(QDialog&)> close;
        int expected;
    } cases[] = {{[](QDialog& d) { d.accept(); }, QDialog::Accepted},
                 {[](QDialog& d) { d.reject(); }, QDialog::Rejected},
                 {[](QDialog& d) { d.done(7); }, 7}};
    for (const Case& c : cases) {
        QDialog dialog;
        bool modal = false;
        actWhenShown<QDialog>([&](QDialog& d) {
            modal = QApplication::activeModalWidget() == &d;
            c.close(d);
        });
        EXPECT_EQ(prompts.runModal(dialog), c.expected);
        EXPECT_TRUE(modal);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST(QtPrompts, FontDialogStartsFromThePresetAndReturnsTheChoice) {
    QWidget window;
    QtPrompts prompts(&window);
    QFont preset(QStringLiteral("Arial"), 13);
    preset.setItalic(true);
    QFont seen;
    QString title;
    QWidget* parent = nullptr;
    QFont choice = preset;
    choice.setPointSize(21);
    choice.setItalic(false);
    actWhenShown<QFontDialog>([&](QFontDialog& d) {
        seen = d.currentFont();
        title = d.windowTitle();
        parent = d.parentWidget();
        d.setCurrentFont(choice);
        d.accept();
    });
    const std::optional<QFont> font = prompts.fontDialog(preset, QStringLiteral("Notes font"));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pointSize(), 21);
    EXPECT_FALSE(font->italic());
    EXPECT_EQ(seen.pointSize(), 13);
    EXPECT_TRUE(seen.italic());
    EXPECT_EQ(title, QStringLiteral("Notes font"));
    EXPECT_EQ(parent, &window);

    actWhenShown<QFontDialog>([](QFontDialog& d) { d.reject(); });
    EXPECT_EQ(prompts.fontDialog(preset, QString()), std::nullopt);
}

TEST(QtPrompts, ColorDialogStartsFromThePresetAndReturnsTheChoice) {
    QtPrompts prompts;
    QColor seen;
    actWhenShown<QColorDialog>([&](QColorDialog& d) {
        seen = d.currentColor();
        d.setCurrentColor(QColor(10, 200, 30));
        d.accept();
    });
    EXPECT_EQ(prompts.colorDialog(QColor(255, 0, 0), QStringLiteral("Colour")),
              QColor(10, 200, 30));
    EXPECT_EQ(seen, QColor(255, 0, 0));

    actWhenShown<QColorDialog>([](QColorDialog& d) { d.reject(); });
    EXPECT_EQ(prompts.colorDialog(QColor(255, 0, 0), QString()), std::nullopt);
}

TEST(QtPrompts, PrinterDialogsWorkOnTheGivenPrinterAndReportCancel) {
    QtPrompts prompts;
    QPrinter printer;
    struct Case {
        const char* name;
        std::function<bool()> show;
    } cases[] = {{"print", [&] { return prompts.printDialog(printer); }},
                 {"print setup", [&] { return prompts.printSetupDialog(printer); }},
                 {"page setup", [&] { return prompts.pageSetupDialog(printer); }}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QPrinter* shownFor = nullptr;
        actWhenShown<QDialog>([&](QDialog& d) {
            if (auto* p = qobject_cast<QAbstractPrintDialog*>(&d))
                shownFor = p->printer();
            else if (auto* s = qobject_cast<QPageSetupDialog*>(&d))
                shownFor = s->printer();
            d.accept();
        });
        EXPECT_TRUE(c.show());
        EXPECT_EQ(shownFor, &printer);
        actWhenShown<QDialog>([](QDialog& d) { d.reject(); });
        EXPECT_FALSE(c.show());
    }
}

}  // namespace
}  // namespace platform
