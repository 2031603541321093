#include "voltaro/graph/SampleSource.h"

#include <cmath>

namespace voltaro {

std::size_t SampleSource::indexAtTime(double t) const {
    const std::size_t count = sampleCount();
    std::size_t i = 0;
    while (i + 1 < count && !(sampleAt(i).T >= t))
        ++i;
    return i;
}

std::size_t SampleSource::readSamples(std::size_t first, std::span<SampleValues> out) const {
    const std::size_t count = sampleCount();
    std::size_t n = 0;
    for (; n < out.size() && first + n < count; ++n)
        out[n] = sampleAt(first + n);
    return n;
}

void SampleTable::append(float t, float u, float i, float c, float e, float r) {
    samples_.push_back(Row{t, u, i, c, e, r});
}

SampleValues SampleTable::sampleAt(std::size_t index) const {
    const Row& s = samples_[index];
    return {s.t, s.u, s.i, s.c, s.e, s.r};
}

std::size_t SampleTable::readSamples(std::size_t first, std::span<SampleValues> out) const {
    std::size_t n = 0;
    for (; n < out.size() && first + n < samples_.size(); ++n) {
        const Row& s = samples_[first + n];
        out[n] = {s.t, s.u, s.i, s.c, s.e, s.r};
    }
    return n;
}

std::size_t SampleTable::indexAtTime(double t) const {
    const std::size_t count = samples_.size();
    std::size_t i = 0;
    while (i + 1 < count && !(samples_[i].t >= t))
        ++i;
    return i;
}

std::size_t SampleTable::indexAtPercent(double percent) const {
    const double last = static_cast<double>(samples_.size()) - 1.0;
    // Clamped before the conversion, so a huge or NaN percentage stays defined.
    const double raw = std::trunc(last * percent * 0.01 + 0.5);
    if (!(raw > 0.0))
        return 0;
    if (raw >= last)
        return samples_.size() - 1;
    return static_cast<std::size_t>(raw);
}

}  // namespace voltaro
