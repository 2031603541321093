// The open-block list without widgets: what saving and closing a row must ask or do,
// the current row while rows are removed, renaming and finding a file, and the
// notifications the grid follows.
#include "orlo/blocks/TOpenBlocks.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using orlo::TOpenBlocks;
using orlo::TSaveSteps;

std::unique_ptr<orlo::TDataBlock> makeBlock(bool modified = false) {
    auto b = std::make_unique<orlo::TDataBlock>();
    b->Time = {0, 0.2};
    b->Modified = modified;
    return b;
}

// Records the notifications in the order they came, as "added 0", "removed 1" ...
struct Recorder {
    explicit Recorder(TOpenBlocks& list) {
        QObject::connect(&list, &TOpenBlocks::RowAdded,
                         [this](int r) { events.push_back("added " + std::to_string(r)); });
        QObject::connect(&list, &TOpenBlocks::RowRemoved,
                         [this](int r) { events.push_back("removed " + std::to_string(r)); });
        QObject::connect(&list, &TOpenBlocks::RowChanged,
                         [this](int r) { events.push_back("changed " + std::to_string(r)); });
        QObject::connect(&list, &TOpenBlocks::Cleared, [this] { events.push_back("cleared"); });
    }
    std::vector<std::string> events;
};

TEST(OpenBlocks, FilesAndDownloadsEnterAsTheGridShowsThem) {
    TOpenBlocks list;
    Recorder rec(list);
    auto fromFile = makeBlock(true);  // a read block is as its file, whatever it said
    EXPECT_EQ(list.AddFile(std::move(fromFile), "/data/BLOK.ORL"), 0);
    EXPECT_EQ(list.AddDownload(makeBlock(false), 2), 1);
    EXPECT_EQ(list.AddFile(makeBlock(), "/data/a.orl.orl"), 2);

    const orlo::TOpenBlock& file = *list.Entry(0);
    EXPECT_EQ(file.Name, "BLOK.ORL");  // the ".orl" match is case-sensitive
    EXPECT_TRUE(file.Shown);
    EXPECT_TRUE(file.HasFile());
    EXPECT_FALSE(file.Block->Modified);

    const orlo::TOpenBlock& tmp = *list.Entry(1);
    EXPECT_EQ(tmp.Name, "tmp3");
    EXPECT_EQ(tmp.Path, "");
    EXPECT_EQ(tmp.PathText(), "tmp3");
    EXPECT_FALSE(tmp.Shown);
    EXPECT_TRUE(tmp.Block->Modified);

    EXPECT_EQ(list.Entry(2)->Name, "a");
    EXPECT_EQ(list.Entry(3), nullptr);
    EXPECT_EQ(list.Block(-1), nullptr);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"added 0", "added 1", "added 2"}));
}

TEST(OpenBlocks, ANewBlockTakesTheLowestFreeStyle) {
    TOpenBlocks list;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.AddFile(makeBlock(), QString("/d/%1.orl").arg(i)), i);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.Entry(i)->StyleIndex, i);
    EXPECT_EQ(list.GetFirstPossibleGrafColorIndex(), TOpenBlocks::NoFreeStyle);
    list.AddFile(makeBlock(), "/d/5.orl");
    EXPECT_EQ(list.Entry(5)->StyleIndex, 0);  // all taken: the first style again

    list.Remove(2);
    EXPECT_EQ(list.GetFirstPossibleGrafColorIndex(), 2);
    list.AddDownload(makeBlock(), 0);
    EXPECT_EQ(list.Entry(5)->StyleIndex, 2);
}

// Save and close decisions, one row each.
struct SaveCase {
    const char* what;
    bool download;  // a block that never had a file
    bool modified;
    bool ask;  // closing asks; the Save command does not
    bool fileExists;
    TSaveSteps::Kind action;
    bool question;
    bool missingDialog;
};

TEST(OpenBlocks, SaveStepsFollowTheRowsFileAndChanges) {
    const SaveCase cases[] = {
        {"closing a modified block asks", false, true, true, true, TSaveSteps::Save, true, false},
        {"closing an unchanged block does nothing", false, false, true, true, TSaveSteps::Nothing,
         false, false},
        {"closing a download goes through Save As", true, true, true, false, TSaveSteps::SaveAs,
         false, false},
        {"saving a download goes through Save As", true, false, false, false, TSaveSteps::SaveAs,
         false, false},
        {"the Save command writes without asking", false, false, false, true, TSaveSteps::Save,
         false, false},
        {"a deleted file is asked for again", false, false, false, false, TSaveSteps::Save, false,
         true},
        {"closing a modified block whose file is gone asks, then picks a file", false, true, true,
         false, TSaveSteps::Save, true, true},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        TOpenBlocks list;
        const int row = c.download ? list.AddDownload(makeBlock(), 0)
                                   : list.AddFile(makeBlock(), "/data/flight.orl");
        list.Block(row)->Modified = c.modified;
        const TSaveSteps s = list.SaveSteps(row, c.ask, c.fileExists);
        EXPECT_EQ(s.Action, c.action);
        EXPECT_EQ(s.Question, c.question
                                  ? QString("Do you want to save changes of /data/flight.orl?")
                                  : QString());
        EXPECT_EQ(s.MissingFileTitle,
                  c.missingDialog ? QString("DataFile /data/flight.orl not found!") : QString());
        EXPECT_EQ(s.Path, c.action == TSaveSteps::Save ? QString("/data/flight.orl") : QString());
    }
}

TEST(OpenBlocks, SaveStepsLookAtTheFileSystem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("a.orl");
    TOpenBlocks list;
    list.AddFile(makeBlock(), path);
    EXPECT_FALSE(list.SaveSteps(0, false).MissingFileTitle.isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(list.SaveSteps(0, false).MissingFileTitle.isEmpty());
    EXPECT_EQ(list.SaveSteps(1, false).Action, TSaveSteps::Nothing);  // no such row
}

TEST(OpenBlocks, SaveAsRenamesTheRow) {
    TOpenBlocks list;
    Recorder rec(list);
    list.AddDownload(makeBlock(), 0);
    list.AddFile(makeBlock(), "/data/old.orl");
    EXPECT_EQ(list.SaveAsTitle(0), "Save tmp1 As");
    EXPECT_EQ(list.SaveAsTitle(1), "Save /data/old.orl As");

    list.SetPath(0, "/data/saved.orl");
    EXPECT_EQ(list.Entry(0)->Path, "/data/saved.orl");
    EXPECT_EQ(list.Entry(0)->Name, "saved");
    EXPECT_EQ(list.SaveAsTitle(0), "Save /data/saved.orl As");
    // Saved once, the block is asked about like any file.
    EXPECT_EQ(list.SaveSteps(0, true, true).Question,
              "Do you want to save changes of /data/saved.orl?");
    EXPECT_EQ(list.FindPath("/data/saved.orl"), 0);

    list.SetPath(5, "/data/nowhere.orl");  // no such row: nothing changes
    EXPECT_EQ(rec.events, (std::vector<std::string>{"added 0", "added 1", "changed 0"}));
}

TEST(OpenBlocks, FindPathTellsWhetherAFileIsOpen) {
    TOpenBlocks list;
    list.AddDownload(makeBlock(), 0);
    list.AddFile(makeBlock(), "/data/a.orl");
    list.AddFile(makeBlock(), "/data/b.orl");
    list.AddFile(makeBlock(), "/data/a.orl");  // opened twice: two rows
    EXPECT_EQ(list.FindPath("/data/a.orl"), 1);
    EXPECT_EQ(list.FindPath("/data/b.orl"), 2);
    EXPECT_EQ(list.FindPath("/data/B.orl"), -1);
    EXPECT_EQ(list.FindPath("tmp1"), -1);  // a download has no file to find
    EXPECT_EQ(list.FindPath(""), -1);
    list.Remove(1);
    EXPECT_EQ(list.FindPath("/data/a.orl"), 2);
}

struct RemoveCase {
    int count;
    int current;
    int removed;
    int currentAfter;
};

TEST(OpenBlocks, TheCurrentRowStaysOnItsBlockWhileRowsGo) {
    const RemoveCase cases[] = {
        {4, 2, 0, 1},    // a row above: the current block moves up with it
        {4, 2, 1, 1},    // the row just above
        {4, 2, 2, 2},    // the current row: the next block takes its place
        {4, 3, 3, 2},    // the current and last row: the one above
        {4, 1, 3, 1},    // a row below: nothing moves
        {1, 0, 0, -1},   // the only row: none is current
        {3, -1, 1, -1},  // no current row stays without one
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.count << " rows, current " << c.current << ", removing " << c.removed);
        TOpenBlocks list;
        for (int i = 0; i < c.count; ++i)
            list.AddFile(makeBlock(), QString("/d/%1.orl").arg(i));
        list.SetActualRow(c.current);
        const orlo::TDataBlock* currentBlock = list.Block(c.current);
        Recorder rec(list);
        list.Remove(c.removed);
        EXPECT_EQ(list.Count(), c.count - 1);
        EXPECT_EQ(list.ActualRow(), c.currentAfter);
        EXPECT_EQ(TOpenBlocks::RowAfterRemoval(c.removed, c.current, c.count), c.currentAfter);
        if (c.removed != c.current) {
            EXPECT_EQ(list.Block(list.ActualRow()), currentBlock);
        }
        EXPECT_EQ(rec.events, (std::vector<std::string>{"removed " + std::to_string(c.removed)}));
    }
}

TEST(OpenBlocks, RemovingOutOfRangeAndClearing) {
    TOpenBlocks list;
    list.AddFile(makeBlock(), "/d/a.orl");
    list.AddFile(makeBlock(), "/d/b.orl");
    list.SetActualRow(1);
    Recorder rec(list);
    list.Remove(2);
    list.Remove(-1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ActualRow(), 1);
    list.SetShown(0, false);
    EXPECT_FALSE(list.Entry(0)->Shown);
    list.Clear();
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.ActualRow(), -1);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"changed 0", "cleared"}));
}

}  // namespace
