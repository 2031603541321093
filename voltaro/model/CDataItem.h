#pragma once
// A project item that carries its own protocol text.

#include "voltaro/model/CViewTreeItem.h"

#include <string>

namespace voltaro {

class ItemDocument;

class CDataItem : public CViewTreeItem {
public:
    ~CDataItem() override;

    // The document holding the item (a block's through its session); null
    // outside any document.
    virtual ItemDocument* GetDocument() const { return nullptr; }

    // The protocol: rich text (RTF) bytes written and read only by the protocol
    // editor; the model keeps it as opaque bytes.
    std::string m_protocol;
};

}  // namespace voltaro
