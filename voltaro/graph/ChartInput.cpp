#include "voltaro/graph/ChartInput.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

namespace voltaro {

ChartInput ReadChartInput(const CMainDoc& doc) {
    ChartInput input;
    input.settings = doc.m_graphSettings;
    for (const CDataModule* session : doc.m_sessions) {
        for (const CDataBlock* block : session->m_blocks) {
            if (!block->IsSelected())
                continue;
            ChartBlockInput& b = input.blocks.emplace_back();
            b.block = block;
            b.qualifiedName = block->GetQualifiedName();
            b.samples = block->m_samples;
            b.colorIntensity = block->m_nColorIntensity;
            b.lineType = block->m_nLineType;
            b.startIndex = block->m_nStartIndex;
            b.endIndex = block->m_nEndIndex;
        }
    }
    return input;
}

}  // namespace voltaro
