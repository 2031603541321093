#pragma once
// The tree of the data root in the left panel: every subfolder and every data file
// (".orl" in any letter case) below RootDir, one node each, folders first.
//
// A file node opened from the tree remembers its grid row, so the tree can close
// it again and follows renames and moves; the grid reports removed rows through
// CancelGridRowFlag. The tree also moves, renames and deletes (to the trash) files
// and folders on disk, and exports a data file that is not open.

#include "orlo/workspace/TFolderTree.h"

#include <QTreeWidget>

#include <functional>
#include <memory>

class QMenu;

namespace platform {
class Prompts;
}

namespace orlo {

// The record of a node.
struct TNodeData {
    int GridRow = -1;  // grid row of the file's block when opened from the tree
    bool IsDir = false;
    QString FileName;  // folder: its name; file: its name with the extension
};

// Node pictures.
enum TNodePicture : int {
    PictureFolder = 0,
    PictureFolderOpen = 1,
    PictureFile = 2,
    PictureFileOpen = 9
};

class TFolderTreePanel : public QTreeWidget, public TFolderTree {
    Q_OBJECT
public:
    explicit TFolderTreePanel(platform::Prompts& prompts, QWidget* parent = nullptr);
    ~TFolderTreePanel() override;

    // ---- what the tree needs of the grid (set by the main window) -----------------------
    // Opens a data file into the grid; its row, or a negative number.
    std::function<int(const QString& path)> OpenBlocks;
    // Closes a grid row (which then calls CancelGridRowFlag).
    std::function<void(int row)> CloseGridRow;
    // A file of an open row moved or was renamed.
    std::function<void(int row, const QString& path)> RenameGridRow;
    // Number of grid rows, 0 while the grid is hidden.
    std::function<int()> GridRowCount;
    // The data root was renamed.
    std::function<void(const QString& rootDir)> RootDirChanged;
    // Moves an item to the trash; tests put failures here.
    std::function<bool(const QString& path, QString* error)> RecycleBin;

    // ---- TFolderTree ---------------------------------------------------------------------
    void BuildTree(const QString& rootDir) override;
    void ClearTreeView() override;
    void RefreshTree() override;
    void CancelGridRowFlag(int row) override;

    const QString& RootDir() const { return rootDir_; }
    QTreeWidgetItem* RootNode() const { return topLevelItem(0); }
    // Full path of a node; RootDir for the root, a file's path with its extension.
    QString GetFullName(const QTreeWidgetItem* node) const;
    // The child of parent with exactly this text and kind, or nullptr.
    QTreeWidgetItem* IsInTN(const QTreeWidgetItem* parent, const QString& text, bool isDir) const;
    static TNodeData* Record(const QTreeWidgetItem* node);
    QTreeWidgetItem* NodeOfIndex(const QModelIndex& index) const { return itemFromIndex(index); }
    static int Picture(const QTreeWidgetItem* node);
    bool Sorting() const { return sorting_; }
    // A node's text is being edited in place.
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

    // Text export of a data file that is not open.
    void ExportFile(const QString& path);

    // ---- user commands -----------------------------------------------------------------------
    // Opens the selected file, or closes it when it is open (double click, Enter).
    void TreeView1DblClick();
    // Right click on a node: prepares and opens the pop-up menu.
    void TreeView1ContextPopup(QTreeWidgetItem* node, const QPoint& globalPos);
    // The node the pop-up entries act on.
    void SetPopupTag(QTreeWidgetItem* node);
    QTreeWidgetItem* PopupNode() const;
    QMenu* PopupMenuFile() const { return popup_; }
    void mnuCloseFileClick();
    void mnuExportClick();
    void mnuRenameClick();
    void mnuDeleteClick();
    void mnuNewDirClick();
    // End of in-place editing with the typed text; false when the old text stays.
    bool TreeView1Edited(QTreeWidgetItem* node, const QString& text);
    // Moves the dragged node's file or folder into the target's folder; false when
    // the drop was cancelled.
    bool TreeView1DragDrop(QTreeWidgetItem* dragged, QTreeWidgetItem* target);
    // A drop at a point of the viewport: the selected node onto the node there.
    bool DropAt(const QPoint& viewportPos);

    QAction* mnuOpenFile = nullptr;   // "Open Data"
    QAction* mnuCloseFile = nullptr;  // "Close Data"
    QAction* mnuExport = nullptr;
    QAction* mnuRename = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuNewDir = nullptr;  // "New Folder"
    QAction* mnuRefresh = nullptr;
    QAction* mnuCancel = nullptr;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void RunSearch(const QString& folder, QTreeWidgetItem* parent, bool onlyNew);
    // A node with the given record, or with a new one of the kind and name.
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, int picture,
                             std::shared_ptr<TNodeData> data, bool isDir = false,
                             const QString& fileName = {});
    void AssignDataptr(QTreeWidgetItem* node, bool isDir, const QString& fileName);
    void CheckTreeExists(QTreeWidgetItem* node);
    QTreeWidgetItem* CopyTreeBranch(QTreeWidgetItem* newParent, QTreeWidgetItem* node);
    void DeleteTreeNode(QTreeWidgetItem* node);
    void SetPicture(QTreeWidgetItem* node, int picture);
    void setSorting(bool on);
    void insertSorted(QTreeWidgetItem* parent, QTreeWidgetItem* child);
    int absoluteIndex(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* nodeAtAbsoluteIndex(int index) const;
    void forEachNode(const std::function<void(QTreeWidgetItem*)>& f) const;

    platform::Prompts& prompts_;
    QString rootDir_;
    bool sorting_ = true;
    int popupTag_ = -1;
    QMenu* popup_ = nullptr;
};

}  // namespace orlo
