#pragma once
// Shared by the fuzz targets: a failed check stops the run with a message, so libFuzzer
// keeps the input that caused it.
#include "app/instrument_state.h"

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);         \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Every value of buf[from, to) is a byte times ten.
inline bool bytesTimesTen(const std::vector<int16_t>& buf, size_t from = 0, size_t to = 32768) {
    for (size_t i = from; i < to && i < buf.size(); ++i)
        if (buf[i] < 0 || buf[i] > 2550 || buf[i] % 10 != 0) return false;
    return true;
}
