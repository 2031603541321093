#pragma once
// The per-user settings store: a tree of keys holding typed values, the way the
// analyzer once kept its settings in the user's part of the Windows registry.
//
// Key paths are one string with a line feed between levels
// ("Software\nTarnwell\nVoltaro\nOptions"); an empty path is the root key.
// Values are 32-bit numbers, strings (stored with their terminating NUL), binary
// data and string lists (one string whose items are joined by line feeds).
// Reading never fails: a missing value, or one of another type, gives the default.
//
// The storage sits behind SettingsBackend: MemorySettingsBackend for tests,
// RegistrySettingsBackend on Windows, FileSettingsBackend for the user's
// settings file elsewhere (CreateUserSettingsBackend picks one).

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace platform {

// Value types, numbered as the registry numbers them (environment files store
// these numbers; other numbers are kept as they come).
inline constexpr std::uint32_t kTypeNone = 0;
inline constexpr std::uint32_t kTypeString = 1;
inline constexpr std::uint32_t kTypeExpandString = 2;
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeNumber = 4;
inline constexpr std::uint32_t kTypeMultiString = 7;

struct SettingsValue {
    std::uint32_t type = kTypeNone;
    std::string data;  // the stored bytes (a number: 4 bytes little-endian)
    bool operator==(const SettingsValue&) const = default;
};

using KeyLevels = std::vector<std::string>;

// Storage of the key tree. Names compare without regard to ASCII case and keep
// the case they were created with. Sub-keys enumerate in name order, values in
// the order they were first set.
class SettingsBackend {
public:
    virtual ~SettingsBackend();

    virtual bool hasKey(const KeyLevels& key) const = 0;
    // Creates the last level of the key; its parent must exist. True when the
    // key exists afterwards.
    virtual bool createKey(const KeyLevels& key) = 0;
    // Removes the key with everything below it. The root cannot be removed.
    virtual bool deleteKey(const KeyLevels& key) = 0;
    virtual std::vector<std::string> subKeyNames(const KeyLevels& key) const = 0;

    virtual std::vector<std::string> valueNames(const KeyLevels& key) const = 0;
    virtual std::optional<SettingsValue> value(const KeyLevels& key,
                                               std::string_view name) const = 0;
    virtual bool setValue(const KeyLevels& key, std::string_view name, SettingsValue value) = 0;
    virtual bool deleteValue(const KeyLevels& key, std::string_view name) = 0;

    // True when a key level name can be stored: not empty, no backslash and no
    // control characters.
    static bool isValidKeyName(std::string_view name);
    // Value names: no control characters (the empty name is the key's default value).
    static bool isValidValueName(std::string_view name);
};

// The whole tree in memory.
class MemorySettingsBackend : public SettingsBackend {
public:
    MemorySettingsBackend();
    ~MemorySettingsBackend() override;

    bool hasKey(const KeyLevels& key) const override;
    bool createKey(const KeyLevels& key) override;
    bool deleteKey(const KeyLevels& key) override;
    std::vector<std::string> subKeyNames(const KeyLevels& key) const override;
    std::vector<std::string> valueNames(const KeyLevels& key) const override;
    std::optional<SettingsValue> value(const KeyLevels& key, std::string_view name) const override;
    bool setValue(const KeyLevels& key, std::string_view name, SettingsValue value) override;
    bool deleteValue(const KeyLevels& key, std::string_view name) override;

    void clear();

protected:
    // Called after every change that took effect.
    virtual void changed() {}

private:
    struct Node;
    Node* find(const KeyLevels& key) const;
    std::unique_ptr<Node> root_;
};

// The user's settings file: a text file in the REGEDIT4 form, one section per key
// ("[HKEY_CURRENT_USER\Software\Tarnwell]") and one line per value
// ("\"Name\"=dword:00000001", "=\"text\"", "=hex:01,02", "=hex(7):..."). It is
// read when the backend is made and written, whole and atomically, soon after a
// change (so a crash loses at most the last moment), by sync() and when the
// backend is destroyed, whenever something changed.
class FileSettingsBackend : public MemorySettingsBackend {
public:
    // A change waits this long for the rest of its burst (a window layout is a
    // thousand values), so the burst makes one write.
    static constexpr int kWriteDelayMs = 500;

    // Arranges for `write` to run later. It is asked once per burst: at the first
    // change after the last write. `write` may run after the backend is gone; it
    // then does nothing.
    using WriteScheduler = std::function<void(std::function<void()> write)>;
    // The default: kWriteDelayMs (or delayMs) later on the event loop of the thread
    // that made the change; at once on a thread without an event loop.
    static WriteScheduler eventLoopScheduler(int delayMs = kWriteDelayMs);

    // An empty path means the default file in the user's configuration folder.
    explicit FileSettingsBackend(const QString& path = {});
    ~FileSettingsBackend() override;

    // Replaces the default scheduler (tests run the write when they like).
    void setWriteScheduler(WriteScheduler scheduler);

    static QString defaultPath();
    const QString& path() const { return path_; }

    // Reads the file again, replacing what is in memory. A missing file is an
    // empty store. Lines that cannot be understood are skipped and reported.
    bool load(QString* error = nullptr);
    // Writes the file when something changed since the last load or sync.
    bool sync(QString* error = nullptr);
    bool isDirty() const { return dirty_; }

    // The file text of a whole store, and the reverse (into an emptied store).
    static std::string toText(const SettingsBackend& store);
    static bool fromText(std::string_view text, SettingsBackend& store, QString* error = nullptr);

protected:
    void changed() override;

private:
    QString path_;
    bool dirty_ = false;
    bool keepBackup_ = false;  // the file had parts we could not read: copy it before saving
    bool loading_ = false;     // changes come from the file itself
    bool writeScheduled_ = false;
    WriteScheduler scheduler_;
    // Scheduled writes hold it weakly: one that runs after the backend is gone
    // finds it expired.
    std::shared_ptr<FileSettingsBackend*> self_;
};

#ifdef _WIN32
// The user's part of the Windows registry (HKEY_CURRENT_USER). Names are the
// program's 8-bit text and reach the registry in the system code page, as the
// analyzer always kept them.
class RegistrySettingsBackend : public SettingsBackend {
public:
    bool hasKey(const KeyLevels& key) const override;
    bool createKey(const KeyLevels& key) override;
    bool deleteKey(const KeyLevels& key) override;
    std::vector<std::string> subKeyNames(const KeyLevels& key) const override;
    std::vector<std::string> valueNames(const KeyLevels& key) const override;
    std::optional<SettingsValue> value(const KeyLevels& key, std::string_view name) const override;
    bool setValue(const KeyLevels& key, std::string_view name, SettingsValue value) override;
    bool deleteValue(const KeyLevels& key, std::string_view name) override;
};
#endif

// The user's settings store: the registry below HKEY_CURRENT_USER on Windows,
// the settings file at FileSettingsBackend::defaultPath() elsewhere.
std::unique_ptr<SettingsBackend> CreateUserSettingsBackend();

enum class KeyAccess : unsigned { Read = 1, Write = 2, ReadWrite = 3 };

// An open key: where it is and what it may do.
class SettingsKey {
public:
    SettingsKey(SettingsBackend& backend, KeyLevels levels, KeyAccess access);
    // The root of the user's store, with full access.
    static SettingsKey Root(SettingsBackend& backend);

    SettingsBackend& backend() const { return *backend_; }
    const KeyLevels& levels() const { return levels_; }
    KeyAccess access() const { return access_; }
    bool canRead() const;
    bool canWrite() const;
    // The key of a direct sub-key name (not checked for existence).
    SettingsKey child(const std::string& name, KeyAccess access) const;

private:
    SettingsBackend* backend_;
    KeyLevels levels_;
    KeyAccess access_;
};

// Splits a key path at its line feeds. A single trailing line feed is allowed;
// nothing when a level is empty or not a valid key name.
std::optional<KeyLevels> SplitKeyPath(std::string_view keyPath);

// Opens every level below root in turn, creating missing ones; the key with
// read and write access, or nothing when any level fails.
std::optional<SettingsKey> CreateKeyPath(std::string_view keyPath, const SettingsKey& root);
// Opens existing levels only; the last one with the given access.
std::optional<SettingsKey> OpenKeyPath(std::string_view keyPath, const SettingsKey& root,
                                       KeyAccess access);

std::int32_t ReadNumber(const SettingsKey& key, std::string_view name, std::int32_t def);
std::string ReadString(const SettingsKey& key, std::string_view name, std::string_view def);
// Reports the stored size through *size. Copies and succeeds only when the value
// is binary and fits capacity; with capacity 0 only asks for the size and succeeds
// for any binary value.
bool ReadBinary(const SettingsKey& key, std::string_view name, void* buffer, std::size_t capacity,
                std::size_t* size = nullptr);
// The string (or the default) split at line feeds; empty items between two line
// feeds are kept, an empty string gives no items.
std::vector<std::string> ReadStringList(const SettingsKey& key, std::string_view name,
                                        std::string_view def = {});

bool WriteNumber(const SettingsKey& key, std::string_view name, std::int32_t value);
bool WriteString(const SettingsKey& key, std::string_view name, std::string_view value);
bool WriteBinary(const SettingsKey& key, std::string_view name, const void* data, std::size_t size);
bool WriteStringList(const SettingsKey& key, std::string_view name,
                     const std::vector<std::string>& items);

// Environment files: a whole key sub-tree in a binary archive.
// Names up to 1024 characters and value data up to 8192 bytes fit the format.
inline constexpr std::size_t kEnvironmentNameLimit = 1024;
inline constexpr std::size_t kEnvironmentDataLimit = 8192;

// Writes the key and everything below it. Entries that do not fit the format
// (a value without a name, names or data beyond the limits) are left out and
// counted in *skipped.
bool StoreSubtree(const SettingsKey& key, QIODevice& out, QString* error = nullptr,
                  int* skipped = nullptr);
// Reads an environment archive into the key, creating every sub-key and setting
// every value with its stored type and bytes. With no key (or a sub-key that
// could not be created) the data are read and dropped. Fails on a damaged archive.
bool LoadSubtree(const SettingsKey* key, QIODevice& in, QString* error = nullptr);

}  // namespace platform
