// The data folder tree on temporary folders: building, ordering, refresh, rename,
// new folders, delete to the trash, moves by drag and drop, export and the pop-up
// menu. The grid is a recording fake here; foldertree_grid_test.cpp uses the real one.
#include "orlo/data/TDataBlock.h"
#include "orlo/workspace/FolderTreePanel.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace orlo::test {
namespace {

TDataBlock SmallBlock() {
    TDataBlock b;
    b.DateText = "11.12.2026 10:15:02";
    b.Interval = 5;
    b.ChannelMask = ChannelVoltage;
    b.VoltageScale = 100;
    for (int i = 0; i < 4; ++i) {
        b.Time.push_back(i * 0.1);
        b.Voltage.push_back(12.0 - i * 0.1);
    }
    ComputeBlockStatistics(b, 4);
    return b;
}

class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.filePath("Data");
        ASSERT_TRUE(QDir().mkpath(root));
        tree.OpenBlocks = [this](const QString& path) {
            opened << path;
            return nextRow++;
        };
        tree.CloseGridRow = [this](int row) {
            closed.push_back(row);
            tree.CancelGridRowFlag(row);
        };
        tree.RenameGridRow = [this](int row, const QString& path) {
            renamed << QString::number(row) + "=" + path;
        };
        tree.GridRowCount = [this] { return gridRows; };
        tree.RootDirChanged = [this](const QString& r) { newRoot = r; };
    }

    QString Path(const QString& rel) const { return root + "/" + rel; }

    void File(const QString& rel) {
        QDir().mkpath(QFileInfo(Path(rel)).absolutePath());
        ASSERT_TRUE(WriteDataFile(Path(rel), SmallBlock()).Ok);
    }
    void Text(const QString& rel) {
        QFile f(Path(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not data");
    }
    void Folder(const QString& rel) { ASSERT_TRUE(QDir().mkpath(Path(rel))); }

    // The tree as lines: depth in blanks, the text, "/" for folders, the picture.
    QStringList Shape() const {
        QStringList lines;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* n, int depth) {
            const TNodeData* p = TFolderTreePanel::Record(n);
            lines << QString(depth, ' ') + n->text(0) + (p && p->IsDir ? "/" : "") + " " +
                         QString::number(TFolderTreePanel::Picture(n));
            for (int i = 0; i < n->childCount(); ++i)
                walk(n->child(i), depth + 1);
        };
        if (tree.RootNode())
            walk(tree.RootNode(), 0);
        return lines;
    }

    // The node at a path of texts below the root ("" is the root).
    QTreeWidgetItem* Node(const QString& rel) const {
        QTreeWidgetItem* n = tree.RootNode();
        if (rel.isEmpty())
            return n;
        for (const QString& part : rel.split('/')) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; n && i < n->childCount(); ++i)
                if (n->child(i)->text(0) == part)
                    next = n->child(i);
            n = next;
        }
        return n;
    }

    void Build() { tree.BuildTree(root); }

    QTemporaryDir dir;
    QString root;
    platform::ScriptedPrompts prompts;
    TFolderTreePanel tree{prompts};
    QStringList opened;
    std::vector<int> closed;
    QStringList renamed;
    int nextRow = 0;
    int gridRows = 0;
    QString newRoot;
};

TEST_F(FolderTreeTest, BuildsFoldersFirstWithDataFilesOfAnyCaseOnly) {
    File("b.orl");
    File("A.ORL");
    File("c.Orl");
    Text("notes.txt");
    Text("b.orl.bak");
    Folder("zeta");
    File("Alpha/in.orl");
    Folder("alpha2/empty");
    ASSERT_TRUE(QFile::link(root, Path("Alpha/loop")));  // a link back up is not followed
    Build();
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " Alpha/ 0", "  in 2", " alpha2/ 0", "  empty/ 0",
                                    " zeta/ 0", " A 2", " b 2", " c 2"}));
    EXPECT_TRUE(tree.RootNode()->isExpanded());
    // Expanding everything changes the pictures of folders only.
    tree.expandAll();
    EXPECT_EQ(TFolderTreePanel::Picture(Node("b")), PictureFile);
    EXPECT_EQ(TFolderTreePanel::Picture(Node("Alpha")), PictureFolderOpen);
    tree.collapseAll();
    EXPECT_EQ(TFolderTreePanel::Picture(Node("Alpha")), PictureFolder);
    EXPECT_EQ(TFolderTreePanel::Picture(Node("A")), PictureFile);
    tree.RootNode()->setExpanded(true);
    EXPECT_TRUE(tree.isHidden());  // the tree starts hidden
    EXPECT_TRUE(prompts.messages().empty());

    struct Case {
        const char* node;
        QString full;
        QString fileName;
    } cases[] = {
        {"", root, "Data"},
        {"A", Path("A.ORL"), "A.ORL"},
        {"c", Path("c.Orl"), "c.Orl"},
        {"Alpha", Path("Alpha"), "Alpha"},
        {"Alpha/in", Path("Alpha/in.orl"), "in.orl"},
    };
    for (const Case& c : cases) {
        QTreeWidgetItem* n = Node(c.node);
        ASSERT_NE(n, nullptr) << c.node;
        EXPECT_EQ(tree.GetFullName(n), c.full);
        EXPECT_EQ(TFolderTreePanel::Record(n)->FileName, c.fileName);
        EXPECT_EQ(TFolderTreePanel::Record(n)->GridRow, -1);
        EXPECT_TRUE(QFileInfo::exists(tree.GetFullName(n))) << c.node;
    }

    // A trailing delimiter on the root changes nothing.
    tree.BuildTree(root + "/");
    EXPECT_EQ(tree.RootDir(), root);
    EXPECT_EQ(tree.GetFullName(Node("b")), Path("b.orl"));
    tree.ClearTreeView();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_EQ(tree.GetFullName(nullptr), QString());
}

TEST_F(FolderTreeTest, RefreshAddsNewEntriesInOrderAndDropsVanishedOnes) {
    File("b.orl");
    File("Alpha/in.orl");
    File("keep/k.orl");
    Build();
    Node("keep")->setExpanded(true);
    ASSERT_TRUE(QFile::remove(Path("b.orl")));
    ASSERT_TRUE(QDir(Path("Alpha")).removeRecursively());
    File("a.orl");
    File("keep/deeper/d.orl");
    Folder("Beta");
    tree.RefreshTree();
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " Beta/ 0", " keep/ 1", "  deeper/ 0", "   d 2",
                                    "  k 2", " a 2"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(closed.empty());
}

TEST_F(FolderTreeTest, RefreshAfterTheRootVanishedClosesEveryRowAndEmptiesTheTree) {
    File("b.orl");
    Build();
    gridRows = 3;
    ASSERT_TRUE(QDir(root).removeRecursively());
    tree.RefreshTree();
    EXPECT_EQ(closed, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    // When the root comes back, a refresh builds the tree again.
    File("again.orl");
    tree.RefreshTree();
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " again 2"}));
}

TEST_F(FolderTreeTest, DeletedOpenFileIsClosedByRefresh) {
    File("a.orl");
    File("b.orl");
    Build();
    for (const char* name : {"a", "b"}) {
        tree.setCurrentItem(Node(name));
        tree.TreeView1DblClick();
    }
    EXPECT_EQ(opened, (QStringList{Path("a.orl"), Path("b.orl")}));
    EXPECT_EQ(TFolderTreePanel::Picture(Node("b")), PictureFileOpen);
    ASSERT_TRUE(QFile::remove(Path("a.orl")));
    tree.RefreshTree();
    EXPECT_EQ(closed, std::vector<int>{0});
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " b 9"}));
    // The row of b moved up.
    EXPECT_EQ(TFolderTreePanel::Record(Node("b"))->GridRow, 0);
}

TEST_F(FolderTreeTest, RenameFilesFoldersAndTheRoot) {
    File("b.orl");
    File("UP.ORL");
    File("taken.ORL");
    File("sub/x.orl");
    Folder("other");
    Build();
    tree.setCurrentItem(Node("b"));
    tree.TreeView1DblClick();  // b is open as row 0

    struct Case {
        const char* node;
        const char* typed;
        bool accepted;
        const char* onDisk;  // what exists after the rename
        QString error;
    } cases[] = {
        {"b", "", false, "b.orl", {}},
        {"b", "z", true, "z.orl", {}},
        {"UP", "taken", false, "UP.ORL", "Soubor " + Path("taken.ORL") + " už existuje!"},
        {"UP", "low", true, "low.ORL", {}},
        {"sub", "other", false, "sub", "Složka " + Path("other") + " už existuje!"},
        {"sub", "renamed", true, "renamed/x.orl", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.node) + " -> " + c.typed);
        prompts.clear();
        QTreeWidgetItem* n = Node(c.node);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(tree.TreeView1Edited(n, c.typed), c.accepted);
        EXPECT_TRUE(QFileInfo::exists(Path(c.onDisk)));
        if (c.error.isEmpty())
            EXPECT_TRUE(prompts.messages().empty());
        else
            EXPECT_EQ(prompts.texts(), QStringList{c.error});
        EXPECT_EQ(Node(c.accepted ? c.typed : c.node), n);
    }
    EXPECT_EQ(renamed, QStringList{"0=" + Path("z.orl")});
    EXPECT_EQ(TFolderTreePanel::Record(Node("low"))->FileName, "low.ORL");
    EXPECT_EQ(tree.GetFullName(Node("renamed/x")), Path("renamed/x.orl"));
    // Folders first, then by name.
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " other/ 0", " renamed/ 0", "  x 2", " low 2",
                                    " taken 2", " z 9"}));

    // The root: the folder on disk and the data root follow.
    const QString moved = dir.filePath("Flights");
    EXPECT_TRUE(tree.TreeView1Edited(tree.RootNode(), "Flights"));
    EXPECT_EQ(tree.RootDir(), moved);
    EXPECT_EQ(newRoot, moved);
    EXPECT_TRUE(QFileInfo(moved + "/low.ORL").isFile());
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_EQ(tree.GetFullName(Node("renamed/x")), moved + "/renamed/x.orl");
}

TEST_F(FolderTreeTest, NewFolderTwiceGetsANumberedName) {
    File("sub/x.orl");
    Build();
    // From a file node the folder goes into the file's folder.
    tree.SetPopupTag(Node("sub/x"));
    tree.mnuNewDir->trigger();
    tree.SetPopupTag(Node("sub/x"));
    tree.mnuNewDirClick();
    EXPECT_TRUE(QFileInfo(Path("sub/Nová složka")).isDir());
    EXPECT_TRUE(QFileInfo(Path("sub/Nová složka (1)")).isDir());
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " sub/ 1", "  Nová složka/ 0",
                                    "  Nová složka (1)/ 0", "  x 2"}));
    EXPECT_EQ(tree.currentItem(), Node("sub/Nová složka (1)"));
    // The root takes new folders too.
    tree.SetPopupTag(tree.RootNode());
    tree.mnuNewDirClick();
    EXPECT_TRUE(QFileInfo(Path("Nová složka")).isDir());
    EXPECT_NE(Node("Nová složka"), nullptr);
    // A name that cannot be made is reported.
    tree.SetPopupTag(Node("sub"));
    ASSERT_TRUE(QDir(Path("sub")).removeRecursively());
    tree.mnuNewDirClick();
    EXPECT_EQ(prompts.texts(),
              QStringList{"Složku \"" + Path("sub/Nová složka") + "\" nelze vytvořit!"});
}

TEST_F(FolderTreeTest, DeleteMovesToTheTrashAndClosesTheRow) {
    File("a.orl");
    File("b.orl");
    File("sub/x.orl");
    Build();
    tree.setCurrentItem(Node("b"));
    tree.TreeView1DblClick();  // row 0
    QStringList trashed;
    tree.RecycleBin = [&](const QString& path, QString*) {
        trashed << path;
        return QFile::remove(path) || QDir(path).removeRecursively();
    };
    tree.SetPopupTag(Node("b"));
    tree.mnuDelete->trigger();
    tree.SetPopupTag(Node("sub"));
    tree.mnuDeleteClick();
    EXPECT_EQ(trashed, (QStringList{Path("b.orl"), Path("sub")}));
    EXPECT_EQ(closed, std::vector<int>{0});
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " a 2"}));

    // A failure is reported and the tree refreshed.
    tree.RecycleBin = [&](const QString&, QString* error) {
        *error = "Permission denied";
        return false;
    };
    File("late.orl");
    tree.setCurrentItem(Node("a"));
    QKeyEvent del(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&tree, &del);
    EXPECT_EQ(prompts.texts(), QStringList{"Chyba při odstraňování a\r\nError=Permission denied"});
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " a 2", " late 2"}));
    // The root is never deleted.
    tree.SetPopupTag(tree.RootNode());
    tree.mnuDeleteClick();
    EXPECT_TRUE(QFileInfo(root).isDir());
    EXPECT_EQ(prompts.messages().size(), 1u);
}

TEST_F(FolderTreeTest, DeleteUsesThePlatformTrash) {
    // The trash of a private data folder, never the user's own.
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("xdg")));
    qputenv("XDG_DATA_HOME", dir.filePath("xdg").toLocal8Bit());
    File("gone.orl");
    Build();
    tree.SetPopupTag(Node("gone"));
    tree.mnuDeleteClick();
    if (oldData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
    if (!prompts.messages().empty())
        GTEST_SKIP() << "no trash here: " << prompts.texts().join(' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("gone.orl")));
    EXPECT_EQ(Node("gone"), nullptr);
    EXPECT_TRUE(QFileInfo(dir.filePath("xdg/Trash/files/gone.orl")).isFile());
}

TEST_F(FolderTreeTest, DragAndDropMovesIntoTheTargetsFolder) {
    File("a.orl");
    File("b.orl");
    File("sub/x.orl");
    File("sub/inner/y.orl");
    Folder("dest");
    Build();
    tree.setCurrentItem(Node("a"));
    tree.TreeView1DblClick();  // row 0

    // Onto a folder.
    EXPECT_TRUE(tree.TreeView1DragDrop(Node("a"), Node("dest")));
    EXPECT_TRUE(QFileInfo(Path("dest/a.orl")).isFile());
    EXPECT_FALSE(QFileInfo::exists(Path("a.orl")));
    EXPECT_EQ(renamed, QStringList{"0=" + Path("dest/a.orl")});
    EXPECT_EQ(TFolderTreePanel::Picture(Node("dest/a")), PictureFileOpen);
    // Onto a file: into that file's folder, with the subtree.
    EXPECT_TRUE(tree.TreeView1DragDrop(Node("sub"), Node("dest/a")));
    EXPECT_TRUE(QFileInfo(Path("dest/sub/inner/y.orl")).isFile());
    EXPECT_EQ(tree.GetFullName(Node("dest/sub/inner/y")), Path("dest/sub/inner/y.orl"));
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " dest/ 1", "  sub/ 0", "   inner/ 0", "    y 2",
                                    "   x 2", "  a 9", " b 2"}));
    EXPECT_TRUE(prompts.messages().empty());

    // The root, no target, its own folder and its own subtree: nothing moves.
    EXPECT_FALSE(tree.TreeView1DragDrop(tree.RootNode(), Node("dest")));
    EXPECT_FALSE(tree.TreeView1DragDrop(Node("b"), nullptr));
    EXPECT_FALSE(tree.TreeView1DragDrop(Node("b"), tree.RootNode()));
    EXPECT_FALSE(tree.TreeView1DragDrop(Node("dest"), Node("dest/sub/inner")));
    EXPECT_TRUE(prompts.messages().empty());

    // A name already in the target folder.
    File("dest/b.orl");
    tree.RefreshTree();
    EXPECT_FALSE(tree.TreeView1DragDrop(Node("b"), Node("dest")));
    EXPECT_EQ(prompts.texts(), QStringList{"\"b\" již existuje v cílové složce!"});
    EXPECT_TRUE(QFileInfo(Path("b.orl")).isFile());

    // A source that vanished.
    prompts.clear();
    ASSERT_TRUE(QFile::remove(Path("b.orl")));
    EXPECT_FALSE(tree.TreeView1DragDrop(Node("b"), Node("dest/sub")));
    EXPECT_EQ(prompts.texts(), QStringList{"Zdrojový soubor nenalezen! " + Path("b.orl")});
}

TEST_F(FolderTreeTest, PopupOffersWhatFitsTheNode) {
    File("a.orl");
    File("sub/x.orl");
    Build();
    tree.setCurrentItem(Node("a"));
    tree.TreeView1DblClick();
    struct Case {
        const char* node;
        bool open, close, exportEntry, del;
    } cases[] = {
        {"a", false, true, true, true},
        {"sub/x", true, false, true, true},
        {"sub", false, false, false, true},
        {"", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node);
        tree.TreeView1ContextPopup(Node(c.node), QPoint(10, 10));
        EXPECT_EQ(tree.PopupNode(), Node(c.node));
        EXPECT_EQ(tree.currentItem(), Node(c.node));
        EXPECT_EQ(tree.mnuOpenFile->isVisible(), c.open);
        EXPECT_EQ(tree.mnuCloseFile->isVisible(), c.close);
        EXPECT_EQ(tree.mnuExport->isVisible(), c.exportEntry);
        EXPECT_EQ(tree.mnuDelete->isVisible(), c.del);
        EXPECT_TRUE(tree.mnuNewDir->isVisible() && tree.mnuRefresh->isVisible() &&
                    tree.mnuRename->isVisible());
        tree.PopupMenuFile()->hide();
    }
    // "Close Data" closes the open file's row, "Open Data" opens the file.
    tree.SetPopupTag(Node("a"));
    tree.mnuCloseFile->trigger();
    EXPECT_EQ(closed, std::vector<int>{0});
    EXPECT_EQ(TFolderTreePanel::Picture(Node("a")), PictureFile);
    tree.SetPopupTag(Node("sub/x"));
    tree.mnuOpenFile->trigger();
    EXPECT_EQ(opened.last(), Path("sub/x.orl"));
    // Enter on the selected file closes it again.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&tree, &enter);
    EXPECT_EQ(closed, (std::vector<int>{0, 1}));
}

TEST_F(FolderTreeTest, ExportWritesTheTextOfAFileThatIsNotOpen) {
    File("sub/x.orl");
    Build();
    const QString csv = dir.filePath("x.csv");
    prompts.answerFile(csv);
    tree.SetPopupTag(Node("sub/x"));
    tree.mnuExport->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    EXPECT_EQ(prompts.dialogs()[0].request.directory, Path("sub"));
    EXPECT_EQ(prompts.dialogs()[0].request.fileName, Path("sub/x.csv"));
    EXPECT_EQ(prompts.texts(), QStringList{"File " + csv + " successfully saved."});
    TDataBlock block;
    ASSERT_EQ(ReadDataFile(Path("sub/x.orl"), block).Outcome, TReadOutcome::Ok);
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), ExportTextBytes("x.orl", block));
    EXPECT_TRUE(opened.isEmpty());

    // A file that is not data: the read failure is shown, nothing is written.
    prompts.clear();
    Text("sub/bad.orl");
    tree.RefreshTree();
    prompts.answerFile(dir.filePath("bad.csv"));
    tree.ExportFile(Path("sub/bad.orl"));
    ASSERT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(prompts.texts()[0].startsWith("Error by opening datafile \"" + Path("sub/bad.orl") +
                                              "\"! \r\n"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("bad.csv")));
}

}  // namespace
}  // namespace orlo::test

namespace orlo::test {
namespace {

// The tree on screen: mouse, keys and in-place editing reach the commands.
class FolderTreeInputTest : public FolderTreeTest {
protected:
    void SetUp() override {
        FolderTreeTest::SetUp();
        File("a.orl");
        File("sub/x.orl");
        Build();
        tree.resize(300, 400);
        tree.show();
        QApplication::processEvents();
    }

    QPoint Center(QTreeWidgetItem* node) { return tree.visualItemRect(node).center(); }

    void Mouse(QEvent::Type type, QTreeWidgetItem* node) {
        const QPoint at = Center(node);
        QMouseEvent e(type, at, tree.viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &e);
    }
};

TEST_F(FolderTreeInputTest, DoubleClickOpensAndRightClickOpensThePopup) {
    Mouse(QEvent::MouseButtonPress, Node("a"));
    Mouse(QEvent::MouseButtonRelease, Node("a"));
    Mouse(QEvent::MouseButtonDblClick, Node("a"));
    EXPECT_EQ(opened, QStringList{Path("a.orl")});
    EXPECT_EQ(TFolderTreePanel::Picture(Node("a")), PictureFileOpen);

    const QPoint at = Center(Node("sub"));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree.viewport(), &menu);
    EXPECT_TRUE(tree.PopupMenuFile()->isVisible());
    EXPECT_EQ(tree.PopupNode(), Node("sub"));
    EXPECT_FALSE(tree.mnuExport->isVisible());
    tree.PopupMenuFile()->hide();
}

TEST_F(FolderTreeInputTest, InPlaceEditingRenamesOnDisk) {
    tree.setCurrentItem(Node("sub"));
    tree.editItem(Node("a"));  // not the current node
    auto* line = tree.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->setText("renamed");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(line, &enter);
    QApplication::processEvents();
    EXPECT_TRUE(QFileInfo(Path("renamed.orl")).isFile());
    EXPECT_FALSE(QFileInfo::exists(Path("a.orl")));
    EXPECT_NE(Node("renamed"), nullptr);
    EXPECT_TRUE(QFileInfo(Path("sub")).isDir());
}

TEST_F(FolderTreeInputTest, DroppingOnANodeMovesTheCurrentOne) {
    tree.setCurrentItem(Node("a"));
    EXPECT_TRUE(tree.DropAt(Center(Node("sub"))));
    EXPECT_TRUE(QFileInfo(Path("sub/a.orl")).isFile());
    EXPECT_NE(Node("sub/a"), nullptr);
    EXPECT_EQ(Node("a"), nullptr);
    // The view moved nothing on its own: the moved node is there once.
    EXPECT_EQ(Shape(), (QStringList{"Data/ 1", " sub/ 1", "  a 2", "  x 2"}));
}

}  // namespace
}  // namespace orlo::test
