// 8-bit pictures shown through a palette as 32-bit pixels: how the SDL2 backend fills its
// streaming texture on every flip.
#ifndef STARLANE_PLATFORM_PALETTE_CONVERT_H
#define STARLANE_PLATFORM_PALETTE_CONVERT_H

#include <stdint.h>

// The 256 entries of a palette (PALETTEENTRY layout: r, g, b, flags) as pixels whose red,
// green and blue are the 8-bit fields under the masks given; the alpha field, if any, full.
void palettePixels(const unsigned char* palette4x256, uint32_t redMask, uint32_t greenMask,
                   uint32_t blueMask, uint32_t alphaMask, uint32_t colours[256]);

// `out` receives height rows of width pixels, outPitch bytes apart: pixel i of the picture
// becomes colours[i]. Not reentrant: the lookup tables are shared.
void paletteConvert(const unsigned char* pixels, int pitch, int width, int height,
                    const uint32_t colours[256], unsigned char* out, int outPitch);

#endif
