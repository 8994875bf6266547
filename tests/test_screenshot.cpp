// Screenshots (the F12 key of the SDL backend): the picture through its palette, under a name
// that never overwrites an earlier file.
#include <gtest/gtest.h>

#include <png.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "screenshot.h"
#include "testsupport.h"

namespace {

struct Picture {
    int width, height;
    std::vector<unsigned char> rgb;
};

// Reads an 8-bit RGB PNG from an open file; 0 x 0 when it cannot.
Picture readRows(FILE* f)
{
    Picture pic = {0, 0, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, NULL);
        return Picture{0, 0, {}};
    }
    png_init_io(png, f);
    png_read_info(png, info);
    EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(png_get_bit_depth(png, info), 8);
    int width = (int)png_get_image_width(png, info), height = (int)png_get_image_height(png, info);
    pic.rgb.resize((size_t)width * height * 3);
    for (int y = 0; y < height; y++)
        png_read_row(png, &pic.rgb[(size_t)y * width * 3], NULL);
    png_destroy_read_struct(&png, &info, NULL);
    pic.width = width;
    pic.height = height;
    return pic;
}

Picture readPng(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (f == NULL)
        return Picture{0, 0, {}};
    Picture pic = readRows(f);
    fclose(f);
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
