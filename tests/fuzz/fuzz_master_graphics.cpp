// Fuzzes the master graphics list; after a zero byte the input may carry a description it can
// name as Fuzzed.txt, and after another one a sheet Fuzzed.bmp.
#include "tests/fuzz/fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_DISPLAY, feedMasterGraphics)
