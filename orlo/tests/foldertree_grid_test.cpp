// The folder tree in the main window: its toggle, and its links to the grid rows of
// the files it opened.
#include "WorkspaceTestSupport.h"

#include "orlo/workspace/FolderTreePanel.h"
#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TStringGrid.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolBar>

namespace orlo::test {
namespace {

using platform::Button;

QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    return nullptr;
}

void DoubleClick(TFolderTreePanel& tree, QTreeWidgetItem* node) {
    tree.setCurrentItem(node);
    tree.TreeView1DblClick();
}

TEST_F(WorkspaceTest, TreeStartsHiddenAndItsButtonShowsIt) {
    WriteFile("a.orl", MakeBlock(3));
    TFormMain& f = Show();
    TFolderTreePanel& tree = f.Tree();
    EXPECT_TRUE(tree.isHidden());
    ASSERT_NE(f.TBShowFolderTree, nullptr);
    EXPECT_FALSE(f.TBShowFolderTree->isChecked());
    EXPECT_TRUE(f.Commands().ToolBar1->actions().contains(f.TBShowFolderTree));
    // Built while hidden.
    ASSERT_NE(tree.RootNode(), nullptr);
    EXPECT_EQ(tree.GetFullName(Child(tree.RootNode(), "a")), root + "/a.orl");
    f.TBShowFolderTree->trigger();
    EXPECT_FALSE(tree.isHidden());
    f.TBShowFolderTree->trigger();
    EXPECT_TRUE(tree.isHidden());
}

// Escape while a node is being renamed ends the editing with the old name; it is no
// request to leave the program.
TEST_F(WorkspaceTest, EscapeWhileRenamingCancelsOnlyTheEditing) {
    WriteFile("a.orl", MakeBlock(3));
    TFormMain& f = Show();
    f.TBShowFolderTree->trigger();
    TFolderTreePanel& tree = f.Tree();
    QTreeWidgetItem* node = Child(tree.RootNode(), "a");
    ASSERT_NE(node, nullptr);
    tree.setCurrentItem(node);
    tree.editItem(node);
    auto* line = tree.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->setText("renamed");
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(line, &esc);
    QApplication::processEvents();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(node->text(0), "a");
    EXPECT_TRUE(QFileInfo::exists(QDir(root).filePath("a.orl")));
    EXPECT_EQ(tree.viewport()->findChild<QLineEdit*>(), nullptr);

    // Outside the editing Escape asks as everywhere in the window.
    prompts.answer(Button::No);
    QApplication::sendEvent(&tree, &esc);
    EXPECT_EQ(prompts.texts(), QStringList{"Are you sure to exit application?"});
}

TEST_F(WorkspaceTest, FilesOpenedFromTheTreeFollowTheirGridRows) {
    const QString a = WriteFile("a.orl", MakeBlock(3));
    const QString b = WriteFile("b.orl", MakeBlock(4));
    TFormMain& f = Show();
    TFolderTreePanel& tree = f.Tree();
    QTreeWidgetItem* na = Child(tree.RootNode(), "a");
    QTreeWidgetItem* nb = Child(tree.RootNode(), "b");
    // A file opened through the grid commands is not linked to its node.
    f.openFiles({b});
    DoubleClick(tree, na);
    DoubleClick(tree, nb);
    ASSERT_EQ(f.Grid().RowCount(), 3);
    EXPECT_EQ(TFolderTreePanel::Record(na)->GridRow, 1);
    EXPECT_EQ(TFolderTreePanel::Record(nb)->GridRow, 2);
    EXPECT_EQ(TFolderTreePanel::Picture(na), PictureFileOpen);
    EXPECT_EQ(f.StringGrid1().Cells(TStringGrid::ColPath, 1), a);

    // Closing a grid row above moves the links up; closing a linked row drops its link.
    f.Grid().CloseGridRow(0);
    EXPECT_EQ(TFolderTreePanel::Record(na)->GridRow, 0);
    EXPECT_EQ(TFolderTreePanel::Record(nb)->GridRow, 1);
    f.Grid().CloseGridRow(0);
    EXPECT_EQ(TFolderTreePanel::Record(na)->GridRow, -1);
    EXPECT_EQ(TFolderTreePanel::Picture(na), PictureFile);
    EXPECT_EQ(TFolderTreePanel::Record(nb)->GridRow, 0);

    // A second double click closes the file.
    DoubleClick(tree, nb);
    EXPECT_FALSE(f.Grid().GridVisible());
    EXPECT_EQ(TFolderTreePanel::Picture(nb), PictureFile);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(WorkspaceTest, RefreshAfterTheRootVanishedClosesRowsWithTheSaveQuestion) {
    const QString a = WriteFile("a.orl", MakeBlock(3));
    TFormMain& f = Show();
    DoubleClick(f.Tree(), Child(f.Tree().RootNode(), "a"));
    f.Grid().Block(0)->Modified = true;
    ASSERT_TRUE(QDir(root).removeRecursively());
    prompts.answer(Button::No);
    f.Commands().mnuRefresh->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"Do you want to save changes of " + a + "?"});
    EXPECT_FALSE(f.Grid().GridVisible());
    EXPECT_EQ(f.Tree().topLevelItemCount(), 0);
}

TEST_F(WorkspaceTest, TreeMovesAndRenamesReachTheGridAndTheRoot) {
    WriteFile("a.orl", MakeBlock(3));
    ASSERT_TRUE(QDir(root).mkdir("sub"));
    TFormMain& f = Show();
    TFolderTreePanel& tree = f.Tree();
    DoubleClick(tree, Child(tree.RootNode(), "a"));
    ASSERT_TRUE(tree.TreeView1DragDrop(Child(tree.RootNode(), "a"), Child(tree.RootNode(), "sub")));
    EXPECT_EQ(f.StringGrid1().Cells(TStringGrid::ColPath, 0), root + "/sub/a.orl");
    QTreeWidgetItem* moved = Child(Child(tree.RootNode(), "sub"), "a");
    ASSERT_TRUE(tree.TreeView1Edited(moved, "flight"));
    EXPECT_EQ(f.StringGrid1().Cells(TStringGrid::ColPath, 0), root + "/sub/flight.orl");
    EXPECT_EQ(f.StringGrid1().Cells(TStringGrid::ColName, 0), "flight");
    // Saving goes to the new place.
    f.Grid().Block(0)->Modified = true;
    f.Commands().mnuSave->trigger();
    EXPECT_TRUE(prompts.dialogs().empty());
    EXPECT_FALSE(f.Grid().Block(0)->Modified);

    const QString renamedRoot = dir_.filePath("Flights");
    ASSERT_TRUE(tree.TreeView1Edited(tree.RootNode(), "Flights"));
    EXPECT_EQ(f.RootDir(), renamedRoot);
    EXPECT_TRUE(QFileInfo(renamedRoot + "/sub/flight.orl").isFile());
}

TEST_F(WorkspaceTest, AFileThatCannotBeOpenedIsReported) {
    QFile bad(QDir(root).filePath("bad.orl"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("garbage\r\n");
    bad.close();
    TFormMain& f = Show();
    QTreeWidgetItem* node = Child(f.Tree().RootNode(), "bad");
    DoubleClick(f.Tree(), node);
    ASSERT_FALSE(prompts.texts().isEmpty());
    EXPECT_EQ(prompts.texts().last(), "Chyba při otevírání souboru!");
    EXPECT_EQ(TFolderTreePanel::Record(node)->GridRow, -1);
    EXPECT_EQ(TFolderTreePanel::Picture(node), PictureFile);
}

}  // namespace
}  // namespace orlo::test
