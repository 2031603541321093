#include "voltaro/model/CDataModule.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/ItemDocument.h"
#include "voltaro/model/ItemEnvironment.h"

namespace voltaro {
namespace {

int nextSessionNumber(const ItemDocument* pDocument) {
    ItemEnvironment* env = pDocument ? pDocument->GetEnvironment() : nullptr;
    return env ? env->flags.NextSessionNumber() : 0;
}

}  // namespace

CDataModule::CDataModule(ItemDocument* pDocument)
    : m_pDocument(pDocument), m_strName("Session" + std::to_string(nextSessionNumber(pDocument))) {}

CDataModule::~CDataModule() = default;

int CDataModule::GetImageIndex() const {
    if (m_pDocument && m_pDocument->GetOnlineSession() == this)
        return 3 + m_pDocument->GetOnlinePhase();
    return 1;
}

void CDataModule::SetName(const std::string& strName, bool bUpdate, DocumentView* pSender) {
    m_strName = strName;
    if (!m_pDocument)
        return;
    if (bUpdate)
        m_pDocument->UpdateAllViews(pSender, HINT_SESSION_CHANGED, this);
    m_pDocument->SetModifiedFlag();
}

CDataBlock* CDataModule::AddBlock(std::unique_ptr<CDataBlock> pBlock) {
    pBlock->m_pParent = this;
    return m_blocks.AddTail(std::move(pBlock));
}

bool CDataModule::RemoveBlock(CDataBlock* pBlock, bool bDelete, bool bUpdate, DocumentView* pSender,
                              std::unique_ptr<CDataBlock>* pTaken) {
    if (!m_blocks.Contains(pBlock))
        return false;
    if (bUpdate && m_pDocument)
        m_pDocument->UpdateAllViews(pSender, HINT_BLOCK_REMOVING, pBlock);
    std::unique_ptr<CDataBlock> taken = m_blocks.Remove(pBlock);
    // The views still get the address of the removed block: they only compare it.
    if (bUpdate && m_pDocument)
        m_pDocument->UpdateAllViews(pSender, HINT_BLOCK_REMOVED, pBlock);
    taken->m_pParent = nullptr;
    if (!bDelete && pTaken)
        *pTaken = std::move(taken);
    taken.reset();
    if (m_pDocument)
        m_pDocument->SetModifiedFlag();
    return true;
}

bool CDataModule::MoveBlock(CDataBlock* pBlock, CViewTreeItem* pInsertAfter, bool bUpdate,
                            DocumentView* pSender) {
    if (pBlock == pInsertAfter)
        return true;
    CDataModule* pFrom = pBlock->GetSession();
    if (!pFrom || !pFrom->m_blocks.Contains(pBlock))
        return false;
    if (bUpdate && m_pDocument)
        m_pDocument->UpdateAllViews(pSender, HINT_BLOCK_MOVING, pBlock);
    std::unique_ptr<CDataBlock> moving = pFrom->m_blocks.Remove(pBlock);
    if (pInsertAfter == this)
        m_blocks.AddHead(std::move(moving));
    else
        m_blocks.InsertAfter(dynamic_cast<const CDataBlock*>(pInsertAfter), std::move(moving));
    pBlock->m_pParent = this;
    if (bUpdate && m_pDocument)
        m_pDocument->UpdateAllViews(pSender, HINT_BLOCK_MOVED, pBlock);
    // The project changed shape; without the mark a moved block could be lost
    // on closing without the save question.
    if (m_pDocument)
        m_pDocument->SetModifiedFlag();
    return true;
}

}  // namespace voltaro
