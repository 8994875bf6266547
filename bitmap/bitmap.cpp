#include "bitmap/bitmap.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "shell/errorlog.h"

#define FILE_HEADER_BYTES 14
#define INFO_HEADER_BYTES 40
#define BITMAP_SIGNATURE 0x4D42  // "BM" read as a little-endian word
#define PALETTE_ENTRY_FLAGS 0x04 // PC_NOCOLLAPSE

// Little-endian fields decoded byte by byte, whatever the host's byte order or struct packing.
static WORD readWord(const unsigned char* p)
{
    return (WORD)(p[0] | (p[1] << 8));
}

static DWORD readDword(const unsigned char* p)
{
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

static LONG readLong(const unsigned char* p)
{
    uint32_t u = readDword(p);
    return u < 0x80000000u ? (LONG)u : (LONG)(-(int64_t)(0x100000000ull - u));
}

static int failClosed(FILE* file, const char* message)
{
    fclose(file);
    writeError(message);
    return 0;
}

int loadBitmapFile(BitmapFile* bitmap, const char* fileName)
{
    if (bitmap == NULL || fileName == NULL) {
        writeError("loadBitmapFile:  null pointer passed\n");
        return 0;
    }
    FILE* file = fopen(fileName, "rb");
    if (file == NULL) {
        writeError("loadBitmapFile:  error opening file\n");
        return 0;
    }

    unsigned char raw[INFO_HEADER_BYTES];
    if (fread(raw, 1, FILE_HEADER_BYTES, file) != FILE_HEADER_BYTES)
        return failClosed(file, "loadBitmapFile:  error reading file header\n");
    BitmapFileHeader* fh = &bitmap->fileHeader;
    fh->bfType = readWord(raw);
    fh->bfSize = readDword(raw + 2);
    fh->bfReserved1 = readWord(raw + 6);
    fh->bfReserved2 = readWord(raw + 8);
    fh->bfOffBits = readDword(raw + 10);
    if (fh->bfType != BITMAP_SIGNATURE)
        return failClosed(file, "loadBitmapFile:  file opened was not a bitmap file\n");

    if (fread(raw, 1, INFO_HEADER_BYTES, file) != INFO_HEADER_BYTES)
        return failClosed(file, "loadBitmapFile:  error reading info header\n");
    BitmapInfoHeader* ih = &bitmap->infoHeader;
    ih->biSize = readDword(raw);
    ih->biWidth = readLong(raw + 4);
    ih->biHeight = readLong(raw + 8);
    ih->biPlanes = readWord(raw + 12);
    ih->biBitCount = readWord(raw + 14);
    ih->biCompression = readDword(raw + 16);
    ih->biSizeImage = readDword(raw + 20);
    ih->biXPelsPerMeter = readLong(raw + 24);
    ih->biYPelsPerMeter = readLong(raw + 28);
    ih->biClrUsed = readDword(raw + 32);
    ih->biClrImportant = readDword(raw + 36);

    if (ih->biBitCount == 8) {
        // The table is taken to be a full 256 entries right behind the 40-byte info header,
        // whatever biClrUsed says; the palette is only changed once all of it is in.
        unsigned char table[BITMAP_PALETTE_SIZE * 4];
        if (fread(table, 4, BITMAP_PALETTE_SIZE, file) != BITMAP_PALETTE_SIZE)
            return failClosed(file, "loadBitmapFile:  error reading palette\n");
        for (int i = 0; i < BITMAP_PALETTE_SIZE; i++) {
            bitmap->palette[i].peRed = table[i * 4 + 2];
            bitmap->palette[i].peGreen = table[i * 4 + 1];
            bitmap->palette[i].peBlue = table[i * 4];
            bitmap->palette[i].peFlags = PALETTE_ENTRY_FLAGS;
        }
    }

    if (ih->biBitCount != 8 && ih->biBitCount != 16 && ih->biBitCount != 24)
        return failClosed(file, "loadBitmapFile:  bitmap file was in an unsupported color mode\n");

    // 64-bit sizes: no header value can overflow them, and the limit keeps rowLength and the
    // row count within an int for flipBitmap and the cell cutter.
    int64_t rows = ih->biHeight < 0 ? -(int64_t)ih->biHeight : (int64_t)ih->biHeight;
    int64_t rowLength = (int64_t)ih->biWidth * (ih->biBitCount / 8);
    if (rowLength <= 0 || rows == 0)
        return failClosed(file, "loadBitmapFile:  bitmap file has unsupported dimensions\n");
    // A picture larger than any sheet needs is one we will not try to hold.
    if (rowLength > BITMAP_MAX_PIXEL_BYTES || rows > BITMAP_MAX_PIXEL_BYTES / rowLength)
        return failClosed(file, "loadBitmapFile: memory allocation error\n");
    size_t total = (size_t)(rowLength * rows);

    // Only now, with the file known to be usable, does the previous picture go.
    if (bitmap->buffer != NULL) {
        free(bitmap->buffer);
        bitmap->buffer = NULL;
    }
    bitmap->buffer = (unsigned char*)malloc(total);
    if (bitmap->buffer == NULL)
        return failClosed(file, "loadBitmapFile: memory allocation error\n");

    // fseek takes a long, which is 32 bits on Windows.
    if (fh->bfOffBits > 0x7FFFFFFFu || fseek(file, (long)fh->bfOffBits, SEEK_SET) != 0)
        return failClosed(file, "loadBitmapFile: error seeking to bitmap bits\n");

    if (rowLength % 4 == 0) {
        if (fread(bitmap->buffer, 1, total, file) != total)
            return failClosed(file, "loadBitmapFile: error reading bitmap image\n");
    } else {
        // A file that ends early is reported here too rather than leaving rows unfilled.
        long padding = (long)(4 - rowLength % 4);
        for (int64_t row = 0; row < rows; row++) {
            if (fread(bitmap->buffer + row * rowLength, 1, (size_t)rowLength, file) !=
                    (size_t)rowLength ||
                fseek(file, padding, SEEK_CUR) != 0)
                return failClosed(file, "loadBitmapFile: error reading bitmap image\n");
        }
    }

    if (fclose(file) != 0)
        writeError("loadBitmapFile: error closing file\n");

    if (ih->biHeight > 0 && !flipBitmap(bitmap->buffer, (int)rowLength, (int)rows)) {
        writeError("loadBitmapFile: error flipping the bitmap\n");
        return 0;
    }
    return 1;
}

int flipBitmap(unsigned char* buffer, int rowLength, int rows)
{
    if (buffer == NULL) {
        writeError("flipBitmap: null pointer passed\n");
        return 0;
    }
    if (rowLength < 0 || rows < 0) {
        writeError("flipBitmap: negative row length or row count\n");
        return 0;
    }
    uint64_t total = (uint64_t)rowLength * (uint64_t)rows;
    if (total == 0)
        return 1; // nothing to move (and malloc(0) may rightly return null)
    unsigned char* scratch = total <= SIZE_MAX ? (unsigned char*)malloc((size_t)total) : NULL;
    if (scratch == NULL) {
        writeError("flipBitmap: memory allocation error\n");
        return 0;
    }
    memcpy(scratch, buffer, (size_t)total);
    for (int i = 0; i < rows; i++)
        memcpy(buffer + (size_t)i * rowLength, scratch + (size_t)(rows - 1 - i) * rowLength,
               (size_t)rowLength);
    free(scratch);
    return 1;
}

int destroyBitmapFile(BitmapFile* bitmap)
{
    if (bitmap == NULL) {
        writeError("destroyBitmapFile: null pointer passed\n");
        return 0;
    }
    if (bitmap->buffer != NULL) {
        free(bitmap->buffer);
        bitmap->buffer = NULL;
    }
    return 1;
}

// A refused request leaves the image empty, so no stale cell can pass for the one asked for.
static int refuseCell(BitmapImage* image, const char* message)
{
    image->width = 0;
    image->height = 0;
    image->bpp = 0;
    writeError(message);
    return 0;
}

int extractBitmapTemplated(BitmapImage* image, const BitmapFile* sheet, int width, int height,
                           int borderWidth, int cx, int cy)
{
    if (image == NULL || sheet == NULL) {
        writeError("extractBitmapTemplated: null pointer(s) passed\n");
        return 0;
    }
    if (image->buffer != NULL) {
        free(image->buffer);
        image->buffer = NULL;
    }

    int bytesPerPixel = sheet->infoHeader.biBitCount / 8;
    int64_t sheetWidth = sheet->infoHeader.biWidth;
    int64_t sheetRows = sheet->infoHeader.biHeight < 0 ? -(int64_t)sheet->infoHeader.biHeight
                                                       : (int64_t)sheet->infoHeader.biHeight;
    if (sheet->buffer == NULL || bytesPerPixel == 0 || sheetWidth <= 0 || sheetRows == 0)
        return refuseCell(image, "extractBitmapTemplated: sheet holds no pixels\n");
    if (width <= 0 || height <= 0 || borderWidth < 0)
        return refuseCell(image, "extractBitmapTemplated: invalid cell size\n");
    if (cx < 0 || cy < 0)
        return refuseCell(image, "extractBitmapTemplated: cell lies outside the sheet\n");
    // Every factor is below 2^32 and the column or row below 2^31, so nothing here can
    // overflow 64 bits.
    int64_t x = (int64_t)cx * ((int64_t)width + borderWidth) + borderWidth;
    int64_t y = (int64_t)cy * ((int64_t)height + borderWidth) + borderWidth;
    if (x + width > sheetWidth || y + height > sheetRows)
        return refuseCell(image, "extractBitmapTemplated: cell lies outside the sheet\n");

    image->width = width;
    image->height = height;
    image->bpp = sheet->infoHeader.biBitCount;
    size_t cellRow = (size_t)width * bytesPerPixel;
    size_t sheetRow = (size_t)sheetWidth * bytesPerPixel;
    image->buffer = (unsigned char*)malloc(cellRow * (size_t)height);
    if (image->buffer == NULL) {
        writeError("extractBitmapTemplated: unable to allocate memory\n");
        return 0;
    }
    const unsigned char* source = sheet->buffer + (size_t)y * sheetRow + (size_t)x * bytesPerPixel;
    unsigned char* destination = image->buffer;
    for (int row = 0; row < height; row++) {
        memcpy(destination, source, cellRow);
        source += sheetRow;
        destination += cellRow;
    }
    return 1;
}

int destroyBitmapImage(BitmapImage* image)
{
    if (image == NULL) {
        writeError("destroyBitmapImage: null pointer passed\n");
        return 0;
    }
    if (image->buffer != NULL) {
        free(image->buffer);
        image->buffer = NULL;
    }
    return 1;
}
