// Painting a pixel of a sprite sheet, as the studio does: the .sheet text is rewritten so that
// the content builder draws exactly that pixel in the chosen colour and nothing else changes,
// and a pixel or colour that cannot be painted leaves the file as it was.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "tools/sheets.h"
#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

// The Dart's sheet picture as the content builder makes it from the folder, read back by the
// game's own bitmap reader: one palette index per pixel, top row first.
std::vector<unsigned char> dartPicture(int* width)
{
    std::vector<SourceOutput> outputs;
    std::vector<std::string> errors;
    EXPECT_TRUE(buildSources("content", outputs, errors)) << (errors.empty() ? "" : errors[0]);
    for (const SourceOutput& o : outputs) {
        if (o.path.filename() != "Dart.bmp")
            continue;
        FILE* f = fopen("built.bmp", "wb");
        fwrite(o.bytes.data(), 1, o.bytes.size(), f);
        fclose(f);
        BitmapFile bmp = {};
        EXPECT_TRUE(loadBitmapFile(&bmp, "built.bmp"));
        *width = bmp.infoHeader.biWidth;
        std::vector<unsigned char> pixels(bmp.buffer,
                                          bmp.buffer + *width * abs((int)bmp.infoHeader.biHeight));
        destroyBitmapFile(&bmp);
        return pixels;
    }
    ADD_FAILURE() << "no Dart.bmp built";
    return {};
}

class PaintTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        makeDirs("content");
        copyTree(shippedContentPath(), "content");
    }
};

TEST_F(PaintTest, APaintedPixelIsTheOnlyOneThatChangesAndRefusalsLeaveTheSheet)
{
    const std::string sheet = "content/Graphics/Dart.sheet";
    int width = 0;
    std::vector<unsigned char> before = dartPicture(&width);
    ASSERT_FALSE(before.empty());
    // Cell (0, 0) starts at (1, 1) behind its one-pixel border; (16, 1) is lit in frame 0.
    const int x = 16, y = 1;
    const unsigned char existing = before[2 * width + 2]; // a colour a legend already has
    struct Row {
        const char* what;
        bool crlf;
        int colour;
    } rows[] = {
        {"a colour the legend has", false, existing},
        {"the colour key", false, 0},
        {"a colour no legend has yet", false, 254},
        {"a new colour on a sheet with CR LF line ends", true, 253},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::string text = readFile(shippedContentPath() + "/Graphics/Dart.sheet");
        if (r.crlf) {
            std::string crlf;
            for (char c : text)
                crlf += c == '\n' ? "\r\n" : std::string(1, c);
            text = crlf;
        }
        writeFile(sheet, text);
        std::string why;
        ASSERT_TRUE(paintSheet("content", sheet, x, y, r.colour, why)) << why;
        std::vector<unsigned char> after = dartPicture(&width);
        ASSERT_EQ(after.size(), before.size());
        EXPECT_EQ(after[y * width + x], r.colour);
        int changed = 0;
        for (size_t i = 0; i < after.size(); i++)
            changed += after[i] != before[i];
        EXPECT_EQ(changed, before[y * width + x] != r.colour);
        std::string painted = readFile(sheet);
        size_t bareNewlines = 0;
        for (size_t i = 0; i < painted.size(); i++)
            bareNewlines += painted[i] == '\n' && (i == 0 || painted[i - 1] != '\r');
        EXPECT_EQ(bareNewlines == 0, r.crlf) << "the line ends are kept";
    }

    // What cannot be painted is refused, and the sheet stays as it was.
    std::string text = readFile(shippedContentPath() + "/Graphics/Dart.sheet");
    writeFile(sheet, text);
    struct Refusal {
        int x, y, colour;
        const char* why;
    } refusals[] = {
        {0, 0, 5, "lies in no cell"}, // the border
        {x, y, 300, "palette entries are 0..255"},
        {-1, 4, 5, "lies in no cell"},
    };
    for (const Refusal& r : refusals) {
        std::string why;
        EXPECT_FALSE(paintSheet("content", sheet, r.x, r.y, r.colour, why));
        EXPECT_NE(why.find(r.why), std::string::npos) << why;
        EXPECT_EQ(readFile(sheet), text);
    }
}

} // namespace
