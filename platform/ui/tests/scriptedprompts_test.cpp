// The scripted prompts' answers to the dialog requests: queues in order, requests
// recorded as they were made, cancel when nothing is queued.
#include "platform/testing/ScriptedPrompts.h"

#include <QDialog>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(ScriptedDialogs, ModalRunsPlayTheUserInOrderEvenWhenNested) {
    ScriptedPrompts prompts;
    QDialog outer;
    outer.setWindowTitle(QStringLiteral("Annotations"));
    QDialog inner;
    inner.setWindowTitle(QStringLiteral("Edit Annotation"));
    int innerResult = -1;
    // The outer dialog's user opens the inner one, whose answer is queued only then.
    prompts.answerDialog([&](QDialog& d) {
        EXPECT_EQ(&d, &outer);
        prompts.answerDialog(QDialog::Accepted);
        innerResult = prompts.runModal(inner);
        return 5;
    });
    EXPECT_FALSE(prompts.allAnswersUsed());
    EXPECT_EQ(prompts.runModal(outer), 5);
    EXPECT_EQ(innerResult, QDialog::Accepted);
    EXPECT_TRUE(prompts.allAnswersUsed());

    outer.setWindowTitle(QStringLiteral("renamed"));
    EXPECT_EQ(prompts.runModal(outer), QDialog::Rejected);  // nothing queued: cancelled
    ASSERT_EQ(prompts.modalRuns().size(), 3u);
    const QString titles[] = {QStringLiteral("Annotations"), QStringLiteral("Edit Annotation"),
                              QStringLiteral("renamed")};
    const QDialog* dialogs[] = {&outer, &inner, &outer};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(prompts.modalRuns()[i].title, titles[i]);
        EXPECT_EQ(prompts.modalRuns()[i].dialog, dialogs[i]);
    }
    prompts.clear();
    EXPECT_TRUE(prompts.modalRuns().empty());
}

TEST(ScriptedDialogs, FontAndColourAnswersAndRequests) {
    ScriptedPrompts prompts;
    QFont courier(QStringLiteral("Courier New"), 14);
    prompts.answerFont(courier);
    prompts.answerFont(std::nullopt);
    prompts.answerColor(QColor(Qt::red));
    const QFont arial(QStringLiteral("Arial"), 8);
    EXPECT_EQ(prompts.fontDialog(arial, QStringLiteral("Font")), courier);
    EXPECT_EQ(prompts.fontDialog(courier, QString()), std::nullopt);
    EXPECT_EQ(prompts.fontDialog(arial, QString()), std::nullopt);  // nothing queued
    EXPECT_EQ(prompts.colorDialog(Qt::blue, QStringLiteral("Colour")), QColor(Qt::red));
    EXPECT_EQ(prompts.colorDialog(Qt::blue, QString()), std::nullopt);
    EXPECT_TRUE(prompts.allAnswersUsed());

    ASSERT_EQ(prompts.fontRequests().size(), 3u);
    EXPECT_EQ(prompts.fontRequests()[0].initial, arial);
    EXPECT_EQ(prompts.fontRequests()[0].title, QStringLiteral("Font"));
    EXPECT_EQ(prompts.fontRequests()[1].initial, courier);
    ASSERT_EQ(prompts.colorRequests().size(), 2u);
    EXPECT_EQ(prompts.colorRequests()[0].initial, QColor(Qt::blue));
    EXPECT_EQ(prompts.colorRequests()[0].title, QStringLiteral("Colour"));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(prompts.dialogs().empty());
}

TEST(ScriptedDialogs, PrinterDialogsShareOneQueueAndRecordThePageTheyWereGiven) {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    prompts.answerPrinter([](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Portrait);
        return true;
    });
    prompts.answerPrinterCancel();
    prompts.answerPrinterToPdf(pdf);

    QPrinter printer;
    printer.setDocName(QStringLiteral("notes"));
    printer.setPageOrientation(QPageLayout::Landscape);
    EXPECT_TRUE(prompts.pageSetupDialog(printer));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_FALSE(prompts.printSetupDialog(printer));
    EXPECT_TRUE(prompts.printDialog(printer));
    EXPECT_FALSE(prompts.printDialog(printer));  // nothing queued: cancelled

    // The PDF answer leaves a printer that really prints.
    {
        QPainter painter;
        ASSERT_TRUE(painter.begin(&printer));
        painter.drawText(100, 100, QStringLiteral("page"));
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));

    using Call = ScriptedPrompts::PrinterCall;
    const auto& calls = prompts.printerRequests();
    ASSERT_EQ(calls.size(), 4u);
    const Call::Kind kinds[] = {Call::PageSetup, Call::PrintSetup, Call::Print, Call::Print};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].kind, kinds[i]);
        EXPECT_EQ(calls[i].docName, QStringLiteral("notes"));
    }
    EXPECT_EQ(calls[0].layout.orientation(), QPageLayout::Landscape);  // before the answer
    EXPECT_EQ(calls[1].layout.orientation(), QPageLayout::Portrait);
    EXPECT_TRUE(prompts.allAnswersUsed());
}

}  // namespace
}  // namespace platform
