// The program's icon, made from the ship's idle frame: a Windows .ico with 16, 32 and 48 pixel
// images (the exe's resource script takes it), a 64 pixel PNG for desktop entries, and the
// 192 and 512 pixel PNGs a browser wants for a web app.
//
//   mkcontent icon DATA_DIR OUT_DIR         write OUT_DIR/starlane.ico and OUT_DIR/starlane.png
//   mkcontent icon-check DATA_DIR OUT_DIR   make both in memory and compare with the files there
//   mkcontent icon-web DATA_DIR OUT_DIR     write OUT_DIR/icon-192.png and icon-512.png (the web
//                                           build makes them; they are not checked in)
//
// The sheet is read and the frame cut by the game's own bitmap code, so the icon is exactly
// the picture the game draws; its colour table is the game's palette. Pixels equal to the
// frame's colour key are transparent. The frame is trimmed to what it draws, centred on a
// square and shrunk by averaging (each icon pixel is the covered share of the sprite), which
// keeps the small sizes readable without a hand-drawn version of each.
#include "tools/icon.h"

#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "platform/png_write.h"

namespace {

// The ship's idle frame as Graphics/PlayerShip.txt cuts it: frame 0 is cell (0, 0) of a grid
// of 60 x 48 cells with 1-pixel borders; colour key 0.
const char* const SHIP_SHEET = "Graphics/PlayerShip.bmp";
const int SHIP_CELL_WIDTH = 60;
const int SHIP_CELL_HEIGHT = 48;
const int SHIP_BORDER = 1;
const int SHIP_COLOUR_KEY = 0;

const int ICO_SIZES[] = {16, 32, 48};
const int PNG_SIZE = 64;
const int WEB_SIZES[] = {192, 512};

typedef std::vector<uint8_t> Bytes;

struct Picture { // RGBA, rows top first
    int width, height;
    std::vector<uint8_t> rgba;
};

// The frame in RGBA, trimmed to the box of its opaque pixels.
bool shipPicture(const std::string& dataDir, Picture& out, std::string& err)
{
    BitmapFile sheet = {};
    BitmapImage frame = {};
    std::string path = dataDir + "/" + SHIP_SHEET;
    if (!loadBitmapFile(&sheet, path.c_str()) || sheet.infoHeader.biBitCount != 8) {
        destroyBitmapFile(&sheet);
        err = path + ": not an 8-bit sheet the game can read";
        return false;
    }
    if (!extractBitmapTemplated(&frame, &sheet, SHIP_CELL_WIDTH, SHIP_CELL_HEIGHT, SHIP_BORDER, 0,
                                0)) {
        destroyBitmapFile(&sheet);
        err = path + ": the ship's frame is not on the sheet";
        return false;
    }
    int left = frame.width, top = frame.height, right = -1, bottom = -1;
    for (int y = 0; y < frame.height; y++)
        for (int x = 0; x < frame.width; x++)
            if (frame.buffer[y * frame.width + x] != SHIP_COLOUR_KEY) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    bool empty = right < 0;
    if (!empty) {
        out.width = right - left + 1;
        out.height = bottom - top + 1;
        out.rgba.assign((size_t)out.width * out.height * 4, 0);
        for (int y = 0; y < out.height; y++)
            for (int x = 0; x < out.width; x++) {
                int index = frame.buffer[(top + y) * frame.width + left + x];
                uint8_t* p = &out.rgba[((size_t)y * out.width + x) * 4];
                if (index == SHIP_COLOUR_KEY)
                    continue;
                p[0] = sheet.palette[index].peRed;
                p[1] = sheet.palette[index].peGreen;
                p[2] = sheet.palette[index].peBlue;
                p[3] = 255;
            }
    }
    destroyBitmapImage(&frame);
    destroyBitmapFile(&sheet);
    if (empty)
        err = path + ": the ship's frame is empty";
    return !empty;
}

// The picture centred on a square of side `size`, shrunk (or grown) by area averaging with
// colours weighted by their opacity, so transparent pixels do not darken the edges.
Picture square(const Picture& src, int size)
{
    Picture dst = {size, size, std::vector<uint8_t>((size_t)size * size * 4, 0)};
    double side = std::max(src.width, src.height);
    double scale = side / size; // source pixels per icon pixel
    double ox = (side - src.width) / 2, oy = (side - src.height) / 2;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double y0 = y * scale - oy, y1 = y0 + scale, x0 = x * scale - ox, x1 = x0 + scale;
            double sum[4] = {0, 0, 0, 0};
            for (int sy = std::max(0, (int)y0); sy < std::min(src.height, (int)y1 + 1); sy++) {
                double wy = std::min<double>(y1, sy + 1) - std::max<double>(y0, sy);
                if (wy <= 0)
                    continue;
                for (int sx = std::max(0, (int)x0); sx < std::min(src.width, (int)x1 + 1); sx++) {
                    double wx = std::min<double>(x1, sx + 1) - std::max<double>(x0, sx);
                    if (wx <= 0)
                        continue;
                    const uint8_t* p = &src.rgba[((size_t)sy * src.width + sx) * 4];
                    double a = wx * wy * p[3] / 255.0;
                    for (int c = 0; c < 3; c++)
                        sum[c] += a * p[c];
                    sum[3] += a;
                }
            }
            uint8_t* q = &dst.rgba[((size_t)y * size + x) * 4];
            double alpha = sum[3] / (scale * scale);
            if (sum[3] > 0)
                for (int c = 0; c < 3; c++)
                    q[c] = (uint8_t)std::min(255.0, sum[c] / sum[3] + 0.5);
            q[3] = (uint8_t)std::min(255.0, alpha * 255 + 0.5);
        }
    return dst;
}

void put16(Bytes& b, unsigned v)
{
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// One icon image as Windows keeps it: an info header with twice the height (colour and mask),
// 32-bit BGRA rows bottom first, then the 1-bit mask (set = transparent), rows padded to 4 bytes.
Bytes iconImage(const Picture& p)
{
    Bytes b;
    put32(b, 40);
    put32(b, p.width);
    put32(b, p.height * 2);
    put16(b, 1);
    put16(b, 32);
    for (int i = 0; i < 6; i++)
        put32(b, 0);
    for (int y = p.height - 1; y >= 0; y--)
        for (int x = 0; x < p.width; x++) {
            const uint8_t* q = &p.rgba[((size_t)y * p.width + x) * 4];
            b.push_back(q[2]);
            b.push_back(q[1]);
            b.push_back(q[0]);
            b.push_back(q[3]);
        }
    int maskRow = ((p.width + 31) / 32) * 4;
    for (int y = p.height - 1; y >= 0; y--) {
        Bytes row(maskRow, 0);
        for (int x = 0; x < p.width; x++)
            if (p.rgba[((size_t)y * p.width + x) * 4 + 3] == 0)
                row[x / 8] |= 0x80 >> (x % 8);
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes icoFile(const Picture& ship)
{
    const int count = sizeof ICO_SIZES / sizeof ICO_SIZES[0];
    std::vector<Bytes> images;
    for (int size : ICO_SIZES)
        images.push_back(iconImage(square(ship, size)));
    Bytes b;
    put16(b, 0);
    put16(b, 1);
    put16(b, count); // reserved, type 1 = icon, image count
    uint32_t offset = 6 + 16 * count;
    for (int i = 0; i < count; i++) {
        b.push_back((uint8_t)ICO_SIZES[i]);
        b.push_back((uint8_t)ICO_SIZES[i]);
        b.push_back(0);
        b.push_back(0); // no colour table, reserved
        put16(b, 1);
        put16(b, 32); // planes, bits per pixel
        put32(b, (uint32_t)images[i].size());
        put32(b, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const Bytes& image : images)
        b.insert(b.end(), image.begin(), image.end());
    return b;
}

Bytes pngFile(const Picture& ship, int size)
{
    Picture p = square(ship, size);
    Bytes b;
    encodePng(p.rgba.data(), p.width, p.height, 4, b);
    return b;
}

// At most `limit` bytes: a file only compared with one of known size needs no more than one
// byte past it to differ, and an endless one (a device) ends there.
bool readAll(const std::string& path, Bytes& out, size_t limit)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.resize(limit);
    in.read(reinterpret_cast<char*>(out.data()), (std::streamsize)limit);
    out.resize((size_t)in.gcount());
    return true;
}

bool writeAll(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), (std::streamsize)data.size());
    return (bool)out;
}

} // namespace

bool isIconCommand(const std::string& command)
{
    return command == "icon" || command == "icon-check" || command == "icon-web";
}

int iconCommand(const std::string& command, const std::string& dataDir, const std::string& outDir)
{
    Picture ship;
    std::string err;
    if (!shipPicture(dataDir, ship, err)) {
        fprintf(stderr, "%s\n", err.c_str());
        return 1;
    }
    struct File {
        std::string name;
        Bytes bytes;
    };
    std::vector<File> files;
    if (command == "icon-web")
        for (int size : WEB_SIZES)
            files.push_back({"icon-" + std::to_string(size) + ".png", pngFile(ship, size)});
    else
        files = {{"starlane.ico", icoFile(ship)}, {"starlane.png", pngFile(ship, PNG_SIZE)}};
    int failures = 0;
    for (auto& f : files) {
        std::string path = outDir + "/" + f.name;
        if (command != "icon-check") {
            if (!writeAll(path, f.bytes)) {
                fprintf(stderr, "%s: cannot write\n", path.c_str());
                failures++;
            }
            continue;
        }
        Bytes onDisk;
        if (!readAll(path, onDisk, f.bytes.size() + 1) || onDisk != f.bytes) {
            fprintf(stderr, "%s: differs from the ship's art; run mkcontent icon %s %s\n",
                    path.c_str(), dataDir.c_str(), outDir.c_str());
            failures++;
        }
    }
    return failures ? 1 : 0;
}
