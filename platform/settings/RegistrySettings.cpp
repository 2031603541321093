// The user's settings store of the running program: the Windows registry below
// HKEY_CURRENT_USER where there is one, the settings file elsewhere.

#include "platform/settings/SettingsStore.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace platform {

#ifdef _WIN32

namespace {

// Closes the key handle it holds.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (handle_)
            RegCloseKey(handle_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY* out() { return &handle_; }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

std::string joined(const KeyLevels& key) {
    std::string path;
    for (const std::string& level : key) {
        if (!path.empty())
            path.push_back('\\');
        path += level;
    }
    return path;
}

// Opens HKEY_CURRENT_USER\<key> with the given rights; the root itself when the
// key has no levels.
bool openKey(const KeyLevels& key, REGSAM access, RegKey& opened) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, joined(key).c_str(), 0, access, opened.out()) ==
           ERROR_SUCCESS;
}

}  // namespace

bool RegistrySettingsBackend::hasKey(const KeyLevels& key) const {
    RegKey opened;
    return openKey(key, KEY_READ, opened);
}

bool RegistrySettingsBackend::createKey(const KeyLevels& key) {
    if (key.empty())
        return true;
    if (!isValidKeyName(key.back()) || !hasKey(KeyLevels(key.begin(), key.end() - 1)))
        return false;
    RegKey created;
    return RegCreateKeyExA(HKEY_CURRENT_USER, joined(key).c_str(), 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE,
                           nullptr, created.out(), nullptr) == ERROR_SUCCESS;
}

bool RegistrySettingsBackend::deleteKey(const KeyLevels& key) {
    if (key.empty())
        return false;
    return RegDeleteTreeA(HKEY_CURRENT_USER, joined(key).c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> RegistrySettingsBackend::subKeyNames(const KeyLevels& key) const {
    std::vector<std::string> names;
    RegKey opened;
    if (!openKey(key, KEY_ENUMERATE_SUB_KEYS, opened))
        return names;
    char name[256];  // key names have at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        const LONG result =
            RegEnumKeyExA(opened.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::string> RegistrySettingsBackend::valueNames(const KeyLevels& key) const {
    std::vector<std::string> names;
    RegKey opened;
    if (!openKey(key, KEY_QUERY_VALUE, opened))
        return names;
    std::string name(16384, '\0');  // value names have at most 16383 characters
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumValueA(opened.get(), i, name.data(), &length, nullptr, nullptr,
                                          nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::optional<SettingsValue> RegistrySettingsBackend::value(const KeyLevels& key,
                                                            std::string_view name) const {
    RegKey opened;
    if (!openKey(key, KEY_QUERY_VALUE, opened))
        return std::nullopt;
    const std::string valueName(name);
    SettingsValue v;
    // The value may grow between asking for its size and reading it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(opened.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        v.data.assign(size, '\0');
        const LONG result =
            RegQueryValueExA(opened.get(), valueName.c_str(), nullptr, &type,
                             size ? reinterpret_cast<BYTE*>(v.data.data()) : nullptr, &size);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        v.type = type;
        v.data.resize(size);
        return v;
    }
    return std::nullopt;
}

bool RegistrySettingsBackend::setValue(const KeyLevels& key, std::string_view name,
                                       SettingsValue value) {
    if (!isValidValueName(name) || value.data.size() > 0xFFFFFFFFu)
        return false;
    RegKey opened;
    if (!openKey(key, KEY_SET_VALUE, opened))
        return false;
    const std::string valueName(name);
    return RegSetValueExA(opened.get(), valueName.c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool RegistrySettingsBackend::deleteValue(const KeyLevels& key, std::string_view name) {
    RegKey opened;
    if (!openKey(key, KEY_SET_VALUE, opened))
        return false;
    const std::string valueName(name);
    return RegDeleteValueA(opened.get(), valueName.c_str()) == ERROR_SUCCESS;
}

std::unique_ptr<SettingsBackend> CreateUserSettingsBackend() {
    return std::make_unique<RegistrySettingsBackend>();
}

#else

std::unique_ptr<SettingsBackend> CreateUserSettingsBackend() {
    return std::make_unique<FileSettingsBackend>();
}

#endif

}  // namespace platform
