#pragma once
// What the open-block grid and the main window need of the data folder tree.

#include <QString>

namespace orlo {

class TFolderTree {
public:
    virtual ~TFolderTree() = default;
    virtual void BuildTree(const QString& rootDir) = 0;
    virtual void ClearTreeView() = 0;
    virtual void RefreshTree() = 0;
    // Detaches the tree from a removed grid row.
    virtual void CancelGridRowFlag(int row) = 0;
};

}  // namespace orlo
