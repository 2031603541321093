#pragma once
// A session: an ordered list of data blocks, named "Session<n>" from the
// session counter of its document's environment (shared by the documents of
// one program run).

#include "voltaro/model/CDataItem.h"
#include "voltaro/model/CObListEx.h"

#include <memory>
#include <string>

namespace voltaro {

class CDataBlock;
class ItemDocument;

class CDataModule : public CDataItem {
public:
    // Takes the next session number of the document's environment; without a
    // document or environment there is no counter and the name is "Session0".
    explicit CDataModule(ItemDocument* pDocument);
    ~CDataModule() override;

    ItemDocument* GetDocument() const override { return m_pDocument; }

    const std::string& GetName() const override { return m_strName; }
    // 3 + the online phase while this is the document's online session, else 1.
    int GetImageIndex() const override;
    int GetMenuIndex() const override { return 1; }
    // Stores the name, notifies the views (HINT_SESSION_CHANGED) when bUpdate is
    // set, and marks the document modified.
    void SetName(const std::string& strName, bool bUpdate, DocumentView* pSender) override;

    // Takes the block out of this session and marks the document modified. With
    // bDelete the block is destroyed; without, it is handed to *pTaken (and
    // destroyed all the same when nobody takes it). Returns false when the block
    // is not in this session.
    bool RemoveBlock(CDataBlock* pBlock, bool bDelete, bool bUpdate, DocumentView* pSender,
                     std::unique_ptr<CDataBlock>* pTaken = nullptr);
    // Moves a block from its session into this one, without copying it: to the
    // head when pInsertAfter is this session, directly after pInsertAfter when
    // that is one of this session's blocks, to the tail otherwise. False when the
    // block is in no session.
    bool MoveBlock(CDataBlock* pBlock, CViewTreeItem* pInsertAfter, bool bUpdate,
                   DocumentView* pSender);
    // Appends a block at the tail and makes this session its parent.
    CDataBlock* AddBlock(std::unique_ptr<CDataBlock> pBlock);

    ItemDocument* m_pDocument;  // not owning
    std::string m_strName;
    CObListEx<CDataBlock> m_blocks;  // owns its blocks
    int m_nCycleBlocks = 0;          // blocks that received their first data line
};

}  // namespace voltaro
