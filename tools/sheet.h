// One sprite sheet's source, Graphics/NAME.sheet, read into its picture (the format is in
// tools/sheets.h), and where its text says what each pixel is, for a tool that edits it.
#ifndef STARLANE_TOOLS_SHEET_H
#define STARLANE_TOOLS_SHEET_H

#include <stddef.h>
#include <stdint.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/colors.h"

// Where the text of a sheet says what one pixel of its picture is, for a tool that edits it.
struct PixelPlace {
    int x, y;         // the picture pixel asked about
    size_t offset;    // the byte of its character in the text; npos when no at block draws it
    int legend[256];  // the palette entry each pixel character means there, -1 for none
    size_t legendEnd; // where a legend line in force there goes: after the last one before
                      // the pixel's block, else at the first at line
    bool given[256];  // the characters some legend line of the text gives
};

// Reads the sheet `text` (of the file `path`) into its picture, `out` when nothing was wrong,
// and tells `place` where its pixel is, if given. With `pixelsLeft`, a picture of more pixels
// than it holds is refused (and it is set to -1), and one made is taken from it: the folder's
// sheets share a budget.
bool readSheet(const std::filesystem::path& path, const std::string& text, const Palette& pal,
               std::vector<uint8_t>& out, std::vector<std::string>& errors, PixelPlace* place,
               long long* pixelsLeft = NULL);
// Reads the sheet file `path` into the BMP file it makes.
bool buildSheet(const std::filesystem::path& path, const Palette& pal, std::vector<uint8_t>& out,
                std::vector<std::string>& errors, long long* pixelsLeft = NULL);

#endif
