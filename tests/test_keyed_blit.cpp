// Colour-keyed blits of the software DirectDraw, pixel for pixel: every sprite width
// (whole blocks and tails alike), key ranges that straddle 0x80, and clipped rows.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "display/display.h"
#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

class KeyedBlit : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_TRUE(bringDisplayUp());
    }

    LPDIRECTDRAWSURFACE7 sprite(int width, int height, int low, int high)
    {
        DDSURFACEDESC2 d;
        memset(&d, 0, sizeof(d));
        d.dwSize = sizeof(d);
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_CKSRCBLT;
        d.dwWidth = width;
        d.dwHeight = height;
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        d.ddckCKSrcBlt.dwColorSpaceLowValue = low;
        d.ddckCKSrcBlt.dwColorSpaceHighValue = high;
        LPDIRECTDRAWSURFACE7 s = NULL;
        EXPECT_EQ(lpdd->CreateSurface(&d, &s, NULL), DD_OK);
        return s;
    }
};

// The back buffer as it was: a pattern no sprite pixel can be mistaken for, row by row.
unsigned char background(int x, int y)
{
    return (unsigned char)(7 * x + 13 * y);
}

TEST_F(KeyedBlit, EveryWidthAndKeyRangeMatchesThePixelRule)
{
    const int keys[][2] = {{0, 0}, {255, 255}, {10, 20}, {0x7F, 0x81}, {0x80, 0xFF}};
    const int height = 3;
    for (const auto& key : keys) {
        for (int width = 1; width <= 40; width++) {
            LPDIRECTDRAWSURFACE7 s = sprite(width, height, key[0], key[1]);
            ASSERT_NE(s, nullptr);
            // Every value near the key range's ends and across 0x80, in shifting order.
            std::vector<unsigned char> pixels((size_t)width * height);
            const int values[] = {0,    1,    9,    10,   11,   19,  20,  21,
                                  0x7E, 0x7F, 0x80, 0x81, 0x82, 254, 255, 42};
            for (size_t i = 0; i < pixels.size(); i++)
                pixels[i] = (unsigned char)values[(i * 7 + width) % 16];
            ASSERT_TRUE(copyBitmapToSurface(pixels.data(), s, width, height, 8));

            // Once whole on the screen, once cut by the right edge (the clipper's rows are
            // then narrower than the sprite, and start inside it when cut on the left).
            const int xs[] = {3, 800 - width / 2, -width / 3};
            for (int x0 : xs) {
                int pitch;
                unsigned char* memory = lockBackBuffer(&pitch);
                ASSERT_NE(memory, nullptr);
                for (int y = 0; y < 8; y++)
                    for (int x = 0; x < 800; x++)
                        memory[y * pitch + x] = background(x, y);
                unlockBackBuffer();

                ASSERT_TRUE(drawSurfaceToBackBuffer(s, x0, 2, width, height, 1));

                memory = lockBackBuffer(&pitch);
                ASSERT_NE(memory, nullptr);
                for (int y = 0; y < 8; y++)
                    for (int x = 0; x < 800; x++) {
                        int expected = background(x, y);
                        int sx = x - x0, sy = y - 2;
                        if (sx >= 0 && sx < width && sy >= 0 && sy < height) {
                            int v = pixels[(size_t)sy * width + sx];
                            if (v < key[0] || v > key[1])
                                expected = v;
                        }
                        ASSERT_EQ(memory[y * pitch + x], expected)
                            << "key " << key[0] << ".." << key[1] << ", width " << width << " at x "
                            << x0 << ", pixel (" << x << ", " << y << ")";
                    }
                unlockBackBuffer();
            }
            s->Release();
        }
    }
    EXPECT_EQ(errorText(), "");
}

} // namespace
