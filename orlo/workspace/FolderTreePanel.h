#pragma once
// The tree of the data root in the left panel. It starts hidden; until the tree is
// built out it only remembers its root, and it has no grid rows to detach.

#include "orlo/workspace/WorkspaceSeams.h"

#include <QTreeWidget>

namespace orlo {

class TFolderTreePanel : public QTreeWidget, public TFolderTree {
    Q_OBJECT
public:
    explicit TFolderTreePanel(QWidget* parent = nullptr) : QTreeWidget(parent) {
        setObjectName(QStringLiteral("TreeView1"));
        setHeaderHidden(true);
        hide();
    }

    void BuildTree(const QString& rootDir) override { root_ = rootDir; }
    void ClearTreeView() override { clear(); }
    void RefreshTree() override {}
    void CancelGridRowFlag(int) override {}

    const QString& RootDir() const { return root_; }

private:
    QString root_;
};

}  // namespace orlo
