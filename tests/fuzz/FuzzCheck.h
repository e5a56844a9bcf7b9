#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run the way a sanitizer report does, so that libFuzzer keeps the
// input that broke it and the replay driver fails.
#define FUZZ_CHECK(condition, what)                                                            \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, what, #condition);   \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
