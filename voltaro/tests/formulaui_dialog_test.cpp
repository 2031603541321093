// The "Define User Formula" dialog offscreen: filling, the insert buttons, the
// recently-used list with DEL, USE and ADD, OK and Cancel through the document
// commands, and the remembered rectangle.
#include "platform/settings/SettingsStore.h"
#include "platform/testing/ScriptedPrompts.h"
#include "voltaro/graph/UserFormulaStore.h"
#include "voltaro/graph/ui/CUserFormulaDlg.h"
#include "voltaro/graph/ui/UserFormulaCommands.h"
#include "voltaro/model/CMainDoc.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace voltaro;

class HintRecorder : public DocumentView {
public:
    void OnUpdate(DocumentView*, int lHint, CViewTreeItem*) override { hints.push_back(lHint); }
    std::vector<int> hints;
};

class FormulaDialog : public ::testing::Test {
protected:
    std::unique_ptr<CUserFormulaDlg> open(const std::string& title = "Power",
                                          const std::string& formula = "U1*I1") {
        return std::make_unique<CUserFormulaDlg>(title, formula, &root, prompts, placement);
    }
    void selectRows(QListWidget* list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int r : rows)
            list->item(r)->setSelected(true);
    }
    std::optional<platform::SettingsValue> stored(const char* path, const char* name) {
        const auto levels = platform::SplitKeyPath(path);
        return levels ? backend.value(*levels, name) : std::nullopt;
    }

    platform::MemorySettingsBackend backend;
    platform::SettingsKey root = platform::SettingsKey::Root(backend);
    platform::ScriptedPrompts prompts;
    FormulaDialogPlacement placement;
};

TEST_F(FormulaDialog, FillsFromTheDocumentAndTheSettings) {
    WriteRecentFormulas(&root, {"zeta:\tz", "Alpha:\ta", "beta:\tb"});
    auto dlg = open("Energy", "a=2;\tb=a*3; b");
    EXPECT_EQ(dlg->windowTitle(), "Define User Formula");
    EXPECT_EQ(dlg->titleEdit()->text(), "Energy");
    EXPECT_EQ(dlg->formulaEdit()->toPlainText(), "a=2;\nb=a*3;\nb");
    // Sorted ignoring case.
    EXPECT_EQ(dlg->recentEntries(), (QStringList{"Alpha:\ta", "beta:\tb", "zeta:\tz"}));
    EXPECT_EQ(dlg->recentList()->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_TRUE(dlg->defaultCheck()->isChecked());
    EXPECT_TRUE(dlg->defaultCheck()->isHidden());
    EXPECT_EQ(dlg->defaultCheck()->text(), "Use by empty documents as default");
    EXPECT_FALSE(dlg->deleteButton()->isEnabled());
    EXPECT_FALSE(dlg->useButton()->isEnabled());
    EXPECT_TRUE(dlg->addButton()->isEnabled());
}

TEST_F(FormulaDialog, WithoutSettingsTheListIsEmpty) {
    CUserFormulaDlg dlg("", "", nullptr, prompts, placement);
    EXPECT_EQ(dlg.recentList()->count(), 0);
    EXPECT_FALSE(dlg.addButton()->isEnabled());  // nothing to add
    dlg.formulaEdit()->setPlainText("1");
    EXPECT_TRUE(dlg.addButton()->isEnabled());
    dlg.formulaEdit()->setPlainText("");
    EXPECT_FALSE(dlg.addButton()->isEnabled());
}

struct InsertCase {
    int id;
    const char* inserted;
    const char* selected;  // the placeholder left selected, or ""
};

TEST_F(FormulaDialog, InsertButtonsReplaceTheSelection) {
    const InsertCase cases[] = {
        {1050, "1", ""},           {1053, "2", ""},
        {1054, "3", ""},           {1055, "4", ""},
        {1056, "5", ""},           {1057, "6", ""},
        {1058, "7", ""},           {1059, "8", ""},
        {1060, "9", ""},           {1061, "0", ""},
        {1064, ".", ""},           {1066, "e", ""},
        {1031, "+", ""},           {1032, "-", ""},
        {1038, "*", ""},           {1049, "/", ""},
        {1033, "T1", ""},          {1037, "T2", ""},
        {1039, "dT", ""},          {1034, "U1", ""},
        {1041, "U2", ""},          {1040, "dU", ""},
        {1042, "I1", ""},          {1043, "I2", ""},
        {1048, "dI", ""},          {1044, "C1", ""},
        {1045, "C2", ""},          {1051, "dC", ""},
        {1046, "E1", ""},          {1047, "E2", ""},
        {1052, "dE", ""},          {1075, "R1", ""},
        {1076, "R2", ""},          {1077, "dR", ""},
        {1071, "U", ""},           {1119, "I", ""},
        {1073, "C", ""},           {1068, "T", ""},
        {1074, "R", ""},           {1013, "sin(x)", "x"},
        {1014, "cos(x)", "x"},     {1015, "tan(x)", "x"},
        {1016, "asin(x)", "x"},    {1017, "acos(x)", "x"},
        {1018, "atan(x)", "x"},    {1019, "sinh(x)", "x"},
        {1020, "cosh(x)", "x"},    {1021, "tanh(x)", "x"},
        {1022, "exp(x)", "x"},     {1023, "log(x)", "x"},
        {1024, "ln(x)", "x"},      {1025, "sqrt(x)", "x"},
        {1026, "floor(x)", "x"},   {1027, "ceil(x)", "x"},
        {1028, "abs(x)", "x"},     {1030, "rad(deg)", "deg"},
        {1029, "deg(rad)", "rad"}, {1067, "int_dt(expression, T1, T2)", "expression"},
    };
    auto dlg = open();
    QPlainTextEdit* edit = dlg->formulaEdit();
    for (const InsertCase& c : cases) {
        QPushButton* button = dlg->insertButton(c.id);
        ASSERT_NE(button, nullptr) << c.id;
        // "<[sel]>" with "sel" selected: the button replaces it.
        edit->setPlainText("<sel>");
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
        dlg->titleEdit()->setFocus();
        button->click();
        EXPECT_EQ(edit->toPlainText(), QStringLiteral("<%1>").arg(c.inserted)) << c.id;
        EXPECT_EQ(edit->textCursor().selectedText(), QString::fromLatin1(c.selected)) << c.id;
        if (*c.selected == '\0') {
            EXPECT_EQ(edit->textCursor().position(), 1 + static_cast<int>(qstrlen(c.inserted)))
                << c.id;
        }
        EXPECT_EQ(dlg->focusWidget(), edit) << c.id;
    }
    EXPECT_EQ(dlg->insertButton(1038)->text(), "x");
    EXPECT_EQ(dlg->insertButton(1062), nullptr);
}

TEST_F(FormulaDialog, DeleteAsksAndRemovesTheSelectedEntries) {
    WriteRecentFormulas(&root, {"a:\t1", "b:\t2", "c:\t3", "d:\t4"});
    auto dlg = open();
    selectRows(dlg->recentList(), {1, 3});
    EXPECT_TRUE(dlg->deleteButton()->isEnabled());
    EXPECT_FALSE(dlg->useButton()->isEnabled());

    prompts.answer(platform::Button::No);
    dlg->deleteButton()->click();
    EXPECT_EQ(dlg->recentList()->count(), 4);
    prompts.answer(platform::Button::Yes);
    dlg->deleteButton()->click();
    EXPECT_EQ(dlg->recentEntries(), (QStringList{"a:\t1", "c:\t3"}));
    EXPECT_EQ(prompts.texts(), (QStringList{"Are you sure to remove selected formula(s)?",
                                            "Are you sure to remove selected formula(s)?"}));
    EXPECT_EQ(prompts.messages()[0].buttons, platform::Button::Yes | platform::Button::No);
    EXPECT_FALSE(dlg->deleteButton()->isEnabled());
    EXPECT_EQ(prompts.unanswered(), 0);
}

TEST_F(FormulaDialog, UseTakesTitleAndFormulaFromTheEntry) {
    WriteRecentFormulas(&root, {"Power::\tU1*I1", "dC*1000"});
    auto dlg = open("Old", "old");
    selectRows(dlg->recentList(), {1});  // "Power::..." sorts after "dC*1000"
    ASSERT_TRUE(dlg->useButton()->isEnabled());
    dlg->useButton()->click();
    EXPECT_EQ(dlg->titleEdit()->text(), "Power");
    EXPECT_EQ(dlg->formulaEdit()->toPlainText(), "U1*I1");
    selectRows(dlg->recentList(), {0});
    dlg->useButton()->click();
    EXPECT_EQ(dlg->titleEdit()->text(), "Power");  // no tab: the title stays
    EXPECT_EQ(dlg->formulaEdit()->toPlainText(), "dC*1000");
}

TEST_F(FormulaDialog, AddPutsTheEntryInOrderAndSelectsIt) {
    WriteRecentFormulas(&root, {"Alpha:\ta", "Zulu:\tz"});
    auto dlg = open("Energy", "a=2; b");
    selectRows(dlg->recentList(), {0, 1});
    dlg->addButton()->click();
    EXPECT_EQ(dlg->recentEntries(), (QStringList{"Alpha:\ta", "Energy:\ta=2; b", "Zulu:\tz"}));
    const auto selected = dlg->recentList()->selectedItems();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0]->text(), "Energy:\ta=2; b");

    dlg->titleEdit()->clear();
    dlg->formulaEdit()->setPlainText("x\t+\ny");
    dlg->addButton()->click();
    EXPECT_TRUE(dlg->recentEntries().contains("Untitled:\tx + y"));  // one line, always
}

TEST_F(FormulaDialog, CommandOkHandsTheFormulaToTheDocument) {
    WriteRecentFormulas(&root, {"Alpha:\ta"});
    DocumentServices services;
    services.settingsRoot = &root;
    CMainDoc doc(false, services);
    doc.m_strFormula2 = "dU";
    doc.m_strTitle2 = "Drop";
    HintRecorder view;
    doc.AddView(&view);

    FormulaDialogHost host{prompts, placement};
    std::string seenTitle, seenFormula;
    prompts.answerDialog([&](QDialog& d) {
        auto& dlg = dynamic_cast<CUserFormulaDlg&>(d);
        seenTitle = dlg.titleEdit()->text().toStdString();
        seenFormula = dlg.formulaEdit()->toPlainText().toStdString();
        dlg.titleEdit()->setText("Work");
        dlg.formulaEdit()->setPlainText("p=U1*I1;\ndT*p");
        dlg.addButton()->click();
        dlg.accept();
        return dlg.result();
    });
    EXPECT_TRUE(OnUserCalculationCommand(doc, ID_USER_CALCULATION_2, host));
    EXPECT_EQ(seenTitle, "Drop");
    EXPECT_EQ(seenFormula, "dU");
    EXPECT_EQ(doc.m_strFormula2, "p=U1*I1; dT*p");
    EXPECT_EQ(doc.m_strTitle2, "Work");
    EXPECT_EQ(doc.m_strFormula1, "");
    EXPECT_EQ(view.hints, std::vector<int>{HINT_FORMULAS});
    EXPECT_EQ(ReadRecentFormulas(&root),
              (std::vector<std::string>{"Alpha:\ta", "Work:\tp=U1*I1; dT*p"}));
    const auto options =
        platform::OpenKeyPath(CMainDoc::kOptionsKeyPath, root, platform::KeyAccess::Read);
    ASSERT_TRUE(options);
    EXPECT_EQ(platform::ReadString(*options, "Formula_User2", "-"), "p=U1*I1; dT*p");
    EXPECT_EQ(platform::ReadString(*options, "Formula_User2t", "-"), "Work");
    EXPECT_EQ(platform::ReadString(*options, "Formula_User1", "-"), "-");

    EXPECT_FALSE(OnUserCalculationCommand(doc, 1105, host));
    doc.RemoveView(&view);
}

TEST_F(FormulaDialog, CommandCancelChangesNothing) {
    WriteRecentFormulas(&root, {"Alpha:\ta"});
    DocumentServices services;
    services.settingsRoot = &root;
    CMainDoc doc(false, services);
    doc.m_strFormula1 = "dC";
    HintRecorder view;
    doc.AddView(&view);
    FormulaDialogHost host{prompts, placement};
    std::string seenFormula;
    prompts.answerDialog([&](QDialog& d) {
        auto& dlg = dynamic_cast<CUserFormulaDlg&>(d);
        seenFormula = dlg.formulaEdit()->toPlainText().toStdString();
        dlg.formulaEdit()->setPlainText("U2");
        dlg.addButton()->click();
        dlg.reject();
        return dlg.result();
    });
    EXPECT_TRUE(OnUserCalculationCommand(doc, ID_USER_CALCULATION_1, host));
    EXPECT_EQ(seenFormula, "dC");
    EXPECT_EQ(doc.m_strFormula1, "dC");
    EXPECT_TRUE(view.hints.empty());
    EXPECT_EQ(ReadRecentFormulas(&root), std::vector<std::string>{"Alpha:\ta"});
    EXPECT_FALSE(stored(CMainDoc::kOptionsKeyPath, "Formula_User1").has_value());
    EXPECT_TRUE(placement.lastRect.has_value());  // closing still keeps the rectangle
    doc.RemoveView(&view);
}

TEST_F(FormulaDialog, RectangleFromSettingsThenFromThisRun) {
    QSize minimum;
    {
        auto probe = open();
        minimum = probe->minimumSize();
    }
    ASSERT_GT(minimum.width(), 0);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect wanted(screen.left() + 5, screen.top() + 6, minimum.width() + 40,
                       minimum.height() + 30);
    WriteFormulaDialogRect(&root, {wanted.left(), wanted.top(), wanted.left() + wanted.width(),
                                   wanted.top() + wanted.height()});
    {
        auto dlg = open();
        EXPECT_EQ(dlg->geometry(), wanted);
        dlg->setGeometry(wanted.translated(7, 8));
        dlg->reject();
    }
    ASSERT_TRUE(placement.lastRect.has_value());
    EXPECT_EQ(*placement.lastRect, wanted.translated(7, 8));
    const auto written = ReadFormulaDialogRect(&root);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ((*written)[0], wanted.left() + 7);
    EXPECT_EQ((*written)[3], wanted.top() + 8 + wanted.height());

    // This run's rectangle wins over the stored one.
    WriteFormulaDialogRect(&root, {0, 0, 3000, 3000});
    auto again = open();
    EXPECT_EQ(again->geometry(), wanted.translated(7, 8));
}

TEST_F(FormulaDialog, RectangleNeverSmallerThanTheDialogNorOffTheScreens) {
    QSize minimum;
    {
        auto probe = open();
        minimum = probe->minimumSize();
    }
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    WriteFormulaDialogRect(
        &root, {screen.left() + 10, screen.top() + 10, screen.left() + 20, screen.top() + 20});
    {
        auto dlg = open();
        EXPECT_EQ(dlg->geometry().topLeft(), QPoint(screen.left() + 10, screen.top() + 10));
        EXPECT_EQ(dlg->geometry().size(), minimum);
    }
    WriteFormulaDialogRect(&root, {-90000, -90000, -89000, -89000});
    auto lost = open();
    EXPECT_NE(lost->geometry().topLeft(), QPoint(-90000, -90000));
}

}  // namespace
