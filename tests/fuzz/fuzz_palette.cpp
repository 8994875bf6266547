// Fuzzes the palette file.
#include "tests/fuzz/fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_FILES, feedPaletteFile)
