// Arbitrary bytes fed to the content readers as files: the fuzz targets under tests/fuzz and
// the test that replays their findings share these, so both make exactly the same calls.
// Everything works in the current directory; nothing here uses GoogleTest.
#ifndef STARLANE_TESTS_LOADERINPUTS_H
#define STARLANE_TESTS_LOADERINPUTS_H

#include <stddef.h>
#include <stdint.h>

// What a reader needs around it before bytes can be fed to it.
#define LOADER_WORLD_FILES 0    // the content folder only
#define LOADER_WORLD_DISPLAY 1  // and the display up, so frames can be made
#define LOADER_WORLD_GRAPHICS 2 // and the master graphics loaded
#define LOADER_WORLD_ENEMIES 3  // and the master enemies loaded

// In the current directory: links to the content folders of `contentDir`, then as much of the
// world as `level` asks for. 1 when everything is up.
int loaderWorldUp(const char* contentDir, int level);

// DirectDraw objects alive now beyond those of the world: 0 after every feed, or a feed
// left surfaces behind.
int loaderObjectsLeft();

// Each writes the bytes to a file in the current directory, calls the loader on it, then
// releases whatever the loader made, so that repeated calls do not accumulate anything.
// Returns the loader's result, or LOADER_INCONSISTENT when what was loaded contradicts
// itself. A split input holds several files, separated by zero bytes.
#define LOADER_INCONSISTENT (-1)
int feedBitmapFile(const uint8_t* data, size_t size); // plus cells cut out and flips
int feedPaletteFile(const uint8_t* data, size_t size);
int feedGraphicFile(const uint8_t* data, size_t size);    // description [0 sheet "Fuzzed.bmp"]
int feedMasterGraphics(const uint8_t* data, size_t size); // list [0 "Fuzzed.txt" [0 "Fuzzed.bmp"]]
int feedEnemyFile(const uint8_t* data, size_t size);
int feedMasterEnemies(const uint8_t* data, size_t size); // list [0 "FuzzedEnemy.txt"]
int feedDeploymentOrders(const uint8_t* data, size_t size);

#endif
