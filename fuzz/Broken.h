#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target holds: when it fails, say which and stop, so libFuzzer keeps the input.
inline void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}
