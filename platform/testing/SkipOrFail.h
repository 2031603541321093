#pragma once
// Skips a test that cannot run on this machine (no pseudo-terminals, say). On a
// CI machine (CI=true) a skip would hide a broken setup behind a green run, so
// the test fails there instead.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace platform::testing {

inline bool skipsMustFail() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

}  // namespace platform::testing

#define SKIP_OR_FAIL_IN_CI(why)                                                   \
    do {                                                                          \
        if (::platform::testing::skipsMustFail())                                 \
            GTEST_FAIL() << why << " (CI=true: this would be skipped elsewhere)"; \
        GTEST_SKIP() << why;                                                      \
    } while (0)
