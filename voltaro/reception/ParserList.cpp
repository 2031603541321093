#include "voltaro/reception/ParserList.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/DataSample.h"
#include "voltaro/reception/CProtParser_Kova.h"

namespace voltaro {
namespace {

const char* const kBatteryNames[kBatteryCount] = {"Battery", "NiMH1", "NiMH2", "NiCd", "Pb", "LiX"};

}  // namespace

const char* BatteryName(int nBattery) {
    // Indexes come from files too; an unknown one must not read past the table.
    if (nBattery < 0 || nBattery >= kBatteryCount)
        return kBatteryNames[0];
    return kBatteryNames[nBattery];
}

CProtParser::~CProtParser() = default;

int ParserList::FindParser(CDataBlock& block, CProtParser** ppParser, std::string_view line,
                           bool bComplete, DataSample* pSample, bool bHeaderOnly) const {
    for (CProtParser* parser : m_parsers) {
        const int flags = parser->ParseHeader(block, line, bComplete);
        if (flags & PF_CONSUMED) {
            if (ppParser)
                *ppParser = parser;
            return flags;
        }
    }
    if (bHeaderOnly)
        return kNobodyWanted;
    for (CProtParser* parser : m_parsers) {
        const int flags = parser->ParseData(block, line, bComplete, pSample);
        if (flags & PF_SAMPLE) {
            if (ppParser)
                *ppParser = parser;
            return flags;
        }
    }
    return kNobodyWanted;
}

bool ParserList::StartsBlock(std::string_view line) const {
    CDataBlock scratch;
    DataSample sample;
    const int flags = FindParser(scratch, nullptr, line, true, &sample, false);
    return (flags & PF_CONSUMED) && !(flags & PF_UNRECOGNISED);
}

int ParserList::OfferLine(CDataBlock& block, std::string_view line, bool bComplete,
                          bool bOnline) const {
    DataSample sample;
    int flags = 0;
    if (block.m_pParser) {
        flags = block.m_pParser->ParseData(block, line, bComplete, &sample);
        if ((flags & PF_UNRECOGNISED) && bComplete && StartsBlock(line))
            flags = PF_FINISH;
    } else {
        flags = FindParser(block, &block.m_pParser, line, bComplete, &sample, false);
    }
    if (flags & PF_SAMPLE)
        block.AppendSample(sample, line, bOnline);
    return flags;
}

void BuildParserList(ParserList& list, const QString& folder,
                     const DefinitionParserLoader& loader) {
    list.Clear();
    list.Add(std::make_unique<CProtParser_Kova>());
    if (loader)
        loader(folder, list);
}

void FreeParserList(ParserList& list) {
    list.Clear();
}

}  // namespace voltaro
