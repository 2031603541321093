#include "voltaro/graph/BlockSampleSource.h"

#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"

namespace voltaro {
namespace {

SampleValues valuesOf(const DataSample& s) {
    return {s.T, s.U, s.I, s.C, s.E, s.R};
}

}  // namespace

std::size_t BlockSampleSource::sampleCount() const {
    return m_block.m_samples.size();
}

SampleValues BlockSampleSource::sampleAt(std::size_t index) const {
    return valuesOf(m_block.m_samples[index]);
}

std::size_t BlockSampleSource::readSamples(std::size_t first, std::span<SampleValues> out) const {
    const std::vector<DataSample>& samples = m_block.m_samples;
    std::size_t n = 0;
    for (; n < out.size() && first + n < samples.size(); ++n)
        out[n] = valuesOf(samples[first + n]);
    return n;
}

std::size_t BlockSampleSource::indexAtTime(double t) const {
    // The same scan as the block's own, but on the double the evaluator holds:
    // a bound between two floats must not be rounded onto a sample first.
    const std::vector<DataSample>& samples = m_block.m_samples;
    std::size_t i = 0;
    while (i + 1 < samples.size() && !(samples[i].T >= t))
        ++i;
    return i;
}

std::size_t BlockSampleSource::indexAtPercent(double percent) const {
    int index = 0;
    m_block.IndexAtPercent(percent, &index);
    return static_cast<std::size_t>(index);
}

std::string BlockSampleSource::sessionName() const {
    const CDataModule* session = m_block.GetSession();
    return session ? session->GetName() : std::string();
}

std::string BlockSampleSource::blockName() const {
    return m_block.GetName();
}

}  // namespace voltaro
