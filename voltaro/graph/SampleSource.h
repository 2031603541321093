#pragma once
// The samples of one data block as the evaluator sees them.
//
// The user calculations and int_dt read the cursor block through this interface, so
// they do not depend on the project model; the model adapts its block to it.
// SampleTable is a plain in-memory block for tools, tests and benchmarks.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace voltaro {

struct SampleValues {
    double T = 0.0;  // seconds
    double U = 0.0;
    double I = 0.0;
    double C = 0.0;
    double E = 0.0;
    double R = 0.0;
};

class SampleSource {
public:
    virtual ~SampleSource() = default;

    virtual std::size_t sampleCount() const = 0;
    virtual SampleValues sampleAt(std::size_t index) const = 0;
    // Copies the samples from first on into out, as many as fit and exist; returns
    // how many. Long loops read in chunks through this rather than per sample.
    virtual std::size_t readSamples(std::size_t first, std::span<SampleValues> out) const;

    // The smallest index i with i = count - 1 or T(i) >= t, scanning from 0. Only
    // for a block with samples.
    virtual std::size_t indexAtTime(double t) const;
    // The sample at p percent between the block's 0 % and 100 % samples, clamped to
    // the block. Only for a block with samples.
    virtual std::size_t indexAtPercent(double percent) const = 0;

    virtual std::string sessionName() const = 0;
    virtual std::string blockName() const = 0;
};

// Samples kept as the single-precision values of the project's sample record; the
// 0 % and 100 % points are the first and the last sample.
class SampleTable : public SampleSource {
public:
    SampleTable() = default;
    SampleTable(std::string sessionName, std::string blockName)
        : session_(std::move(sessionName)), block_(std::move(blockName)) {}

    void append(float t, float u, float i, float c = 0.0f, float e = 0.0f, float r = 0.0f);
    void reserve(std::size_t count) { samples_.reserve(count); }

    std::size_t sampleCount() const override { return samples_.size(); }
    SampleValues sampleAt(std::size_t index) const override;
    std::size_t readSamples(std::size_t first, std::span<SampleValues> out) const override;
    std::size_t indexAtTime(double t) const override;
    std::size_t indexAtPercent(double percent) const override;
    std::string sessionName() const override { return session_; }
    std::string blockName() const override { return block_; }

private:
    struct Row {
        float t, u, i, c, e, r;
    };
    std::vector<Row> samples_;
    std::string session_;
    std::string block_;
};

}  // namespace voltaro
