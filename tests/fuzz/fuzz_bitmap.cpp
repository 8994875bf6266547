// Fuzzes BMP sprite sheets: reading, cutting cells, flipping.
#include "fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_FILES, feedBitmapFile)
