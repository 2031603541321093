#include "platform/settings/SettingsStore.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upper(x) == upper(y); });
}

// Sub-key order: names compared as if upper case.
bool nameBefore(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(upper(x)) < static_cast<unsigned char>(upper(y));
    });
}

bool hasControlCharacter(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

}  // namespace

SettingsBackend::~SettingsBackend() = default;

bool SettingsBackend::isValidKeyName(std::string_view name) {
    return !name.empty() && name.find('\\') == std::string_view::npos && !hasControlCharacter(name);
}

bool SettingsBackend::isValidValueName(std::string_view name) {
    return !hasControlCharacter(name);
}

struct MemorySettingsBackend::Node {
    std::string name;
    std::vector<std::unique_ptr<Node>> children;                // in name order
    std::vector<std::pair<std::string, SettingsValue>> values;  // in the order first set

    Node* child(std::string_view childName) const {
        for (const auto& c : children) {
            if (sameName(c->name, childName))
                return c.get();
        }
        return nullptr;
    }
    std::pair<std::string, SettingsValue>* findValue(std::string_view valueName) {
        for (auto& v : values) {
            if (sameName(v.first, valueName))
                return &v;
        }
        return nullptr;
    }
};

MemorySettingsBackend::MemorySettingsBackend() : root_(std::make_unique<Node>()) {}
MemorySettingsBackend::~MemorySettingsBackend() = default;

void MemorySettingsBackend::clear() {
    root_ = std::make_unique<Node>();
}

MemorySettingsBackend::Node* MemorySettingsBackend::find(const KeyLevels& key) const {
    Node* node = root_.get();
    for (const std::string& level : key) {
        node = node->child(level);
        if (!node)
            return nullptr;
    }
    return node;
}

bool MemorySettingsBackend::hasKey(const KeyLevels& key) const {
    return find(key) != nullptr;
}

bool MemorySettingsBackend::createKey(const KeyLevels& key) {
    if (key.empty())
        return true;
    Node* parent = find(KeyLevels(key.begin(), key.end() - 1));
    if (!parent || !isValidKeyName(key.back()))
        return false;
    if (parent->child(key.back()))
        return true;
    auto node = std::make_unique<Node>();
    node->name = key.back();
    const auto at = std::upper_bound(
        parent->children.begin(), parent->children.end(), node->name,
        [](const std::string& name, const auto& c) { return nameBefore(name, c->name); });
    parent->children.insert(at, std::move(node));
    changed();
    return true;
}

bool MemorySettingsBackend::deleteKey(const KeyLevels& key) {
    if (key.empty())
        return false;
    Node* parent = find(KeyLevels(key.begin(), key.end() - 1));
    if (!parent)
        return false;
    const auto it = std::find_if(parent->children.begin(), parent->children.end(),
                                 [&](const auto& c) { return sameName(c->name, key.back()); });
    if (it == parent->children.end())
        return false;
    parent->children.erase(it);
    changed();
    return true;
}

std::vector<std::string> MemorySettingsBackend::subKeyNames(const KeyLevels& key) const {
    std::vector<std::string> names;
    if (const Node* node = find(key)) {
        for (const auto& c : node->children)
            names.push_back(c->name);
    }
    return names;
}

std::vector<std::string> MemorySettingsBackend::valueNames(const KeyLevels& key) const {
    std::vector<std::string> names;
    if (const Node* node = find(key)) {
        for (const auto& v : node->values)
            names.push_back(v.first);
    }
    return names;
}

std::optional<SettingsValue> MemorySettingsBackend::value(const KeyLevels& key,
                                                          std::string_view name) const {
    Node* node = find(key);
    if (!node)
        return std::nullopt;
    const auto* v = node->findValue(name);
    if (!v)
        return std::nullopt;
    return v->second;
}

bool MemorySettingsBackend::setValue(const KeyLevels& key, std::string_view name,
                                     SettingsValue value) {
    Node* node = find(key);
    if (!node || !isValidValueName(name))
        return false;
    if (auto* v = node->findValue(name)) {
        if (v->second == value)
            return true;
        v->second = std::move(value);
    } else {
        node->values.emplace_back(std::string(name), std::move(value));
    }
    changed();
    return true;
}

bool MemorySettingsBackend::deleteValue(const KeyLevels& key, std::string_view name) {
    Node* node = find(key);
    if (!node)
        return false;
    const auto it = std::find_if(node->values.begin(), node->values.end(),
                                 [&](const auto& v) { return sameName(v.first, name); });
    if (it == node->values.end())
        return false;
    node->values.erase(it);
    changed();
    return true;
}

// --- keys ---------------------------------------------------------------------

SettingsKey::SettingsKey(SettingsBackend& backend, KeyLevels levels, KeyAccess access)
    : backend_(&backend), levels_(std::move(levels)), access_(access) {}

SettingsKey SettingsKey::Root(SettingsBackend& backend) {
    return SettingsKey(backend, {}, KeyAccess::ReadWrite);
}

bool SettingsKey::canRead() const {
    return (static_cast<unsigned>(access_) & static_cast<unsigned>(KeyAccess::Read)) != 0;
}

bool SettingsKey::canWrite() const {
    return (static_cast<unsigned>(access_) & static_cast<unsigned>(KeyAccess::Write)) != 0;
}

SettingsKey SettingsKey::child(const std::string& name, KeyAccess access) const {
    KeyLevels levels = levels_;
    levels.push_back(name);
    return SettingsKey(*backend_, std::move(levels), access);
}

std::optional<KeyLevels> SplitKeyPath(std::string_view keyPath) {
    KeyLevels levels;
    if (keyPath.empty())
        return levels;
    if (keyPath.back() == '\n')
        keyPath.remove_suffix(1);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = keyPath.find('\n', start);
        const std::string_view level = keyPath.substr(start, end - start);
        if (!SettingsBackend::isValidKeyName(level))
            return std::nullopt;
        levels.emplace_back(level);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return levels;
}

std::optional<SettingsKey> CreateKeyPath(std::string_view keyPath, const SettingsKey& root) {
    const auto levels = SplitKeyPath(keyPath);
    if (!levels)
        return std::nullopt;
    SettingsBackend& store = root.backend();
    if (!store.hasKey(root.levels()))
        return std::nullopt;
    KeyLevels path = root.levels();
    for (const std::string& level : *levels) {
        path.push_back(level);
        if (store.hasKey(path))
            continue;
        // Creating a sub-key needs write access to its parent; only the key we
        // started from can lack it, the ones we create have it.
        if (path.size() == root.levels().size() + 1 && !root.canWrite())
            return std::nullopt;
        if (!store.createKey(path))
            return std::nullopt;
    }
    return SettingsKey(store, std::move(path), KeyAccess::ReadWrite);
}

std::optional<SettingsKey> OpenKeyPath(std::string_view keyPath, const SettingsKey& root,
                                       KeyAccess access) {
    const auto levels = SplitKeyPath(keyPath);
    if (!levels)
        return std::nullopt;
    KeyLevels path = root.levels();
    path.insert(path.end(), levels->begin(), levels->end());
    if (!root.backend().hasKey(path))
        return std::nullopt;
    return SettingsKey(root.backend(), std::move(path), access);
}

// --- typed values -------------------------------------------------------------

namespace {

std::optional<SettingsValue> readValue(const SettingsKey& key, std::string_view name) {
    if (!key.canRead())
        return std::nullopt;
    return key.backend().value(key.levels(), name);
}

bool writeValue(const SettingsKey& key, std::string_view name, std::uint32_t type,
                std::string data) {
    if (!key.canWrite())
        return false;
    return key.backend().setValue(key.levels(), name, SettingsValue{type, std::move(data)});
}

}  // namespace

std::int32_t ReadNumber(const SettingsKey& key, std::string_view name, std::int32_t def) {
    const auto v = readValue(key, name);
    if (!v || v->type != kTypeNumber || v->data.size() != 4)
        return def;
    const auto* b = reinterpret_cast<const unsigned char*>(v->data.data());
    const std::uint32_t u =
        b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return static_cast<std::int32_t>(u);
}

std::string ReadString(const SettingsKey& key, std::string_view name, std::string_view def) {
    const auto v = readValue(key, name);
    if (!v || v->type != kTypeString)
        return std::string(def);
    // The stored text ends at its terminating NUL.
    const std::size_t end = v->data.find('\0');
    return v->data.substr(0, end);
}

bool ReadBinary(const SettingsKey& key, std::string_view name, void* buffer, std::size_t capacity,
                std::size_t* size) {
    const auto v = readValue(key, name);
    if (size)
        *size = v ? v->data.size() : 0;
    if (!v || v->type != kTypeBinary)
        return false;
    if (capacity == 0)
        return true;
    if (v->data.size() > capacity || !buffer)
        return false;
    std::memcpy(buffer, v->data.data(), v->data.size());
    return true;
}

std::vector<std::string> ReadStringList(const SettingsKey& key, std::string_view name,
                                        std::string_view def) {
    const std::string text = ReadString(key, name, def);
    std::vector<std::string> items;
    if (text.empty())
        return items;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        items.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return items;
}

bool WriteNumber(const SettingsKey& key, std::string_view name, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
    return writeValue(key, name, kTypeNumber, std::move(data));
}

bool WriteString(const SettingsKey& key, std::string_view name, std::string_view value) {
    std::string data(value);
    data.push_back('\0');
    return writeValue(key, name, kTypeString, std::move(data));
}

bool WriteBinary(const SettingsKey& key, std::string_view name, const void* data,
                 std::size_t size) {
    std::string bytes(size, '\0');
    if (size)
        std::memcpy(bytes.data(), data, size);
    return writeValue(key, name, kTypeBinary, std::move(bytes));
}

bool WriteStringList(const SettingsKey& key, std::string_view name,
                     const std::vector<std::string>& items) {
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            joined.push_back('\n');
        joined += items[i];
    }
    return WriteString(key, name, joined);
}

}  // namespace platform
