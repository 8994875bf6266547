// Fuzzes a deployment orders file, against the real master enemies.
#include "tests/fuzz/fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_ENEMIES, feedDeploymentOrders)
