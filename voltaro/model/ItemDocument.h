#pragma once
// What the project items need of the document that holds them.
//
// Sessions keep a pointer to their document to broadcast view notifications and
// to set the modified mark. The project document implements this interface; tests
// use a small recording document.

#include "voltaro/model/ViewHints.h"

namespace voltaro {

class CViewTreeItem;
class CDataModule;
struct ItemEnvironment;

// A view registered with the document. pSender is the view that caused the
// change (it is not notified), pHint the item concerned or null.
class DocumentView {
public:
    virtual ~DocumentView();
    virtual void OnUpdate(DocumentView* pSender, int lHint, CViewTreeItem* pHint) = 0;
};

class ItemDocument {
public:
    virtual ~ItemDocument();

    // Sends the hint to every registered view except pSender.
    virtual void UpdateAllViews(DocumentView* pSender, int lHint, CViewTreeItem* pHint) = 0;
    virtual void SetModifiedFlag(bool bModified = true) = 0;
    virtual bool IsModified() const = 0;

    // The session that receives online data now, or null.
    virtual CDataModule* GetOnlineSession() const = 0;
    // Animation phase of the online session's picture: 0..2 while data arrive,
    // 3 while waiting.
    virtual int GetOnlinePhase() const = 0;

    // The hooks and flags of the running program the items reach through their
    // document (session numbers among them); null when there are none.
    virtual ItemEnvironment* GetEnvironment() const = 0;
};

}  // namespace voltaro
