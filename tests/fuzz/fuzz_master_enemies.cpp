// Fuzzes the master enemies list, against the real master graphics; after a zero byte the input
// may carry an enemy description it can name as FuzzedEnemy.txt.
#include "tests/fuzz/fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_GRAPHICS, feedMasterEnemies)
