// The BMP reader and the sprite-sheet cell cutter.
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <sstream>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "shell/errorlog.h"
#include "tests/support/testsupport.h"

namespace {

void put16(std::string& s, unsigned v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

void put32(std::string& s, unsigned long v)
{
    for (int i = 0; i < 4; i++)
        s += char((v >> (8 * i)) & 0xFF);
}

// A BMP file as a writer following the format would make it. `pixels` holds the rows top row
// first, packed; they are stored bottom-up for a positive height, each padded with 0xEE bytes.
// Without pixels only the headers and the colour table are written.
// Colour-table entry i is stored as blue i, green i ^ 0x55, red 255 - i, reserved 0.
std::string bmpFile(long width, long height, unsigned bits, const std::string& pixels,
                    int tableEntries = -1)
{
    if (tableEntries < 0)
        tableEntries = bits == 8 ? 256 : 0;
    size_t rowLength = width > 0 ? size_t(width) * (bits / 8) : 0;
    size_t rows = size_t(labs(height));
    size_t stride = (rowLength + 3) / 4 * 4;
    std::string s = "BM";
    put32(s, 54 + 4 * tableEntries + stride * rows);
    put32(s, 0);
    put32(s, 54 + 4 * tableEntries);
    put32(s, 40);
    put32(s, (unsigned long)width);
    put32(s, (unsigned long)height);
    put16(s, 1);
    put16(s, bits);
    for (int i = 0; i < 6; i++)
        put32(s, i == 4 ? (unsigned long)tableEntries : 0);
    for (int i = 0; i < tableEntries; i++)
        s += {char(i), char(i ^ 0x55), char(255 - i), 0};
    for (size_t i = 0; i < rows && !pixels.empty(); i++) {
        size_t row = height > 0 ? rows - 1 - i : i;
        s += pixels.substr(row * rowLength, rowLength) + std::string(stride - rowLength, '\xEE');
    }
    return s;
}

std::string pattern(size_t length, int seed = 1)
{
    std::string s;
    for (size_t i = 0; i < length; i++)
        s += char((i * 37 + seed * 11 + i / 7) & 0xFF);
    return s;
}

std::string held(const unsigned char* p, size_t length)
{
    return std::string(reinterpret_cast<const char*>(p), length);
}

// Loads `content` written to a file; returns loadBitmapFile's result.
int loadBytes(BitmapFile* bitmap, const std::string& content)
{
    writeFile("sheet.bmp", content);
    return loadBitmapFile(bitmap, "sheet.bmp");
}

// A sheet as the loader leaves it: rows top first, filled with a pattern.
BitmapFile makeSheet(int width, int height, int bits)
{
    BitmapFile sheet;
    memset(&sheet, 0, sizeof(sheet));
    sheet.infoHeader.biWidth = width;
    sheet.infoHeader.biHeight = height;
    sheet.infoHeader.biBitCount = bits;
    size_t size = size_t(width) * (bits / 8) * size_t(abs(height));
    sheet.buffer = (unsigned char*)malloc(size);
    std::string p = pattern(size, 5);
    memcpy(sheet.buffer, p.data(), size);
    return sheet;
}

// The cell the cutter should return: `height` rows of `cellRow` bytes from `start`, `stride` apart.
std::string cellAt(const BitmapFile& sheet, size_t start, size_t cellRow, size_t stride, int height)
{
    std::string s;
    for (int r = 0; r < height; r++)
        s += held(sheet.buffer + start + r * stride, cellRow);
    return s;
}

class BitmapTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        memset(&bitmap, 0, sizeof(bitmap));
        memset(&image, 0, sizeof(image));
    }
    void TearDown() override
    {
        destroyBitmapFile(&bitmap);
        destroyBitmapImage(&image);
        GameTest::TearDown();
    }
    BitmapFile bitmap;
    BitmapImage image;
};

TEST_F(BitmapTest, BottomUpRowsAreReadPastTheirPaddingAndTurnedTopSideUp)
{
    // 3 x 2, 8 bits, written out by hand: bottom row "DEF" first, then "ABC", 1 padding byte each.
    std::string file = bmpFile(3, 2, 8, "");
    file += std::string("DEF\xEE"
                        "ABC\xEE",
                        8);
    ASSERT_EQ(loadBytes(&bitmap, file), 1);
    EXPECT_EQ(held(bitmap.buffer, 6), "ABCDEF");

    // 8-bit widths 5, 6, 7 carry 3, 2, 1 padding bytes; 24-bit width 5 (15 bytes) carries 1;
    // 24-bit width 4 and 8-bit width 8 need none and are read in one block; 16 bits loads too.
    struct {
        long width, height;
        unsigned bits;
        size_t padding;
    } cases[] = {
        {5, 3, 8, 3},  {6, 3, 8, 2}, {7, 2, 8, 1},  {5, 3, 24, 1},
        {4, 3, 24, 0}, {8, 5, 8, 0}, {3, 4, 16, 2}, {1, 1, 8, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
        size_t rowLength = c.width * (c.bits / 8);
        std::string pixels = pattern(rowLength * c.height, int(c.width));
        std::string content = bmpFile(c.width, c.height, c.bits, pixels);
        size_t table = c.bits == 8 ? 1024 : 0;
        ASSERT_EQ(content.size(), 54 + table + (rowLength + c.padding) * c.height);
        memset(bitmap.palette, 0xAB, sizeof(bitmap.palette));
        ASSERT_EQ(loadBytes(&bitmap, content), 1);
        EXPECT_EQ(held(bitmap.buffer, pixels.size()), pixels);
        EXPECT_EQ(bitmap.infoHeader.biWidth, c.width);
        EXPECT_EQ(bitmap.infoHeader.biHeight, c.height);
        EXPECT_EQ(bitmap.fileHeader.bfOffBits, 54 + table);
        if (c.bits != 8) {
            EXPECT_EQ(bitmap.palette[7].peRed, 0xAB); // left alone without a colour table
        }
    }
    EXPECT_EQ(errorText(), "");
}

TEST_F(BitmapTest, TopDownFilesAreKeptInTheirOrder)
{
    for (unsigned bits : {8u, 24u}) {
        std::string pixels = pattern(5 * (bits / 8) * 3, int(bits));
        ASSERT_EQ(loadBytes(&bitmap, bmpFile(5, -3, bits, pixels)), 1);
        EXPECT_EQ(bitmap.infoHeader.biHeight, -3);
        EXPECT_EQ(held(bitmap.buffer, pixels.size()), pixels);
    }
    EXPECT_EQ(errorText(), "");
}

TEST_F(BitmapTest, ColourTableIsConvertedToPaletteEntries)
{
    std::string file = bmpFile(4, 1, 8, "abcd");
    memcpy(&file[54 + 4 * 9], "\x10\x20\x30\x00", 4); // entry 9: blue, green, red, reserved
    ASSERT_EQ(loadBytes(&bitmap, file), 1);
    EXPECT_EQ(bitmap.palette[9].peRed, 0x30);
    EXPECT_EQ(bitmap.palette[9].peGreen, 0x20);
    EXPECT_EQ(bitmap.palette[9].peBlue, 0x10);
    EXPECT_EQ(bitmap.palette[9].peFlags, 0x04);
    for (int i : {0, 1, 128, 255}) {
        EXPECT_EQ(bitmap.palette[i].peRed, 255 - i);
        EXPECT_EQ(bitmap.palette[i].peGreen, i ^ 0x55);
        EXPECT_EQ(bitmap.palette[i].peBlue, i);
        EXPECT_EQ(bitmap.palette[i].peFlags, 0x04);
    }
}

TEST_F(BitmapTest, UnusableFilesAreRefusedWithTheirMessage)
{
    std::string good = bmpFile(4, 2, 8, pattern(8));
    std::string notBmp = good;
    notBmp[0] = 'P';
    notBmp[1] = 'K';
    // An 8-bit file declaring a 2-entry table, too short to hold the 1024 bytes read anyway.
    std::string shortTable = bmpFile(4, 2, 8, pattern(8), 2);
    struct {
        std::string content;
        const char* message;
    } cases[] = {
        {bmpFile(32, 2, 1, std::string(8, 'x')),
         "loadBitmapFile:  bitmap file was in an unsupported color mode\n"},
        {bmpFile(8, 2, 4, std::string(8, 'x')),
         "loadBitmapFile:  bitmap file was in an unsupported color mode\n"},
        {bmpFile(2, 2, 32, std::string(16, 'x')),
         "loadBitmapFile:  bitmap file was in an unsupported color mode\n"},
        {notBmp, "loadBitmapFile:  file opened was not a bitmap file\n"},
        {shortTable, "loadBitmapFile:  error reading palette\n"},
        {good.substr(0, 13), "loadBitmapFile:  error reading file header\n"},
        {good.substr(0, 53), "loadBitmapFile:  error reading info header\n"},
        {good.substr(0, 54 + 1023), "loadBitmapFile:  error reading palette\n"},
        {bmpFile(0, 2, 8, ""), "loadBitmapFile:  bitmap file has unsupported dimensions\n"},
        {bmpFile(-4, 2, 8, ""), "loadBitmapFile:  bitmap file has unsupported dimensions\n"},
        {bmpFile(4, 0, 24, ""), "loadBitmapFile:  bitmap file has unsupported dimensions\n"},
        {bmpFile(0x7FFFFFFF, 1, 24, ""), "loadBitmapFile: memory allocation error\n"},
        {bmpFile(1, INT_MIN, 16, ""), "loadBitmapFile: memory allocation error\n"},
        {bmpFile(BITMAP_MAX_PIXEL_BYTES / 2, 3, 8, ""),
         "loadBitmapFile: memory allocation error\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        openErrorLog("Error.txt");
        EXPECT_EQ(loadBytes(&bitmap, c.content), 0);
        EXPECT_EQ(bitmap.buffer, nullptr);
        EXPECT_EQ(errorText(), c.message);
    }
    openErrorLog("Error.txt");
    EXPECT_EQ(loadBitmapFile(&bitmap, "missing.bmp"), 0);
    EXPECT_EQ(loadBitmapFile(nullptr, "sheet.bmp"), 0);
    EXPECT_EQ(errorText(), "loadBitmapFile:  error opening file\n"
                           "loadBitmapFile:  null pointer passed\n");
}

TEST_F(BitmapTest, PixelDataEndingEarlyIsReported)
{
    // Cut inside the last row, or before it, in the one-block path (width 4) and in the
    // row-by-row path (width 5); and pixels said to start past the end of the file.
    std::string block = bmpFile(4, 3, 8, pattern(12));
    std::string padded = bmpFile(5, 3, 8, pattern(15));
    std::string beyond = padded;
    beyond[10] = 0x00;
    beyond[11] = 0x10; // bfOffBits 4096
    for (const std::string& content :
         {block.substr(0, block.size() - 1), padded.substr(0, padded.size() - 5),
          padded.substr(0, padded.size() - 8), beyond}) {
        openErrorLog("Error.txt");
        EXPECT_EQ(loadBytes(&bitmap, content), 0);
        EXPECT_EQ(errorText(), "loadBitmapFile: error reading bitmap image\n");
    }
    // Only the padding after the last row missing: every pixel is there, so it loads.
    openErrorLog("Error.txt");
    ASSERT_EQ(loadBytes(&bitmap, padded.substr(0, padded.size() - 3)), 1);
    EXPECT_EQ(held(bitmap.buffer, 15), pattern(15));
    EXPECT_EQ(errorText(), "");
}

TEST_F(BitmapTest, ASecondLoadReleasesTheFirstBufferOnlyOnceTheFileHasPassedItsChecks)
{
    ASSERT_EQ(loadBytes(&bitmap, bmpFile(4, 2, 8, pattern(8, 1))), 1);
    unsigned char* first = bitmap.buffer;
    std::string notBmp = bmpFile(4, 2, 8, pattern(8, 2));
    notBmp[0] = 'X';
    for (const std::string& content : {notBmp, bmpFile(4, 2, 32, pattern(32, 2)),
                                       bmpFile(4, 2, 8, pattern(8), 0), bmpFile(0, 2, 24, "")}) {
        EXPECT_EQ(loadBytes(&bitmap, content), 0);
        EXPECT_EQ(bitmap.buffer, first);
        EXPECT_EQ(held(bitmap.buffer, 8), pattern(8, 1));
    }
    ASSERT_EQ(loadBytes(&bitmap, bmpFile(3, 2, 24, pattern(18, 3))), 1);
    EXPECT_EQ(held(bitmap.buffer, 18), pattern(18, 3));
    // A file that fails while its pixels are read leaves its own new buffer for the next
    // load or destroyBitmapFile to release (the sanitizer build reports any leak).
    std::string cut = bmpFile(5, 4, 8, pattern(20));
    EXPECT_EQ(loadBytes(&bitmap, cut.substr(0, cut.size() - 10)), 0);
    EXPECT_NE(bitmap.buffer, nullptr);
    ASSERT_EQ(loadBytes(&bitmap, bmpFile(5, 4, 8, pattern(20, 4))), 1);
    EXPECT_EQ(held(bitmap.buffer, 20), pattern(20, 4));
    EXPECT_EQ(destroyBitmapFile(&bitmap), 1);
    EXPECT_EQ(bitmap.buffer, nullptr);
    EXPECT_EQ(destroyBitmapFile(&bitmap), 1);
    openErrorLog("Error.txt");
    EXPECT_EQ(destroyBitmapFile(nullptr), 0);
    EXPECT_EQ(errorText(), "destroyBitmapFile: null pointer passed\n");
}

TEST_F(BitmapTest, FlipBitmapReversesTheRowOrderInPlace)
{
    std::string rows = "aabbccdd";
    ASSERT_EQ(flipBitmap((unsigned char*)&rows[0], 2, 4), 1);
    EXPECT_EQ(rows, "ddccbbaa");
    ASSERT_EQ(flipBitmap((unsigned char*)&rows[0], 2, 3), 1);
    EXPECT_EQ(rows, "bbccddaa");
    ASSERT_EQ(flipBitmap((unsigned char*)&rows[0], 0, 4), 1);
    ASSERT_EQ(flipBitmap((unsigned char*)&rows[0], 2, 0), 1);
    EXPECT_EQ(rows, "bbccddaa");
    EXPECT_EQ(flipBitmap(nullptr, 2, 4), 0);
    EXPECT_EQ(flipBitmap((unsigned char*)&rows[0], -2, 4), 0);
    EXPECT_EQ(flipBitmap((unsigned char*)&rows[0], 2, -4), 0);
    EXPECT_EQ(rows, "bbccddaa");
    EXPECT_EQ(errorText(), "flipBitmap: null pointer passed\n"
                           "flipBitmap: negative row length or row count\n"
                           "flipBitmap: negative row length or row count\n");
}

TEST_F(BitmapTest, CellsAreCutFromTheirGridPositions)
{
    for (int bits : {8, 24}) {
        SCOPED_TRACE(bits);
        int bpp = bits / 8;
        BitmapFile sheet = makeSheet(100, 66, bits);
        size_t sheetRow = 100 * bpp;
        // Cell (0, 0) without borders starts at the sheet's first byte, with border 2 two rows
        // and two pixels in.
        ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 7, 5, 0, 0, 0), 1);
        EXPECT_EQ(held(image.buffer, 7 * bpp * 5), cellAt(sheet, 0, 7 * bpp, sheetRow, 5));
        ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 7, 5, 2, 0, 0), 1);
        EXPECT_EQ(held(image.buffer, 7 * bpp * 5),
                  cellAt(sheet, 2 * sheetRow + 2 * bpp, 7 * bpp, sheetRow, 5));
        // 32 x 32 cells, border 1, column 2, row 1: from byte 3467 (8 bits) or 10401 (24 bits).
        ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 32, 32, 1, 2, 1), 1);
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.height, 32);
        EXPECT_EQ(image.bpp, bits);
        EXPECT_EQ(held(image.buffer, 32 * bpp * 32),
                  cellAt(sheet, bits == 8 ? 3467 : 10401, 32 * bpp, sheetRow, 32));
        destroyBitmapFile(&sheet);
    }
    EXPECT_EQ(errorText(), "");
}

TEST_F(BitmapTest, ACellFlushWithTheRightAndBottomEdgesIsCopiedWhole)
{
    // 3 x 2 cells, border 1: cell (1, 1) spans x 5..7 and y 4..5 of an 8 x 6 sheet.
    for (int height : {6, -6}) {
        BitmapFile sheet = makeSheet(8, height, 8);
        ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 3, 2, 1, 1, 1), 1);
        EXPECT_EQ(held(image.buffer, 6), cellAt(sheet, 4 * 8 + 5, 3, 8, 2));
        // The widest and tallest cells that fit, then one pixel more, and the next cell on.
        ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 7, 5, 1, 0, 0), 1);
        EXPECT_EQ(held(image.buffer, 35), cellAt(sheet, 8 + 1, 7, 8, 5));
        EXPECT_EQ(extractBitmapTemplated(&image, &sheet, 8, 5, 1, 0, 0), 0);
        EXPECT_EQ(extractBitmapTemplated(&image, &sheet, 7, 6, 1, 0, 0), 0);
        EXPECT_EQ(extractBitmapTemplated(&image, &sheet, 3, 2, 1, 2, 1), 0);
        EXPECT_EQ(extractBitmapTemplated(&image, &sheet, 3, 2, 1, 1, 2), 0);
        destroyBitmapFile(&sheet);
    }
}

TEST_F(BitmapTest, RequestsOutsideTheSheetAreRefusedAndLeaveTheImageEmpty)
{
    BitmapFile sheet = makeSheet(10, 10, 24);
    BitmapFile empty;
    memset(&empty, 0, sizeof(empty));
    BitmapFile noPixels = sheet;
    noPixels.buffer = nullptr;
    const char* outside = "extractBitmapTemplated: cell lies outside the sheet\n";
    const char* size = "extractBitmapTemplated: invalid cell size\n";
    const char* none = "extractBitmapTemplated: sheet holds no pixels\n";
    struct {
        const BitmapFile* sheet;
        int w, h, border, cx, cy;
        const char* message;
    } cases[] = {
        {&sheet, 4, 4, 1, 2, 0, outside},
        {&sheet, 4, 4, 1, 0, 2, outside},
        {&sheet, 11, 1, 0, 0, 0, outside},
        {&sheet, 2, 2, 0, -1, 0, outside},
        {&sheet, 2, 2, 0, 0, -1, outside},
        {&sheet, 2, 2, 9, 0, 0, outside},
        {&sheet, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, outside},
        {&sheet, 1, 1, 0, INT_MAX, INT_MAX, outside},
        {&sheet, 0, 2, 0, 0, 0, size},
        {&sheet, 2, -2, 0, 0, 0, size},
        {&sheet, 2, 2, -1, 1, 1, size},
        {&empty, 1, 1, 0, 0, 0, none},
        {&noPixels, 1, 1, 0, 0, 0, none},
    };
    std::string expected;
    for (const auto& c : cases) {
        ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 2, 2, 0, 0, 0), 1);
        EXPECT_EQ(extractBitmapTemplated(&image, c.sheet, c.w, c.h, c.border, c.cx, c.cy), 0);
        EXPECT_EQ(image.buffer, nullptr);
        EXPECT_EQ(image.width + image.height + image.bpp, 0);
        expected += c.message;
    }
    EXPECT_EQ(errorText(), expected);
    destroyBitmapFile(&sheet);
}

TEST_F(BitmapTest, ExtractingAgainReplacesTheCell)
{
    BitmapFile sheet = makeSheet(9, 7, 8);
    ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 3, 2, 1, 0, 0), 1);
    ASSERT_EQ(extractBitmapTemplated(&image, &sheet, 2, 1, 0, 3, 4), 1);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(held(image.buffer, 2), cellAt(sheet, 4 * 9 + 6, 2, 9, 1));
    EXPECT_EQ(destroyBitmapImage(&image), 1);
    EXPECT_EQ(image.buffer, nullptr);
    EXPECT_EQ(destroyBitmapImage(&image), 1);

    EXPECT_EQ(extractBitmapTemplated(nullptr, &sheet, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(extractBitmapTemplated(&image, nullptr, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(destroyBitmapImage(nullptr), 0);
    EXPECT_EQ(errorText(), "extractBitmapTemplated: null pointer(s) passed\n"
                           "extractBitmapTemplated: null pointer(s) passed\n"
                           "destroyBitmapImage: null pointer passed\n");
    destroyBitmapFile(&sheet);
}

// Files written by ImageMagick (tests/fixtures/bmp/make_fixtures.py), compared by colour with
// the pictures the script drew.
TEST_F(BitmapTest, FilesWrittenByAnImageToolLoadAsDrawn)
{
    std::istringstream expected(readFile(sourcePath("tests/fixtures/bmp/expected.txt")));
    std::string word, name;
    long width = 0, height = 0;
    int bits = 0, files = 0;
    while (expected >> word >> name >> width >> height >> bits) {
        ASSERT_EQ(word, "file");
        SCOPED_TRACE(name);
        files++;
        ASSERT_EQ(loadBitmapFile(&bitmap, sourcePath("tests/fixtures/bmp/" + name).c_str()), 1);
        ASSERT_EQ(bitmap.infoHeader.biWidth, width);
        ASSERT_EQ(bitmap.infoHeader.biHeight, height);
        ASSERT_EQ(bitmap.infoHeader.biBitCount, bits);
        std::vector<unsigned long> colours;
        for (long i = 0; i < width * labs(height); i++) {
            const unsigned char* p = bitmap.buffer + i * (bits / 8);
            if (bits == 8) {
                const BitmapPaletteEntry& e = bitmap.palette[*p];
                colours.push_back(e.peRed << 16 | e.peGreen << 8 | e.peBlue);
            } else {
                colours.push_back(p[2] << 16 | p[1] << 8 | p[0]);
            }
            std::string hex;
            expected >> hex;
            EXPECT_EQ(colours.back(), std::stoul(hex, nullptr, 16)) << "pixel " << i;
        }
        if (name == "grid8_bottomup.bmp") {
            // 3 x 2 cells with 1-pixel borders; cell (1, 1) is pixels x 5..7, y 4..5.
            ASSERT_EQ(extractBitmapTemplated(&image, &bitmap, 3, 2, 1, 1, 1), 1);
            for (int y = 0; y < 2; y++)
                for (int x = 0; x < 3; x++) {
                    const BitmapPaletteEntry& e = bitmap.palette[image.buffer[y * 3 + x]];
                    EXPECT_EQ(colours[(4 + y) * 9 + 5 + x],
                              (unsigned long)(e.peRed << 16 | e.peGreen << 8 | e.peBlue));
                }
        }
    }
    EXPECT_EQ(files, 5);
    EXPECT_EQ(errorText(), "");
}

} // namespace
