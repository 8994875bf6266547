// Screenshots (the F12 key of the SDL backend): the picture through its palette, under a name
// that never overwrites an earlier file.
#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/screenshot.h"
#include "tests/support/testsupport.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace {

struct Picture {
    int width, height;
    std::vector<unsigned char> rgb;
};

// Reads an 8-bit RGB PNG; 0 x 0 when it cannot.
Picture readPng(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (f == NULL)
        return Picture{0, 0, {}};
    EXPECT_EQ(stbi_is_16_bit_from_file(f), 0);
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load_from_file(f, &width, &height, &channels, 0);
    fclose(f);
    if (rgb == NULL)
        return Picture{0, 0, {}};
    EXPECT_EQ(channels, 3);
    Picture pic = {width, height,
                   std::vector<unsigned char>(rgb, rgb + (size_t)width * height * 3)};
    stbi_image_free(rgb);
    return pic;
}

// Entry i shows as (i, 255 - i, i / 2); the flags byte is never written out.
std::vector<unsigned char> testPalette()
{
    std::vector<unsigned char> palette(1024);
    for (int i = 0; i < 256; i++) {
        palette[i * 4] = (unsigned char)i;
        palette[i * 4 + 1] = (unsigned char)(255 - i);
        palette[i * 4 + 2] = (unsigned char)(i / 2);
        palette[i * 4 + 3] = 4;
    }
    return palette;
}

class ScreenshotTest : public GameTest {};

TEST_F(ScreenshotTest, ThePictureGoesThroughThePaletteAndThePitchIsSkipped)
{
    // 3 x 2 pixels in rows of 8 bytes: the padding (99) must not show.
    const unsigned char pixels[16] = {0, 1, 200, 99, 99, 99, 99, 99, 255, 7, 8, 99, 99, 99, 99, 99};
    std::vector<unsigned char> palette = testPalette();
    char name[64];
    ASSERT_EQ(writeScreenshot(pixels, 8, 3, 2, palette.data(), name, sizeof(name)), 1);
    EXPECT_STREQ(name, "starlane-0001.png");

    Picture pic = readPng(name);
    ASSERT_EQ(pic.width, 3);
    ASSERT_EQ(pic.height, 2);
    const int shown[6] = {0, 1, 200, 255, 7, 8};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(pic.rgb[i * 3], shown[i]) << "pixel " << i;
        EXPECT_EQ(pic.rgb[i * 3 + 1], 255 - shown[i]) << "pixel " << i;
        EXPECT_EQ(pic.rgb[i * 3 + 2], shown[i] / 2) << "pixel " << i;
    }
}

TEST_F(ScreenshotTest, NamesAreNeverReused)
{
    const unsigned char pixels[4] = {1, 2, 3, 4};
    std::vector<unsigned char> palette = testPalette();
    writeFile("starlane-0001.png", "a player's own file");
    mkdir("starlane-0002.png", 0755);
    char name[64];
    ASSERT_EQ(writeScreenshot(pixels, 2, 2, 2, palette.data(), name, sizeof(name)), 1);
    EXPECT_STREQ(name, "starlane-0003.png");
    ASSERT_EQ(writeScreenshot(pixels, 2, 2, 2, palette.data(), name, sizeof(name)), 1);
    EXPECT_STREQ(name, "starlane-0004.png");
    EXPECT_EQ(readFile("starlane-0001.png"), "a player's own file");
    EXPECT_EQ(readPng("starlane-0004.png").width, 2);
}

TEST_F(ScreenshotTest, AFailureLeavesNothingBehind)
{
    const unsigned char pixels[4] = {1, 2, 3, 4};
    std::vector<unsigned char> palette = testPalette();
    char name[64];
    EXPECT_EQ(writeScreenshot(NULL, 2, 2, 2, palette.data(), name, sizeof(name)), 0);
    EXPECT_EQ(writeScreenshot(pixels, 1, 2, 2, palette.data(), name, sizeof(name)),
              0); // pitch < width
    EXPECT_EQ(writeScreenshot(pixels, 2, 2, 2, palette.data(), name, 8),
              0); // the name does not fit
    struct stat st;
    EXPECT_NE(stat("starlane-0001.png", &st), 0);

    // A working directory that is gone: nowhere to write.
    ASSERT_EQ(mkdir("gone", 0755), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir((dir + "/gone").c_str()), 0);
    EXPECT_EQ(writeScreenshot(pixels, 2, 2, 2, palette.data(), name, sizeof(name)), 0);
    ASSERT_EQ(chdir(dir.c_str()), 0);
}

} // namespace
