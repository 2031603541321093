#include "platform/settings/SettingsStore.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

const char kOptions[] = "Software\nTarnwell\nVoltaro\nOptions";

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsKey options() {
        auto key = CreateKeyPath(kOptions, root);
        EXPECT_TRUE(key.has_value());
        return *key;
    }
    MemorySettingsBackend store;
    SettingsKey root = SettingsKey::Root(store);
};

TEST_F(SettingsStoreTest, CreateKeyPathMakesEveryMissingLevel) {
    const auto key = CreateKeyPath(kOptions, root);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->levels(), (KeyLevels{"Software", "Tarnwell", "Voltaro", "Options"}));
    EXPECT_TRUE(key->canRead());
    EXPECT_TRUE(key->canWrite());
    EXPECT_EQ(store.subKeyNames({}), std::vector<std::string>{"Software"});
    EXPECT_EQ(store.subKeyNames({"Software"}), std::vector<std::string>{"Tarnwell"});
    EXPECT_EQ(store.subKeyNames({"Software", "Tarnwell"}), std::vector<std::string>{"Voltaro"});
    EXPECT_EQ(store.subKeyNames({"Software", "Tarnwell", "Voltaro"}),
              std::vector<std::string>{"Options"});
    EXPECT_TRUE(store.subKeyNames(key->levels()).empty());

    // Again: the same key, nothing new.
    const auto again = CreateKeyPath("software\ntarnwell\nvoltaro\noptions", root);
    ASSERT_TRUE(again);
    EXPECT_EQ(store.subKeyNames({"Software", "Tarnwell", "Voltaro"}),
              std::vector<std::string>{"Options"});
}

TEST_F(SettingsStoreTest, KeyPathsAreCheckedLevelByLevel) {
    const struct {
        const char* path;
        bool valid;
        KeyLevels levels;
    } cases[] = {
        {"", true, {}},
        {"Software\nTarnwell\nVoltaro\n", true, {"Software", "Tarnwell", "Voltaro"}},
        {"A", true, {"A"}},
        {"A\n\nB", false, {}},
        {"\nA", false, {}},
        {"A\n\n", false, {}},
        {"A\\B", false, {}},
        {"A\nB\tC", false, {}},
    };
    for (const auto& c : cases) {
        const auto levels = SplitKeyPath(c.path);
        EXPECT_EQ(levels.has_value(), c.valid) << '"' << c.path << '"';
        if (levels) {
            EXPECT_EQ(*levels, c.levels);
        }
        EXPECT_EQ(CreateKeyPath(c.path, root).has_value(), c.valid) << '"' << c.path << '"';
    }
    // The failed paths created nothing.
    EXPECT_EQ(store.subKeyNames({}), (std::vector<std::string>{"A", "Software"}));
}

TEST_F(SettingsStoreTest, OpenKeyPathOpensOnlyExistingKeysWithTheAskedAccess) {
    EXPECT_FALSE(OpenKeyPath(kOptions, root, KeyAccess::Read));
    EXPECT_TRUE(store.subKeyNames({}).empty()) << "opening creates nothing";
    ASSERT_TRUE(CreateKeyPath(kOptions, root));

    const auto reading = OpenKeyPath(kOptions, root, KeyAccess::Read);
    ASSERT_TRUE(reading);
    EXPECT_FALSE(WriteNumber(*reading, "CommPortIndex", 3));
    EXPECT_EQ(ReadNumber(*reading, "CommPortIndex", -1), -1);

    const auto writing = OpenKeyPath(kOptions, root, KeyAccess::Write);
    ASSERT_TRUE(writing);
    EXPECT_TRUE(WriteNumber(*writing, "CommPortIndex", 3));
    EXPECT_EQ(ReadNumber(*writing, "CommPortIndex", -1), -1) << "no read access";
    EXPECT_EQ(ReadNumber(*reading, "CommPortIndex", -1), 3);

    // A read-only key cannot grow sub-keys.
    const auto voltaro = OpenKeyPath("Software\nTarnwell\nVoltaro", root, KeyAccess::Read);
    ASSERT_TRUE(voltaro);
    EXPECT_FALSE(CreateKeyPath("MainWnd", *voltaro));
    EXPECT_TRUE(CreateKeyPath("Options", *voltaro)) << "existing levels are only opened";
}

TEST_F(SettingsStoreTest, ValuesReadBackWithTheirTypes) {
    const SettingsKey key = options();
    EXPECT_TRUE(WriteNumber(key, "KeepReceiverOn", 1));
    EXPECT_TRUE(WriteNumber(key, "Negative", -2));
    EXPECT_TRUE(WriteString(key, "Formula_User1", "U*I"));
    const unsigned char dcb[5] = {0x1C, 0, 0, 0, 0x80};
    EXPECT_TRUE(WriteBinary(key, "CommPortSetup", dcb, sizeof dcb));

    EXPECT_EQ(ReadNumber(key, "KeepReceiverOn", 0), 1);
    EXPECT_EQ(ReadNumber(key, "Negative", 0), -2);
    EXPECT_EQ(ReadString(key, "Formula_User1", "none"), "U*I");
    unsigned char back[28] = {};
    std::size_t size = 0;
    EXPECT_TRUE(ReadBinary(key, "CommPortSetup", back, sizeof back, &size));
    EXPECT_EQ(size, sizeof dcb);
    EXPECT_EQ(std::memcmp(back, dcb, sizeof dcb), 0);

    // The stored forms: numbers as four bytes, strings with their NUL.
    EXPECT_EQ(store.value(key.levels(), "Negative"),
              (SettingsValue{kTypeNumber, std::string("\xFE\xFF\xFF\xFF", 4)}));
    EXPECT_EQ(store.value(key.levels(), "Formula_User1"),
              (SettingsValue{kTypeString, std::string("U*I\0", 4)}));
    // Names compare without case.
    EXPECT_EQ(ReadString(key, "FORMULA_USER1", ""), "U*I");
}

TEST_F(SettingsStoreTest, AValueOfAnotherTypeReadsAsTheDefault) {
    const SettingsKey key = options();
    WriteString(key, "Text", "7");
    WriteNumber(key, "Number", 7);
    const char bytes[4] = {7, 0, 0, 0};
    WriteBinary(key, "Binary", bytes, 4);
    store.setValue(key.levels(), "ShortNumber", SettingsValue{kTypeNumber, std::string("\x07", 1)});
    store.setValue(key.levels(), "Expand", SettingsValue{kTypeExpandString, std::string("x\0", 2)});

    const struct {
        const char* name;
        bool number, string, binary;
    } cases[] = {
        {"Text", false, true, false},    {"Number", true, false, false},
        {"Binary", false, false, true},  {"ShortNumber", false, false, false},
        {"Expand", false, false, false}, {"Missing", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadNumber(key, c.name, -5), c.number ? 7 : -5) << c.name;
        EXPECT_EQ(ReadString(key, c.name, "default"), c.string ? "7" : "default") << c.name;
        char buffer[8];
        EXPECT_EQ(ReadBinary(key, c.name, buffer, sizeof buffer), c.binary) << c.name;
    }
}

TEST_F(SettingsStoreTest, ReadBinaryReportsTheSizeAndNeedsRoom) {
    const SettingsKey key = options();
    const std::string data(28, '\x5A');
    WriteBinary(key, "CommPortSetup", data.data(), data.size());
    WriteString(key, "Text", "abc");

    std::size_t size = 0;
    EXPECT_TRUE(ReadBinary(key, "CommPortSetup", nullptr, 0, &size)) << "size query";
    EXPECT_EQ(size, 28u);

    char small[27];
    std::memset(small, 0, sizeof small);
    size = 0;
    EXPECT_FALSE(ReadBinary(key, "CommPortSetup", small, sizeof small, &size));
    EXPECT_EQ(size, 28u);
    EXPECT_EQ(small[0], 0) << "nothing copied";

    EXPECT_FALSE(ReadBinary(key, "Text", nullptr, 0, &size)) << "not binary";
    EXPECT_FALSE(ReadBinary(key, "Missing", nullptr, 0, &size));
    EXPECT_EQ(size, 0u);

    WriteBinary(key, "Empty", nullptr, 0);
    EXPECT_TRUE(ReadBinary(key, "Empty", small, sizeof small, &size));
    EXPECT_EQ(size, 0u);
}

TEST_F(SettingsStoreTest, StringListsSplitAtLineFeeds) {
    const SettingsKey key = options();
    const struct {
        std::string stored;
        std::vector<std::string> items;
    } cases[] = {
        {"a\n\nb", {"a", "", "b"}}, {"", {}},         {"one", {"one"}},
        {"x\n", {"x", ""}},         {"\n", {"", ""}},
    };
    for (const auto& c : cases) {
        WriteString(key, "List", c.stored);
        EXPECT_EQ(ReadStringList(key, "List"), c.items) << '"' << c.stored << '"';
    }
    EXPECT_EQ(ReadStringList(key, "Missing", "d1\nd2"), (std::vector<std::string>{"d1", "d2"}));
    EXPECT_TRUE(ReadStringList(key, "Missing").empty());

    const std::vector<std::string> files = {"C:\\a.vtr", "", "b.vtr"};
    EXPECT_TRUE(WriteStringList(key, "Recent", files));
    EXPECT_EQ(ReadString(key, "Recent", ""), "C:\\a.vtr\n\nb.vtr");
    EXPECT_EQ(ReadStringList(key, "Recent"), files);
}

TEST_F(SettingsStoreTest, SubKeysEnumerateByNameValuesInTheOrderFirstSet) {
    for (const char* name : {"b", "C", "a", "B2"})
        ASSERT_TRUE(CreateKeyPath(name, root));
    EXPECT_EQ(store.subKeyNames({}), (std::vector<std::string>{"a", "b", "B2", "C"}));

    const SettingsKey key = options();
    WriteNumber(key, "zeta", 1);
    WriteNumber(key, "alpha", 2);
    WriteNumber(key, "Zeta", 3);  // the same value: keeps its place and its name
    EXPECT_EQ(store.valueNames(key.levels()), (std::vector<std::string>{"zeta", "alpha"}));
    EXPECT_EQ(ReadNumber(key, "zeta", 0), 3);

    EXPECT_TRUE(store.deleteValue(key.levels(), "ZETA"));
    EXPECT_EQ(store.valueNames(key.levels()), std::vector<std::string>{"alpha"});
    EXPECT_TRUE(store.deleteKey({"Software"}));
    EXPECT_FALSE(OpenKeyPath(kOptions, root, KeyAccess::Read));
    EXPECT_FALSE(store.deleteKey({}));
}

TEST_F(SettingsStoreTest, NamesThatCannotBeStoredAreRefused) {
    const SettingsKey key = options();
    EXPECT_FALSE(WriteNumber(key, "bad\nname", 1));
    EXPECT_TRUE(WriteNumber(key, "", 1)) << "the key's default value";
    EXPECT_EQ(ReadNumber(key, "", 0), 1);
    EXPECT_FALSE(store.createKey({"Software", "x\\y"}));
    EXPECT_FALSE(store.createKey({"Nowhere", "x"})) << "parent missing";
}

TEST(UserSettings, AreTheRegistryOnWindowsAndTheSettingsFileElsewhere) {
    const std::unique_ptr<SettingsBackend> store = CreateUserSettingsBackend();
    ASSERT_TRUE(store);
#ifdef _WIN32
    // A scratch key below HKEY_CURRENT_USER, removed again at the end.
    const std::string scratch = "SettingsTest" + std::to_string(QCoreApplication::applicationPid());
    const SettingsKey root = SettingsKey::Root(*store);
    const auto key = CreateKeyPath("Software\nTarnwell\n" + scratch + "\nOptions", root);
    ASSERT_TRUE(key);
    ASSERT_TRUE(CreateKeyPath("B", *key) && CreateKeyPath("a", *key));
    EXPECT_TRUE(WriteNumber(*key, "Number", -7));
    EXPECT_TRUE(WriteString(*key, "Text", "P\xF8\xEDli\x9A"));
    EXPECT_TRUE(WriteBinary(*key, "Bytes", "\0\x01\xFF", 3));
    EXPECT_TRUE(WriteStringList(*key, "List", {"a", "", "b"}));

    // Another store of the same user sees it all, with the types.
    const std::unique_ptr<SettingsBackend> other = CreateUserSettingsBackend();
    const auto read = OpenKeyPath("Software\nTarnwell\n" + scratch + "\nOptions",
                                  SettingsKey::Root(*other), KeyAccess::Read);
    ASSERT_TRUE(read);
    EXPECT_EQ(ReadNumber(*read, "Number", 0), -7);
    EXPECT_EQ(ReadNumber(*read, "Text", 5), 5);
    EXPECT_EQ(ReadString(*read, "Text", ""), "P\xF8\xEDli\x9A");
    char bytes[3] = {};
    std::size_t size = 0;
    EXPECT_TRUE(ReadBinary(*read, "Bytes", bytes, sizeof bytes, &size));
    EXPECT_EQ(std::string(bytes, size), std::string("\0\x01\xFF", 3));
    EXPECT_EQ(ReadStringList(*read, "List"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(other->subKeyNames(read->levels()), (std::vector<std::string>{"a", "B"}));
    // Values come in whatever order the registry enumerates them.
    std::vector<std::string> values = other->valueNames(read->levels());
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::string>{"Bytes", "List", "Number", "Text"}));

    EXPECT_TRUE(store->deleteKey({"Software", "Tarnwell", scratch}));
    EXPECT_FALSE(other->hasKey({"Software", "Tarnwell", scratch}));
#else
    const auto* file = dynamic_cast<const FileSettingsBackend*>(store.get());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->path(), FileSettingsBackend::defaultPath());
#endif
}

}  // namespace
}  // namespace platform
