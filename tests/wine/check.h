// SPDX-License-Identifier: MIT
#pragma once

// The smallest test harness: counts checks and prints the ones that fail,
// then a closing line "N passed, M failed". No test framework is built for
// MinGW-w64 in Debian, so the Windows tests use this.

#include <cstdio>
#include <string>

namespace wine_check {

inline int passed = 0;
inline int failed = 0;

inline void check(bool condition, const std::string& what)
{
    if (condition) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

// Prints the closing line; the exit code for main.
inline int summary()
{
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace wine_check
