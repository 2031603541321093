#include "orlo/workspace/TFormAnnot.h"

#include "orlo/data/TDataBlock.h"
#include "orlo/workspace/AssertDlg.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TFormAnnotEdit.h"
#include "orlo/workspace/TStringGrid.h"
#include "orlo/workspace/chart/TBlockPlot.h"
#include "platform/ui/DialogPrompts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <stdexcept>
#include <utility>

namespace orlo {
namespace {

// "%8.1f", trimmed, in the user's notation.
QString fieldText(double v) {
    return QLocale::system().toString(v, 'f', 1).remove(QLocale::system().groupSeparator());
}

}  // namespace

TFormAnnot::TFormAnnot(TBlockGrid& grid, TFormAnnotEdit& edit, platform::DialogPrompts& prompts,
                       QWidget* parent)
    : QDialog(parent), grid_(grid), edit_(edit), prompts_(prompts) {
    setObjectName(QStringLiteral("FormAnnot"));
    setWindowTitle(QStringLiteral("Annotations"));
    resize(360, 300);

    auto* layout = new QVBoxLayout(this);
    comboBox_ = new QComboBox(this);
    comboBox_->setObjectName(QStringLiteral("ComboBox1"));
    layout->addWidget(comboBox_);
    auto* middle = new QHBoxLayout;
    listBox_ = new QListWidget(this);
    listBox_->setObjectName(QStringLiteral("ListBox1"));
    middle->addWidget(listBox_, 1);
    auto* buttons = new QVBoxLayout;
    new_ = new QPushButton(QStringLiteral("New"), this);
    modify_ = new QPushButton(QStringLiteral("Modify"), this);
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    for (QPushButton* b : {new_, modify_, delete_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    middle->addLayout(buttons);
    layout->addLayout(middle, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    close_ = new QPushButton(QStringLiteral("Close"), this);
    QFont bold = close_->font();
    bold.setBold(true);
    close_->setFont(bold);
    bottom->addWidget(close_);
    layout->addLayout(bottom);

    connect(comboBox_, &QComboBox::currentIndexChanged, this, &TFormAnnot::ComboBox1Change);
    connect(listBox_, &QListWidget::currentRowChanged, this, &TFormAnnot::updateButtons);
    connect(new_, &QPushButton::clicked, this, &TFormAnnot::ButtonNewClick);
    connect(modify_, &QPushButton::clicked, this, &TFormAnnot::ButtonModifyClick);
    connect(delete_, &QPushButton::clicked, this, &TFormAnnot::ButtonDeleteClick);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    updateButtons();
}

void TFormAnnot::showEvent(QShowEvent* event) {
    if (RestoreWindowState)
        RestoreWindowState(*this);
    QDialog::showEvent(event);
}

void TFormAnnot::ShowForRow(int row) {
    {
        const QSignalBlocker block(comboBox_);
        comboBox_->clear();
        for (int r = 0; r < grid_.RowCount(); ++r)
            comboBox_->addItem(grid_.Blocks().Entry(r)->Name);
        comboBox_->setCurrentIndex(row >= 0 && row < comboBox_->count() ? row : -1);
    }
    ComboBox1Change();
    prompts_.runModal(*this);
}

TDataBlock* TFormAnnot::chosenBlock() const {
    const int index = comboBox_->currentIndex();
    if (index < 0)
        return nullptr;
    TDataBlock* block = grid_.Block(index);
    ORLO_CHECK(block != nullptr, QStringLiteral("P=nil in FormAnnot.ComboBox1Change"));
    return block;
}

TChartSeries& TFormAnnot::chosenSeries(TDataBlock*& block) const {
    block = chosenBlock();
    TChartSeries* series =
        block ? dynamic_cast<TChartSeries*>(grid_.Chart().Series(*block, SlotAnnotations))
              : nullptr;
    if (!series)
        throw std::runtime_error("Pointer not found!");
    return *series;
}

void TFormAnnot::ComboBox1Change() {
    listBox_->clear();
    if (TDataBlock* block = chosenBlock()) {
        if (const auto* series =
                dynamic_cast<const TChartSeries*>(grid_.Chart().Series(*block, SlotAnnotations)))
            for (const TChartMark& mark : series->Marks())
                listBox_->addItem(mark.Label);
    }
    if (listBox_->count() > 0)
        listBox_->setCurrentRow(0);
    updateButtons();
}

void TFormAnnot::updateButtons() {
    const bool selected = listBox_->count() > 0 && listBox_->currentRow() >= 0;
    modify_->setEnabled(selected);
    delete_->setEnabled(selected);
}

template <typename F>
void TFormAnnot::command(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        prompts_.error(QString::fromLocal8Bit(e.what()));
    }
    updateButtons();
}

void TFormAnnot::addFromEditor(TChartSeries& series, TDataBlock& block) {
    TAnnotation a;
    a.Time = TFormAnnotEdit::FieldValue(edit_.EditTime());
    a.Value = TFormAnnotEdit::FieldValue(edit_.EditAlt());
    a.Text = edit_.EditText()->text().toStdString();
    const int index = AddAnnotation(block, std::move(a));
    series.SetAnnotations(block.Annotations);
    // The block's record changed: Save writes the annotations with it.
    block.Modified = true;
    listBox_->addItem(series.Marks()[static_cast<std::size_t>(index)].Label);
    listBox_->setCurrentRow(listBox_->count() - 1);
}

void TFormAnnot::deleteSelected(TChartSeries& series, TDataBlock& block) {
    const int index = listBox_->currentRow();
    if (index < 0)
        return;
    DeleteAnnotation(block, index);
    series.SetAnnotations(block.Annotations);
    block.Modified = true;
    delete listBox_->takeItem(index);
    const int last = listBox_->count() - 1;
    if (last < 0)
        listBox_->setCurrentRow(-1);
    else
        listBox_->setCurrentRow(std::min(index, last));
}

void TFormAnnot::ButtonNewClick() {
    command([this] {
        edit_.EditTime()->setText(QStringLiteral("0"));
        edit_.EditAlt()->setText(QStringLiteral("0"));
        edit_.EditText()->clear();
        if (prompts_.runModal(edit_) != QDialog::Accepted)
            return;
        TDataBlock* block = nullptr;
        TChartSeries& series = chosenSeries(block);
        addFromEditor(series, *block);
    });
}

void TFormAnnot::ButtonModifyClick() {
    command([this] {
        TDataBlock* block = nullptr;
        TChartSeries& series = chosenSeries(block);
        const int index = listBox_->currentRow();
        if (index < 0 || index >= static_cast<int>(series.Marks().size()))
            return;
        const TChartMark& mark = series.Marks()[static_cast<std::size_t>(index)];
        edit_.EditAlt()->setText(fieldText(mark.Y));
        edit_.EditTime()->setText(fieldText(mark.X));
        edit_.EditText()->setText(mark.Label);
        if (prompts_.runModal(edit_) != QDialog::Accepted)
            return;
        deleteSelected(series, *block);
        addFromEditor(series, *block);
    });
}

void TFormAnnot::ButtonDeleteClick() {
    command([this] {
        if (comboBox_->currentIndex() < 0)
            return;
        TDataBlock* block = nullptr;
        TChartSeries& series = chosenSeries(block);
        deleteSelected(series, *block);
    });
}

}  // namespace orlo
