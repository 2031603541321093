#include "voltaro/model/ItemEnvironment.h"

#include "voltaro/model/CDataItem.h"
#include "voltaro/model/ItemDocument.h"

namespace voltaro {

ItemEnvironment* EnvironmentOf(const CDataItem& item) {
    const ItemDocument* doc = item.GetDocument();
    return doc ? doc->GetEnvironment() : nullptr;
}

bool HasProtocolEditor(const CDataItem& item) {
    const ItemEnvironment* env = EnvironmentOf(item);
    return env && env->addProtocolEntry;
}

void AddProtocolEntry(CDataItem& item, const std::string& text) {
    const ItemEnvironment* env = EnvironmentOf(item);
    if (env && env->addProtocolEntry)
        env->addProtocolEntry(item, text);
}

void RequestRefresh(const ItemDocument& doc) {
    const ItemEnvironment* env = doc.GetEnvironment();
    if (env && env->requestRefresh)
        env->requestRefresh();
}

void RequestRefresh(const CDataItem& item) {
    if (const ItemDocument* doc = item.GetDocument())
        RequestRefresh(*doc);
}

}  // namespace voltaro
