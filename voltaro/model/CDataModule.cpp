#include "voltaro/model/CDataModule.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/ItemDocument.h"

namespace voltaro {

int CDataModule::s_nSessionCounter = 0;

CDataModule::CDataModule(ItemDocument* pDocument)
    : m_pDocument(pDocument), m_strName("Session" + std::to_string(++s_nSessionCounter)) {}

CDataModule::~CDataModule() = default;

int CDataModule::LastSessionNumber() {
    return s_nSessionCounter;
}

void CDataModule::ResetSessionCounter() {
    s_nSessionCounter = 0;
}

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

void CDataModule::AddBlock(CDataBlock* pBlock) {
    pBlock->m_pParent = this;
    m_blocks.AddTail(pBlock);
}

bool CDataModule::RemoveBlock(CDataBlock* pBlock, bool bDelete, bool bUpdate,
                              DocumentView* pSender) {
    if (!m_blocks.Contains(pBlock))
        return false;
    if (bUpdate && m_pDocument)
        m_pDocument->UpdateAllViews(pSender, HINT_BLOCK_REMOVING, pBlock);
    m_blocks.Remove(pBlock);
    if (bUpdate && m_pDocument)
        m_pDocument->UpdateAllViews(pSender, HINT_BLOCK_REMOVED, pBlock);
    if (bDelete)
        delete pBlock;
    else
        pBlock->m_pParent = nullptr;
    if (m_pDocument)
        m_pDocument->SetModifiedFlag();
    return true;
}

bool CDataModule::MoveBlock(CDataBlock* pBlock, CViewTreeItem* pInsertAfter, bool bUpdate,
                            DocumentView* pSender) {
    if (pBlock == pInsertAfter)
        return true;
    if (bUpdate && m_pDocument)
        m_pDocument->UpdateAllViews(pSender, HINT_BLOCK_MOVING, pBlock);
    if (CDataModule* pFrom = pBlock->GetSession())
        pFrom->m_blocks.Remove(pBlock);
    if (pInsertAfter == this)
        m_blocks.AddHead(pBlock);
    else
        m_blocks.InsertAfter(dynamic_cast<const CDataBlock*>(pInsertAfter), pBlock);
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
