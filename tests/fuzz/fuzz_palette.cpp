// Fuzzes the palette file.
#include "fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_FILES, feedPaletteFile)
