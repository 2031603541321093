#include "voltaro/model/ItemEnvironment.h"

namespace voltaro {

ItemEnvironment& GetItemEnvironment() {
    static ItemEnvironment environment;
    return environment;
}

bool HasProtocolEditor() {
    return static_cast<bool>(GetItemEnvironment().addProtocolEntry);
}

void AddProtocolEntry(CDataItem& item, const std::string& text) {
    const ItemEnvironment& env = GetItemEnvironment();
    if (env.addProtocolEntry)
        env.addProtocolEntry(item, text);
}

void RequestRefresh() {
    const ItemEnvironment& env = GetItemEnvironment();
    if (env.requestRefresh)
        env.requestRefresh();
}

}  // namespace voltaro
