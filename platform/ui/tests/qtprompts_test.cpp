#include "platform/ui/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace platform
