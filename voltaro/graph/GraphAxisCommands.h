#pragma once
// The document's commands that show or hide a quantity's axis (U, I, C, E, R).
// At least one quantity always stays shown: hiding the last one shows it again.

#include "voltaro/model/CViewTreeItem.h"

namespace voltaro {

class CMainDoc;
class GraphSettings;

enum : unsigned {
    ID_SHOW_AXIS_U = 32818,  // .. ID_SHOW_AXIS_R, in quantity order
    ID_SHOW_AXIS_R = 32822,
};

// Toggles the shown setting of quantity i (0..4) and sends HINT_AXES. Does not
// mark the document modified.
void OnShowAxis(CMainDoc& doc, int i);
// The command form: false when nID is not one of the five commands.
bool OnShowAxisCommand(CMainDoc& doc, unsigned nID);

// Checked when shown; disabled while the quantity is on the right-hand axis and
// the quantity it is drawn against is hidden. False when nID is not one of the five.
bool OnUpdateShowAxisCommand(const GraphSettings& settings, unsigned nID, CommandState& state);

}  // namespace voltaro
