// Fuzzes a graphic description file; after a zero byte the input may carry the sheet, which the
// description can name as Fuzzed.bmp (the real sheets are there too).
#include "tests/fuzz/fuzzing.h"

FUZZ_TARGET(LOADER_WORLD_DISPLAY, feedGraphicFile)
