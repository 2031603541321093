#include "orlo/workspace/InfoPanel.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace orlo {
namespace {

struct FieldSpec {
    int number;
    const char* caption;
};

constexpr FieldSpec kBlockFields[] = {
    {1, "Max I [A]:"},    {2, "Avg I [A]:"},    {3, "Max U [V]:"},      {4, "Min U [V]:"},
    {5, "Avg U [V]:"},    {6, "Max P [W]:"},    {7, "Avg P [W]:"},      {19, "Max R [RPM]:"},
    {8, "Block C [Ah]:"}, {9, "Block E [Wh]:"}, {10, "Samp.rate [s]:"}, {18, "Rec.time:"},
};

constexpr FieldSpec kCursorFields[] = {
    {11, "U [V]:"}, {12, "I [A]:"},  {13, "R [RPM]:"}, {14, "C [Ah]:"},
    {15, "P [W]:"}, {16, "E [Wh]:"}, {17, "Time:"},
};

}  // namespace

TInfoPanel::TInfoPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PanelInfo"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    blockName_ = new QLabel(this);
    blockName_->setObjectName(QStringLiteral("BlockNameLabel"));
    QFont bold = blockName_->font();
    bold.setBold(true);
    blockName_->setFont(bold);
    layout->addWidget(blockName_);

    const auto group = [this, layout](const QString& title, const auto& specs) {
        auto* box = new QGroupBox(title, this);
        auto* form = new QFormLayout(box);
        form->setLabelAlignment(Qt::AlignRight);
        // Nineteen fields in a column: tight rows keep the window at its design height.
        form->setVerticalSpacing(1);
        form->setContentsMargins(6, 4, 6, 4);
        for (const FieldSpec& f : specs) {
            auto* field = new QLabel(box);
            field->setObjectName(QStringLiteral("InfoPanel%1").arg(f.number));
            field->setFrameShape(QFrame::StyledPanel);
            field->setFrameShadow(QFrame::Sunken);
            field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            field->setMinimumWidth(60);
            form->addRow(QString::fromUtf8(f.caption), field);
            fields_[f.number] = field;
        }
        layout->addWidget(box);
    };
    group(QStringLiteral("Block Data"), kBlockFields);
    group(QStringLiteral("Cursor Data"), kCursorFields);
    Clear();
    layout->addStretch(1);
}

void TInfoPanel::Clear() {
    ShowBlockData({});
    for (int n = 11; n <= 17; ++n)
        fields_[n]->setText(QStringLiteral("-"));
}

QLabel* TInfoPanel::InfoField(int number) const {
    const auto it = fields_.find(number);
    return it == fields_.end() ? nullptr : it->second;
}

void TInfoPanel::ShowBlockData(const TBlockInfoTexts& t) {
    blockName_->setText(t.BlockName);
    const std::pair<int, const QString*> values[] = {
        {1, &t.MaxI},   {2, &t.AvgI},   {3, &t.MaxU},      {4, &t.MinU},
        {5, &t.AvgU},   {6, &t.MaxP},   {7, &t.AvgP},      {19, &t.MaxR},
        {8, &t.BlockC}, {9, &t.BlockE}, {10, &t.SampRate}, {18, &t.RecTime},
    };
    for (const auto& [number, text] : values)
        fields_[number]->setText(*text);
}

}  // namespace orlo
