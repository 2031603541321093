#include "orlo/blocks/TOpenBlocks.h"

#include <QFileInfo>

namespace orlo {

QString BlockDisplayName(const QString& path) {
    QString name = QFileInfo(path).fileName();
    const qsizetype at = name.indexOf(QStringLiteral(".orl"));  // case-sensitive on purpose
    if (at >= 0)
        name.truncate(at);
    return name;
}

TOpenBlocks::TOpenBlocks(QObject* parent) : QObject(parent) {}

TOpenBlocks::~TOpenBlocks() = default;

const TOpenBlock* TOpenBlocks::Entry(int row) const {
    return Exists(row) ? &list_[static_cast<std::size_t>(row)] : nullptr;
}

TDataBlock* TOpenBlocks::Block(int row) const {
    const TOpenBlock* e = Entry(row);
    return e ? e->Block.get() : nullptr;
}

void TOpenBlocks::SetActualRow(int row) {
    actualRow_ = row;
}

int TOpenBlocks::add(TOpenBlock entry) {
    int style = GetFirstPossibleGrafColorIndex();
    if (style == NoFreeStyle)
        style = 0;
    entry.StyleIndex = style;
    list_.push_back(std::move(entry));
    const int row = Count() - 1;
    emit RowAdded(row);
    return row;
}

int TOpenBlocks::AddFile(std::unique_ptr<TDataBlock> block, const QString& path) {
    block->Modified = false;
    TOpenBlock e;
    e.Block = std::move(block);
    e.Path = path;
    e.Name = BlockDisplayName(path);
    e.Shown = true;
    return add(std::move(e));
}

int TOpenBlocks::AddDownload(std::unique_ptr<TDataBlock> block, int k) {
    // Not in any file yet: closing it must offer to save it.
    block->Modified = true;
    TOpenBlock e;
    e.Block = std::move(block);
    e.Name = QStringLiteral("tmp") + QString::number(k + 1);
    e.Shown = false;
    return add(std::move(e));
}

int TOpenBlocks::RowAfterRemoval(int removed, int current, int count) {
    if (count <= 1)
        return -1;
    if (removed < current)
        return current - 1;  // stays on its block
    if (removed == current && removed == count - 1)
        return current - 1;
    return current;
}

void TOpenBlocks::Remove(int row) {
    if (!Exists(row))
        return;
    actualRow_ = RowAfterRemoval(row, actualRow_, Count());
    list_.erase(list_.begin() + row);
    emit RowRemoved(row);
}

void TOpenBlocks::Clear() {
    list_.clear();
    actualRow_ = -1;
    emit Cleared();
}

void TOpenBlocks::SetShown(int row, bool shown) {
    if (!Exists(row))
        return;
    list_[static_cast<std::size_t>(row)].Shown = shown;
    emit RowChanged(row);
}

void TOpenBlocks::SetPath(int row, const QString& path) {
    if (!Exists(row))
        return;
    TOpenBlock& e = list_[static_cast<std::size_t>(row)];
    e.Path = path;
    e.Name = BlockDisplayName(path);
    emit RowChanged(row);
}

int TOpenBlocks::FindPath(const QString& path) const {
    if (path.isEmpty())
        return -1;
    for (int row = 0; row < Count(); ++row)
        if (list_[static_cast<std::size_t>(row)].Path == path)
            return row;
    return -1;
}

int TOpenBlocks::GetFirstPossibleGrafColorIndex() const {
    for (int i = 0; i < 5; ++i) {
        bool used = false;
        for (const TOpenBlock& e : list_)
            if (e.StyleIndex == i)
                used = true;
        if (!used)
            return i;
    }
    return NoFreeStyle;
}

TSaveSteps TOpenBlocks::SaveSteps(int row, bool ask, bool fileExists) const {
    TSaveSteps steps;
    const TOpenBlock* e = Entry(row);
    if (!e || !e->Block)
        return steps;
    if (!e->HasFile()) {
        // A block without a file is always offered the Save As dialog, asked or not.
        steps.Action = TSaveSteps::SaveAs;
        return steps;
    }
    if (ask && !e->Block->Modified)
        return steps;
    steps.Action = TSaveSteps::Save;
    steps.Path = e->Path;
    if (ask)
        steps.Question =
            QStringLiteral("Do you want to save changes of ") + e->Path + QStringLiteral("?");
    if (!fileExists)
        steps.MissingFileTitle =
            QStringLiteral("DataFile ") + e->Path + QStringLiteral(" not found!");
    return steps;
}

TSaveSteps TOpenBlocks::SaveSteps(int row, bool ask) const {
    const TOpenBlock* e = Entry(row);
    return SaveSteps(row, ask, e && e->HasFile() && QFileInfo::exists(e->Path));
}

QString TOpenBlocks::SaveAsTitle(int row) const {
    const TOpenBlock* e = Entry(row);
    return e ? QStringLiteral("Save ") + e->PathText() + QStringLiteral(" As") : QString();
}

}  // namespace orlo
