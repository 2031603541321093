#include "voltaro/model/CViewTreeItem.h"

#include "voltaro/model/CDataItem.h"

namespace voltaro {

CViewTreeItem::~CViewTreeItem() = default;

bool CViewTreeItem::OnCommand(unsigned /*nID*/) {
    return false;
}

bool CViewTreeItem::OnUpdateCommand(unsigned /*nID*/, CommandState& /*state*/) const {
    return false;
}

CDataItem::~CDataItem() = default;

}  // namespace voltaro
