// Small content files written by the world and content tests into their temp directory.
#ifndef STARLANE_TESTS_WORLDFILES_H
#define STARLANE_TESTS_WORLDFILES_H

#include <string>

// An 8-bit bottom-up BMP, width x height; the pixel at (x, y) (y from the top) is
// pixel(x, y). Rows are padded to 4 bytes as in real files.
void writeTestSheet(const std::string& path, int width, int height, int (*pixel)(int x, int y));

// A sheet of 4 x 2 cells of 8 x 8 pixels with 1-pixel borders (37 x 19 pixels): border pixels
// are 1, cell (cx, cy) is filled with 10 + cy * 4 + cx.
void writeCellSheet(const std::string& path);
int cellSheetColour(int cx, int cy);

// Everything gameInit loads: the test palette (entry i shows as (i, 255 - i, i / 2)), six graphics on the cell sheet (graphic 5 animated,
// the others single frames), `enemies` enemy templates and the deployment script given.
void writeTestContent(int enemies = 1, const std::string& orders = "e\n");

void makeDirs(const std::string& path); // mkdir -p

// The window, then ddInit with a test palette when none is there: enough for frame
// surfaces to be made. 1 when the display is up.
int bringDisplayUp();

// Palette index of pixel (x, y) of a surface, read through a lock; -1 if it cannot be locked.
int surfacePixel(struct IDirectDrawSurface7* surface, int x, int y);

#endif
