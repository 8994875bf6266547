// The SDL backend's palette conversion: what it writes must be exactly the per-pixel
// lookup, whatever the width, the runs of equal pixels, the pixel format and the palette
// changes.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "platform/palette_convert.h"

namespace {

void randomColours(uint32_t* colours, unsigned seed)
{
    srand(seed);
    for (int i = 0; i < 256; i++)
        colours[i] = ((uint32_t)rand() << 16) ^ (uint32_t)rand();
}

// Converts a picture into rows wider than needed and checks every pixel and that the
// bytes past each row stay as they were.
void checkConversion(const std::vector<unsigned char>& picture, int pitch, int width, int height,
                     const uint32_t* colours)
{
    const int outPitch = width * 4 + 12;
    std::vector<unsigned char> out((size_t)outPitch * height, 0xAB);
    paletteConvert(picture.data(), pitch, width, height, colours, out.data(), outPitch);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint32_t pixel;
            memcpy(&pixel, &out[(size_t)y * outPitch + x * 4], 4);
            ASSERT_EQ(pixel, colours[picture[(size_t)y * pitch + x]])
                << "width " << width << " at (" << x << ", " << y << ")";
        }
        for (int b = width * 4; b < outPitch; b++)
            ASSERT_EQ(out[(size_t)y * outPitch + b], 0xAB) << "width " << width << " row " << y;
    }
}

TEST(PaletteConvert, EveryWidthMatchesThePerPixelLookup)
{
    uint32_t colours[256];
    randomColours(colours, 7);
    // Rows of noise with runs of one colour that start and end anywhere.
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
        checkConversion(picture, pitch, width, height, colours);
    }
    // All 256 x 256 neighbours once: every pair entry, at both positions of a pair.
    std::vector<unsigned char> pairs(2 * 65536 + 1);
    for (int v = 0; v < 65536; v++) {
        pairs[2 * v] = (unsigned char)(v & 255);
        pairs[2 * v + 1] = (unsigned char)(v >> 8);
    }
    pairs[2 * 65536] = 255;
    checkConversion(pairs, 1024, 1024, 128, colours);
    checkConversion(std::vector<unsigned char>(pairs.begin() + 1, pairs.end()), 1024, 1024, 128,
                    colours);
}

TEST(PaletteConvert, AChangedPaletteShowsAtTheNextConversion)
{
    uint32_t first[256], second[256];
    randomColours(first, 1);
    memcpy(second, first, sizeof(second));
    second[0] ^= 0x40;      // the empty sky
    second[200] ^= 0x10000; // one bit of one colour
    const int width = 64, height = 3;
    std::vector<unsigned char> picture((size_t)width * height, 0);
    for (int x = 20; x < 40; x++)
        picture[width + x] = 200;
    checkConversion(picture, width, width, height, first);
    checkConversion(picture, width, width, height, second);
    checkConversion(picture, width, width, height, first);
}

TEST(PaletteConvert, PalettePixelsFollowThePixelFormat)
{
    unsigned char palette[1024] = {};
    const unsigned char entry[4] = {0x12, 0x34, 0x56, 0x99}; // r, g, b and flags, not shown
    memcpy(palette + 9 * 4, entry, 4);
    uint32_t colours[256];
    // ARGB8888, XRGB8888 (no alpha), ABGR8888, RGBA8888
    palettePixels(palette, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, colours);
    EXPECT_EQ(colours[9], 0xFF123456u);
    EXPECT_EQ(colours[0], 0xFF000000u);
    palettePixels(palette, 0xFF0000, 0xFF00, 0xFF, 0, colours);
    EXPECT_EQ(colours[9], 0x00123456u);
    palettePixels(palette, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u, colours);
    EXPECT_EQ(colours[9], 0xFF563412u);
    palettePixels(palette, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF, colours);
    EXPECT_EQ(colours[9], 0x123456FFu);
}

} // namespace
