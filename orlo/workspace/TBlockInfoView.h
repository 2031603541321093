#pragma once
// What the open-block grid needs of the block information fields: the texts of the
// actual block, and clearing them when it closes.

#include "orlo/data/TDataBlock.h"

#include <QString>

namespace orlo {

// The texts of the block information fields, as GridChangeActualFile fills them.
struct TBlockInfoTexts {
    QString BlockName;  // BlockNameLabel
    QString Date;       // EditDate
    QString FlyTime;    // EditFlyTime; empty for a block without samples
    QString Sample;     // EditSample
    QString Ver;        // EditVer
    QString MaxAlt;     // EditMaxAlt; empty for a block without voltage samples
    QString MaxI, AvgI, MaxU, MinU, AvgU, MaxP, AvgP, MaxR, BlockC, BlockE;
    QString SampRate;  // InfoPanel10
    QString RecTime;   // InfoPanel18; empty for a block without samples
};

TBlockInfoTexts BlockInfoTexts(const TDataBlock& block, const QString& blockName);

class TBlockInfoView {
public:
    virtual ~TBlockInfoView() = default;
    virtual void ShowBlockInfo(const TBlockInfoTexts& texts) = 0;
    // Date, sampling, version, record time and maximum voltage of the closed block.
    virtual void ClearFileInfo() = 0;
};

}  // namespace orlo
