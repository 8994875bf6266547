#include "palette_convert.h"

#include <stdint.h>
#include <string.h>

namespace {

// The palette as 32-bit pixels, and as pairs: pairLut[v] holds the two pixels whose
// indexes are the two bytes of the native 16-bit value v, in memory order, so one
// lookup and one 8-byte store convert two pixels on any byte order. Rebuilt only when
// the palette changes (the game sets it once).
uint32_t lut[256];
uint64_t pairLut[65536];
unsigned char lutPalette[1024];
int lutBuilt = 0;

void buildLookups(const unsigned char* palette4x256)
{
    if (lutBuilt && memcmp(lutPalette, palette4x256, sizeof(lutPalette)) == 0)
        return;
    memcpy(lutPalette, palette4x256, sizeof(lutPalette));
    for (int i = 0; i < 256; i++) {
        const unsigned char* e = palette4x256 + i * 4;
        lut[i] = 0xFF000000u | ((uint32_t)e[0] << 16) | ((uint32_t)e[1] << 8) | e[2];
    }
    for (int v = 0; v < 65536; v++) {
        uint16_t value = (uint16_t)v;
        unsigned char bytes[2];
        memcpy(bytes, &value, 2);
        uint32_t two[2] = {lut[bytes[0]], lut[bytes[1]]};
        memcpy(&pairLut[v], two, 8);
    }
    lutBuilt = 1;
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

void paletteConvert(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256, unsigned char* out, int outPitch)
{
    buildLookups(palette4x256);
    for (int y = 0; y < height; y++)
        convertRow(pixels + (size_t)y * pitch, (uint32_t*)(out + (size_t)y * outPitch), width);
}
