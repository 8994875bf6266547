#include "platform/palette_convert.h"

#include <stdint.h>
#include <string.h>

namespace {

// The palette's pixels, and as pairs: pairLut[v] holds the two pixels whose indexes are
// the two bytes of the native 16-bit value v, in memory order, so one lookup and one
// 8-byte store convert two pixels on any byte order. Rebuilt only when the colours
// change (the game sets its palette once).
uint32_t lut[256];
uint64_t pairLut[65536];
int lutBuilt = 0;

void buildLookups(const uint32_t colours[256])
{
    if (lutBuilt && memcmp(lut, colours, sizeof(lut)) == 0)
        return;
    memcpy(lut, colours, sizeof(lut));
    for (int v = 0; v < 65536; v++) {
        uint16_t value = (uint16_t)v;
        unsigned char bytes[2];
        memcpy(bytes, &value, 2);
        uint32_t two[2] = {lut[bytes[0]], lut[bytes[1]]};
        memcpy(&pairLut[v], two, 8);
    }
    lutBuilt = 1;
}

// The lowest set bit of a mask; 32 for none.
int shiftOf(uint32_t mask)
{
    int shift = 0;
    while (shift < 32 && (mask & (1u << shift)) == 0)
        shift++;
    return shift;
}

// Two pixels: one lookup, one 8-byte store.
inline void convertPair(const unsigned char* src, uint32_t* out)
{
    uint16_t pair;
    memcpy(&pair, src, 2);
    memcpy(out, &pairLut[pair], 8);
}

void convertRow(const unsigned char* src, uint32_t* out, int width)
{
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        // Eight pixels of one colour (most of a frame is empty sky): no lookups.
        uint64_t group;
        memcpy(&group, src + x, 8);
        if (group == src[x] * 0x0101010101010101ull) {
            uint64_t two = pairLut[src[x] * 0x0101u];
            memcpy(out + x, &two, 8);
            memcpy(out + x + 2, &two, 8);
            memcpy(out + x + 4, &two, 8);
            memcpy(out + x + 6, &two, 8);
            continue;
        }
        convertPair(src + x, out + x);
        convertPair(src + x + 2, out + x + 2);
        convertPair(src + x + 4, out + x + 4);
        convertPair(src + x + 6, out + x + 6);
    }
    for (; x < width; x++)
        out[x] = lut[src[x]];
}

} // namespace

void palettePixels(const unsigned char* palette4x256, uint32_t redMask, uint32_t greenMask,
                   uint32_t blueMask, uint32_t alphaMask, uint32_t colours[256])
{
    int red = shiftOf(redMask), green = shiftOf(greenMask), blue = shiftOf(blueMask);
    for (int i = 0; i < 256; i++) {
        const unsigned char* e = palette4x256 + i * 4;
        colours[i] = alphaMask | (red < 32 ? ((uint32_t)e[0] << red) & redMask : 0) |
                     (green < 32 ? ((uint32_t)e[1] << green) & greenMask : 0) |
                     (blue < 32 ? ((uint32_t)e[2] << blue) & blueMask : 0);
    }
}

void paletteConvert(const unsigned char* pixels, int pitch, int width, int height,
                    const uint32_t colours[256], unsigned char* out, int outPitch)
{
    buildLookups(colours);
    for (int y = 0; y < height; y++)
        convertRow(pixels + (size_t)y * pitch, (uint32_t*)(out + (size_t)y * outPitch), width);
}
