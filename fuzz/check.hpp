// What the fuzz targets share: a check that stays on in every build and says what broke.
#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the run as a finding when an invariant does not hold; libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
