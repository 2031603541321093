#include "platform/core/Prompts.h"
#include "platform/testing/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(ScriptedPrompts, RecordsMessagesAndAnswersInOrder) {
    ScriptedPrompts prompts;
    prompts.answer(Button::No);
    prompts.answer(Button::YesToAll);
    EXPECT_EQ(prompts.askYesNo(QStringLiteral("first?")), Button::No);
    EXPECT_EQ(prompts.askYesNoCancelYesToAll(QStringLiteral("second?")), Button::YesToAll);
    prompts.error(QStringLiteral("broken"));
    ASSERT_EQ(prompts.messages().size(), 3u);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("first?"), QStringLiteral("second?"),
                                            QStringLiteral("broken")}));
    EXPECT_EQ(prompts.messages()[1].buttons,
              Button::Yes | Button::No | Button::Cancel | Button::YesToAll);
    EXPECT_EQ(prompts.messages()[2].icon, Icon::Error);
    EXPECT_EQ(prompts.unanswered(), 1);  // the error box took the default
    EXPECT_TRUE(prompts.allAnswersUsed());
}

TEST(ScriptedPrompts, UnplannedQuestionsGetTheSafeAnswer) {
    ScriptedPrompts prompts;
    EXPECT_EQ(prompts.askYesNoCancel(QStringLiteral("save?")), Button::Cancel);
    EXPECT_EQ(prompts.askYesNo(QStringLiteral("exit?")), Button::No);
    EXPECT_EQ(prompts.unanswered(), 2);
}

TEST(ScriptedPrompts, FileDialogsTakeQueuedPathsAndCancelWhenEmpty) {
    ScriptedPrompts prompts;
    prompts.answerFile(QStringLiteral("/tmp/a.orl"));
    FileDialogRequest request;
    request.title = QStringLiteral("Save");
    request.defaultSuffix = QStringLiteral("orl");
    EXPECT_EQ(prompts.saveFileName(request), QStringLiteral("/tmp/a.orl"));
    EXPECT_EQ(prompts.openFileName(request), std::nullopt);
    ASSERT_EQ(prompts.dialogs().size(), 2u);
    EXPECT_EQ(prompts.dialogs()[0].kind, ScriptedPrompts::DialogCall::SaveFile);
    EXPECT_EQ(prompts.dialogs()[0].request.defaultSuffix, QStringLiteral("orl"));
}

TEST(Prompts, FilterPairsBecomeQtFilters) {
    struct Case {
        const char* pairs;
        const char* qt;
    } cases[] = {
        {"*.orl (ORLO Data File)|*.orl|*.* (All Files)|*.*",
         "*.orl (ORLO Data File) (*.orl);;*.* (All Files) (*)"},
        {"Pictures|*.bmp;*.png", "Pictures (*.bmp *.png)"},
        {"", ""},
        {"dangling", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtFilterFromPairs(QString::fromUtf8(c.pairs)), QString::fromUtf8(c.qt))
            << c.pairs;
}

}  // namespace
}  // namespace platform
