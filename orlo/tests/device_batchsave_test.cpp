// The batch save of a download: names, skipped empty blocks, the overwrite
// question with each of its answers, and write failures.
#include "orlo/device/BatchSave.h"
#include "orlo/device/MemoryDownload.h"
#include "orlo/device/MemoryImageBuilder.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace orlo;
using platform::Button;
using platform::ScriptedPrompts;

// Three blocks: 3 samples with revolutions, none, 2 samples.
TOrloMemory threeBlocks() {
    const TBlockSpec specs[] = {{5, 0xE000, 2048, 100, 100, 0, 0, 3},
                                {5, 0xC000, 2048, 100, 100, 0, 0, 0},
                                {5, 0x8000, 2048, 100, 100, 0, 0, 2}};
    TOrloMemory mem;
    const TDecodeResult r = DecodeMemoryReply(BuildMemoryReply(specs), mem);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Blocks, 3);
    return mem;
}

QStringList orlFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("*.orl")}, QDir::Files, QDir::Name);
}

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(DeviceBatchSaveTest, NamesSkipEmptyBlocksAndKeepRevolutionsAsConverted) {
    struct Case {
        const char* fileName;
        QStringList expected;
    };
    const Case cases[] = {
        {"Blok", {"Blok000.orl", "Blok001.orl"}},
        {"Blok007.orl", {"Blok007.orl", "Blok008.orl"}},
        {"Blok007", {"Blok007000.orl", "Blok007001.orl"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        QTemporaryDir dir;
        const TOrloMemory mem = threeBlocks();
        TBatchSaveSettings s{dir.path(), QString::fromLatin1(c.fileName), {}};
        ScriptedPrompts prompts;
        const TBatchSaveResult r = SaveAllBlocks(mem, s, prompts, "7.3.2026 12:00:00");
        EXPECT_EQ(r.Count, 2);
        EXPECT_EQ(r.Text, QStringLiteral("2 files succesfully written."));
        EXPECT_EQ(orlFiles(dir.path()), c.expected);
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text, r.Text);
        EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Information);
        EXPECT_EQ(prompts.messages()[0].buttons, platform::Buttons(Button::Yes));

        // Read back, the first file equals the block as the main window converts it.
        TDataBlock saved, converted;
        const TReadResult rr = ReadDataFile(dir.filePath(c.expected[0]), saved);
        ASSERT_EQ(rr.Outcome, TReadOutcome::Ok) << rr.Message.toStdString();
        ASSERT_EQ(mem.BlockToRecord(0, converted, "x", nullptr), 3);
        EXPECT_EQ(saved.DateText, "7.3.2026 12:00:00");
        ASSERT_EQ(saved.Rpm.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(saved.Rpm[k], converted.Rpm[k], 0.005);
            EXPECT_NEAR(saved.Voltage[k], converted.Voltage[k], 0.005);
        }
        EXPECT_GT(saved.Rpm[0], 1000.0);  // times 60, not the raw count
    }
}

TEST(DeviceBatchSaveTest, OverwriteQuestionAnswers) {
    struct Case {
        const char* name;
        std::vector<Button> answers;
        QStringList existing;
        int count;
        int questions;
        bool firstReplaced;
    };
    const Case cases[] = {
        {"Yes replaces the file", {Button::Yes}, {"Blok000.orl"}, 2, 1, true},
        {"Yes to all stops asking", {Button::YesToAll}, {"Blok000.orl", "Blok001.orl"}, 2, 1, true},
        {"Yes asks again for the next",
         {Button::Yes, Button::Yes},
         {"Blok000.orl", "Blok001.orl"},
         2,
         2,
         true},
        {"Cancel ends the save", {Button::Cancel}, {"Blok000.orl"}, 0, 1, false},
        {"Cancel at the second file keeps the first",
         {Button::Yes, Button::Cancel},
         {"Blok000.orl", "Blok001.orl"},
         1,
         2,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        for (const QString& e : c.existing)
            touch(dir.filePath(e));
        const TOrloMemory mem = threeBlocks();
        TBatchSaveSettings s{dir.path(), QStringLiteral("Blok"), {}};
        ScriptedPrompts prompts;
        for (Button b : c.answers)
            prompts.answer(b);
        const TBatchSaveResult r = SaveAllBlocks(mem, s, prompts, "d");
        EXPECT_EQ(r.Count, c.count);
        int questions = 0;
        for (const auto& m : prompts.messages())
            if (m.buttons.has(Button::YesToAll)) {
                ++questions;
                EXPECT_TRUE(m.text.startsWith(QStringLiteral("Filename ") + dir.path()));
                EXPECT_TRUE(m.text.endsWith(QStringLiteral(".orl already exists. Rewrite?")));
            }
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(contents(dir.filePath(QStringLiteral("Blok000.orl"))) != "old", c.firstReplaced);
        EXPECT_TRUE(prompts.allAnswersUsed());
    }
}

TEST(DeviceBatchSaveTest, NoOpensTheSaveDialogAndGoesOnWithTheNewName) {
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("Blok000.orl")));
    const TOrloMemory mem = threeBlocks();
    TBatchSaveSettings s{dir.path(), QStringLiteral("Blok"), dir.filePath(QStringLiteral("Blok"))};
    ScriptedPrompts prompts;
    prompts.answer(Button::No);
    prompts.answerFile(dir.filePath(QStringLiteral("Flight005.orl")));
    const TBatchSaveResult r = SaveAllBlocks(mem, s, prompts, "d");
    EXPECT_EQ(r.Count, 2);
    EXPECT_EQ(orlFiles(dir.path()), (QStringList{"Blok000.orl", "Flight005.orl", "Flight006.orl"}));
    EXPECT_EQ(contents(dir.filePath(QStringLiteral("Blok000.orl"))), "old");
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    const auto& req = prompts.dialogs()[0].request;
    EXPECT_EQ(req.fileName, dir.filePath(QStringLiteral("Blok")));
    EXPECT_EQ(req.defaultSuffix, QStringLiteral("orl"));
    EXPECT_EQ(req.filter, QStringLiteral("*.orl (ORLO Data File) (*.orl);;*.* (All Files) (*)"));
    EXPECT_EQ(s.SaveEdit, dir.filePath(QStringLiteral("Flight005.orl")));
    EXPECT_EQ(s.DefaultFolder, dir.path());
    EXPECT_EQ(s.DefaultFileName, QStringLiteral("Flight005.orl"));
}

TEST(DeviceBatchSaveTest, NoWithTheDialogCancelledAsksAgainForTheSameFile) {
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("Blok000.orl")));
    const TOrloMemory mem = threeBlocks();
    TBatchSaveSettings s{dir.path(), QStringLiteral("Blok"), dir.filePath(QStringLiteral("Blok"))};
    ScriptedPrompts prompts;
    prompts.answer(Button::No);
    prompts.answerFile(std::nullopt);
    prompts.answer(Button::Cancel);
    const TBatchSaveResult r = SaveAllBlocks(mem, s, prompts, "d");
    EXPECT_EQ(r.Count, 0);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(prompts.dialogs().size(), 1u);
    EXPECT_EQ(orlFiles(dir.path()), QStringList{"Blok000.orl"});
}

TEST(DeviceBatchSaveTest, AFileThatCannotBeWrittenIsReportedAndTheSaveGoesOn) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Blok000.orl")));  // in the way
    const TOrloMemory mem = threeBlocks();
    TBatchSaveSettings s{dir.path(), QStringLiteral("Blok"), {}};
    ScriptedPrompts prompts;
    prompts.answer(Button::Yes);  // replace what is there
    const TBatchSaveResult r = SaveAllBlocks(mem, s, prompts, "d");
    EXPECT_EQ(r.Count, 1);
    EXPECT_EQ(r.Failed, QStringList{dir.filePath(QStringLiteral("Blok000.orl"))});
    EXPECT_EQ(orlFiles(dir.path()), QStringList{"Blok001.orl"});
    const QStringList texts = prompts.texts();
    ASSERT_EQ(texts.size(), 3);  // question, write error, closing box
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Error in writing file.\r\n")));
    EXPECT_EQ(prompts.messages()[1].icon, platform::Icon::Error);
    EXPECT_EQ(texts[2], QStringLiteral("1 file succesfully written."));
}

TEST(DeviceBatchSaveTest, ABlockThatCannotBeConvertedIsReportedAndTheSaveGoesOn) {
    const TBlockSpec specs[] = {{5, 0xC000, 2048, 100, 100, 0, 0, 3},
                                {5, 0x0000, 2048, 100, 100, 0, 0, 0},  // no channels
                                {5, 0x8000, 2048, 100, 100, 0, 0, 2}};
    TOrloMemory mem;
    ASSERT_TRUE(DecodeMemoryReply(BuildMemoryReply(specs), mem).Ok);
    ASSERT_EQ(mem.BlockCount(), 3);
    QTemporaryDir dir;
    TBatchSaveSettings s{dir.path(), QStringLiteral("Blok"), {}};
    ScriptedPrompts prompts;
    const TBatchSaveResult r = SaveAllBlocks(mem, s, prompts, "d");
    const QString report =
        QStringLiteral("Error in loading data from block!\rBlock 2: The block records no channel.");
    EXPECT_EQ(r.Count, 2);
    EXPECT_EQ(r.Faulty, QStringList{report});
    // The faulty block takes no number, as an empty one.
    EXPECT_EQ(orlFiles(dir.path()), (QStringList{"Blok000.orl", "Blok001.orl"}));
    EXPECT_EQ(prompts.texts(),
              (QStringList{report, QStringLiteral("2 files succesfully written.")}));
    EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Error);
    TDataBlock back;
    EXPECT_EQ(ReadDataFile(dir.filePath(QStringLiteral("Blok001.orl")), back).Count, 2);
    EXPECT_EQ(back.ChannelMask, 0x8000);
}

TEST(DeviceBatchSaveTest, NothingToSaveOrNoFolder) {
    ScriptedPrompts prompts;
    TOrloMemory none;
    TBatchSaveSettings s{QStringLiteral("/nonexistent"), QStringLiteral("Blok"), {}};
    EXPECT_EQ(SaveAllBlocks(none, s, prompts, "d").Text, QStringLiteral("0 files saved."));
    EXPECT_TRUE(prompts.messages().empty());

    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("plain")));
    const TOrloMemory mem = threeBlocks();
    TBatchSaveSettings bad{dir.filePath(QStringLiteral("plain/sub")), QStringLiteral("Blok"), {}};
    const TBatchSaveResult r = SaveAllBlocks(mem, bad, prompts, "d");
    EXPECT_EQ(r.Count, 0);
    EXPECT_EQ(r.Text, QStringLiteral("0 files saved."));
    ASSERT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(prompts.texts()[0].startsWith(QStringLiteral("Cannot create directory")));
}

}  // namespace
