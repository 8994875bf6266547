// The content builder's reader of the picture sources: palette.colors and Graphics/*.sheet,
// made into palette.pal and the sprite sheets' BMPs. Used by mkcontent and by starlane-check.
//
//   DATA_DIR/palette.colors -> palette.pal, 256 entries of R,G,B,flags(0), no header.
//     ramp NAME FIRST LAST #rrggbb #rrggbb [...]   entries FIRST..LAST blend evenly
//                                                  through the listed colours
//     set INDEX #rrggbb [NAME]                     one entry
//     Every index 0..255 is defined exactly once. A ramp NAME stands for FIRST and
//     NAME+k for FIRST+k inside the ramp; a set NAME stands for its index.
//
//   DATA_DIR/Graphics/<name>.sheet -> <name>.bmp, 8-bit bottom-up BMP with the palette
//   as its colour table (viewers only; the game draws with palette.pal).
//     cell W H             every cell is W x H pixels
//     border N INDEX       border lines N pixels wide around and between the cells
//     grid COLS ROWS       cells across and down
//     fill INDEX           colour of cells that no block draws (default 0)
//     legend C COLOUR [note]  pixel character C means COLOUR: an index, a palette
//                          name or name+k
//     at COL ROW [note]    the next H lines, W characters each, are that cell
//   Any character but a blank may be a pixel character. Outside pixel blocks, blank lines
//   and lines starting with '#' are comments.
//   The sheet is COLS*(W+N)+N pixels wide and ROWS*(H+N)+N high; cell (c, r) starts at
//   (c*(W+N)+N, r*(H+N)+N), the layout the game's frame records address.
#ifndef STARLANE_TOOLS_SHEETS_H
#define STARLANE_TOOLS_SHEETS_H

#include <stdint.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"

// The pictures of all the folder's sheets together: twice what the game's frames may take
// (64 MiB), so no real folder comes near it, and far below what would exhaust the studio's
// tools module, which holds the folder, the pictures and their copies at once.
const long long SHEETS_MAX_PIXEL_BYTES = 2 * (long long)BITMAP_MAX_PIXEL_BYTES;

struct SourceOutput {
    std::filesystem::path path;   // the file the source makes
    std::filesystem::path source; // the source it is made from
    std::vector<uint8_t> bytes;
};

// Makes every file of the folder's sources in memory. Every problem of a source is added to
// `errors` as "PATH:LINE: message", all of them, not only the first; 1 when nothing was wrong.
// A sheet that takes the pictures past SHEETS_MAX_PIXEL_BYTES together is refused at its line.
int buildSources(const std::filesystem::path& dataDir, std::vector<SourceOutput>& outputs,
                 std::vector<std::string>& errors);

// What differs between the files on disk and `outputs`: "PATH: ..." for a file missing,
// different from, or older than its source, and for a sheet picture without a source.
void compareSources(const std::filesystem::path& dataDir, const std::vector<SourceOutput>& outputs,
                    std::vector<std::string>& problems);

// Draws pixel (x, y) of the sheet picture that `sheet` (a .sheet source of the folder) makes in
// palette entry `colour`: the character of that pixel in its `at` block is replaced by one whose
// legend is that entry, a new legend line being added when none is. The sheet is rewritten in
// place, its other lines and line ends kept. 1 done; 0 with `why` ("PATH: ...") otherwise.
int paintSheet(const std::filesystem::path& dataDir, const std::filesystem::path& sheet, int x,
               int y, int colour, std::string& why);

// Many pixels drawn in one rewrite of the sheet, in order, all of them or none.
struct PaintedPixel {
    int x, y, colour;
};
int paintSheetPixels(const std::filesystem::path& dataDir, const std::filesystem::path& sheet,
                     const std::vector<PaintedPixel>& pixels, std::string& why);

// A legend line of a sheet: its pixel character, the palette entry it means (-1 when it means
// none), and its colour and note as written.
struct SheetLegend {
    int character = 0, entry = -1;
    std::string colour, note;
};
// Where a sheet lays out its cells (0 where it says nothing): cell size, grid and the line of
// the grid directive, each at block's cell and line, and the number of lines.
struct SheetBlock {
    int column, row, line;
};
struct SheetLayout {
    int width = 0, height = 0, columns = 0, rows = 0, gridLine = 0, lines = 0;
    std::vector<SheetBlock> blocks;
};
SheetLayout sheetLayout(const std::filesystem::path& sheet);

std::vector<SheetLegend> sheetLegend(const std::filesystem::path& dataDir,
                                     const std::filesystem::path& sheet);

#endif
