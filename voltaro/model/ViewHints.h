#pragma once
// The numbered notifications the project document broadcasts to its views.
// The numbers are fixed: every view switches on them.

namespace voltaro {

enum ViewHint : int {
    HINT_REFRESH_ALL = 0,
    HINT_CLEAR = 1,
    HINT_OPTIONS = 2,
    HINT_STORE_EDITS = 3,
    HINT_SESSION_ADDED = 4,
    HINT_BLOCK_DATA = 5,
    HINT_BLOCK_MOVING = 6,
    HINT_BLOCK_MOVED = 7,
    HINT_BLOCK_REMOVING = 8,
    HINT_BLOCK_REMOVED = 9,
    HINT_BLOCK_CHANGED = 10,
    HINT_SESSION_CHANGED = 11,
    HINT_SESSION_REMOVING = 12,
    HINT_SESSION_REMOVED = 13,
    HINT_SELECTION = 15,
    HINT_GRAPH_SETUP = 16,
    HINT_SELECT_BLOCK = 17,
    HINT_AXES = 18,
    HINT_BLOCK_STYLE = 19,
    HINT_BAR_SHOWN = 20,
    HINT_FORMULAS = 21,
};

}  // namespace voltaro
