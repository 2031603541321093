#pragma once
// The protocol parsers: every received line is offered to an ordered list of
// parsers; the first that recognises it claims the block the line belongs to
// and turns its lines into samples.

#include <string_view>

namespace voltaro {

class CDataBlock;
struct DataSample;

// Result flags of the parsers, combined by OR.
enum ParserFlags : int {
    PF_UNRECOGNISED = 1,  // not part of this block's protocol
    PF_CONSUMED = 2,      // the line was used; the receiver discards it
    PF_SAMPLE = 4,        // the sample record was filled
    PF_FINISH = 8,        // the block is finished and reception stops
    PF_NEXT_BLOCK = 16,   // the block is finished; the line belongs to the next one
};

// What the dispatcher answers for a line nobody wanted.
inline constexpr int kNobodyWanted = PF_UNRECOGNISED | PF_CONSUMED;

// Battery names by the block's m_nBattery ("Battery" for unknown indexes).
const char* BatteryName(int nBattery);
inline constexpr int kBatteryCount = 6;

class CProtParser {
public:
    CProtParser() = default;
    virtual ~CProtParser();
    CProtParser(const CProtParser&) = delete;
    CProtParser& operator=(const CProtParser&) = delete;

    // The line comes without its line end; bComplete is false while it is still
    // being received. PF_CONSUMED claims the block.
    virtual int ParseHeader(CDataBlock& block, std::string_view line, bool bComplete) = 0;
    // pSample may be null (a probe); it is zeroed by the caller.
    virtual int ParseData(CDataBlock& block, std::string_view line, bool bComplete,
                          DataSample* pSample) = 0;
    // True when the block being received has been silent for too long.
    virtual bool IsTimedOut() { return false; }
};

}  // namespace voltaro
