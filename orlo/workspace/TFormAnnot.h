#pragma once
// "Annotations": the annotations of a chosen open block, with New, Modify and Delete.
//
// An annotation is a labelled point (time, value, text) of the block's annotation
// series, kept in time order. The list shows the texts; an added annotation is
// appended to the list even where the series sorts it earlier, and Modify and Delete
// act on the series point with the list's index, as the list is reloaded from the
// series whenever another block is chosen. The block keeps the annotations (its data
// file stores them); its annotation series shows them and is refreshed on each change.

#include <QDialog>

#include <functional>

class QComboBox;
class QListWidget;
class QPushButton;

namespace platform {
class DialogPrompts;
}

namespace orlo {

class TBlockGrid;
class TChartSeries;
class TFormAnnotEdit;
struct TDataBlock;

class TFormAnnot : public QDialog {
    Q_OBJECT
public:
    TFormAnnot(TBlockGrid& grid, TFormAnnotEdit& edit, platform::DialogPrompts& prompts,
               QWidget* parent = nullptr);

    // Where the dialog was last time.
    std::function<void(QWidget&)> RestoreWindowState;

    // Lists the grid's blocks, chooses the row's block (none if there is no such
    // row) and shows the dialog modally.
    void ShowForRow(int row);
    // Loads the list from the chosen block's annotation series.
    void ComboBox1Change();
    void ButtonNewClick();
    void ButtonModifyClick();
    void ButtonDeleteClick();

    QComboBox* ComboBox1() const { return comboBox_; }
    QListWidget* ListBox1() const { return listBox_; }
    QPushButton* ButtonNew() const { return new_; }
    QPushButton* ButtonModify() const { return modify_; }
    QPushButton* ButtonDelete() const { return delete_; }
    QPushButton* ButtonClose() const { return close_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The chosen block, or nullptr (the check reports a missing one).
    TDataBlock* chosenBlock() const;
    // The chosen block's annotation series; throws "Pointer not found!" when none.
    TChartSeries& chosenSeries(TDataBlock*& block) const;
    void addFromEditor(TChartSeries& series, TDataBlock& block);
    void deleteSelected(TChartSeries& series, TDataBlock& block);
    void updateButtons();
    template <typename F>
    void command(F&& f);

    TBlockGrid& grid_;
    TFormAnnotEdit& edit_;
    platform::DialogPrompts& prompts_;
    QComboBox* comboBox_ = nullptr;
    QListWidget* listBox_ = nullptr;
    QPushButton* new_ = nullptr;
    QPushButton* modify_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace orlo
