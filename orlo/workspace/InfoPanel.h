#pragma once
// The right panel: the actual block's name and statistics ("Block Data") and the
// values under the chart cursor ("Cursor Data").

#include "orlo/workspace/TBlockInfoView.h"

#include <QWidget>

#include <map>

class QLabel;

namespace orlo {

class TInfoPanel : public QWidget {
    Q_OBJECT
public:
    explicit TInfoPanel(QWidget* parent = nullptr);

    void ShowBlockData(const TBlockInfoTexts& texts);
    // Empties the block fields and resets the cursor fields, as before any block was open.
    void Clear();
    // InfoPanel1 ... InfoPanel19; nullptr for other numbers.
    QLabel* InfoField(int number) const;
    QLabel* BlockNameLabel() const { return blockName_; }

private:
    QLabel* blockName_ = nullptr;
    std::map<int, QLabel*> fields_;
};

}  // namespace orlo
