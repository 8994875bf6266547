// The SDL backend's palette conversion: what it writes must be exactly the per-pixel
// lookup, whatever the width, the runs of equal pixels and the palette changes.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "palette_convert.h"

namespace {

uint32_t expected(const unsigned char* palette, unsigned char index)
{
    const unsigned char* e = palette + index * 4;
    return 0xFF000000u | ((uint32_t)e[0] << 16) | ((uint32_t)e[1] << 8) | e[2];
}

void randomPalette(unsigned char* palette, unsigned seed)
{
    srand(seed);
    for (int i = 0; i < 1024; i++)
        palette[i] = (unsigned char)(rand() >> 4);
}

// Converts a picture into rows wider than needed and checks every pixel and that the
// bytes past each row stay as they were.
void checkConversion(const std::vector<unsigned char>& picture, int pitch, int width, int height,
                     const unsigned char* palette)
{
    const int outPitch = width * 4 + 12;
    std::vector<unsigned char> out((size_t)outPitch * height, 0xAB);
    paletteConvert(picture.data(), pitch, width, height, palette, out.data(), outPitch);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint32_t pixel;
            memcpy(&pixel, &out[(size_t)y * outPitch + x * 4], 4);
            ASSERT_EQ(pixel, expected(palette, picture[(size_t)y * pitch + x]))
                << "width " << width << " at (" << x << ", " << y << ")";
        }
        for (int b = width * 4; b < outPitch; b++)
            ASSERT_EQ(out[(size_t)y * outPitch + b], 0xAB) << "width " << width << " row " << y;
    }
}

TEST(PaletteConvert, EveryWidthMatchesThePerPixelLookup)
{
    unsigned char palette[1024];
    randomPalette(palette, 7);
    // Rows of noise with runs of one colour that start and end anywhere, including
    // colour 0 and colours whose pairs differ only in one byte.
    for (int width = 1; width <= 40; width++) {
        const int height = 5, pitch = width + 9;
        std::vector<unsigned char> picture((size_t)pitch * height);
        srand(width);
        for (size_t i = 0; i < picture.size();) {
            unsigned char colour = (unsigned char)(rand() >> 3);
            size_t run = rand() % 3 == 0 ? 1 + rand() % 20 : 1;
            for (; run > 0 && i < picture.size(); run--)
                picture[i++] = colour;
        }
        checkConversion(picture, pitch, width, height, palette);
    }
    // All 256 x 256 neighbours once: every pair entry, at both positions of a pair.
    std::vector<unsigned char> pairs(2 * 65536 + 1);
    for (int v = 0; v < 65536; v++) {
        pairs[2 * v] = (unsigned char)(v & 255);
        pairs[2 * v + 1] = (unsigned char)(v >> 8);
    }
    pairs[2 * 65536] = 255;
    checkConversion(pairs, 1024, 1024, 128, palette);
    checkConversion(std::vector<unsigned char>(pairs.begin() + 1, pairs.end()), 1024, 1024, 128, palette);
}

TEST(PaletteConvert, APaletteChangeShowsAtTheNextConversion)
{
    unsigned char first[1024], second[1024];
    randomPalette(first, 1);
    memcpy(second, first, sizeof(second));
    second[0 * 4 + 2] ^= 0x40;       // blue of colour 0: the empty sky
    second[200 * 4 + 0] ^= 0x01;     // red of colour 200, one bit
    second[255 * 4 + 3] ^= 0xFF;     // only the flags of 255: no visible change
    const int width = 64, height = 3;
    std::vector<unsigned char> picture((size_t)width * height, 0);
    for (int x = 20; x < 40; x++)
        picture[width + x] = 200;
    picture[2 * width + 5] = 255;
    checkConversion(picture, width, width, height, first);
    checkConversion(picture, width, width, height, second);
    checkConversion(picture, width, width, height, first);
    // Channel order and alpha, from a hand-made entry.
    first[9 * 4 + 0] = 0x12;
    first[9 * 4 + 1] = 0x34;
    first[9 * 4 + 2] = 0x56;
    first[9 * 4 + 3] = 0x99;
    unsigned char nine[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    uint32_t out[8];
    paletteConvert(nine, 8, 8, 1, first, (unsigned char*)out, 32);
    for (uint32_t pixel : out)
        EXPECT_EQ(pixel, 0xFF123456u);
}

}  // namespace
