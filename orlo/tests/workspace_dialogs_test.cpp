// The Options, Settings, About and assertion windows.
#include "WorkspaceTestSupport.h"

#include "orlo/device/MemoryImageBuilder.h"
#include "orlo/device/ui/TOrloComForm.h"
#include "orlo/workspace/AssertDlg.h"
#include "orlo/workspace/DataReadingWindow.h"
#include "orlo/workspace/FolderTreePanel.h"
#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TFormAbout.h"
#include "orlo/workspace/TFormOptions.h"
#include "orlo/workspace/TFormSettings.h"
#include "platform/ini/IniFile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>

namespace orlo::test {
namespace {

using platform::Button;

// One run of the Options dialog: what the user sets, and OK or not.
std::function<int(QDialog&)> OptionsRun(QString folder, int portIndex, bool ok,
                                        QStringList* seen = nullptr) {
    return [=](QDialog& d) {
        auto& o = static_cast<TFormOptions&>(d);
        if (seen)
            *seen << o.LabelRoot()->text() + "|" + o.ComboBoxCOM()->currentText() + "|" +
                         o.EditDefFileName()->text();
        o.LabelRoot()->setText(folder);
        o.ComboBoxCOM()->setCurrentIndex(portIndex);
        return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
}

TEST_F(WorkspaceTest, OptionsRepeatsOnAnInvalidFolderWithTheStoredValues) {
    TFormMain& f = Show();
    QStringList seen;
    prompts.answerDialog(OptionsRun(dir_.filePath("nowhere"), 1, true, &seen));
    prompts.answerDialog(OptionsRun(root, 1, true, &seen));
    f.Commands().mnuOptions->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"Invalid directory!"});
    // The second showing starts again from the stored values.
    EXPECT_EQ(seen, (QStringList{root + "|COM1|Blok", root + "|COM1|Blok"}));
    EXPECT_EQ(f.DataReading().PortName(), "COM3");
    EXPECT_EQ(f.DefDir(), root);
}

TEST_F(WorkspaceTest, OptionsCancelledChangesNothing) {
    TFormMain& f = Show();
    const QString other = dir_.filePath("other");
    ASSERT_TRUE(QDir().mkpath(other));
    prompts.answerDialog(OptionsRun(other, 1, false));
    f.Commands().mnuOptions->trigger();
    EXPECT_EQ(f.DefDir(), root);
    EXPECT_EQ(f.DataReading().PortName(), "COM1");
    EXPECT_EQ(f.RootDir(), root);
}

TEST_F(WorkspaceTest, OptionsWithAnotherFolderChangesTheRootAndClosesTheRows) {
    WriteIni("[Options]\r\nCOM=COM9\r\n");
    TFormMain& f = Show();
    const QString path = WriteFile("a.orl", MakeBlock(3));
    f.openFiles({path, path});
    f.Grid().Block(1)->Modified = true;
    const QString other = dir_.filePath("other");
    ASSERT_TRUE(QDir().mkpath(other));
    // COM9 is not in the list: nothing is selected and the port becomes empty.
    prompts.answerDialog(OptionsRun(other, -1, true));
    prompts.answer(Button::No);
    f.Commands().mnuOptions->trigger();
    EXPECT_EQ(f.RootDir(), other);
    EXPECT_EQ(f.DefDir(), other);
    EXPECT_EQ(f.DataReading().PortName(), "");
    EXPECT_EQ(f.Tree().RootDir(), other);
    EXPECT_FALSE(f.Grid().GridVisible());
    EXPECT_EQ(prompts.texts(), QStringList{"Do you want to save changes of " + path + "?"});
    f.close();
    const platform::IniFile ini(iniPath);
    EXPECT_EQ(ini.readString("Options", "Root", {}), other);
    EXPECT_EQ(ini.readString("Options", "COM", "x"), "");
}

TEST_F(WorkspaceTest, OptionsKeepsAndAcceptsPortsThatAreNotListed) {
    // A pseudo-terminal or an unplugged adapter is missing from the system list.
    WriteIni("[Options]\r\nCOM=/dev/pts/7\r\n");
    TFormMain& f = Show();
    const struct {
        QString typed;  // empty: leave the port as shown
        QString shown;
        QString stored;
    } cases[] = {
        {"", "/dev/pts/7", "/dev/pts/7"},
        {"/dev/ttyACM0", "/dev/pts/7", "/dev/ttyACM0"},
        {"", "/dev/ttyACM0", "/dev/ttyACM0"},
    };
    for (const auto& c : cases) {
        QString shown;
        prompts.answerDialog([&](QDialog& d) {
            auto& o = static_cast<TFormOptions&>(d);
            shown = o.ComboBoxCOM()->currentText();
            if (!c.typed.isEmpty())
                o.ComboBoxCOM()->setEditText(c.typed);
            return int(QDialog::Accepted);
        });
        f.Commands().mnuOptions->trigger();
        EXPECT_EQ(shown, c.shown) << c.typed.toStdString();
        EXPECT_EQ(f.DataReading().PortName(), c.stored) << c.typed.toStdString();
    }
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST(FormOptions, PortListFallsBackToFourPortsAndFolderButtonAsks) {
    platform::ScriptedPrompts prompts;
    TFormOptions empty({}, prompts);
    ASSERT_EQ(empty.ComboBoxCOM()->count(), 4);
    EXPECT_EQ(empty.ComboBoxCOM()->itemText(0), "COM1");
    EXPECT_EQ(empty.ComboBoxCOM()->itemText(3), "COM4");
    TFormOptions listed({"ttyUSB0", "ttyS0"}, prompts);
    EXPECT_EQ(listed.ComboBoxCOM()->count(), 2);
    listed.SelectPort("COM1");
    EXPECT_EQ(listed.ComboBoxCOM()->currentIndex(), -1);
    EXPECT_EQ(listed.windowTitle(), "Options");
    EXPECT_TRUE(listed.EditDefFileName()->isHidden());

    listed.LabelRoot()->setText("/start");
    prompts.answerDirectory(QString("/chosen"));
    listed.SpeedButton1()->click();
    EXPECT_EQ(listed.LabelRoot()->text(), "/chosen");
    prompts.answerDirectory(std::nullopt);
    listed.ChooseFolder();
    EXPECT_EQ(listed.LabelRoot()->text(), "/chosen");
    ASSERT_EQ(prompts.dialogs().size(), 2u);
    EXPECT_EQ(prompts.dialogs()[0].request.directory, "/start");
}

TEST(FormOptions, FileNameEditDropsForbiddenCharacters) {
    EXPECT_EQ(WithoutForbiddenNameChars("a\"b*c/d:e<f>g?h\\i|j k"), "abcdefghij k");
    platform::ScriptedPrompts prompts;
    TFormOptions o({}, prompts);
    o.EditDefFileName()->clear();
    o.EditDefFileName()->setFocus();
    for (QChar c : QStringLiteral("Fl*i?ght")) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(o.EditDefFileName(), &key);
    }
    EXPECT_EQ(o.EditDefFileName()->text(), "Flight");
}

TEST(FormSettings, OnlyWholeNumbersAboveTheLimitAreAccepted) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {{"0", true},      {"-999998", true}, {"-999999", false}, {"-1000000", false},
                 {"123456", true}, {"", false},       {"-", false},       {"1-2", false}};
    for (const auto& c : cases)
        EXPECT_EQ(TFormSettings::ValidNumber(c.text), c.valid) << c.text;

    platform::ScriptedPrompts prompts;
    TFormSettings s(prompts);
    EXPECT_EQ(s.windowTitle(), "Settings");
    EXPECT_EQ(s.Edit(0)->text(), "0");
    s.Edit(1)->setText("-");
    EXPECT_FALSE(s.CheckEdit(1));
    EXPECT_TRUE(s.CheckEdit(0));
    EXPECT_EQ(prompts.texts(), QStringList{"Incorrect number!"});
    // Letters cannot be typed at all.
    int pos = 0;
    QString typed = "12a";
    EXPECT_EQ(s.Edit(2)->validator()->validate(typed, pos), QValidator::Invalid);
}

TEST_F(WorkspaceTest, AboutOpensModallyFromItsMenuEntry) {
    TFormMain& f = Show();
    f.Commands().mnuAbout->trigger();
    ASSERT_EQ(prompts.modalRuns().size(), 1u);
    EXPECT_EQ(prompts.modalRuns()[0].dialog, &f.FormAbout());
    EXPECT_EQ(f.FormAbout().windowTitle(), "About");
    QStringList texts;
    for (const QLabel* l : f.FormAbout().findChildren<QLabel*>())
        texts << l->text();
    EXPECT_TRUE(texts.contains("ORLO"));
    EXPECT_TRUE(texts.contains("version 1.0"));
}

TEST_F(WorkspaceTest, CommandsCarryTheirShortcutsAndHints) {
    TFormMain& f = Show();
    TMainCommands& c = f.Commands();
    const struct {
        QAction* action;
        const char* text;
        QKeySequence key;
        const char* hint;
    } cases[] = {
        {c.mnuOpen, "Open File", QKeySequence("Ctrl+O"), "Open File"},
        {c.mnuClose, "Close File", QKeySequence(), "Close Data"},
        {c.mnuSave, "Save File", QKeySequence("Ctrl+S"), "Save"},
        {c.mnuReadData, "Read data", QKeySequence("Ctrl+R"), "Get Data from ORLO"},
        {c.mnuOptions, "Options", QKeySequence("Alt+N"), "Options"},
        {c.mnuRefresh, "Refresh", QKeySequence("Alt+R"), "Refresh"},
        {c.mnuPrintGraph, "Print Graph", QKeySequence("Ctrl+P"), "Print Graph"},
        {c.mnuExit, "Exit", QKeySequence("Alt+F4"), "Exit"},
        {c.TBShowTree, "Files", QKeySequence(), "Show/Hide files"},
        {c.TBShowTable, "Table", QKeySequence(), "Show/hide measurement table."},
        {c.TBShowVoltage, "U", QKeySequence(), "Show Voltage"},
        {c.TBShowAh, "C", QKeySequence(), "Show Capacity"},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(k.action->text(), k.text);
        EXPECT_EQ(k.action->shortcut(), k.key) << k.text;
        EXPECT_EQ(k.action->toolTip(), k.hint);
    }
    // The tree's panel and the table follow their buttons.
    c.TBShowTable->trigger();
    EXPECT_TRUE(f.PanelInfo()->isHidden());
    c.TBShowTree->trigger();
    EXPECT_TRUE(f.PanelLeft()->isHidden());
}

TEST(DataReadingWindow, SettingsAndBlocksAreTheWindowsOwn) {
    platform::ScriptedPrompts prompts;
    auto form = std::make_unique<TOrloComForm>(prompts);
    TOrloComForm& window = *form;
    TDataReadingWindow reading(std::move(form));
    reading.SetDefaultFolder("/data");
    reading.SetPortName("COM5");
    reading.SetDefaultFileName("Flight");
    EXPECT_EQ(window.DefaultFolder, "/data");
    EXPECT_EQ(window.PortName, "COM5");
    EXPECT_EQ(window.DefaultFileName, "Flight");
    window.PortName = "COM6";
    EXPECT_EQ(reading.PortName(), "COM6");
    EXPECT_EQ(reading.Dialog(), &window);

    const TBlockSpec blocks[] = {{.Samples = 4}, {.Samples = 6}};
    std::vector<std::uint8_t> image = BuildMemoryBody(blocks);
    image.insert(image.end(), 5, 0xFF);
    reading.Memory().SetMemory(image);
    reading.Memory().SplitBlocks();
    EXPECT_EQ(window.BlockCount(), 2);
    TDataBlock block;
    EXPECT_EQ(window.BlockToRecord(1, block), 6);
}

TEST(AssertReport, FormatsTheLineAndFillsTheWindow) {
    EXPECT_EQ(AssertText("P<>nil in X", "Data.cpp", 42, 0x1a2bu),
              "P<>nil in X (Data.cpp, line 42, address $1a2b)");
    TFormAssert window;
    EXPECT_EQ(window.windowTitle(), "Assert");
    EXPECT_EQ(window.size(), QSize(586, 325));
    const int line = __LINE__ + 1;
    const bool held = ORLO_CHECK(1 + 1 == 3, QStringLiteral("first check"));
    ORLO_CHECK(false, QStringLiteral("second check"));
    EXPECT_FALSE(held);
    EXPECT_TRUE(ORLO_CHECK(true, QStringLiteral("never")));
    const QRegularExpression form(
        QStringLiteral("^second check \\(workspace_dialogs_test\\.cpp, line %1, address "
                       "\\$[0-9a-f]+\\)$")
            .arg(line + 1));
    EXPECT_TRUE(form.match(window.LabelText()).hasMatch()) << window.LabelText().toStdString();
    const QStringList memo = window.MemoText().split('\n');
    ASSERT_EQ(memo.size(), 2);
    EXPECT_TRUE(memo[0].startsWith(
        QStringLiteral("first check (workspace_dialogs_test.cpp, line %1,").arg(line)));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
}

}  // namespace
}  // namespace orlo::test
