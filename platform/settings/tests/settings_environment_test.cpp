#include "platform/settings/SettingsStore.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform {
namespace {

std::string stored(const SettingsKey& key, int* skipped = nullptr) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(StoreSubtree(key, buffer, &error, skipped)) << error.toStdString();
    return buffer.data().toStdString();
}

bool load(const SettingsKey* key, const std::string& bytes, QString* error = nullptr,
          qint64* consumed = nullptr) {
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const bool ok = LoadSubtree(key, buffer, error);
    if (consumed)
        *consumed = buffer.pos();
    return ok;
}

// The default environment embedded in the analyzer starts like this: the
// command manager's key with one two-byte binary value.
const std::string kDefaultEnvironmentStart(
    "\x01\x00\x00\x00"
    "\x11"
    "BCGCommandManager"
    "\x01\x00\x00\x00"
    "\x00"
    "\x15"
    "CommandsWithoutImages"
    "\x03\x00\x00\x00"
    "\x02\x00"
    "\x00\x00"
    "\x00",
    4 + 1 + 17 + 4 + 1 + 1 + 21 + 4 + 2 + 2 + 1);
// ... and the outer key ends its sub-keys and its (empty) values.
const std::string kDefaultEnvironment = kDefaultEnvironmentStart + std::string("\x00\x00", 2);

class EnvironmentTest : public ::testing::Test {
protected:
    SettingsKey workspace() {
        auto key =
            CreateKeyPath("Software\nTarnwell\nVoltaro\nWorkspace", SettingsKey::Root(store));
        EXPECT_TRUE(key);
        return *key;
    }
    MemorySettingsBackend store;
};

TEST_F(EnvironmentTest, StoresTheDefaultEnvironmentByteForByte) {
    const SettingsKey key = workspace();
    const auto manager = CreateKeyPath("BCGCommandManager", key);
    ASSERT_TRUE(manager);
    ASSERT_TRUE(WriteBinary(*manager, "CommandsWithoutImages", "\0\0", 2));
    EXPECT_EQ(stored(key), kDefaultEnvironment);
}

TEST_F(EnvironmentTest, LoadsTheDefaultEnvironmentIntoAKey) {
    const SettingsKey key = workspace();
    QString error;
    qint64 consumed = 0;
    // Bytes after the archive belong to someone else and stay unread.
    ASSERT_TRUE(load(&key, kDefaultEnvironment + "tail", &error, &consumed)) << error.toStdString();
    EXPECT_EQ(consumed, static_cast<qint64>(kDefaultEnvironment.size()));
    EXPECT_EQ(store.subKeyNames(key.levels()), std::vector<std::string>{"BCGCommandManager"});
    KeyLevels manager = key.levels();
    manager.push_back("BCGCommandManager");
    EXPECT_EQ(store.value(manager, "CommandsWithoutImages"),
              (SettingsValue{kTypeBinary, std::string(2, '\0')}));
}

TEST_F(EnvironmentTest, ATreeRoundTripsWithTypesOrderAndTheSizeLimits) {
    MemorySettingsBackend source;
    const SettingsKey from = SettingsKey::Root(source);
    const std::string longName(kEnvironmentNameLimit, 'n');
    const std::string mediumName(300, 'm');  // needs the long length prefix
    const std::string bigData(kEnvironmentDataLimit, '\xA5');
    auto bars = CreateKeyPath("Bars\nBar-59392", from);
    auto frame = CreateKeyPath("MainFrame", from);
    auto deep = CreateKeyPath("Bars\nBar-59392\n" + mediumName, from);
    ASSERT_TRUE(bars && frame && deep);
    WriteNumber(*bars, "Visible", 1);
    WriteBinary(*bars, "Rect", bigData.data(), bigData.size());
    WriteString(*bars, longName, "long name");
    WriteStringList(*frame, "Recent", {"a", "", "b"});
    source.setValue(frame->levels(), "Other", SettingsValue{0x1234, "raw"});
    WriteNumber(*frame, "Alpha", 2);
    WriteString(from, "TopValue", "x");

    const std::string bytes = stored(from);
    const SettingsKey to = SettingsKey::Root(store);
    QString error;
    ASSERT_TRUE(load(&to, bytes, &error)) << error.toStdString();
    EXPECT_EQ(FileSettingsBackend::toText(store), FileSettingsBackend::toText(source));
    EXPECT_EQ(store.valueNames(frame->levels()),
              (std::vector<std::string>{"Recent", "Other", "Alpha"}));
    EXPECT_EQ(stored(to), bytes) << "stored again: the same bytes";
}

TEST_F(EnvironmentTest, EntriesThatDoNotFitTheFormatAreLeftOut) {
    const SettingsKey key = workspace();
    WriteNumber(key, "", 1);  // would read as the end of the values
    WriteString(key, std::string(kEnvironmentNameLimit + 1, 'n'), "x");
    const std::string tooBig(kEnvironmentDataLimit + 1, 'd');
    WriteBinary(key, "Big", tooBig.data(), tooBig.size());
    WriteNumber(key, "Kept", 5);
    int skipped = 0;
    const std::string bytes = stored(key, &skipped);
    EXPECT_EQ(skipped, 3);
    EXPECT_EQ(bytes, std::string("\x01\x00\x00\x00"
                                 "\x00"
                                 "\x04Kept\x04\x00\x00\x00\x04\x00\x05\x00\x00\x00"
                                 "\x00",
                                 4 + 1 + 5 + 4 + 2 + 4 + 1));
}

TEST_F(EnvironmentTest, WithoutAKeyTheArchiveIsReadAndDropped) {
    qint64 consumed = 0;
    EXPECT_TRUE(load(nullptr, kDefaultEnvironment + "after", nullptr, &consumed));
    EXPECT_EQ(consumed, static_cast<qint64>(kDefaultEnvironment.size()));
    EXPECT_TRUE(store.subKeyNames({}).empty());

    // A key that cannot take sub-keys drops what would go below it.
    const SettingsKey key = workspace();
    const auto readOnly = OpenKeyPath("", key, KeyAccess::Read);
    ASSERT_TRUE(readOnly);
    EXPECT_TRUE(load(&*readOnly, kDefaultEnvironment));
    EXPECT_TRUE(store.subKeyNames(key.levels()).empty());
}

TEST_F(EnvironmentTest, EveryTruncationIsAnError) {
    const SettingsKey key = workspace();
    for (std::size_t n = 0; n < kDefaultEnvironment.size(); ++n) {
        QString error;
        EXPECT_FALSE(load(&key, kDefaultEnvironment.substr(0, n), &error)) << n << " bytes";
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(EnvironmentTest, DamagedLengthsAreRefusedBeforeAnythingIsAllocated) {
    const SettingsKey key = workspace();
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"name beyond the limit", std::string("\x01\x00\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 11)},
        {"wide-character marker", std::string("\x01\x00\x00\x00\xFF\xFE\xFF\x03", 8)},
        {"value data beyond the limit",
         std::string("\x01\x00\x00\x00\x00\x01v\x03\x00\x00\x00\xFF\xFF\x00\x00\x00\x80", 17)},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(load(&key, c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

std::string nested(int depth) {
    std::string bytes;
    for (int i = 0; i < depth; ++i)
        bytes += std::string("\x01\x00\x00\x00\x01k", 6);
    bytes += std::string("\x01\x00\x00\x00", 4);
    bytes += std::string(static_cast<std::size_t>(depth) * 2 + 2, '\0');
    return bytes;
}

TEST_F(EnvironmentTest, DeepNestingIsRefused) {
    const SettingsKey key = workspace();
    QString error;
    EXPECT_TRUE(load(&key, nested(100), &error)) << error.toStdString();
    EXPECT_FALSE(load(&key, nested(600), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(EnvironmentStrings, LengthPrefixesSwitchAt255) {
    const struct {
        std::size_t length;
        std::string prefix;
    } cases[] = {
        {1, std::string("\x01", 1)},
        {254, std::string("\xFE", 1)},
        {255, std::string("\xFF\xFF\x00", 3)},
        {1024, std::string("\xFF\x00\x04", 3)},
    };
    for (const auto& c : cases) {
        MemorySettingsBackend store;
        const SettingsKey root = SettingsKey::Root(store);
        WriteNumber(root, std::string(c.length, 'v'), 1);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(StoreSubtree(root, buffer));
        // After the marker and the end of the (absent) sub-keys.
        EXPECT_EQ(buffer.data().toStdString().substr(5, c.prefix.size()), c.prefix) << c.length;
    }
}

TEST(EnvironmentStrings, LongFormPrefixesAreReadToo) {
    // A name "Alpha" written with the word and the double-word length forms.
    for (const std::string& prefix :
         {std::string("\xFF\x05\x00", 3), std::string("\xFF\xFF\xFF\x05\x00\x00\x00", 7)}) {
        MemorySettingsBackend store;
        const SettingsKey root = SettingsKey::Root(store);
        const std::string bytes =
            std::string("\x01\x00\x00\x00\x00", 5) + prefix +
            std::string("Alpha\x04\x00\x00\x00\x04\x00\x09\x00\x00\x00\x00", 16);
        QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QString error;
        ASSERT_TRUE(LoadSubtree(&root, buffer, &error)) << error.toStdString();
        EXPECT_EQ(ReadNumber(root, "Alpha", 0), 9);
    }
}

}  // namespace
}  // namespace platform
