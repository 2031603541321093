#pragma once
// Renumbering of session and block names (tree commands).

#include <vector>

namespace voltaro {

class CDataModule;
class CViewTreeItem;
class ItemDocument;

// Gives the sessions, in the order given, the numbers 1, 2, ...: a name that is
// empty or ends in a digit loses its trailing digits and blanks and gets
// " <n>" ("Session" when nothing remains). Other names keep theirs but still use
// up a number. Requests a graph refresh from the document the command came from.
void RenumberSessions(const ItemDocument& doc, const std::vector<CDataModule*>& sessions);

// Renumbers the blocks of every session reached by the selected items (a block
// stands for its session): the leading number of each block name is replaced by
// its position 1, 2, ... in the session. Requests a graph refresh from the
// document the command came from.
void RenumberBlocks(const ItemDocument& doc, const std::vector<CViewTreeItem*>& selectedItems);

}  // namespace voltaro
