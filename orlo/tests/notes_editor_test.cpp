// The notes page on its own: toolbar and selection, editor keys, font boxes,
// alignment, clipboard, undo, the font dialog, printing and the pop-up menu.
#include "orlo/workspace/NotesPage.h"
#include "platform/testing/ScriptedPrompts.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>

#include <gtest/gtest.h>

#include <stdexcept>

namespace orlo::test {
namespace {

std::string Fixture(const char* name) {
    QFile f(QStringLiteral(TEST_DATA_DIR "/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

class NotesPageTest : public ::testing::Test {
protected:
    void SetUp() override { QApplication::clipboard()->clear(); }

    QTextEdit& Editor() { return *page.RichEdit1(); }

    // New notes, as a block brings them.
    void SetText(const char* text) { page.LoadNotes(text); }

    // Selects [from, to) of the editor's text.
    void Select(int from, int to) {
        QTextCursor c(Editor().document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        Editor().setTextCursor(c);
    }

    void PlaceCursor(int at) { Select(at, at); }

    // The character format of the character after position at.
    QTextCharFormat FormatAt(int at) {
        QTextCursor c(Editor().document());
        c.setPosition(at + 1);
        return c.charFormat();
    }

    void Key(int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(&Editor(), &e);
    }

    QString FamilyAt(int at) {
        const QStringList f = FormatAt(at).fontFamilies().toStringList();
        return f.isEmpty() ? QString() : f.first();
    }

    platform::ScriptedPrompts prompts;
    TNotesPage page{prompts};
};

TEST_F(NotesPageTest, ToolbarLayoutAndHints) {
    QStringList items;
    for (QAction* a : page.ToolBarLetInfo()->actions()) {
        if (a->isSeparator())
            items << "-";
        else if (QWidget* w = page.ToolBarLetInfo()->widgetForAction(a); w && !a->text().size())
            items << w->objectName();
        else
            items << a->toolTip();
    }
    EXPECT_EQ(items, (QStringList{"Print", "Cut", "Copy", "Paste", "Back", "-", "Bold", "Italic",
                                  "Underline", "Font dialog", "-", "ComboFontName", "ComboFontSize",
                                  "-", "Left Justify", "Center Justify", "Right Justify"}));
    EXPECT_TRUE(page.TBBold->isCheckable() && page.TBItalic->isCheckable() &&
                page.TBUnderline->isCheckable());
    EXPECT_EQ(page.TBLeft->data().toInt(), 0);
    EXPECT_EQ(page.TBCenter->data().toInt(), 2);
    EXPECT_EQ(page.TBRight->data().toInt(), 1);
    QStringList sizes;
    for (int i = 0; i < page.ComboFontSize()->count(); ++i)
        sizes << page.ComboFontSize()->itemText(i);
    EXPECT_EQ(sizes, (QStringList{"8", "10", "12", "14", "17", "24"}));
    EXPECT_EQ(page.ComboFontSize()->currentText(), "8");
    EXPECT_FALSE(page.ComboFontName()->isEditable());
    EXPECT_FALSE(page.ComboFontName()->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(page.ComboFontSize()->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(Editor().font().family(), "Arial");
    EXPECT_EQ(Editor().font().pointSize(), 8);

    QStringList entries;
    for (QAction* a : page.PopupRich()->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(entries, (QStringList{"Tisk", "Vyjmout", "Kopírovat", "Vložit", "Zpet", "-", "Font",
                                    "Zarovnání", "-", "Storno"}));
    QStringList align;
    for (QAction* a : page.mnuAlignLeft->actionGroup()->actions())
        align << a->text() + "=" + QString::number(a->data().toInt());
    EXPECT_EQ(align, (QStringList{"Doleva=0", "Na stred=2", "Doprava=1"}));
}

TEST_F(NotesPageTest, RichEditFixtureLoadsAndTheToolbarFollowsTheSelection) {
    page.LoadNotes(Fixture("notes_richedit.rtf"));
    page.SetModified(false);
    ASSERT_EQ(Editor().toPlainText(),
              QString::fromUtf8("Let na červenou stranu\nVrtule 12x6\nkonec"));
    const int vrtule = static_cast<int>(Editor().toPlainText().indexOf("Vrtule"));
    const int konec = static_cast<int>(Editor().toPlainText().indexOf("konec"));
    EXPECT_EQ(FormatAt(konec).foreground().color(), QColor(255, 0, 0));

    struct Case {
        int at;
        bool bold, italic, underline;
        const char* size;
        const char* family;
        QAction* align;
    } cases[] = {
        {1, false, false, false, "8", "Arial", page.TBLeft},
        {5, true, false, false, "8", "Arial", page.TBLeft},
        {vrtule + 2, false, true, false, "14", "Arial", page.TBCenter},
        {konec + 2, false, false, true, "10", "Courier New", page.TBRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        PlaceCursor(c.at);
        EXPECT_EQ(page.TBBold->isChecked(), c.bold);
        EXPECT_EQ(page.TBItalic->isChecked(), c.italic);
        EXPECT_EQ(page.TBUnderline->isChecked(), c.underline);
        EXPECT_EQ(page.ComboFontSize()->currentText(), c.size);
        EXPECT_EQ(page.ComboFontName()->currentIndex(),
                  page.ComboFontName()->findText(c.family, Qt::MatchFixedString));
        EXPECT_TRUE(c.align->isChecked());
        EXPECT_FALSE(page.TBCopy->isEnabled());
        EXPECT_FALSE(page.TBCut->isEnabled());
        EXPECT_FALSE(page.ToolbarGuard());
    }
    // Showing the toolbar's state never applied it to the text.
    EXPECT_FALSE(page.IsModified());
    EXPECT_TRUE(FormatAt(5).font().bold());
    EXPECT_FALSE(FormatAt(1).font().bold());

    Select(0, 3);
    EXPECT_TRUE(page.TBCopy->isEnabled());
    EXPECT_TRUE(page.TBCut->isEnabled());
}

TEST_F(NotesPageTest, EditorKeysToggleStylesAndAreConsumed) {
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        const char* text;
        bool (*has)(const QTextCharFormat&);
    } cases[] = {
        {Qt::Key_B, Qt::ControlModifier, "\x02",
         [](const QTextCharFormat& f) { return f.font().bold(); }},
        {Qt::Key_I, Qt::ControlModifier, "\x09",
         [](const QTextCharFormat& f) { return f.font().italic(); }},
        {Qt::Key_Tab, Qt::NoModifier, "\t",
         [](const QTextCharFormat& f) { return f.font().italic(); }},
        {Qt::Key_U, Qt::ControlModifier, "\x15",
         [](const QTextCharFormat& f) { return f.font().underline(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        SetText("abc def");
        Select(0, 3);
        Key(c.key, c.mods, QString::fromLatin1(c.text));
        EXPECT_TRUE(c.has(FormatAt(1)));
        EXPECT_FALSE(c.has(FormatAt(5)));
        Key(c.key, c.mods, QString::fromLatin1(c.text));
        EXPECT_FALSE(c.has(FormatAt(1)));
        EXPECT_EQ(Editor().toPlainText(), "abc def");  // nothing typed, no tab
    }

    // Ctrl+N removes every style; at the insertion point it applies to what is typed.
    SetText("abc");
    Select(0, 3);
    Key(Qt::Key_B, Qt::ControlModifier);
    Key(Qt::Key_I, Qt::ControlModifier);
    Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(page.TBBold->isChecked());
    EXPECT_TRUE(page.TBItalic->isChecked());
    EXPECT_TRUE(page.TBUnderline->isChecked());
    Key(Qt::Key_N, Qt::ControlModifier);
    const QFont f = FormatAt(1).font();
    EXPECT_FALSE(f.bold() || f.italic() || f.underline() || f.strikeOut());
    EXPECT_FALSE(page.TBBold->isChecked() || page.TBItalic->isChecked() ||
                 page.TBUnderline->isChecked());
    PlaceCursor(3);
    Key(Qt::Key_B, Qt::ControlModifier);
    Editor().textCursor().insertText("X");
    EXPECT_TRUE(FormatAt(3).font().bold());
    EXPECT_FALSE(FormatAt(2).font().bold());
}

TEST_F(NotesPageTest, StyleButtonsSetTheirStateOnTheSelection) {
    SetText("abc def");
    Select(4, 7);
    for (QAction* button : {page.TBBold, page.TBItalic, page.TBUnderline})
        button->trigger();  // pressed now: added
    QFont f = FormatAt(5).font();
    EXPECT_TRUE(f.bold() && f.italic() && f.underline());
    EXPECT_FALSE(FormatAt(1).font().bold());
    page.TBItalic->trigger();  // released: removed
    f = FormatAt(5).font();
    EXPECT_TRUE(f.bold() && !f.italic() && f.underline());
}

TEST_F(NotesPageTest, SizeBoxAppliesItsNumberOrTen) {
    struct Case {
        const char* typed;
        double size;
    } cases[] = {{"14", 14}, {"24", 24}, {"", 10}, {"x1", 10}, {"0", 10}, {"99999", 1638}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        SetText("abc def");
        Select(0, 3);
        page.ComboFontSize()->setEditText(QString::fromLatin1(c.typed));
        page.ComboFontSizeChange();
        EXPECT_EQ(FormatAt(1).fontPointSize(), c.size);
        EXPECT_EQ(FormatAt(5).fontPointSize(), 0);  // the rest keeps the default
    }
    // Typing accepts digits only.
    QLineEdit* line = page.ComboFontSize()->lineEdit();
    line->clear();
    for (const char* t : {"1", "a", "-", "2"}) {
        QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(t));
        QApplication::sendEvent(line, &e);
    }
    EXPECT_EQ(line->text(), "12");

    // Choosing a list item applies it; the toolbar's own updates apply nothing.
    SetText("abc");
    Select(0, 3);
    page.ComboFontSize()->setCurrentIndex(3);
    EXPECT_EQ(FormatAt(1).fontPointSize(), 0);
    emit page.ComboFontSize()->activated(3);
    EXPECT_EQ(FormatAt(1).fontPointSize(), 14);
}

TEST_F(NotesPageTest, FontNameListAppliesTheChosenName) {
    QComboBox& names = *page.ComboFontName();
    ASSERT_GT(names.count(), 0);
    SetText("abc def");
    Select(0, 3);
    const int index = names.count() - 1;
    names.setCurrentIndex(index);
    emit names.activated(index);
    EXPECT_EQ(FamilyAt(1), names.itemText(index));
    EXPECT_EQ(FamilyAt(5), QString());
}

TEST_F(NotesPageTest, AlignmentFollowsTheTagsFromToolbarAndPopup) {
    struct Case {
        QAction* action;
        Qt::Alignment alignment;
        QAction* pressed;
    } cases[] = {
        {page.TBCenter, Qt::AlignHCenter, page.TBCenter},
        {page.TBRight, Qt::AlignRight, page.TBRight},
        {page.TBLeft, Qt::AlignLeft, page.TBLeft},
        {page.mnuAlignRight, Qt::AlignRight, page.TBRight},
        {page.mnuAlignCenter, Qt::AlignHCenter, page.TBCenter},
        {page.mnuAlignLeft, Qt::AlignLeft, page.TBLeft},
    };
    SetText("first\nsecond");
    const auto horizontal = [](const QTextBlock& b) {
        return b.blockFormat().alignment() & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
    };
    const Qt::Alignment second = horizontal(Editor().document()->lastBlock());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action->text().toStdString());
        PlaceCursor(2);
        c.action->trigger();
        EXPECT_EQ(horizontal(Editor().document()->firstBlock()), c.alignment);
        EXPECT_EQ(horizontal(Editor().document()->lastBlock()), second);
        EXPECT_TRUE(c.pressed->isChecked());
        page.PopupRichPopup();
        EXPECT_EQ(page.mnuAlignLeft->isChecked(), page.TBLeft->isChecked());
        EXPECT_EQ(page.mnuAlignCenter->isChecked(), page.TBCenter->isChecked());
        EXPECT_EQ(page.mnuAlignRight->isChecked(), page.TBRight->isChecked());
    }
    // Alignment survives the trip through the block's notes.
    PlaceCursor(2);
    page.AlignClick(1);
    const std::string rtf = page.SaveNotes();
    page.ClearNotes();
    page.LoadNotes(rtf);
    PlaceCursor(2);
    EXPECT_TRUE(page.TBRight->isChecked());
}

TEST_F(NotesPageTest, PasteTurnsTheInsertionPointToCourierNewFirst) {
    SetText("abc");
    PlaceCursor(3);
    QApplication::clipboard()->setText("pasted");
    page.TBPasteClick();
    EXPECT_EQ(Editor().toPlainText(), "abcpasted");
    EXPECT_EQ(FamilyAt(4), "Courier New");
    EXPECT_NE(FamilyAt(1), "Courier New");

    // Pasting over a selection replaces it, in Courier New as well.
    Select(0, 3);
    QApplication::clipboard()->setText("xy");
    page.mnuPaste->trigger();
    EXPECT_EQ(Editor().toPlainText(), "xypasted");
    EXPECT_EQ(FamilyAt(0), "Courier New");
}

TEST_F(NotesPageTest, CutCopyUndoAndTheirEnabling) {
    page.LoadNotes("plain words");
    EXPECT_EQ(Editor().toPlainText(), "plain words");
    EXPECT_FALSE(page.TBUndo->isEnabled());   // loading is no edit
    EXPECT_FALSE(page.TBPaste->isEnabled());  // the clipboard is empty
    page.PopupRichPopup();
    EXPECT_FALSE(page.mnuUndo->isEnabled());
    EXPECT_FALSE(page.mnuPaste->isEnabled());
    EXPECT_FALSE(page.mnuCopy->isEnabled());
    EXPECT_FALSE(page.mnuCut->isEnabled());

    Select(0, 6);
    page.PopupRichPopup();
    EXPECT_TRUE(page.mnuCopy->isEnabled());
    EXPECT_TRUE(page.mnuCut->isEnabled());
    page.TBCopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), "plain ");
    EXPECT_TRUE(page.TBPaste->isEnabled());  // the clipboard changed
    page.mnuCut->trigger();
    EXPECT_EQ(Editor().toPlainText(), "words");
    EXPECT_TRUE(page.TBUndo->isEnabled());
    page.PopupRichPopup();
    EXPECT_TRUE(page.mnuUndo->isEnabled());
    EXPECT_TRUE(page.mnuPaste->isEnabled());
    page.TBUndo->trigger();
    EXPECT_EQ(Editor().toPlainText(), "plain words");
    EXPECT_FALSE(page.TBUndo->isEnabled());

    QApplication::clipboard()->clear();
    page.AppIdle();
    EXPECT_FALSE(page.TBPaste->isEnabled());
}

TEST_F(NotesPageTest, FontDialogGetsTheSelectionAndGivesItBack) {
    SetText("abc def");
    Select(0, 3);
    page.ComboFontSize()->setEditText("12");
    page.ComboFontSizeChange();
    Select(0, 3);
    QTextCharFormat blue;
    blue.setForeground(QColor(0, 0, 255));
    Editor().textCursor().mergeCharFormat(blue);
    QFont chosen(QStringLiteral("Courier New"));
    chosen.setPointSize(17);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setStrikeOut(true);

    prompts.answerFont(std::nullopt);
    page.TBFontClick();
    ASSERT_EQ(prompts.fontRequests().size(), 1u);
    const QFont& preset = prompts.fontRequests()[0].initial;
    EXPECT_EQ(preset.pointSize(), 12);
    EXPECT_EQ(preset.family(), "Arial");
    EXPECT_FALSE(preset.bold());
    EXPECT_EQ(FamilyAt(1), QString());  // cancelled: nothing applied
    EXPECT_EQ(FormatAt(1).fontPointSize(), 12);

    prompts.answerFont(chosen);
    page.mnuFont->trigger();
    const QTextCharFormat f = FormatAt(1);
    EXPECT_EQ(FamilyAt(1), "Courier New");
    EXPECT_EQ(f.fontPointSize(), 17);
    EXPECT_TRUE(f.font().bold());
    EXPECT_TRUE(f.font().italic());
    EXPECT_TRUE(f.font().strikeOut());
    EXPECT_EQ(f.foreground().color(), QColor(0, 0, 255));  // the dialog keeps the colour
    EXPECT_EQ(FamilyAt(5), QString());
    // The toolbar shows the new state.
    EXPECT_TRUE(page.TBBold->isChecked());
    EXPECT_EQ(page.ComboFontSize()->currentText(), "17");
}

// The pages of a PDF file the printer wrote; -1 when there is none.
int PdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page(?!s))"));
    return int(QString::fromLatin1(f.readAll()).count(page));
}

TEST_F(NotesPageTest, PrintingPrintsTheNotesAndReportsFailures) {
    page.LoadNotes("{\\rtf1\\ansi {\\b Flight} log\\par}");
    page.SetModified(false);
    QTemporaryDir dir;

    page.TBPrint->trigger();  // cancelled: nothing printed, nothing said
    ASSERT_EQ(prompts.printerRequests().size(), 1u);
    EXPECT_EQ(prompts.printerRequests()[0].kind, platform::ScriptedPrompts::PrinterCall::Print);
    EXPECT_EQ(prompts.printerRequests()[0].docName, QString());
    EXPECT_TRUE(prompts.messages().empty());

    const QString shortNotes = dir.filePath(QStringLiteral("short.pdf"));
    prompts.answerPrinterToPdf(shortNotes);
    page.TBPrint->trigger();
    EXPECT_EQ(PdfPages(shortNotes), 1);
    EXPECT_FALSE(page.IsModified());
    EXPECT_EQ(Editor().toPlainText(), "Flight log");
    EXPECT_TRUE(prompts.messages().empty());

    // The whole text is printed, over as many pages as it needs.
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 200; ++i)
        rtf += "Line " + std::to_string(i) + "\\par ";
    page.LoadNotes(rtf + "}");
    const QString longNotes = dir.filePath(QStringLiteral("long.pdf"));
    prompts.answerPrinterToPdf(longNotes);
    page.TBPrint->trigger();
    EXPECT_GT(PdfPages(longNotes), 2);

    prompts.answerPrinterToPdf(dir.filePath(QStringLiteral("missing/notes.pdf")));
    page.mnuPrint->trigger();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text,
              "Error by Printig richedit!\r\nThe printer reported an error.");
    EXPECT_EQ(prompts.messages()[0].icon, platform::Icon::Error);
}

TEST_F(NotesPageTest, EditsSetTheModifiedFlagAndNotesRoundTrip) {
    page.LoadNotes(Fixture("notes_richedit.rtf"));
    page.SetModified(false);
    Select(4, 6);
    page.TBUnderline->trigger();
    EXPECT_TRUE(page.IsModified());
    const std::string saved = page.SaveNotes();
    EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);
    TNotesPage other(prompts);
    other.LoadNotes(saved);
    EXPECT_EQ(other.RichEdit1()->toPlainText(), Editor().toPlainText());
    QTextCursor c(other.RichEdit1()->document());
    c.setPosition(5);
    EXPECT_TRUE(c.charFormat().font().underline());
    EXPECT_TRUE(c.charFormat().font().bold());
}

}  // namespace
}  // namespace orlo::test
