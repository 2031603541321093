#include "orlo/workspace/FolderTreePanel.h"

#include "orlo/data/TDataBlock.h"
#include "orlo/workspace/AssertDlg.h"
#include "orlo/workspace/FileUtils.h"
#include "platform/core/Prompts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include <stdexcept>

namespace orlo {
namespace {

constexpr int RecordRole = Qt::UserRole + 1;
constexpr int PictureRole = Qt::UserRole + 2;
constexpr int MaxFileName = 255;
const QString NewFolderName = QStringLiteral("Nová složka");

// A node with its record. Copies made by a move share the record, so a record lives
// as long as a node refers to it.
class TTreeNode : public QTreeWidgetItem {
public:
    std::shared_ptr<TNodeData> Data;

    // Folders first, then by name without regard to letter case.
    bool operator<(const QTreeWidgetItem& other) const override {
        const auto* o = static_cast<const TTreeNode*>(&other);
        const bool dir = Data && Data->IsDir;
        const bool otherDir = o->Data && o->Data->IsDir;
        if (dir != otherDir)
            return dir;
        const int c = QString::compare(text(0), other.text(0), Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
        return text(0) < other.text(0);
    }
};

TTreeNode* asNode(const QTreeWidgetItem* item) {
    return static_cast<TTreeNode*>(const_cast<QTreeWidgetItem*>(item));
}

bool isDataFileName(const QString& name) {
    return name.size() > 4 && name.right(4).toLower() == QLatin1String(".orl");
}

QIcon pictureIcon(QStyle* style, int picture) {
    switch (picture) {
        case PictureFolderOpen:
            return style->standardIcon(QStyle::SP_DirOpenIcon);
        case PictureFile:
            return style->standardIcon(QStyle::SP_FileIcon);
        case PictureFileOpen: {
            // The file picture with a green mark: the block is in the grid.
            QPixmap pixmap = style->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 160, 0));
            p.drawEllipse(QRectF(8, 8, 7, 7));
            return QIcon(pixmap);
        }
        default:
            return style->standardIcon(QStyle::SP_DirClosedIcon);
    }
}

// In-place editing hands the typed text to the tree, which decides whether the node
// takes it.
class TRenameDelegate : public QStyledItemDelegate {
public:
    explicit TRenameDelegate(TFolderTreePanel& tree) : QStyledItemDelegate(&tree), tree_(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        QTreeWidgetItem* node = tree_.NodeOfIndex(index);
        if (line && node)
            tree_.TreeView1Edited(node, line->text());
    }

private:
    TFolderTreePanel& tree_;
};

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TFolderTreePanel::TFolderTreePanel(platform::Prompts& prompts, QWidget* parent)
    : QTreeWidget(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("TreeView1"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(19);
    setRootIsDecorated(false);
    setSortingEnabled(false);  // the tree sorts its nodes itself
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setItemDelegate(new TRenameDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setAutoScroll(true);
    setAutoScrollMargin(20);
    hide();

    RecycleBin = [](const QString& path, QString* error) {
        return DeleteToRecycleBin(path, error);
    };

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenuFile"));
    mnuOpenFile = popup_->addAction(QStringLiteral("Open Data"), this, [this] {
        if (QTreeWidgetItem* node = PopupNode())
            setCurrentItem(node);
        TreeView1DblClick();
    });
    mnuCloseFile =
        popup_->addAction(QStringLiteral("Close Data"), this, &TFolderTreePanel::mnuCloseFileClick);
    mnuExport =
        popup_->addAction(QStringLiteral("Export"), this, &TFolderTreePanel::mnuExportClick);
    mnuRename =
        popup_->addAction(QStringLiteral("Rename"), this, &TFolderTreePanel::mnuRenameClick);
    mnuDelete =
        popup_->addAction(QStringLiteral("Delete"), this, &TFolderTreePanel::mnuDeleteClick);
    mnuNewDir =
        popup_->addAction(QStringLiteral("New Folder"), this, &TFolderTreePanel::mnuNewDirClick);
    mnuRefresh = popup_->addAction(QStringLiteral("Refresh"), this, &TFolderTreePanel::RefreshTree);
    mnuCancel = popup_->addAction(QStringLiteral("Cancel"));

    // Only folders change their picture; "expand all" reaches file nodes too.
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (const TNodeData* p = Record(node); p && p->IsDir)
            SetPicture(node, PictureFolderOpen);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        if (const TNodeData* p = Record(node); p && p->IsDir)
            SetPicture(node, PictureFolder);
    });
}

TFolderTreePanel::~TFolderTreePanel() = default;

// ---- records and pictures ---------------------------------------------------------------

TNodeData* TFolderTreePanel::Record(const QTreeWidgetItem* node) {
    return node ? asNode(node)->Data.get() : nullptr;
}

int TFolderTreePanel::Picture(const QTreeWidgetItem* node) {
    return node ? node->data(0, PictureRole).toInt() : -1;
}

void TFolderTreePanel::SetPicture(QTreeWidgetItem* node, int picture) {
    node->setData(0, PictureRole, picture);
    node->setIcon(0, pictureIcon(style(), picture));
}

void TFolderTreePanel::AssignDataptr(QTreeWidgetItem* node, bool isDir, const QString& fileName) {
    auto data = std::make_shared<TNodeData>();
    data->GridRow = -1;
    data->IsDir = isDir;
    data->FileName = fileName.left(MaxFileName);
    asNode(node)->Data = std::move(data);
    ORLO_CHECK(Record(node) != nullptr,
               QStringLiteral("TN.data<>nil in AssignDataptr, TN.text=") + node->text(0));
}

void TFolderTreePanel::forEachNode(const std::function<void(QTreeWidgetItem*)>& f) const {
    QTreeWidgetItemIterator it(const_cast<TFolderTreePanel*>(this));
    while (*it) {
        f(*it);
        ++it;
    }
}

int TFolderTreePanel::absoluteIndex(const QTreeWidgetItem* node) const {
    int index = 0;
    QTreeWidgetItemIterator it(const_cast<TFolderTreePanel*>(this));
    while (*it) {
        if (*it == node)
            return index;
        ++index;
        ++it;
    }
    return -1;
}

QTreeWidgetItem* TFolderTreePanel::nodeAtAbsoluteIndex(int index) const {
    if (index < 0)
        return nullptr;
    QTreeWidgetItemIterator it(const_cast<TFolderTreePanel*>(this));
    for (int i = 0; *it; ++it, ++i)
        if (i == index)
            return *it;
    return nullptr;
}

// ---- ordering ----------------------------------------------------------------------------

void TFolderTreePanel::setSorting(bool on) {
    sorting_ = on;
    if (on)
        for (int i = 0; i < topLevelItemCount(); ++i)
            topLevelItem(i)->sortChildren(0, Qt::AscendingOrder);
}

void TFolderTreePanel::insertSorted(QTreeWidgetItem* parent, QTreeWidgetItem* child) {
    int at = parent->childCount();
    if (sorting_) {
        for (int i = 0; i < parent->childCount(); ++i) {
            if (*child < *parent->child(i)) {
                at = i;
                break;
            }
        }
    }
    parent->insertChild(at, child);
}

QTreeWidgetItem* TFolderTreePanel::addNode(QTreeWidgetItem* parent, const QString& text,
                                           int picture, std::shared_ptr<TNodeData> data, bool isDir,
                                           const QString& fileName) {
    auto* node = new TTreeNode;
    node->setText(0, text);
    node->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable |
                   Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
    // The record first: the node's place among its siblings depends on its kind.
    if (data)
        node->Data = std::move(data);
    else
        AssignDataptr(node, isDir, fileName);
    SetPicture(node, picture);
    if (parent)
        insertSorted(parent, node);
    else
        addTopLevelItem(node);
    return node;
}

// ---- building ----------------------------------------------------------------------------

void TFolderTreePanel::BuildTree(const QString& rootDir) {
    ClearTreeView();
    rootDir_ = QDir::cleanPath(QDir::fromNativeSeparators(rootDir));
    while (rootDir_.size() > 1 && rootDir_.endsWith(QLatin1Char('/')))
        rootDir_.chop(1);
    if (rootDir_.isEmpty())
        return;
    QString text = rootDir_;
    text = text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
    QTreeWidgetItem* root = addNode(nullptr, text, PictureFolder, nullptr, true, text);
    setSorting(false);
    RunSearch(rootDir_, root, false);
    setSorting(true);
    root->setExpanded(true);
}

void TFolderTreePanel::RunSearch(const QString& folder, QTreeWidgetItem* parent, bool onlyNew) {
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir()) {
            // A link to a folder could lead back up the tree and never end.
            if (entry.isSymLink())
                continue;
            QTreeWidgetItem* node = onlyNew ? IsInTN(parent, name, true) : nullptr;
            if (!node) {
                node = addNode(parent, name, PictureFolder, nullptr, true, name);
                if (!ORLO_CHECK(Record(node) != nullptr,
                                QStringLiteral("NTN.data<>nil in Runsearch, TN.text=") + name))
                    continue;
            }
            RunSearch(entry.filePath(), node, onlyNew);
        } else if (entry.isFile() && isDataFileName(name)) {
            const QString text = name.left(name.size() - 4);
            if (onlyNew && IsInTN(parent, text, false))
                continue;
            QTreeWidgetItem* node = addNode(parent, text, PictureFile, nullptr, false, name);
            ORLO_CHECK(Record(node) != nullptr,
                       QStringLiteral("NTN.data<>nil in RunSearch, NTN.text=") + text);
        }
    }
}

QTreeWidgetItem* TFolderTreePanel::IsInTN(const QTreeWidgetItem* parent, const QString& text,
                                          bool isDir) const {
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        const TNodeData* p = Record(child);
        if (!ORLO_CHECK(p != nullptr, QStringLiteral("P<>nil in IsInTN")))
            continue;
        if (child->text(0) == text && p->IsDir == isDir)
            return child;
    }
    return nullptr;
}

QString TFolderTreePanel::GetFullName(const QTreeWidgetItem* node) const {
    if (topLevelItemCount() == 0 || !node)
        return {};
    const TNodeData* p = Record(node);
    if (!ORLO_CHECK(p != nullptr, QStringLiteral("P<>nil in GetFullName")))
        return {};
    QStringList parts;
    for (const QTreeWidgetItem* n = node; n && n->parent(); n = n->parent())
        parts.prepend(n->text(0));
    QString path = rootDir_;
    if (!parts.isEmpty()) {
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        path += parts.join(QLatin1Char('/'));
    }
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (!p->IsDir && node->parent()) {
        // The file's own extension: on a case-sensitive file system ".ORL" is not ".orl".
        path += isDataFileName(p->FileName) ? p->FileName.right(4) : QStringLiteral(".orl");
    }
    return path;
}

void TFolderTreePanel::ClearTreeView() {
    setSorting(false);
    forEachNode([](QTreeWidgetItem* node) {
        if (!ORLO_CHECK(Record(node) != nullptr,
                        QStringLiteral("P<>nil in ClearTreeView, Text=") + node->text(0)))
            return;
        asNode(node)->Data.reset();
    });
    clear();
    popupTag_ = -1;
    sorting_ = true;
}

// ---- refresh -----------------------------------------------------------------------------

void TFolderTreePanel::RefreshTree() {
    WaitCursor wait;
    try {
        if (!rootDir_.isEmpty() && QFileInfo(rootDir_).isDir()) {
            if (!RootNode()) {
                BuildTree(rootDir_);
                return;
            }
            CheckTreeExists(RootNode());
            RunSearch(rootDir_, RootNode(), true);
        } else {
            if (GridRowCount && CloseGridRow)
                for (int row = GridRowCount() - 1; row >= 0; --row)
                    CloseGridRow(row);
            ClearTreeView();
        }
    } catch (const std::exception& e) {
        prompts_.error(QString::fromLocal8Bit(e.what()));
    }
}

void TFolderTreePanel::CheckTreeExists(QTreeWidgetItem* node) {
    // Children first; a check may remove the child it looks at.
    for (int i = node->childCount() - 1; i >= 0; --i)
        CheckTreeExists(node->child(i));
    const TNodeData* p = Record(node);
    if (!p)
        throw std::runtime_error("Invalid Pointer in CheckTreeExists");
    if (!node->parent())
        return;
    const QString path = GetFullName(node);
    const QFileInfo info(path);
    if (p->IsDir) {
        if (!info.isDir())
            DeleteTreeNode(node);
    } else if (!info.isFile()) {
        if (p->GridRow >= 0 && CloseGridRow)
            CloseGridRow(p->GridRow);
        DeleteTreeNode(node);
    }
}

void TFolderTreePanel::CancelGridRowFlag(int row) {
    forEachNode([this, row](QTreeWidgetItem* node) {
        TNodeData* p = Record(node);
        if (!ORLO_CHECK(p != nullptr, QStringLiteral("P=nil FormMain.CancelGridRowFlag")))
            return;
        if (p->GridRow == row) {
            p->GridRow = -1;
            SetPicture(node, PictureFile);
        } else if (p->GridRow > row) {
            --p->GridRow;
        }
    });
}

void TFolderTreePanel::DeleteTreeNode(QTreeWidgetItem* node) {
    if (currentItem() == node || (currentItem() && node->isSelected()))
        setCurrentItem(nullptr);
    delete node;  // the records of the subtree go with their nodes
}

QTreeWidgetItem* TFolderTreePanel::CopyTreeBranch(QTreeWidgetItem* newParent,
                                                  QTreeWidgetItem* node) {
    const TNodeData* p = Record(node);
    int picture = Picture(node);
    if (picture == PictureFolderOpen)
        picture = PictureFolder;  // the copy starts collapsed
    QTreeWidgetItem* copy = addNode(newParent, node->text(0), picture, asNode(node)->Data);
    if (ORLO_CHECK(p != nullptr, QStringLiteral("P<>nil in GetFullName"))) {
        if (p->GridRow >= 0 && RenameGridRow)
            RenameGridRow(p->GridRow, GetFullName(copy));
    }
    for (int i = 0; i < node->childCount(); ++i)
        CopyTreeBranch(copy, node->child(i));
    return copy;
}

// ---- open and close ----------------------------------------------------------------------

void TFolderTreePanel::TreeView1DblClick() {
    QTreeWidgetItem* node = currentItem();
    if (!node || !node->parent())
        return;
    TNodeData* p = Record(node);
    if (!ORLO_CHECK(p != nullptr, QStringLiteral("P=nil FormMain.TreeView1DblClick")))
        return;
    if (p->IsDir)
        return;
    if (p->GridRow < 0) {
        const int row = OpenBlocks ? OpenBlocks(GetFullName(node)) : -1;
        if (row < 0) {
            prompts_.error(QStringLiteral("Chyba při otevírání souboru!"));
            return;
        }
        p->GridRow = row;
        SetPicture(node, PictureFileOpen);
    } else if (CloseGridRow) {
        CloseGridRow(p->GridRow);
    }
}

void TFolderTreePanel::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    TreeView1DblClick();
}

void TFolderTreePanel::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != QAbstractItemView::EditingState) {
        TreeView1DblClick();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TFolderTreePanel::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        QTreeWidgetItem* node = currentItem();
        if (node && node->parent() && Record(node)) {
            SetPopupTag(node);
            mnuDeleteClick();
        }
        event->accept();
        return;
    }
    QTreeWidget::keyReleaseEvent(event);
}

// ---- pop-up menu -------------------------------------------------------------------------

void TFolderTreePanel::SetPopupTag(QTreeWidgetItem* node) {
    popupTag_ = absoluteIndex(node);
}

QTreeWidgetItem* TFolderTreePanel::PopupNode() const {
    return nodeAtAbsoluteIndex(popupTag_);
}

void TFolderTreePanel::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* node = itemAt(event->pos());
    if (!node)
        return;
    TreeView1ContextPopup(node, event->globalPos());
    event->accept();
}

void TFolderTreePanel::TreeView1ContextPopup(QTreeWidgetItem* node, const QPoint& globalPos) {
    try {
        const TNodeData* p = Record(node);
        if (!ORLO_CHECK(p != nullptr, QStringLiteral("P=nil FormMain.TreeView1ContextPopup")))
            return;
        SetPopupTag(node);
        const bool root = node->parent() == nullptr;
        const bool file = !p->IsDir && !root;
        const bool open = file && p->GridRow >= 0;
        mnuExport->setVisible(file);
        mnuOpenFile->setVisible(file && !open);
        mnuCloseFile->setVisible(open);
        // The data root can get a new folder and a new name, nothing else.
        mnuDelete->setVisible(!root);
        setCurrentItem(node);
        popup_->popup(globalPos);
    } catch (const std::exception& e) {
        prompts_.error(QString::fromLocal8Bit(e.what()));
    }
}

void TFolderTreePanel::mnuCloseFileClick() {
    QTreeWidgetItem* node = PopupNode();
    if (!node || !node->parent())
        return;
    const TNodeData* p = Record(node);
    if (!p || !ORLO_CHECK(p->GridRow >= 0, QStringLiteral("P^.GridRow>=0 in mnuCloseFileClick")))
        return;
    if (CloseGridRow)
        CloseGridRow(p->GridRow);
}

void TFolderTreePanel::mnuExportClick() {
    QTreeWidgetItem* node = PopupNode();
    if (!node || !node->parent())
        return;
    const TNodeData* p = Record(node);
    if (!ORLO_CHECK(p != nullptr, QStringLiteral("P=nil FormMain.mnuExportClick")) || p->IsDir)
        return;
    const QString path = GetFullName(node);
    if (QFileInfo(path).isFile())
        ExportFile(path);
}

void TFolderTreePanel::mnuRenameClick() {
    QTreeWidgetItem* node = PopupNode();
    if (!node)
        return;
    setCurrentItem(node);
    editItem(node, 0);
}

// ---- export ------------------------------------------------------------------------------

void TFolderTreePanel::ExportFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    const platform::FileDialogRequest request = CsvExportRequest(info.absolutePath(), path);
    const std::optional<QString> chosen = prompts_.saveFileName(request);
    if (!chosen || chosen->isEmpty())
        return;

    TDataBlock block;
    const TReadResult r = ReadDataFile(path, block);
    // A block read only in part is not what the file holds: export nothing from it.
    if (r.Outcome != TReadOutcome::Ok) {
        prompts_.error(QStringLiteral("Error by opening datafile \"") + path +
                       QStringLiteral("\"! \r\n") + r.Message);
        return;
    }
    if (r.Count < 1)
        return;
    const TExportResult e = ExportText(path, *chosen, block);
    if (e.Code >= 0)
        prompts_.information(QStringLiteral("File ") + *chosen +
                             QStringLiteral(" successfully saved."));
    else
        prompts_.error(QStringLiteral("Error by exporting datafile \"") + *chosen +
                       QStringLiteral("\"! \r\n") + e.Error);
}

// ---- delete ------------------------------------------------------------------------------

void TFolderTreePanel::mnuDeleteClick() {
    QTreeWidgetItem* node = PopupNode();
    if (!node || !node->parent())
        return;
    const QString text = node->text(0);
    TNodeData* p = Record(node);
    if (!ORLO_CHECK(p != nullptr, QStringLiteral("P=nil FormMain.mnuDeleteClick "))) {
        prompts_.error(QStringLiteral("Chyba při odstraňování ") + text +
                       QStringLiteral("\r\nData=nil"));
        return;
    }
    try {
        QString error;
        if (RecycleBin && RecycleBin(GetFullName(node), &error)) {
            if (p->GridRow >= 0 && CloseGridRow)
                CloseGridRow(p->GridRow);
            DeleteTreeNode(node);
        } else {
            prompts_.error(QStringLiteral("Chyba při odstraňování ") + text +
                           QStringLiteral("\r\nError=") + error);
            RefreshTree();
        }
    } catch (const std::exception&) {
        prompts_.error(QStringLiteral("Chyba při odstraňování ") + text);
        RefreshTree();
    }
}

// ---- new folder --------------------------------------------------------------------------

void TFolderTreePanel::mnuNewDirClick() {
    QTreeWidgetItem* node = PopupNode();
    if (!node)
        return;
    if (!ORLO_CHECK(Record(node) != nullptr, QStringLiteral("P=nil FormMain.mnuNewDir")))
        return;
    if (!Record(node)->IsDir && node->parent()) {
        node = node->parent();
        if (!ORLO_CHECK(Record(node) != nullptr, QStringLiteral("P=nil FormMain.mnuNewDir")))
            return;
    }
    const QString base = GetFullName(node);
    const QString name = FreeEntryName(base + QLatin1Char('/') + NewFolderName);
    if (!QDir().mkdir(name)) {
        prompts_.error(QStringLiteral("Složku \"") + name + QStringLiteral("\" nelze vytvořit!"));
        return;
    }
    const QString text = name.mid(base.size() + 1);
    QTreeWidgetItem* child = addNode(node, text, PictureFolder, nullptr, true, text);
    ORLO_CHECK(Record(child) != nullptr,
               QStringLiteral("NTN.data<>nil in Runsearch, TN.text=") + text);
    node->setExpanded(true);
    setCurrentItem(child);
    if (isVisible())
        editItem(child, 0);
}

// ---- rename ------------------------------------------------------------------------------

bool TFolderTreePanel::TreeView1Edited(QTreeWidgetItem* node, const QString& text) {
    if (!node || text.isEmpty())
        return false;
    const QString oldText = node->text(0);
    TNodeData* p = Record(node);
    if (!ORLO_CHECK(p != nullptr, QStringLiteral("P=nil FormMain.TreeView1Edited"))) {
        prompts_.error(QStringLiteral("Erpor by Renaming ") + oldText +
                       QStringLiteral(" Empty data!"));
        return false;
    }
    if (text == oldText)
        return false;
    const QString oldPath = GetFullName(node);
    if (oldPath.isEmpty()) {
        prompts_.error(QStringLiteral("Erpor by Renaming ") + oldText +
                       QStringLiteral(" Full name not found!"));
        return false;
    }
    const bool root = node->parent() == nullptr;
    const bool isDir = p->IsDir || root;
    const QString extension = isDir ? QString() : p->FileName.right(4);
    const QString newPath =
        oldPath.left(oldPath.lastIndexOf(QLatin1Char('/')) + 1) + text + extension;
    if (isDir && QFileInfo(newPath).isDir()) {
        prompts_.error(QStringLiteral("Složka ") + newPath + QStringLiteral(" už existuje!"));
        return false;
    }
    if (!isDir && QFileInfo::exists(newPath)) {
        prompts_.error(QStringLiteral("Soubor ") + newPath + QStringLiteral(" už existuje!"));
        return false;
    }
    // Renaming onto an existing entry of the other kind would fail or replace it.
    const bool renamed = RenameEntry(oldPath, newPath, isDir);
    if (!renamed) {
        prompts_.error(QStringLiteral("Can not rename file \r\n") + oldPath +
                       QStringLiteral("\r\n to \r\n") + newPath + QStringLiteral("\r\nErorr#=") +
                       (QFileInfo::exists(newPath) ? QStringLiteral("already exists")
                                                   : QStringLiteral("rename failed")));
        return false;
    }
    p->FileName = (text + extension).left(MaxFileName);
    node->setText(0, text);
    if (QTreeWidgetItem* parent = node->parent()) {
        // Keep the order of the siblings.
        const bool current = currentItem() == node;
        const bool expanded = node->isExpanded();
        parent->removeChild(node);
        insertSorted(parent, node);
        node->setExpanded(expanded);
        if (current)
            setCurrentItem(node);
    }
    if (p->GridRow >= 0 && RenameGridRow)
        RenameGridRow(p->GridRow, newPath);
    if (root) {
        rootDir_ = newPath;
        if (RootDirChanged)
            RootDirChanged(newPath);
    }
    return true;
}

// ---- drag and drop -----------------------------------------------------------------------

void TFolderTreePanel::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFolderTreePanel::dragMoveEvent(QDragMoveEvent* event) {
    // The view scrolls near its edges (auto-scroll margin of 20 pixels).
    QTreeWidget::dragMoveEvent(event);
    if (event->source() == this)
        event->acceptProposedAction();
}

void TFolderTreePanel::dropEvent(QDropEvent* event) {
    DropAt(event->position().toPoint());
    // The tree itself has been changed (or not); the view must not move items too.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    stopAutoScroll();
}

bool TFolderTreePanel::DropAt(const QPoint& viewportPos) {
    return TreeView1DragDrop(currentItem(), itemAt(viewportPos));
}

bool TFolderTreePanel::TreeView1DragDrop(QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
    if (!dragged || !dragged->parent() || !target)
        return false;
    if (!ORLO_CHECK(Record(target) != nullptr, QStringLiteral("P=nil FormMain.TreeView1DragDrop")))
        return false;
    // Onto itself, into its own subtree or back into its folder: nothing to move.
    for (const QTreeWidgetItem* n = target; n; n = n->parent())
        if (n == dragged)
            return false;
    if (!Record(target)->IsDir && target->parent()) {
        target = target->parent();
        if (!Record(target) || !Record(target)->IsDir)
            return false;
    }
    QString folder = GetFullName(target);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (!QFileInfo(folder).isDir()) {
        prompts_.error(QStringLiteral("Cílová složka nenalezena! ") + folder);
        return false;
    }
    const TNodeData* p = Record(dragged);
    if (!ORLO_CHECK(p != nullptr, QStringLiteral("P=nil FormMain.TreeView1DragDrop")))
        return false;
    const QString destination = folder + QLatin1Char('/') + p->FileName;
    const QString source = GetFullName(dragged);
    if (target == dragged->parent())
        return false;
    if (!p->IsDir && !QFileInfo(source).isFile()) {
        prompts_.error(QStringLiteral("Zdrojový soubor nenalezen! ") + source);
        return false;
    }
    if (p->IsDir && !QFileInfo(source).isDir()) {
        prompts_.error(QStringLiteral("Zdrojová složka nenalezena! ") + source);
        return false;
    }
    // The platform's rename would replace an existing file; a move never does.
    if (QFileInfo::exists(destination)) {
        prompts_.error(QLatin1Char('"') + dragged->text(0) +
                       QStringLiteral("\" již existuje v cílové složce!"));
        return false;
    }
    const bool moved = RenameEntry(source, destination, p->IsDir);
    if (!moved) {
        prompts_.error(QStringLiteral("Chyba při přesouvání \"\r\n") + source +
                       QStringLiteral("\" do \"\r\n") + destination +
                       QStringLiteral("! \r\nErorr:") + QStringLiteral("move failed"));
        RefreshTree();
        return false;
    }
    QTreeWidgetItem* copy = CopyTreeBranch(target, dragged);
    DeleteTreeNode(dragged);
    target->setExpanded(true);
    setCurrentItem(copy);
    return true;
}

}  // namespace orlo
