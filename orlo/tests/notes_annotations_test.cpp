// Annotations: the list dialog against the block's annotation series, the edit
// dialog's fields, and the toolbar button that reaches them.
#include "WorkspaceTestSupport.h"

#include "orlo/workspace/MainCommands.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TFormAnnot.h"
#include "orlo/workspace/TFormAnnotEdit.h"
#include "orlo/workspace/TStringGrid.h"
#include "orlo/workspace/chart/TBlockPlot.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QToolBar>

namespace orlo::test {
namespace {

QStringList ListTexts(const TFormAnnot& d) {
    QStringList texts;
    for (int i = 0; i < d.ListBox1()->count(); ++i)
        texts << d.ListBox1()->item(i)->text();
    return texts;
}

QString Num(const char* text) {
    return QString::fromLatin1(text).replace('.', QLocale::system().decimalPoint());
}

class AnnotationTest : public WorkspaceTest {
protected:
    void SetUp() override {
        WorkspaceTest::SetUp();
        TFormMain& f = Show();
        f.openFiles({WriteFile("a.orl", MakeBlock(30)), WriteFile("b.orl", MakeBlock(20))});
        annot = &f.FormAnnot();
        edit = &f.FormAnnotEdit();
    }

    // The next edit dialog gets these fields and is accepted (or cancelled).
    void AnswerEdit(const QString& time, const QString& value, const QString& text,
                    bool ok = true) {
        prompts.answerDialog([=, this](QDialog& d) {
            EXPECT_EQ(&d, edit);
            edit->EditTime()->setText(time);
            edit->EditAlt()->setText(value);
            edit->EditText()->setText(text);
            edit->done(ok ? QDialog::Accepted : QDialog::Rejected);
            return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
    }

    // Opens the list dialog for a row and runs body while it is shown.
    void WithDialog(int row, const std::function<void()>& body) {
        prompts.answerDialog([&](QDialog& d) {
            EXPECT_EQ(&d, annot);
            body();
            return int(QDialog::Accepted);
        });
        annot->ShowForRow(row);
    }

    TDataBlock& Block(int row) { return *form->Grid().Block(row); }
    const TChartSeries& Annotations(int row) {
        return static_cast<const TChartSeries&>(
            *form->Grid().Chart().Series(Block(row), SlotAnnotations));
    }
    QStringList SeriesLabels(int row) {
        QStringList labels;
        for (const TChartMark& m : Annotations(row).Marks())
            labels << m.Label;
        return labels;
    }

    TFormAnnot* annot = nullptr;
    TFormAnnotEdit* edit = nullptr;
};

TEST_F(AnnotationTest, AnEarlierAnnotationIsAppendedToTheListButSortedIntoTheSeries) {
    WithDialog(1, [&] {
        EXPECT_EQ(annot->ComboBox1()->count(), 2);
        EXPECT_EQ(annot->ComboBox1()->currentText(), "b");
        EXPECT_EQ(annot->ListBox1()->count(), 0);
        EXPECT_FALSE(annot->ButtonModify()->isEnabled());
        EXPECT_FALSE(annot->ButtonDelete()->isEnabled());
        AnswerEdit(Num("5.5"), "120", "climb");
        annot->ButtonNew()->click();
        AnswerEdit("2", "80", "start");
        annot->ButtonNew()->click();
        EXPECT_EQ(ListTexts(*annot), (QStringList{"climb", "start"}));
        EXPECT_EQ(annot->ListBox1()->currentRow(), 1);
        EXPECT_TRUE(annot->ButtonModify()->isEnabled());
        // Choosing the block again reloads the list in the series' order.
        annot->ComboBox1()->setCurrentIndex(0);
        EXPECT_EQ(annot->ListBox1()->count(), 0);
        annot->ComboBox1()->setCurrentIndex(1);
        EXPECT_EQ(ListTexts(*annot), (QStringList{"start", "climb"}));
        EXPECT_EQ(annot->ListBox1()->currentRow(), 0);
    });
    const auto& marks = Annotations(1).Marks();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].X, 2);
    EXPECT_EQ(marks[0].Y, 80);
    EXPECT_EQ(marks[1].X, 5.5);
    EXPECT_EQ(marks[1].Y, 120);
    EXPECT_TRUE(Block(1).Modified);
    EXPECT_FALSE(Block(0).Modified);
    EXPECT_FALSE(Annotations(1).IsActive());  // never drawn
}

TEST_F(AnnotationTest, ModifyPresetsTheSelectedPointAndReplacesIt) {
    WithDialog(0, [&] {
        AnswerEdit("1", "10", "one");
        annot->ButtonNew()->click();
        AnswerEdit("3", "30", "three");
        annot->ButtonNew()->click();
        annot->ListBox1()->setCurrentRow(0);
        prompts.answerDialog([&](QDialog&) {
            EXPECT_EQ(edit->EditTime()->text(), Num("1.0"));
            EXPECT_EQ(edit->EditAlt()->text(), Num("10.0"));
            EXPECT_EQ(edit->EditText()->text(), "one");
            edit->EditTime()->setText("4");
            edit->EditText()->setText("four");
            return int(QDialog::Accepted);
        });
        annot->ButtonModify()->click();
        EXPECT_EQ(ListTexts(*annot), (QStringList{"three", "four"}));
        EXPECT_EQ(annot->ListBox1()->currentRow(), 1);

        // A cancelled edit changes nothing.
        AnswerEdit("9", "9", "nine", false);
        annot->ButtonModify()->click();
        EXPECT_EQ(ListTexts(*annot), (QStringList{"three", "four"}));
    });
    EXPECT_EQ(SeriesLabels(0), (QStringList{"three", "four"}));
    EXPECT_EQ(Annotations(0).Marks()[1].X, 4);
    EXPECT_EQ(Annotations(0).Marks()[1].Y, 10);
}

TEST_F(AnnotationTest, DeletingTheLastAnnotationLeavesNoSelection) {
    WithDialog(0, [&] {
        for (const char* t : {"a", "b", "c"}) {
            AnswerEdit(QString::number(t[0] - 'a'), "0", QString::fromLatin1(t));
            annot->ButtonNew()->click();
        }
        annot->ListBox1()->setCurrentRow(2);
        annot->ButtonDelete()->click();
        // The selection moves up from beyond the end.
        EXPECT_EQ(ListTexts(*annot), (QStringList{"a", "b"}));
        EXPECT_EQ(annot->ListBox1()->currentRow(), 1);
        annot->ListBox1()->setCurrentRow(0);
        annot->ButtonDelete()->click();
        EXPECT_EQ(ListTexts(*annot), QStringList{"b"});
        EXPECT_EQ(annot->ListBox1()->currentRow(), 0);
        annot->ButtonDelete()->click();
        EXPECT_EQ(annot->ListBox1()->count(), 0);
        EXPECT_EQ(annot->ListBox1()->currentRow(), -1);
        EXPECT_FALSE(annot->ButtonModify()->isEnabled());
        EXPECT_FALSE(annot->ButtonDelete()->isEnabled());
    });
    EXPECT_TRUE(Annotations(0).Marks().empty());
    EXPECT_TRUE(Block(0).Modified);
}

TEST_F(AnnotationTest, ARowThatDoesNotExistChoosesNoBlock) {
    WithDialog(7, [&] {
        EXPECT_EQ(annot->ComboBox1()->currentIndex(), -1);
        EXPECT_EQ(annot->ListBox1()->count(), 0);
        AnswerEdit("1", "1", "lost");
        annot->ButtonNew()->click();
        EXPECT_EQ(annot->ListBox1()->count(), 0);
    });
    EXPECT_EQ(prompts.texts(), QStringList{"Pointer not found!"});
    EXPECT_TRUE(Annotations(0).Marks().empty());
    EXPECT_TRUE(Annotations(1).Marks().empty());
}

TEST_F(AnnotationTest, SaveWritesTheAnnotationsAndReopeningShowsThem) {
    const QString path = form->StringGrid1().Cells(TStringGrid::ColPath, 0);
    WithDialog(0, [&] {
        AnswerEdit(Num("5.5"), "120", "climb, full power");
        annot->ButtonNew()->click();
        AnswerEdit("2", Num("-0.5"), "start");
        annot->ButtonNew()->click();
    });
    EXPECT_TRUE(Block(0).Modified);
    form->StringGrid1().setCurrentCell(0, 0);
    form->Commands().mnuSave->trigger();
    EXPECT_FALSE(Block(0).Modified);

    TDataBlock saved;
    ASSERT_EQ(ReadDataFile(path, saved).Outcome, TReadOutcome::Ok);
    const std::vector<TAnnotation> expected = {{2, -0.5, "start"}, {5.5, 120, "climb, full power"}};
    EXPECT_EQ(saved.Annotations, expected);

    // Closed without a question (all is saved) and opened again.
    form->Grid().CloseGridRow(0);
    EXPECT_TRUE(prompts.messages().empty());
    form->openFiles({path});
    const int row = form->Grid().RowCount() - 1;
    EXPECT_EQ(Block(row).Annotations, expected);
    EXPECT_EQ(SeriesLabels(row), (QStringList{"start", "climb, full power"}));
    EXPECT_FALSE(Block(row).Modified);
    WithDialog(row, [&] {
        EXPECT_EQ(ListTexts(*annot), (QStringList{"start", "climb, full power"}));
        // Deleting one marks the block modified again, and the next save drops it.
        annot->ButtonDelete()->click();
    });
    EXPECT_TRUE(Block(row).Modified);
    form->StringGrid1().setCurrentCell(row, 0);
    form->Commands().mnuSave->trigger();
    ASSERT_EQ(ReadDataFile(path, saved).Outcome, TReadOutcome::Ok);
    EXPECT_EQ(saved.Annotations, std::vector<TAnnotation>(expected.begin() + 1, expected.end()));
}

// The user types any character; the code page of the rest of the file holds neither
// "ñ" nor "Ω", which used to come back as "?".
TEST_F(AnnotationTest, TextBeyondTheCodePageSurvivesSaveAndReopen) {
    const QString path = form->StringGrid1().Cells(TStringGrid::ColPath, 0);
    const QString typed = QStringLiteral("Año 2026: 80 °C, 5 € \u03A9 \u65E5\u672C, \"cut\"\\n");
    WithDialog(0, [&] {
        AnswerEdit("3", "12", typed);
        annot->ButtonNew()->click();
    });
    form->StringGrid1().setCurrentCell(0, 0);
    form->Commands().mnuSave->trigger();
    ASSERT_FALSE(Block(0).Modified);
    form->Grid().CloseGridRow(0);
    form->openFiles({path});
    const int row = form->Grid().RowCount() - 1;
    EXPECT_EQ(SeriesLabels(row), QStringList{typed});
    WithDialog(row, [&] { EXPECT_EQ(ListTexts(*annot), QStringList{typed}); });
}

TEST_F(AnnotationTest, ToolbarButtonShowsTheDialogForTheSelectedRow) {
    QAction* button = form->TBAnnotDialog;
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), "Shows an Annotation dialog.");
    EXPECT_TRUE(button->isVisible());
    EXPECT_TRUE(form->Commands().ToolBarGraf->actions().contains(button));
    form->StringGrid1().setCurrentCell(1, 0);
    int chosen = -2;
    prompts.answerDialog([&](QDialog& d) {
        EXPECT_EQ(&d, annot);
        chosen = annot->ComboBox1()->currentIndex();
        return int(QDialog::Accepted);
    });
    button->trigger();
    EXPECT_EQ(chosen, 1);
}

TEST_F(AnnotationTest, EditDialogFiltersNumbersAndWalksOnWithEnter) {
    EXPECT_EQ(edit->windowTitle(), "Edit Annotation");
    struct Case {
        QLineEdit* field;
        const char* typed;
        QString expected;
    } cases[] = {
        {edit->EditTime(), "-1a2b", "-12"},
        {edit->EditAlt(), "x9 9", "99"},
        {edit->EditTime(), nullptr, {}},
        {edit->EditText(), "free text 1", "free text 1"},
    };
    // The decimal separator of the user's locale is accepted.
    const QString sep = QLocale::system().decimalPoint();
    cases[2].expected = "3" + sep + "5";
    const QString decimalTyped = "3" + sep + "5";
    for (const Case& c : cases) {
        c.field->clear();
        const QString typed = c.typed ? QString::fromLatin1(c.typed) : decimalTyped;
        for (const QChar ch : typed) {
            QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(c.field, &e);
        }
        EXPECT_EQ(c.field->text(), c.expected) << typed.toStdString();
    }

    edit->show();
    QApplication::setActiveWindow(edit);
    edit->EditTime()->setFocus();
    const std::pair<QWidget*, QWidget*> chain[] = {{edit->EditTime(), edit->EditAlt()},
                                                   {edit->EditAlt(), edit->EditText()},
                                                   {edit->EditText(), edit->ButtonOk()}};
    for (const auto& [from, to] : chain) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(from, &enter);
        EXPECT_EQ(QApplication::focusWidget(), to);
    }
    EXPECT_TRUE(edit->isVisible());  // Enter in a field never closes the dialog
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit->ButtonOk(), &enter);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(edit->result(), QDialog::Accepted);

    edit->EditText()->clear();
    edit->done(QDialog::Accepted);
    EXPECT_EQ(edit->EditText()->text(), " ");
    edit->EditTime()->setText("abc");
    EXPECT_EQ(TFormAnnotEdit::FieldValue(edit->EditTime()), 0.0);
    edit->EditTime()->setText(" 12" + sep + "5 ");
    EXPECT_EQ(TFormAnnotEdit::FieldValue(edit->EditTime()), 12.5);
}

}  // namespace
}  // namespace orlo::test
