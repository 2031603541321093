#pragma once
// What the chart reads of a project: the selected blocks, in session and block
// order, and the graph settings record. ReadChartInput is the only place where the
// chart code walks the document's sessions and blocks; everything after it works
// on this snapshot.

#include "voltaro/model/DataSample.h"
#include "voltaro/model/GraphSettings.h"

#include <span>
#include <string>
#include <vector>

namespace voltaro {

class CDataBlock;
class CMainDoc;

// One selected block. The samples are borrowed from the block: the snapshot is
// valid until the document changes.
struct ChartBlockInput {
    const CDataBlock* block = nullptr;  // identity (current block, hit results)
    std::string qualifiedName;          // "<session>.<block>", 8-bit text
    std::span<const DataSample> samples;
    int colorIntensity = -1;  // percent, -1 automatic
    int lineType = -1;        // -1 automatic
    int startIndex = -1;      // 0 % sample of a normalised X axis, -1 not set
    int endIndex = -1;        // 100 % sample, -1 not set
};

struct ChartInput {
    std::vector<ChartBlockInput> blocks;  // selection order: sessions, then their blocks
    GraphSettings settings;
};

// The selected blocks of every session, in order, and the document's graph settings.
ChartInput ReadChartInput(const CMainDoc& doc);

}  // namespace voltaro
