// Fuzzes an enemy description, against the real master graphics.
#include "tests/fuzz/fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_GRAPHICS, feedEnemyFile)
