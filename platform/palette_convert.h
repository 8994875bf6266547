// 8-bit pictures shown through a palette as 32-bit ARGB (0xAARRGGBB, alpha 0xFF): how
// the SDL2 backend fills its streaming texture on every flip.
#ifndef STARLANE_PLATFORM_PALETTE_CONVERT_H
#define STARLANE_PLATFORM_PALETTE_CONVERT_H

// `palette4x256` in PALETTEENTRY layout (r, g, b, flags); `out` holds height rows of
// width 32-bit pixels, outPitch bytes apart. Not reentrant: the lookup tables are shared.
void paletteConvert(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256, unsigned char* out, int outPitch);

#endif
