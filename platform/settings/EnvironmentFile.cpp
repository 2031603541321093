// Environment files: a key sub-tree as a binary archive.
//
//   DWORD 1
//   { String sub-key name, that sub-key's archive }...   String ""
//   { String value name, DWORD type, Count n, n bytes }... String ""
//
// Strings carry a length prefix (one byte below 255, else 0xFF and a WORD up to
// 65533, else 0xFF, WORD 0xFFFF and a DWORD); counts are a WORD below 0xFFFF,
// else 0xFFFF and a DWORD. All numbers little-endian.

#include "platform/settings/SettingsStore.h"

#include <QCoreApplication>
#include <QIODevice>

namespace platform {

namespace {

// Deeper trees do not occur in practice; the limit keeps a damaged file from
// exhausting the stack.
constexpr int kMaxDepth = 512;

void putU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void putU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putString(std::string& out, std::string_view s) {
    if (s.size() < 0xFF) {
        out.push_back(static_cast<char>(s.size()));
    } else if (s.size() <= 0xFFFD) {
        out.push_back('\xFF');
        putU16(out, static_cast<std::uint16_t>(s.size()));
    } else {
        out.push_back('\xFF');
        putU16(out, 0xFFFF);
        putU32(out, static_cast<std::uint32_t>(s.size()));
    }
    out.append(s);
}

void putCount(std::string& out, std::size_t n) {
    if (n < 0xFFFF) {
        putU16(out, static_cast<std::uint16_t>(n));
    } else {
        putU16(out, 0xFFFF);
        putU32(out, static_cast<std::uint32_t>(n));
    }
}

bool fits(std::string_view name) {
    return name.size() <= kEnvironmentNameLimit;
}

void storeKey(const SettingsBackend& store, const KeyLevels& key, std::string& out, int& skipped) {
    putU32(out, 1);
    for (const std::string& name : store.subKeyNames(key)) {
        if (!fits(name)) {
            ++skipped;
            continue;
        }
        putString(out, name);
        KeyLevels child = key;
        child.push_back(name);
        storeKey(store, child, out, skipped);
    }
    putString(out, {});
    for (const std::string& name : store.valueNames(key)) {
        const auto value = store.value(key, name);
        // An unnamed value would read as the end of the list.
        if (!value || name.empty() || !fits(name) || value->data.size() > kEnvironmentDataLimit) {
            ++skipped;
            continue;
        }
        putString(out, name);
        putU32(out, value->type);
        putCount(out, value->data.size());
        out += value->data;
    }
    putString(out, {});
}

class ArchiveReader {
public:
    explicit ArchiveReader(QIODevice& in) : in_(in) {}

    bool bytes(char* data, std::size_t n) {
        if (n == 0)
            return true;
        const qint64 got = in_.read(data, static_cast<qint64>(n));
        if (got != static_cast<qint64>(n))
            return fail(QCoreApplication::translate("Settings", "The file ends too early."));
        return true;
    }
    bool u16(std::uint16_t& v) {
        unsigned char b[2];
        if (!bytes(reinterpret_cast<char*>(b), 2))
            return false;
        v = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
        return true;
    }
    bool u32(std::uint32_t& v) {
        unsigned char b[4];
        if (!bytes(reinterpret_cast<char*>(b), 4))
            return false;
        v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return true;
    }
    bool string(std::string& s, std::size_t limit) {
        unsigned char b = 0;
        if (!bytes(reinterpret_cast<char*>(&b), 1))
            return false;
        std::uint32_t n = b;
        if (b == 0xFF) {
            std::uint16_t w = 0;
            if (!u16(w))
                return false;
            n = w;
            if (w == 0xFFFE)
                return fail(QCoreApplication::translate("Settings",
                                                        "The file holds a wide-character text."));
            if (w == 0xFFFF && !u32(n))
                return false;
        }
        if (n > limit)
            return fail(
                QCoreApplication::translate("Settings", "A name is too long (%1 bytes).").arg(n));
        s.assign(n, '\0');
        return bytes(s.data(), n);
    }
    bool count(std::uint32_t& n) {
        std::uint16_t w = 0;
        if (!u16(w))
            return false;
        n = w;
        return w != 0xFFFF || u32(n);
    }
    bool fail(const QString& message) {
        if (error_.isEmpty())
            error_ = message;
        return false;
    }
    const QString& error() const { return error_; }

private:
    QIODevice& in_;
    QString error_;
};

bool loadKey(const SettingsKey* key, ArchiveReader& in, int depth) {
    if (depth > kMaxDepth)
        return in.fail(QCoreApplication::translate("Settings", "The keys nest too deeply."));
    std::uint32_t marker = 0;
    if (!in.u32(marker))
        return false;
    std::string name;
    while (true) {
        if (!in.string(name, kEnvironmentNameLimit))
            return false;
        if (name.empty())
            break;
        std::optional<SettingsKey> child;
        if (key && key->canWrite()) {
            KeyLevels levels = key->levels();
            levels.push_back(name);
            if (key->backend().createKey(levels))
                child = SettingsKey(key->backend(), std::move(levels), KeyAccess::ReadWrite);
        }
        if (!loadKey(child ? &*child : nullptr, in, depth + 1))
            return false;
    }
    while (true) {
        if (!in.string(name, kEnvironmentNameLimit))
            return false;
        if (name.empty())
            break;
        std::uint32_t type = 0;
        std::uint32_t n = 0;
        if (!in.u32(type) || !in.count(n))
            return false;
        if (n > kEnvironmentDataLimit)
            return in.fail(
                QCoreApplication::translate("Settings", "A value is too long (%1 bytes).").arg(n));
        std::string data(n, '\0');
        if (!in.bytes(data.data(), n))
            return false;
        if (key && key->canWrite())
            key->backend().setValue(key->levels(), name, SettingsValue{type, std::move(data)});
    }
    return true;
}

}  // namespace

bool StoreSubtree(const SettingsKey& key, QIODevice& out, QString* error, int* skipped) {
    if (!key.canRead() || !key.backend().hasKey(key.levels())) {
        if (error)
            *error = QCoreApplication::translate("Settings", "The key cannot be read.");
        return false;
    }
    int left = 0;
    std::string bytes;
    storeKey(key.backend(), key.levels(), bytes, left);
    if (skipped)
        *skipped = left;
    if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

bool LoadSubtree(const SettingsKey* key, QIODevice& in, QString* error) {
    ArchiveReader reader(in);
    if (loadKey(key, reader, 0))
        return true;
    if (error)
        *error = reader.error();
    return false;
}

}  // namespace platform
