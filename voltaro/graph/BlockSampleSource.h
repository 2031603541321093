#pragma once
// A project data block as the evaluator's sample source: the user calculations
// and int_dt read the cursor block through it.

#include "voltaro/graph/SampleSource.h"

namespace voltaro {

class CDataBlock;

class BlockSampleSource : public SampleSource {
public:
    // The block must outlive the source; its samples are read, never copied.
    explicit BlockSampleSource(const CDataBlock& block) : m_block(block) {}

    std::size_t sampleCount() const override;
    SampleValues sampleAt(std::size_t index) const override;
    std::size_t readSamples(std::size_t first, std::span<SampleValues> out) const override;
    std::size_t indexAtTime(double t) const override;
    // Through the block's normalised range (its 0 % and 100 % samples).
    std::size_t indexAtPercent(double percent) const override;
    // The session's name, empty for a block without a session.
    std::string sessionName() const override;
    std::string blockName() const override;

private:
    const CDataBlock& m_block;
};

}  // namespace voltaro
