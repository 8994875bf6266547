#include "tools/bmp_write.h"

static void put16(std::vector<uint8_t>& b, unsigned v)
{
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
static void put32(std::vector<uint8_t>& b, uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

std::vector<uint8_t> bmpFile(const Palette& pal, int width, int height,
                             const std::vector<uint8_t>& pixels)
{
    uint32_t rowBytes = (uint32_t)(width + 3) & ~3u;
    uint32_t imageSize = rowBytes * (uint32_t)height;
    uint32_t offBits = 14 + 40 + 1024;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offBits + imageSize);
    put16(b, 0);
    put16(b, 0);
    put32(b, offBits);
    put32(b, 40);
    put32(b, (uint32_t)width);
    put32(b, (uint32_t)height); // positive: bottom row first
    put16(b, 1);
    put16(b, 8);
    put32(b, 0); // BI_RGB
    put32(b, imageSize);
    put32(b, 2835);
    put32(b, 2835); // 72 dpi
    put32(b, 256);
    put32(b, 0);
    for (int i = 0; i < 256; ++i) {
        b.push_back(pal.rgb[i][2]);
        b.push_back(pal.rgb[i][1]);
        b.push_back(pal.rgb[i][0]);
        b.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        b.insert(b.end(), pixels.begin() + (size_t)y * width,
                 pixels.begin() + (size_t)(y + 1) * width);
        for (uint32_t p = (uint32_t)width; p < rowBytes; ++p)
            b.push_back(0);
    }
    return b;
}
