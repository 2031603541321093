#pragma once
// Settings helpers that need the windowing side of Qt.

#include <QString>

class QComboBox;

namespace platform {

// Places the text on the clipboard as plain text; false when there is no
// clipboard to take it.
bool CopyTextToClipboard(const QString& text);

// Moves a number between a combo box and a variable through the entries' item
// data. Reading (bSaveAndValidate): the item data of the selected entry, 0 when
// none is selected. Writing: selects the last entry whose item data equals the
// number, or clears the selection.
void ExchangeComboItemData(QComboBox& combo, bool bSaveAndValidate, int& value);

}  // namespace platform
