// The open-block grid: opening, closing, saving, exporting, reading the logger,
// the check boxes, the notes hand-over between rows and the close query.
#include "WorkspaceTestSupport.h"

#include "orlo/device/MemoryImageBuilder.h"
#include "orlo/workspace/AssertDlg.h"
#include "orlo/workspace/FolderTreePanel.h"
#include "orlo/workspace/InfoPanel.h"
#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/NotesPage.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TStringGrid.h"
#include "orlo/workspace/chart/TBlockPlot.h"
#include "orlo/workspace/chart/TChartPanel.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidgetItem>
#include <QWheelEvent>

#include <functional>

namespace orlo::test {
namespace {

using platform::Button;
using platform::ScriptedPrompts;

const QString kGridCheckRange = QStringLiteral("Arow<=FormMain.DataList.count-1 in GridCheck");

bool Active(const TDataBlock& b, int slot) {
    return b.Slots[static_cast<std::size_t>(slot)].Series->IsActive();
}

void SendMouse(TStringGrid& grid, QEvent::Type type, const QPoint& pos,
               Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent e(type, QPointF(pos), QPointF(grid.viewport()->mapToGlobal(pos)), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                  Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &e);
}

// Collects assertion reports for the life of the object.
struct AssertCapture {
    AssertCapture() {
        previous = SetAssertSink([this](const QString& line) { lines << line; });
    }
    ~AssertCapture() { SetAssertSink(std::move(previous)); }
    QStringList lines;
    AssertSink previous;
};

TEST_F(WorkspaceTest, OpeningAFileShowsTheGridAndFillsTheInformation) {
    TFormMain& f = Show();
    const QString path = WriteFile("flight.orl", MakeBlock(50, 12.5));
    EXPECT_EQ(f.Grid().OpenBlocks(path, 0), 0);
    TStringGrid& g = f.StringGrid1();
    ASSERT_TRUE(f.Grid().GridVisible());
    EXPECT_TRUE(f.PageControl1()->isEnabled());
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.Cells(0, 0), "flight");
    EXPECT_EQ(g.Cells(1, 0), "1");
    EXPECT_EQ(g.Cells(2, 0), path);
    EXPECT_EQ(f.Grid().ActualRow, 0);
    const TDataBlock& b = *f.Grid().Block(0);
    EXPECT_FALSE(b.Modified);
    EXPECT_EQ(b.SampleCount(), 50);
    // Only the voltage button is down at first.
    EXPECT_TRUE(Active(b, SlotVoltage));
    EXPECT_FALSE(Active(b, SlotCurrent));
    EXPECT_EQ(f.Info().BlockNameLabel()->text(), "flight");
    EXPECT_EQ(f.Notes().EditDate()->text(), "11.12.2026 10:15:02");
    EXPECT_EQ(f.Notes().EditVer()->text(), "0");
    const QString sep = QLocale::system().decimalPoint();
    EXPECT_EQ(f.Notes().EditSample()->text(), "0" + sep + "1");
    EXPECT_EQ(f.Notes().EditMaxAlt()->text(), "12" + sep + "5 V");
    EXPECT_EQ(f.Info().InfoField(3)->text(), "12" + sep + "50");  // Max U
    EXPECT_EQ(f.Info().InfoField(1)->text(), "59" + sep + "00");  // Max I
    EXPECT_EQ(f.Info().InfoField(10)->text(), "0" + sep + "10");
    EXPECT_EQ(f.Info().InfoField(18)->text(), RecTimeText(4.9));
    EXPECT_EQ(f.Notes().EditFlyTime()->text(), FlyTimeText(4.9));
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(WorkspaceTest, DisplayNamesCutAtTheFirstExactOrl) {
    const struct {
        const char* file;
        const char* shown;
    } cases[] = {{"BLOK.ORL", "BLOK.ORL"},
                 {"a.orl.orl", "a"},
                 {"x.orl", "x"},
                 {"Mixed.Orl", "Mixed.Orl"},
                 {"two.orlando.orl", "two"}};
    TFormMain& f = Show();
    int row = 0;
    for (const auto& c : cases) {
        f.openFiles({WriteFile(c.file, MakeBlock(2))});
        EXPECT_EQ(f.StringGrid1().Cells(0, row), c.shown) << c.file;
        EXPECT_EQ(BlockDisplayName(QDir(root).filePath(c.file)), c.shown);
        ++row;
    }
}

TEST_F(WorkspaceTest, SameFileTwiceGivesTwoBlocksAndStylesAreReused) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    for (int i = 0; i < 6; ++i)
        f.Grid().OpenBlocks(path, 0);
    ASSERT_EQ(f.Grid().RowCount(), 6);
    EXPECT_NE(f.Grid().Block(0), f.Grid().Block(1));
    const int styles[] = {0, 1, 2, 3, 4, 0};  // the sixth block draws like the first
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(f.Grid().Block(i)->Slots[SlotVoltage].ColorIndex, styles[i]);
    f.Grid().CloseGridRow(2);
    f.Grid().OpenBlocks(path, 0);
    EXPECT_EQ(f.Grid().Block(5)->Slots[SlotVoltage].ColorIndex, 2);  // the freed style
}

TEST_F(WorkspaceTest, FilesThatCannotBeOpenedAddNoRow) {
    TFormMain& f = Show();
    const QString bad = QDir(root).filePath("bad.orl");
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<Head>\r\nx\r\n<Data>\r\n</Data>\r\n");
    }
    EXPECT_EQ(f.Grid().OpenBlocks(bad, 0), -1);
    EXPECT_EQ(prompts.texts(),
              QStringList{"Error by opening datafile \"" + bad + "\"! \r\nBad header of file"});
    EXPECT_EQ(f.Grid().OpenBlocks(QDir(root).filePath("missing.orl"), 0), -1);
    EXPECT_EQ(f.Grid().OpenBlocks(WriteFile("empty.orl", MakeBlock(0)), 0), -1);
    EXPECT_EQ(prompts.messages().size(), 1u);
    EXPECT_FALSE(f.Grid().GridVisible());
    EXPECT_EQ(f.Grid().RowCount(), 0);
}

// A header number that does not read leaves the block half filled. Opened, a plain
// Save would replace the file with that block, so no path of the window may open it.
TEST_F(WorkspaceTest, AFileWithAMalformedHeaderNumberOpensFromNoPath) {
    const QString path = QDir(root).filePath("bad.orl");
    const QByteArray original(
        "<Header>\r\n11.12.2026 10:15:02\r\n5\r\n49152x\r\n2048\r\n100\r\n100\r\n0\r\n0\r\n"
        "</Header>\r\n<Data>\r\n0.0,12.00,3.00\r\n0.1,11.90,3.10\r\n</Data>\r\n<Text>\r\n"
        "Motor hot\r\n</Text>\r\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(original);
    }
    TFormMain& f = Show();
    TFolderTreePanel& tree = f.Tree();
    const QString error =
        "Error by opening datafile \"" + path + "\"! \r\nError reading data from file.";
    const struct {
        const char* name;
        std::function<void()> open;
        QStringList texts;
    } paths[] = {
        {"open command",
         [&] {
             prompts.answerFiles(QStringList{path});
             f.Commands().mnuOpen->trigger();
         },
         {error}},
        {"command line", [&] { f.openFiles({path}); }, {error}},
        {"folder tree",
         [&] {
             QTreeWidgetItem* node = nullptr;
             for (int i = 0; i < tree.RootNode()->childCount(); ++i)
                 if (tree.RootNode()->child(i)->text(0) == "bad")
                     node = tree.RootNode()->child(i);
             ASSERT_NE(node, nullptr);
             tree.setCurrentItem(node);
             tree.TreeView1DblClick();
         },
         {error, QString::fromUtf8("Chyba při otevírání souboru!")}},
    };
    for (const auto& p : paths) {
        SCOPED_TRACE(p.name);
        prompts.clear();
        p.open();
        EXPECT_EQ(prompts.texts(), p.texts);
        ASSERT_FALSE(prompts.messages().empty());
        EXPECT_EQ(prompts.messages().front().icon, platform::Icon::Error);
        EXPECT_FALSE(f.Grid().GridVisible());
        EXPECT_EQ(f.Grid().RowCount(), 0);
        f.Commands().mnuSave->trigger();  // Ctrl+S: saves without a question
        EXPECT_EQ(QByteArray::fromStdString(ReadBytes(path)), original);
    }

    // The tree's export reads the file too: nothing is written from a partial block.
    prompts.clear();
    const QString csv = QDir(root).filePath("bad.csv");
    prompts.answerFile(csv);
    tree.ExportFile(path);
    EXPECT_EQ(prompts.texts(), QStringList{error});
    EXPECT_FALSE(QFileInfo::exists(csv));
    EXPECT_EQ(QByteArray::fromStdString(ReadBytes(path)), original);
}

TEST_F(WorkspaceTest, OpenCommandOpensEveryChosenFileFromTheDefaultFolder) {
    TFormMain& f = Show();
    const QString a = WriteFile("a.orl", MakeBlock(3));
    const QString b = WriteFile("b.orl", MakeBlock(4));
    prompts.answerFiles(QStringList{b, a});
    f.Commands().mnuOpen->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    const auto& request = prompts.dialogs()[0].request;
    EXPECT_EQ(request.directory, root);
    EXPECT_EQ(request.filter, "*.orl (ORLO Data File) (*.orl)");
    EXPECT_EQ(f.StringGrid1().Cells(0, 0), "b");
    EXPECT_EQ(f.StringGrid1().Cells(0, 1), "a");
    prompts.answerFiles(std::nullopt);
    f.Commands().mnuOpen->trigger();
    EXPECT_EQ(f.Grid().RowCount(), 2);
}

TEST_F(WorkspaceTest, ClosingTheSelectedLastRowMovesTheSelectionUp) {
    TFormMain& f = Show();
    for (const char* name : {"a.orl", "b.orl", "c.orl"})
        f.openFiles({WriteFile(name, MakeBlock(3))});
    TStringGrid& g = f.StringGrid1();
    g.setCurrentCell(2, 0);  // as a click on "c" does
    EXPECT_EQ(f.Grid().ActualRow, 2);
    f.Commands().mnuClose->trigger();
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(f.Grid().ActualRow, 1);
    EXPECT_EQ(f.Info().BlockNameLabel()->text(), "b");

    // Closing a row above the selection keeps the selection on its block.
    g.setCurrentCell(1, 0);
    f.Grid().CloseGridRow(0);
    EXPECT_EQ(g.Row(), 0);
    EXPECT_EQ(g.Cells(0, 0), "b");
    EXPECT_EQ(f.Grid().ActualRow, 0);

    f.Commands().mnuClose->trigger();
    EXPECT_FALSE(f.Grid().GridVisible());
    EXPECT_FALSE(f.PageControl1()->isEnabled());
    EXPECT_EQ(f.Grid().ActualRow, -1);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.Cells(0, 0), "");
    EXPECT_EQ(f.Notes().EditDate()->text(), "");
    // Nothing is left on the right panel of a block that is no longer open.
    EXPECT_EQ(f.Info().BlockNameLabel()->text(), "");
    for (int field : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19})
        EXPECT_EQ(f.Info().InfoField(field)->text(), "") << field;
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(QFileInfo::exists(QDir(root).filePath("c.orl")));  // the file stays
}

TEST_F(WorkspaceTest, RowsOutOfRangeAreReported) {
    TFormMain& f = Show();
    f.openFiles({WriteFile("a.orl", MakeBlock(3))});
    AssertCapture asserts;
    f.Grid().CloseGridRow(4);
    f.Grid().RenameGridRow(1, "x");
    f.Grid().GridCheck(3, true);
    EXPECT_EQ(
        prompts.texts(),
        (QStringList{"Chyba při rušení řádku ze seznamu otevřených souborů! Řádek neexistuje!",
                     "Chyba při přejmenování seznamu otevřených souborů! Řádek neexistuje!",
                     "Data record not found in GridCheck!\rIn GridCheck."}));
    ASSERT_EQ(asserts.lines.size(), 1);
    EXPECT_TRUE(asserts.lines[0].startsWith(kGridCheckRange + " (GridRoutines.cpp, line "));
    EXPECT_EQ(f.Grid().RowCount(), 1);
}

TEST_F(WorkspaceTest, ClosingAModifiedBlockAsksOnceAndNoDiscards) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    const std::string before = ReadBytes(path);
    f.openFiles({path, path});
    f.Grid().Block(0)->Modified = true;
    f.Grid().Block(1)->Modified = true;
    f.Grid().Block(1)->Notes = "changed";
    prompts.answer(Button::No);
    f.Grid().CloseGridRow(0);
    EXPECT_EQ(prompts.texts(), QStringList{"Do you want to save changes of " + path + "?"});
    EXPECT_EQ(ReadBytes(path), before);
    prompts.answer(Button::Yes);
    f.Grid().CloseGridRow(0);
    EXPECT_EQ(prompts.messages().size(), 2u);
    EXPECT_NE(ReadBytes(path).find("<Text>\r\nchanged\r\n</Text>"), std::string::npos);
    EXPECT_FALSE(f.Grid().GridVisible());
}

TEST_F(WorkspaceTest, SaveWithAskSavesNothingForAnUnchangedBlock) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path});
    QFile::remove(path);
    EXPECT_EQ(f.Grid().GridSaveFile(0, true), TSaveOutcome::NotSaved);
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(prompts.dialogs().empty());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(WorkspaceTest, SavingABlockWhoseFileVanishedAsksForANewName) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path});
    QFile::remove(path);
    const QString chosen = QDir(root).filePath("NEW.orl.orl");
    prompts.answerFile(chosen);
    f.Commands().mnuSave->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    const auto& r = prompts.dialogs()[0].request;
    EXPECT_EQ(r.title, "DataFile " + path + " not found!");
    EXPECT_EQ(r.defaultSuffix, "orl");
    EXPECT_EQ(r.filter, "Orlo data (orl) (*.orl)");
    EXPECT_EQ(r.directory, root);
    EXPECT_TRUE(QFileInfo::exists(chosen));
    EXPECT_EQ(f.StringGrid1().Cells(2, 0), chosen);
    EXPECT_EQ(f.StringGrid1().Cells(0, 0), "NEW");

    // Cancelling the dialog saves nothing and keeps the block's state.
    QFile::remove(chosen);
    f.Grid().Block(0)->Modified = true;
    f.Commands().mnuSave->trigger();
    EXPECT_FALSE(QFileInfo::exists(chosen));
    EXPECT_TRUE(f.Grid().Block(0)->Modified);
}

TEST_F(WorkspaceTest, SaveAsWritesTheChosenFileAndRenamesTheRow) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path});
    f.Grid().Block(0)->Modified = true;
    const QString copy = QDir(root).filePath("copy.orl");
    prompts.answerFile(copy);
    f.Commands().mnuSaveAs->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    EXPECT_EQ(prompts.dialogs()[0].request.title, "Save " + path + " As");
    EXPECT_EQ(ReadBytes(copy), ReadBytes(path));
    EXPECT_EQ(f.StringGrid1().Cells(0, 0), "copy");
    EXPECT_FALSE(f.Grid().Block(0)->Modified);

    // A write that fails leaves the row and the block as they were.
    f.Grid().Block(0)->Modified = true;
    const QString bad = dir_.filePath("no/such/folder/x.orl");
    prompts.answerFile(bad);
    EXPECT_EQ(f.Grid().GridSaveFileAs(0), TSaveOutcome::Failed);
    EXPECT_EQ(prompts.texts(), QStringList{"Error by saving data!\rError in writing file."});
    EXPECT_EQ(f.StringGrid1().Cells(2, 0), copy);
    EXPECT_TRUE(f.Grid().Block(0)->Modified);
}

TEST_F(WorkspaceTest, ARowThatGetsAnotherNameRenamesItsLegendAndTheShownName) {
    TFormMain& f = Show();
    f.openFiles({WriteFile("a.orl", MakeBlock(3)), WriteFile("b.orl", MakeBlock(3))});
    f.Commands().TBShowCurrent->setChecked(true);
    f.Commands().TBShowLegend->setChecked(true);
    TBlockPlot& plot = f.Chart().Plot();
    const struct {
        int row;
        bool saveAs;  // through the Save As command, else a rename from the tree
        QString path;
        QStringList legend;
        QString shownName;  // the actual block stays row 0
    } cases[] = {
        {0,
         true,
         QDir(root).filePath("copy.orl"),
         {"copy (Volt)", "copy (Curr)", "b (Volt)", "b (Curr)"},
         "copy"},
        {1,
         false,
         QDir(root).filePath("moved.orl.orl"),
         {"copy (Volt)", "copy (Curr)", "moved (Volt)", "moved (Curr)"},
         "copy"},
    };
    for (const auto& c : cases) {
        if (c.saveAs) {
            prompts.answerFile(c.path);
            f.Commands().mnuSaveAs->trigger();
        } else {
            f.Grid().RenameGridRow(c.row, c.path);
        }
        plot.ReplotNow();
        EXPECT_EQ(plot.LegendTitles(), c.legend) << c.path.toStdString();
        EXPECT_EQ(f.Info().BlockNameLabel()->text(), c.shownName) << c.path.toStdString();
        const auto* rpm =
            dynamic_cast<const TChartSeries*>(f.Grid().Block(c.row)->Slots[2].Series.get());
        ASSERT_NE(rpm, nullptr);
        EXPECT_EQ(rpm->Title(), c.legend[2 * c.row].section(' ', 0, 0) + " (RPM)");
    }
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_F(WorkspaceTest, AFileSavedBelowTheRootAppearsInTheFolderTree) {
    const QString a = WriteFile("a.orl", MakeBlock(3));
    const QString gone = WriteFile("gone.orl", MakeBlock(3));
    TFormMain& f = Show();
    f.openFiles({a, gone});
    const auto childTexts = [&](QTreeWidgetItem* n) {
        QStringList texts;
        for (int i = 0; n && i < n->childCount(); ++i)
            texts << n->child(i)->text(0);
        return texts;
    };
    ASSERT_EQ(childTexts(f.Tree().RootNode()), (QStringList{"a", "gone"}));

    // Save As into a new subfolder of the root.
    ASSERT_TRUE(QDir(root).mkpath("sub"));
    prompts.answerFile(QDir(root).filePath("sub/copy.orl"));
    f.Commands().mnuSaveAs->trigger();
    QApplication::processEvents();
    // Folders come first.
    ASSERT_EQ(childTexts(f.Tree().RootNode()), (QStringList{"sub", "a", "gone"}));
    EXPECT_EQ(childTexts(f.Tree().RootNode()->child(0)), QStringList{"copy"});

    // Closing a changed row whose file vanished saves it under a new name; the tree
    // catches up once the row is gone.
    ASSERT_TRUE(QFile::remove(gone));
    f.Grid().Block(1)->Modified = true;
    prompts.answer(platform::Button::Yes);
    prompts.answerFile(QDir(root).filePath("found.orl"));
    f.Grid().CloseGridRow(1);
    EXPECT_EQ(f.StringGrid1().RowCount(), 1);
    QApplication::processEvents();
    EXPECT_EQ(childTexts(f.Tree().RootNode()), (QStringList{"sub", "a", "found"}));
    EXPECT_TRUE(prompts.texts().size() == 1 && prompts.texts()[0].startsWith("Do you want"))
        << prompts.texts().join('|').toStdString();
}

TEST_F(WorkspaceTest, ExportWritesTextBesideTheDataFile) {
    TFormMain& f = Show();
    const QString path = WriteFile("run.orl", MakeBlock(3));
    f.openFiles({path});
    const QString csv = QDir(root).filePath("run.csv");
    prompts.answerFile(csv);
    f.Commands().mnuExport->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    const auto& r = prompts.dialogs()[0].request;
    EXPECT_EQ(r.directory, root);
    EXPECT_EQ(r.fileName, csv);
    EXPECT_EQ(r.defaultSuffix, "csv");
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_EQ(r.filter, "*.csv (*.csv);;*.* (All Files) (*)");
    EXPECT_EQ(prompts.texts(), QStringList{"File " + csv + " successfully saved."});
    EXPECT_EQ(ReadBytes(csv), ExportTextBytes("run.orl", *f.Grid().Block(0)));

    prompts.clear();
    prompts.answerFile(dir_.filePath("no/such/folder/x.csv"));
    EXPECT_EQ(f.Grid().ExportBlock(0), -1);
    EXPECT_EQ(prompts.texts(), QStringList{"Error in writing file."});
    prompts.clear();
    EXPECT_EQ(f.Grid().ExportBlock(0), 0);  // cancelled
    EXPECT_EQ(f.Grid().ExportBlock(3), 0);  // no such row
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(WorkspaceTest, ReadDataAddsUnsavedUntickedRowsAndSkipsEmptyBlocks) {
    TFormMain& f = Show();
    const TBlockSpec blocks[] = {{.Samples = 5}, {.Samples = 0}, {.Samples = 7}, {.Samples = 2}};
    const auto body = BuildMemoryBody(blocks);
    prompts.answerDialog([this, &body](QDialog&) {
        std::vector<std::uint8_t> image = body;
        for (int i = 0; i < 5; ++i)
            image.push_back(0xFF);
        reading_->memory.SetMemory(image);
        reading_->memory.SplitBlocks();
        return int(QDialog::Accepted);
    });
    f.Commands().mnuReadData->trigger();
    ASSERT_EQ(prompts.modalRuns().size(), 1u);
    EXPECT_EQ(prompts.modalRuns()[0].dialog, reading_->Dialog());
    TStringGrid& g = f.StringGrid1();
    ASSERT_EQ(g.RowCount(), 3);
    const char* names[] = {"tmp1", "tmp3", "tmp4"};
    const int samples[] = {5, 7, 2};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(g.Cells(0, row), names[row]);
        EXPECT_EQ(g.Cells(2, row), names[row]);
        EXPECT_EQ(g.Cells(1, row), "0");
        const TDataBlock& b = *f.Grid().Block(row);
        EXPECT_TRUE(b.Modified);
        EXPECT_EQ(b.SampleCount(), samples[row]);
        EXPECT_FALSE(Active(b, SlotVoltage));
    }
    EXPECT_EQ(f.Grid().ActualRow, 0);
    EXPECT_EQ(reading_->memory.BlockCount(), 0);  // the list is released
    EXPECT_TRUE(prompts.messages().empty());

    // Saving a downloaded block always asks for a name.
    const QString saved = QDir(root).filePath("first.orl");
    prompts.answerFile(saved);
    f.Commands().mnuSave->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    EXPECT_EQ(prompts.dialogs()[0].request.title, "Save tmp1 As");
    EXPECT_EQ(g.Cells(0, 0), "first");
    EXPECT_FALSE(f.Grid().Block(0)->Modified);
    TDataBlock back;
    EXPECT_EQ(ReadDataFile(saved, back).Count, 5);

    // Closing one and cancelling the dialog discards it without a question.
    f.Grid().CloseGridRow(1);
    EXPECT_EQ(prompts.dialogs().size(), 2u);
    EXPECT_EQ(prompts.dialogs()[1].request.title, "Save tmp3 As");
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cells(0, 1), "tmp4");
}

// A block that cannot be converted (here: a header without channels, with bytes
// after it) is reported by its number; the blocks after it still open.
TEST_F(WorkspaceTest, ReadDataReportsABlockThatCannotBeConvertedAndOpensTheOthers) {
    TFormMain& f = Show();
    const TBlockSpec first[] = {{.Samples = 5}};
    const TBlockSpec faulty[] = {{.ChannelMask = 0, .Samples = 0}};
    const TBlockSpec last[] = {{.Samples = 7}};
    std::vector<std::uint8_t> image = BuildMemoryBody(first);
    for (std::uint8_t b : BuildMemoryBody(faulty))
        image.push_back(b);
    for (std::uint8_t b : {0x01, 0x02, 0x03, 0x04})
        image.push_back(b);
    for (std::uint8_t b : BuildMemoryBody(last))
        image.push_back(b);
    image = TerminateMemory(image);
    prompts.answerDialog([this, &image](QDialog&) {
        reading_->memory.SetMemory(image);
        EXPECT_EQ(reading_->memory.SplitBlocks(), 3);
        return int(QDialog::Accepted);
    });
    f.Commands().mnuReadData->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"Error in loading data from block!\r"
                                           "Block 2: The block records no channel."});
    TStringGrid& g = f.StringGrid1();
    ASSERT_EQ(f.Grid().RowCount(), 2);
    EXPECT_EQ(g.Cells(0, 0), "tmp1");
    EXPECT_EQ(g.Cells(0, 1), "tmp3");
    EXPECT_EQ(f.Grid().Block(0)->SampleCount(), 5);
    EXPECT_EQ(f.Grid().Block(1)->SampleCount(), 7);
    EXPECT_EQ(reading_->memory.BlockCount(), 0);
}

TEST_F(WorkspaceTest, CheckBoxTogglesOnlyInsideItsDeadZone) {
    TFormMain& f = Show();
    f.openFiles({WriteFile("a.orl", MakeBlock(3))});
    TStringGrid& g = f.StringGrid1();
    const QRect cell = g.CellRect(0, TStringGrid::ColShow);
    ASSERT_GE(cell.width(), 10);
    const struct {
        QPoint at;
        bool toggles;
    } cases[] = {
        {cell.center(), true},
        {QPoint(cell.left() + 3, cell.center().y()), true},
        {QPoint(cell.left() + 2, cell.center().y()), false},
        {QPoint(cell.left(), cell.center().y()), false},
        {QPoint(cell.right() - 2, cell.center().y()), false},
        {QPoint(cell.center().x(), cell.top() + 1), false},
        {QPoint(cell.center().x(), cell.bottom() - 2), false},
        {QPoint(cell.center().x(), cell.bottom() - 3), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at.x() * 1000 + c.at.y());
        const QString before = g.Cells(1, 0);
        SendMouse(g, QEvent::MouseButtonRelease, c.at);
        EXPECT_EQ(g.Cells(1, 0) != before, c.toggles);
    }
    // Unticked, the block's series hide; ticked they follow the channel buttons.
    g.SetCells(1, 0, "1");
    SendMouse(g, QEvent::MouseButtonRelease, cell.center());
    EXPECT_EQ(g.Cells(1, 0), "0");
    const TDataBlock& b = *f.Grid().Block(0);
    EXPECT_FALSE(Active(b, SlotVoltage));
    SendMouse(g, QEvent::MouseButtonRelease, cell.center());
    EXPECT_TRUE(Active(b, SlotVoltage));
    EXPECT_FALSE(Active(b, SlotRpm));  // its button is up

    // A value other than 0 or 1 ignores clicks.
    g.SetCells(1, 0, "x");
    SendMouse(g, QEvent::MouseButtonRelease, cell.center());
    EXPECT_EQ(g.Cells(1, 0), "x");
}

TEST_F(WorkspaceTest, CellsAreDrawnWithTheGridColours) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path, path});
    TStringGrid& g = f.StringGrid1();
    g.SetCells(1, 1, "x");  // drawn as an inactive box
    const QImage image = g.viewport()->grab().toImage();
    const QRect selected = g.CellRect(0, 0);
    const QRect plain = g.CellRect(1, 0);
    const QRect box = g.CellRect(1, 1);
    const auto at = [&](int x, int y) { return image.pixelColor(x, y).rgb(); };
    EXPECT_EQ(at(selected.right() - 3, selected.center().y()), QColor(134, 208, 249).rgb());
    EXPECT_EQ(at(plain.right() - 3, plain.center().y()), QColor(Qt::white).rgb());
    EXPECT_EQ(at(box.left() + 1, box.top() + 1), QColor(Qt::black).rgb());
    EXPECT_EQ(at(plain.right(), plain.center().y()), QColor(128, 128, 128).rgb());
    // The name is written inside its cell.
    bool ink = false;
    for (int x = plain.left() + 2; x < plain.right() - 2; ++x)
        for (int y = plain.top() + 3; y < plain.bottom(); ++y)
            ink = ink || QColor(image.pixel(x, y)).lightness() < 128;
    EXPECT_TRUE(ink);
}

TEST_F(WorkspaceTest, ChannelButtonsShowAQuantityInTickedBlocksOnly) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path, path});
    f.StringGrid1().SetCells(1, 1, "0");
    f.Commands().TBShowCurrent->trigger();
    EXPECT_TRUE(Active(*f.Grid().Block(0), SlotCurrent));
    EXPECT_FALSE(Active(*f.Grid().Block(1), SlotCurrent));
    f.Commands().TBShowVoltage->trigger();
    EXPECT_FALSE(Active(*f.Grid().Block(0), SlotVoltage));
}

TEST_F(WorkspaceTest, NotesMoveIntoTheBlockOnlyAfterAnEdit) {
    TFormMain& f = Show();
    TDataBlock first = MakeBlock(3);
    first.Notes = "{\\rtf1\\ansi first note\\par}";
    f.openFiles({WriteFile("a.orl", first), WriteFile("b.orl", MakeBlock(3))});
    TStringGrid& g = f.StringGrid1();
    QTextEdit* editor = f.Notes().RichEdit1();
    EXPECT_EQ(editor->toPlainText(), "first note");
    for (int round = 0; round < 2; ++round) {
        g.setCurrentCell(1, 0);
        g.setCurrentCell(0, 0);
    }
    EXPECT_FALSE(f.Grid().Block(0)->Modified);
    EXPECT_FALSE(f.Grid().Block(1)->Modified);

    QTextCursor(editor->document()).insertText("edited ");
    g.setCurrentCell(1, 0);
    EXPECT_TRUE(f.Grid().Block(0)->Modified);
    EXPECT_FALSE(f.Grid().Block(1)->Modified);
    EXPECT_NE(f.Grid().Block(0)->Notes.find("edited first note"), std::string::npos);
    g.setCurrentCell(0, 0);
    EXPECT_EQ(editor->toPlainText(), "edited first note");
    EXPECT_FALSE(f.Notes().IsModified());
}

TEST_F(WorkspaceTest, PendingNotesSurviveClosingAnotherRow) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path, path, path});
    TStringGrid& g = f.StringGrid1();
    g.setCurrentCell(2, 0);
    f.Notes().RichEdit1()->textCursor().insertText("kept");
    TDataBlock* third = f.Grid().Block(2);
    f.Grid().SetPopupTag(0);
    f.Grid().PopupDelete();
    EXPECT_EQ(f.Grid().Block(1), third);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(third->Modified);
    EXPECT_EQ(f.Notes().RichEdit1()->toPlainText(), "kept");
}

TEST_F(WorkspaceTest, GridInputClosesRowsAndShowsHints) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path, path, path});
    TStringGrid& g = f.StringGrid1();
    const QPoint name = g.CellRect(1, 0).center();
    SendMouse(g, QEvent::MouseMove, name, Qt::NoButton);
    EXPECT_EQ(g.toolTip(), path);
    SendMouse(g, QEvent::MouseMove, g.CellRect(1, 1).center(), Qt::NoButton);
    EXPECT_EQ(g.toolTip(), "Show block in the graph");

    // Double click after the mouse was over the name column closes the current row.
    g.setCurrentCell(1, 0);
    SendMouse(g, QEvent::MouseMove, name, Qt::NoButton);
    SendMouse(g, QEvent::MouseButtonDblClick, name);
    EXPECT_EQ(g.RowCount(), 2);

    QKeyEvent del(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    g.setCurrentCell(0, 0);
    QApplication::sendEvent(&g, &del);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(WorkspaceTest, ActualBlockIsDrawnBold) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path, path});
    const auto width = [&](int row, int slot) {
        return static_cast<const TChartSeries&>(*f.Grid().Block(row)->Slots[slot].Series).Width();
    };
    for (int slot = SlotVoltage; slot <= SlotCapacity; ++slot) {
        EXPECT_EQ(width(0, slot), 2);
        EXPECT_EQ(width(1, slot), 1);
    }
    f.StringGrid1().setCurrentCell(1, 0);
    for (int slot = SlotVoltage; slot <= SlotCapacity; ++slot) {
        EXPECT_EQ(width(0, slot), 1);
        EXPECT_EQ(width(1, slot), 2);
    }
}

TEST_F(WorkspaceTest, PopupMenuActsOnTheRowItWasOpenedFor) {
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    const QString other = WriteFile("b.orl", MakeBlock(4));
    f.openFiles({path, other});
    QStringList entries;
    for (const QAction* a : f.Grid().PopupGrid()->actions())
        entries << a->text() + (a->isVisible() ? "" : " (hidden)");
    EXPECT_EQ(entries, (QStringList{"Close Data (hidden)", "Save", "Save As", "Export", "Delete",
                                    "Cancel"}));

    // Save writes the row's block with its pending notes and makes it actual.
    QFile::remove(other);
    f.Grid().SetPopupTag(1);
    f.Notes().RichEdit1()->textCursor().insertText("note of a");
    prompts.answerFile(other);
    f.Grid().PopupSave();
    EXPECT_EQ(f.Grid().ActualRow, 1);
    EXPECT_EQ(f.StringGrid1().Row(), 1);
    EXPECT_TRUE(f.Grid().Block(0)->Modified);  // the notes went into the first block
    EXPECT_FALSE(f.Grid().Block(1)->Modified);
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // An entry whose row no longer exists does nothing.
    f.Grid().SetPopupTag(5);
    f.Grid().PopupDelete();
    f.Grid().PopupSaveAs();
    f.Grid().PopupExport();
    EXPECT_EQ(f.Grid().RowCount(), 2);
    EXPECT_EQ(prompts.dialogs().size(), 1u);
}

TEST_F(WorkspaceTest, WheelOverTheWindowFocusesTheGrid) {
    TFormMain& f = Show();
    f.openFiles({WriteFile("a.orl", MakeBlock(3))});
    f.Notes().RichEdit1()->setFocus();
    ASSERT_EQ(f.focusWidget(), f.Notes().RichEdit1());
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.Notes().RichEdit1()->viewport(), &wheel);
    EXPECT_EQ(f.focusWidget(), &f.StringGrid1());
}

TEST_F(WorkspaceTest, CloseQueryOffersEveryModifiedBlockFromTheLast) {
    TFormMain& f = Show();
    const QString a = WriteFile("a.orl", MakeBlock(3));
    const QString b = WriteFile("b.orl", MakeBlock(4));
    f.openFiles({a, b});
    f.Grid().Block(0)->Modified = true;
    f.Grid().Block(1)->Modified = true;
    EXPECT_TRUE(f.close());
    EXPECT_EQ(prompts.texts(), (QStringList{"Do you want to save changes of " + b + "?",
                                            "Do you want to save changes of " + a + "?"}));
    EXPECT_TRUE(f.Grid().DataList.empty());
}

TEST_F(WorkspaceTest, AFailedSaveKeepsTheRowAndTheWindowOpen) {
    TFormMain& f = Show();
    const QString a = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({a});
    f.Grid().Block(0)->Modified = true;
    // The file is gone and its folder with it: the new name cannot be written.
    QDir(root).removeRecursively();
    prompts.answer(Button::Yes);
    prompts.answerFile(a);
    EXPECT_FALSE(f.close());
    EXPECT_EQ(prompts.texts(),
              (QStringList{"Do you want to save changes of " + a + "?", "Error in writing file."}));
    ASSERT_EQ(f.Grid().RowCount(), 1);
    EXPECT_TRUE(f.Grid().Block(0)->Modified);
    prompts.answer(Button::No);
    EXPECT_TRUE(f.close());
}

TEST_F(WorkspaceTest, EscapeAsksBeforeClosing) {
    TFormMain& f = Show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    prompts.answer(Button::No);
    QApplication::sendEvent(&f.StringGrid1(), &esc);
    EXPECT_EQ(prompts.texts(), QStringList{"Are you sure to exit application?"});
    EXPECT_TRUE(f.isVisible());
    prompts.answer(Button::Yes);
    QApplication::sendEvent(f.Notes().RichEdit1(), &esc);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(QFileInfo::exists(iniPath));
}

}  // namespace
}  // namespace orlo::test
