// What every fuzz target shares: a private working directory with the content linked into
// it, set up once, entered for each input, and the check that an input left nothing behind.
#ifndef STARLANE_TESTS_FUZZ_FUZZING_H
#define STARLANE_TESTS_FUZZ_FUZZING_H

#include <stddef.h>
#include <stdint.h>

#include "tests/support/loaderinputs.h"

// From LLVMFuzzerInitialize: makes the directory and brings the world up to `level`
// (LOADER_WORLD_*); exits the process when that fails.
void fuzzStart(int* argc, char*** argv, int level);

// Runs one input through `feed` inside the working directory; aborts when DirectDraw objects
// were left behind or the feed found the result inconsistent, so that libFuzzer keeps the
// input like any other crash.
void fuzzRun(int (*feed)(const uint8_t*, size_t), const uint8_t* data, size_t size);

#define FUZZ_TARGET(level, feed)                                                                   \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)                                   \
    {                                                                                              \
        fuzzStart(argc, argv, level);                                                              \
        return 0;                                                                                  \
    }                                                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                        \
    {                                                                                              \
        fuzzRun(feed, data, size);                                                                 \
        return 0;                                                                                  \
    }

#endif
