// Fuzzes BMP sprite sheets: reading, cutting cells, flipping.
#include "tests/fuzz/fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_FILES, feedBitmapFile)
