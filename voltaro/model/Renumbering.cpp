#include "voltaro/model/Renumbering.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/ItemEnvironment.h"

namespace voltaro {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

void RenumberSessions(const ItemDocument& doc, const std::vector<CDataModule*>& sessions) {
    int counter = 0;
    for (CDataModule* session : sessions) {
        ++counter;
        const std::string& name = session->m_strName;
        if (!name.empty() && !isDigit(name.back()))
            continue;
        std::string base = name;
        const std::size_t keep = base.find_last_not_of("0123456789 \t");
        base.erase(keep == std::string::npos ? 0 : keep + 1);
        if (base.empty())
            base = "Session";
        session->SetName(base + " " + std::to_string(counter), true, nullptr);
    }
    RequestRefresh(doc);
}

void RenumberBlocks(const ItemDocument& doc, const std::vector<CViewTreeItem*>& selectedItems) {
    for (CViewTreeItem* item : selectedItems) {
        CDataModule* session = dynamic_cast<CDataModule*>(item);
        if (!session) {
            if (auto* block = dynamic_cast<CDataBlock*>(item))
                session = block->GetSession();
        }
        if (!session)
            continue;
        int counter = 0;
        for (CDataBlock* block : session->m_blocks) {
            ++counter;
            const std::string& name = block->m_strName;
            std::size_t i = 0;
            while (i < name.size() && (isDigit(name[i]) || isBlank(name[i])))
                ++i;
            block->SetName(std::to_string(counter) + " " + name.substr(i), true, nullptr);
        }
    }
    RequestRefresh(doc);
}

}  // namespace voltaro
