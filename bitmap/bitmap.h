// BMP sprite sheets: reading an uncompressed 8-, 16- or 24-bit BMP file into memory
// (top row first, rows packed) and cutting one grid cell out of it. It includes only the
// shell's log; the graphic loader cuts frames with it and the content builder writes sheets.
#ifndef STARLANE_BITMAP_BITMAP_H
#define STARLANE_BITMAP_BITMAP_H

#include <windows.h>

// The two BMP headers with the field names and widths of BITMAPFILEHEADER and
// BITMAPINFOHEADER. Our own names, because the real <windows.h> already declares those;
// the reader fills them field by field, so their in-memory packing does not matter.
struct BitmapFileHeader {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};

struct BitmapInfoHeader {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // > 0: stored bottom row first; < 0: top row first
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

// One colour-table entry converted to PALETTEENTRY layout (red, green, blue, flags).
struct BitmapPaletteEntry {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

#define BITMAP_PALETTE_SIZE 256

// The largest pixel area the reader accepts. Sprite sheets are far smaller; the limit keeps a
// damaged header from asking for absurd allocations and keeps every size within an int.
#define BITMAP_MAX_PIXEL_BYTES (64 * 1024 * 1024)

// A loaded BMP file. Clear to zero before the first load; the record owns `buffer`.
struct BitmapFile {
    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;
    BitmapPaletteEntry palette[BITMAP_PALETTE_SIZE]; // 8-bit files only
    unsigned char* buffer; // |biHeight| rows of biWidth * (biBitCount / 8) bytes, top row first
};

// One cell cut out of a sheet. Clear to zero before first use; the record owns `buffer`.
struct BitmapImage {
    int width;
    int height;
    int bpp;
    unsigned char* buffer; // height rows of width * (bpp / 8) bytes, top row first
};

// All return 1 on success, 0 on failure (logged to Error.txt).
int loadBitmapFile(BitmapFile* bitmap, const char* fileName);   // replaces any earlier picture
int flipBitmap(unsigned char* buffer, int rowLength, int rows); // reverses the row order
int destroyBitmapFile(BitmapFile* bitmap);                      // frees the pixels; reusable

// Copies the cell in column cx, row cy of a grid of width x height cells with borderWidth
// borders around and between them; cells not wholly inside the sheet are refused.
int extractBitmapTemplated(BitmapImage* image, const BitmapFile* sheet, int width, int height,
                           int borderWidth, int cx, int cy);
int destroyBitmapImage(BitmapImage* image); // frees the pixels; reusable

#endif
