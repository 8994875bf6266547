// The sprite sheets' BMP files as the content builder writes them: 8 bits a pixel, bottom row
// first, with the palette as the colour table (for viewers; the game draws with palette.pal).
#ifndef STARLANE_TOOLS_BMP_WRITE_H
#define STARLANE_TOOLS_BMP_WRITE_H

#include <stdint.h>

#include <vector>

#include "tools/colors.h"

// The file of a width x height picture, `pixels` one palette index each, top row first.
std::vector<uint8_t> bmpFile(const Palette& pal, int width, int height,
                             const std::vector<uint8_t>& pixels);

#endif
