// Feeds arbitrary bytes to the data file reader. Beyond not crashing, a file that
// reads cleanly must survive write-read-write unchanged, and every block must keep
// its series at one length.
#include "orlo/data/TDataBlock.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

void checkLengths(const orlo::TDataBlock& b) {
    const std::size_t n = b.Time.size();
    for (const auto* s : {&b.Voltage, &b.Current, &b.Rpm, &b.Capacity, &b.Energy})
        check(s->empty() || s->size() == n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orlo::TDataBlock block;
    const orlo::TReadResult r = orlo::ReadDataBytes(bytes, block);
    checkLengths(block);
    check(r.Count >= 0);
    if (r.Outcome != orlo::TReadOutcome::Ok)
        return 0;
    check(block.SampleCount() == r.Count);

    // A date line that is itself the data tag moves the data section of the copy.
    if (block.DateText == "<Data>")
        return 0;
    const std::string first = orlo::DataFileText(block);
    orlo::TDataBlock again;
    const orlo::TReadResult r2 = orlo::ReadDataBytes(first, again);
    check(r2.Outcome == orlo::TReadOutcome::Ok);
    check(r2.Count == r.Count);
    check(orlo::DataFileText(again) == first);
    return 0;
}
