#pragma once
// Milliseconds of a clock that never goes back. Protocol machines and simulators
// take one instead of reading the time themselves, so that a test can let a
// silence of seconds pass in microseconds.

#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

using Clock = std::function<std::int64_t()>;

// The system's monotonic clock; only differences between two readings mean anything.
inline Clock SteadyClock() {
    return [] {
        return std::int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count());
    };
}

}  // namespace platform
