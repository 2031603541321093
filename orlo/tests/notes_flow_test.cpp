// Notes in the main window: they move into the block when the row changes, when the
// row closes and before a save, and come back from the data file.
#include "WorkspaceTestSupport.h"

#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/NotesPage.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TStringGrid.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>

namespace orlo::test {
namespace {

using platform::Button;

QTextEdit& Editor(TFormMain& f) {
    return *f.Notes().RichEdit1();
}

void TypeAtStart(TFormMain& f, const QString& text) {
    QTextCursor c(Editor(f).document());
    c.insertText(text);
}

TEST_F(WorkspaceTest, NotesOfTheActualBlockMoveInOnlyWhenTheRowChanges) {
    TFormMain& f = Show();
    TDataBlock a = MakeBlock(3);
    a.Notes = "{\\rtf1\\ansi {\\b Motor} hot\\par}";
    TDataBlock b = MakeBlock(4);
    b.Notes = "plain note of b";
    const QString pa = WriteFile("a.orl", a);
    const QString pb = WriteFile("b.orl", b);
    f.openFiles({pa, pb});
    TStringGrid& g = f.StringGrid1();
    EXPECT_EQ(Editor(f).toPlainText(), "Motor hot");

    TypeAtStart(f, "Very ");
    // The edit stays in the editor until another row becomes actual.
    EXPECT_EQ(f.Grid().Block(0)->Notes, a.Notes);
    EXPECT_FALSE(f.Grid().Block(0)->Modified);
    g.setCurrentCell(1, 0);
    EXPECT_EQ(Editor(f).toPlainText(), "plain note of b");
    EXPECT_FALSE(f.Notes().IsModified());
    EXPECT_TRUE(f.Grid().Block(0)->Modified);
    EXPECT_FALSE(f.Grid().Block(1)->Modified);
    g.setCurrentCell(0, 0);
    EXPECT_EQ(Editor(f).toPlainText(), "Very Motor hot");
    // The stored text is rich text and keeps the bold word.
    EXPECT_EQ(f.Grid().Block(0)->Notes.rfind("{\\rtf", 0), 0u);
    QTextCursor c(Editor(f).document());
    c.setPosition(7);
    EXPECT_TRUE(c.charFormat().font().bold());

    // Closing asks for the edited block only.
    EXPECT_TRUE(f.close());
    EXPECT_EQ(prompts.texts(), QStringList{"Do you want to save changes of " + pa + "?"});
}

TEST_F(WorkspaceTest, SaveTakesThePendingNotesAndReopeningShowsThem) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path});
    TypeAtStart(f, QString::fromUtf8("Přistání tvrdé"));
    QTextCursor c(Editor(f).document());
    c.setPosition(0);
    c.setPosition(8, QTextCursor::KeepAnchor);
    Editor(f).setTextCursor(c);
    f.Notes().TBBold->trigger();
    f.Commands().mnuSave->trigger();
    EXPECT_FALSE(f.Grid().Block(0)->Modified);
    EXPECT_FALSE(f.Notes().IsModified());
    EXPECT_TRUE(prompts.messages().empty());

    // Closing asks nothing: everything is saved.
    f.Grid().CloseGridRow(0);
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(Editor(f).toPlainText(), "");
    EXPECT_FALSE(f.PageControl1()->isEnabled());

    f.openFiles({path});
    EXPECT_EQ(Editor(f).toPlainText(), QString::fromUtf8("Přistání tvrdé"));
    QTextCursor back(Editor(f).document());
    back.setPosition(3);
    EXPECT_TRUE(back.charFormat().font().bold());
    back.setPosition(11);
    EXPECT_FALSE(back.charFormat().font().bold());
    EXPECT_FALSE(f.Grid().Block(0)->Modified);
}

// The data file joins the lines of the notes: every paragraph must come back whole.
TEST_F(WorkspaceTest, NotesOfSeveralParagraphsComeBackAfterSaveAndReopen) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path});
    const QString notes = QStringLiteral("Motor hot\nProp 12x6\n\n 3S 2200\n12 cells");
    TypeAtStart(f, notes);
    f.Commands().mnuSave->trigger();
    f.Grid().CloseGridRow(0);
    EXPECT_TRUE(prompts.messages().empty());

    f.openFiles({path});
    EXPECT_EQ(Editor(f).toPlainText().toStdString(), notes.toStdString());
    EXPECT_EQ(Editor(f).document()->blockCount(), 5);
}

TEST_F(WorkspaceTest, ClosingTheActualRowKeepsItsEditForTheSaveQuestion) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path});
    TypeAtStart(f, "late note");
    prompts.answer(Button::Yes);
    f.Grid().CloseGridRow(0);
    EXPECT_EQ(prompts.texts(), QStringList{"Do you want to save changes of " + path + "?"});
    TDataBlock reread;
    ASSERT_EQ(ReadDataFile(path, reread).Outcome, TReadOutcome::Ok);
    EXPECT_NE(reread.Notes.find("late note"), std::string::npos);
    EXPECT_EQ(Editor(f).toPlainText(), "");
    EXPECT_TRUE(f.Notes().EditDate()->text().isEmpty());
}

}  // namespace
}  // namespace orlo::test
