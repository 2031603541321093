#pragma once
// Anything shown in the project tree. Menu commands are routed to the focused
// item first, so items answer commands and their update (check mark) queries.

#include <string>

namespace voltaro {

class DocumentView;

// State of a command's menu entry, filled in by the item that handles it.
struct CommandState {
    bool bEnabled = true;
    bool bChecked = false;
};

class CViewTreeItem {
public:
    CViewTreeItem() = default;
    virtual ~CViewTreeItem();
    CViewTreeItem(const CViewTreeItem&) = delete;
    CViewTreeItem& operator=(const CViewTreeItem&) = delete;

    virtual const std::string& GetName() const = 0;
    // Index of the picture in the tree's image list (normal and selected alike).
    virtual int GetImageIndex() const = 0;
    // Index of the item's sub-menu in the tree's context menu.
    virtual int GetMenuIndex() const = 0;
    virtual void SetName(const std::string& strName, bool bUpdate, DocumentView* pSender) = 0;

    // Command routing: true when the item handled the command.
    virtual bool OnCommand(unsigned nID);
    // True when the item handles the command; then state holds its menu state.
    virtual bool OnUpdateCommand(unsigned nID, CommandState& state) const;

    // The item one level up (a block's session); null for a session. Not owning.
    CViewTreeItem* m_pParent = nullptr;
};

}  // namespace voltaro
