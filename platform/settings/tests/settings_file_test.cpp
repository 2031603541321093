#include "platform/settings/SettingsStore.h"
#include "platform/testing/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform {
namespace {

std::string readFile(const QString& path) {
    return platform::testing::readFileBytes(path).value_or("<missing>");
}

void writeFile(const QString& path, const std::string& text) {
    ASSERT_TRUE(platform::testing::writeFileBytes(path, text)) << path.toStdString();
}

void fill(SettingsBackend& store) {
    const SettingsKey root = SettingsKey::Root(store);
    const auto options = CreateKeyPath("Software\nTarnwell\nVoltaro\nOptions", root);
    ASSERT_TRUE(options);
    ASSERT_TRUE(CreateKeyPath("Software\nTarnwell\nVoltaro\nMainWnd", root));
    WriteNumber(*options, "CommPortIndex", 2);
    WriteString(*options, "Formula_User1", "U*I \"x\" \\ \xE8");
    WriteBinary(*options, "CommPortSetup", "\x1C\x00\xFF", 3);
    WriteStringList(*options, "List", {"a", "b"});
    store.setValue(options->levels(), "Other", SettingsValue{0x1234, "raw"});
    WriteString(root, "", "top");
}

const std::string kFilledText =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER]\r\n"
    "@=\"top\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Tarnwell]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Tarnwell\\Voltaro]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Tarnwell\\Voltaro\\MainWnd]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Tarnwell\\Voltaro\\Options]\r\n"
    "\"CommPortIndex\"=dword:00000002\r\n"
    "\"Formula_User1\"=\"U*I \\\"x\\\" \\\\ \xE8\"\r\n"
    "\"CommPortSetup\"=hex:1c,00,ff\r\n"
    "\"List\"=hex(1):61,0a,62,00\r\n"
    "\"Other\"=hex(1234):72,61,77\r\n"
    "\r\n";

TEST(SettingsFile, WritesKeysAndTypedValuesAsRegistryText) {
    MemorySettingsBackend store;
    fill(store);
    EXPECT_EQ(FileSettingsBackend::toText(store), kFilledText);
}

TEST(SettingsFile, ReadsItsOwnTextBackIntoTheSameTree) {
    MemorySettingsBackend store;
    QString error;
    ASSERT_TRUE(FileSettingsBackend::fromText(kFilledText, store, &error)) << error.toStdString();
    EXPECT_EQ(FileSettingsBackend::toText(store), kFilledText);
    const auto options = OpenKeyPath("Software\nTarnwell\nVoltaro\nOptions",
                                     SettingsKey::Root(store), KeyAccess::Read);
    ASSERT_TRUE(options);
    EXPECT_EQ(ReadNumber(*options, "CommPortIndex", 0), 2);
    EXPECT_EQ(ReadString(*options, "Formula_User1", ""), "U*I \"x\" \\ \xE8");
    EXPECT_EQ(ReadStringList(*options, "List"), (std::vector<std::string>{"a", "b"}));
}

TEST(SettingsFile, AcceptsHandWrittenTextAndReportsWhatItCannotRead) {
    const std::string text =
        "REGEDIT4\n"
        "; a comment\n"
        "[HKEY_CURRENT_USER\\A\\B]\n"
        "\"Long\"=hex:01,02,\\\n"
        "  03,0A\n"
        "\"Word\"=dword:0000FFFF\n"
        "\"Odd\"=dword:123\n"
        "strange line\n"
        "[HKEY_LOCAL_MACHINE\\X]\n"
        "\"Lost\"=dword:00000001\n"
        "[HKEY_CURRENT_USER\\C]\n"
        "@=\"default\"\n";
    MemorySettingsBackend store;
    QString error;
    EXPECT_FALSE(FileSettingsBackend::fromText(text, store, &error));
    EXPECT_EQ(error.count(QLatin1Char('\n')) + 1, 4) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("line 7"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("line 8"))) << error.toStdString();

    EXPECT_EQ(store.value({"A", "B"}, "Long"), (SettingsValue{kTypeBinary, "\x01\x02\x03\x0A"}));
    EXPECT_EQ(ReadNumber(SettingsKey(store, {"A", "B"}, KeyAccess::Read), "Word", 0), 0xFFFF);
    EXPECT_FALSE(store.value({"A", "B"}, "Odd"));
    EXPECT_FALSE(store.hasKey({"X"}));
    EXPECT_EQ(ReadString(SettingsKey(store, {"C"}, KeyAccess::Read), "", ""), "default");
}

class SettingsFileOnDisk : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("config/settings.reg")); }
    QTemporaryDir dir;
};

TEST_F(SettingsFileOnDisk, KeepsSettingsBetweenRuns) {
    {
        FileSettingsBackend store(path());
        EXPECT_FALSE(store.isDirty());
        fill(store);
        EXPECT_TRUE(store.isDirty());
    }  // saved when the store goes away
    EXPECT_EQ(readFile(path()), kFilledText);

    FileSettingsBackend again(path());
    EXPECT_FALSE(again.isDirty());
    EXPECT_EQ(FileSettingsBackend::toText(again), kFilledText);
}

TEST_F(SettingsFileOnDisk, SavesOnlyWhenSomethingChanged) {
    {
        FileSettingsBackend store(path());
        fill(store);
        QString error;
        ASSERT_TRUE(store.sync(&error)) << error.toStdString();
    }
    ASSERT_TRUE(QFile::remove(path()));
    {
        FileSettingsBackend store(path());  // reads nothing: the file is gone
        const SettingsKey root = SettingsKey::Root(store);
        CreateKeyPath("A", root);
        ASSERT_TRUE(store.sync());
        EXPECT_EQ(readFile(path()), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\r\n");
        ASSERT_TRUE(QFile::remove(path()));
        WriteNumber(*OpenKeyPath("A", root, KeyAccess::Write), "n", 1);
        WriteNumber(*OpenKeyPath("A", root, KeyAccess::Write), "n", 1);
        ASSERT_TRUE(store.sync());
        ASSERT_TRUE(QFile::remove(path()));
        WriteNumber(*OpenKeyPath("A", root, KeyAccess::Write), "n", 1);  // the same value
        EXPECT_FALSE(store.isDirty());
    }
    EXPECT_EQ(readFile(path()), "<missing>");
}

TEST_F(SettingsFileOnDisk, AFileWithUnreadablePartsIsKeptAsABackupBeforeSaving) {
    const std::string damaged = "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=garbage\r\n";
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("config"))));
    writeFile(path(), damaged);
    FileSettingsBackend store(path());
    QString error;
    EXPECT_FALSE(store.load(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(store.hasKey({"A"}));
    WriteNumber(SettingsKey::Root(store), "y", 1);
    ASSERT_TRUE(store.sync(&error)) << error.toStdString();
    EXPECT_EQ(readFile(path() + QStringLiteral(".bak")), damaged);
    EXPECT_EQ(readFile(path()),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER]\r\n\"y\"=dword:00000001\r\n\r\n"
              "[HKEY_CURRENT_USER\\A]\r\n\r\n");
}

TEST_F(SettingsFileOnDisk, AFailedSaveIsReportedAndTriedAgainLater) {
    // "config" is a file, so the settings folder cannot be made.
    writeFile(dir.filePath(QStringLiteral("config")), "in the way");
    FileSettingsBackend store(path());
    CreateKeyPath("New", SettingsKey::Root(store));
    QString error;
    EXPECT_FALSE(store.sync(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(store.isDirty()) << "still to be saved";

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("config"))));
    EXPECT_TRUE(store.sync(&error)) << error.toStdString();
    EXPECT_EQ(readFile(path()), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\New]\r\n\r\n");
}

// A crash must not take the changes of the whole run with it: the file is
// written while the program still runs, once per burst of changes.
TEST_F(SettingsFileOnDisk, ABurstOfChangesIsWrittenWhileTheStoreLives) {
    std::vector<std::function<void()>> scheduled;
    auto store = std::make_unique<FileSettingsBackend>(path());
    store->setWriteScheduler([&](std::function<void()> write) { scheduled.push_back(write); });
    fill(*store);
    ASSERT_EQ(scheduled.size(), 1u) << "one write for the whole burst";
    EXPECT_EQ(readFile(path()), "<missing>") << "nothing written before the burst is over";

    scheduled[0]();
    EXPECT_EQ(readFile(path()), kFilledText);
    EXPECT_FALSE(store->isDirty());

    // The next change asks for a write of its own.
    const SettingsKey root = SettingsKey::Root(*store);
    WriteNumber(*OpenKeyPath("Software\nTarnwell\nVoltaro\nOptions", root, KeyAccess::Write),
                "CommPortIndex", 3);
    ASSERT_EQ(scheduled.size(), 2u);
    scheduled[1]();
    FileSettingsBackend onDisk(path());
    EXPECT_EQ(ReadNumber(*OpenKeyPath("Software\nTarnwell\nVoltaro\nOptions",
                                      SettingsKey::Root(onDisk), KeyAccess::Read),
                         "CommPortIndex", 0),
              3);

    // Reading the file is no change; a write left over from a store that is gone
    // does nothing.
    store->load();
    EXPECT_EQ(scheduled.size(), 2u);
    WriteNumber(root, "late", 1);
    ASSERT_EQ(scheduled.size(), 3u);
    store.reset();  // writes on its way out
    ASSERT_TRUE(QFile::remove(path()));
    scheduled[2]();
    EXPECT_EQ(readFile(path()), "<missing>");
}

TEST_F(SettingsFileOnDisk, AFailedEarlyWriteIsTriedAgainWithTheNextChange) {
    std::vector<std::function<void()>> scheduled;
    writeFile(dir.filePath(QStringLiteral("config")), "in the way");
    FileSettingsBackend store(path());
    store.setWriteScheduler([&](std::function<void()> write) { scheduled.push_back(write); });
    CreateKeyPath("New", SettingsKey::Root(store));
    ASSERT_EQ(scheduled.size(), 1u);
    scheduled[0]();
    EXPECT_TRUE(store.isDirty());
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("config"))));
    CreateKeyPath("Next", SettingsKey::Root(store));
    ASSERT_EQ(scheduled.size(), 2u);
    scheduled[1]();
    EXPECT_EQ(readFile(path()),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\New]\r\n\r\n[HKEY_CURRENT_USER\\Next]\r\n\r\n");
}

TEST_F(SettingsFileOnDisk, TheEventLoopRunsTheWrite) {
    FileSettingsBackend store(path());
    store.setWriteScheduler(FileSettingsBackend::eventLoopScheduler(0));
    fill(store);
    EXPECT_EQ(readFile(path()), "<missing>") << "the write waits for the event loop";
    // A zero timer is due at once; the bound only keeps a broken build from hanging.
    for (int round = 0; round < 1000 && store.isDirty(); ++round)
        QCoreApplication::processEvents();
    EXPECT_EQ(readFile(path()), kFilledText);
}

TEST_F(SettingsFileOnDisk, WithoutAnEventLoopEveryChangeIsWrittenAtOnce) {
    FileSettingsBackend store(path());
    std::thread worker([&] {
        // A plain thread has no event dispatcher.
        WriteNumber(SettingsKey::Root(store), "n", 7);
    });
    worker.join();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(readFile(path()),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER]\r\n\"n\"=dword:00000007\r\n\r\n");
}

TEST(SettingsFileDefault, LivesInTheUsersConfigurationFolder) {
    const QString path = FileSettingsBackend::defaultPath();
    EXPECT_TRUE(path.endsWith(QLatin1String("/settings.reg"))) << path.toStdString();
    EXPECT_TRUE(QDir::isAbsolutePath(path));
}

}  // namespace
}  // namespace platform
