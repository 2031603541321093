#pragma once
// What the project items need of the running program beyond their document:
// the protocol editor, the online data bar, the deferred graph refresh, and the
// two settings that hold for the whole program run (the session counter and the
// "100% X-axis as Maximal 'U' Point" option).
//
// The program owns one environment and hands it to its documents; items reach
// it through their document (a block through its session's). An item outside
// any document has no environment. Each hook is empty until the window that
// provides it exists; the items then simply do without (no protocol entry, no
// online bar, no refresh).

#include <functional>
#include <string>

namespace voltaro {

class CDataItem;
class CDataBlock;
class ItemDocument;

// Settings of one program run, shared by every document of that run.
struct ProgramFlags {
    // The number the last constructed session took; 0 before the first one.
    // Nothing resets it: a new or opened project goes on counting.
    int nSessionCounter = 0;
    // The 100 % point of a normalised X axis is the maximal voltage, not the end.
    bool bMaxUAsEnd = false;

    int NextSessionNumber() { return ++nSessionCounter; }
};

struct ItemEnvironment {
    // Appends a time-stamped line to the item's protocol. The text may hold "%1"
    // where the date and time go. Installed by the protocol editor.
    std::function<void(CDataItem& item, const std::string& text)> addProtocolEntry;
    // Hands a block that just received online data to the online data bar.
    std::function<void(CDataBlock& block)> showOnlineData;
    // Asks for a graph refresh at the next idle moment.
    std::function<void()> requestRefresh;
    ProgramFlags flags;
};

// The environment of the document holding the item; null outside any document.
ItemEnvironment* EnvironmentOf(const CDataItem& item);

// True when the item's environment has a protocol editor.
bool HasProtocolEditor(const CDataItem& item);
// Writes a protocol entry through the editor of the item's environment; does
// nothing without one.
void AddProtocolEntry(CDataItem& item, const std::string& text);
// Requests a deferred graph refresh when someone listens to the document (or
// to the document holding the item).
void RequestRefresh(const ItemDocument& doc);
void RequestRefresh(const CDataItem& item);

}  // namespace voltaro
