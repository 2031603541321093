#pragma once
// What the project items need of the running program beyond their document:
// the protocol editor, the online data bar, the deferred graph refresh and the
// program-wide "100% X-axis as Maximal 'U' Point" option.
//
// Each hook is empty until the window that provides it exists; the items then
// simply do without (no protocol entry, no online bar, no refresh).

#include <functional>
#include <string>

namespace voltaro {

class CDataItem;
class CDataBlock;

struct ItemEnvironment {
    // Appends a time-stamped line to the item's protocol. The text may hold "%1"
    // where the date and time go. Installed by the protocol editor.
    std::function<void(CDataItem& item, const std::string& text)> addProtocolEntry;
    // Hands a block that just received online data to the online data bar.
    std::function<void(CDataBlock& block)> showOnlineData;
    // Asks for a graph refresh at the next idle moment.
    std::function<void()> requestRefresh;
    // The 100 % point of a normalised X axis is the maximal voltage, not the end.
    bool bMaxUAsEnd = false;
};

// The program-wide environment (the application fills it in at start-up).
ItemEnvironment& GetItemEnvironment();

// True when a protocol editor is installed.
bool HasProtocolEditor();
// Writes a protocol entry through the installed editor; does nothing without one.
void AddProtocolEntry(CDataItem& item, const std::string& text);
// Requests a deferred graph refresh when someone listens.
void RequestRefresh();

}  // namespace voltaro
