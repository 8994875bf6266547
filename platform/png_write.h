// The one PNG writer (Debian's stb_image_write) for every build: F12 screenshots, the
// replay tool's shots and the program's icon.
#ifndef STARLANE_PLATFORM_PNG_WRITE_H
#define STARLANE_PLATFORM_PNG_WRITE_H

#include <vector>

// Encodes height rows of width pixels of `channels` bytes each (3 RGB, 4 RGBA), rows packed,
// as a PNG into `out`. 1 ok, 0 failed.
int encodePng(const unsigned char* pixels, int width, int height, int channels,
              std::vector<unsigned char>& out);

// Writes height rows of width 24-bit RGB pixels (width * 3 bytes a row) to `path`. 1 ok, 0 failed.
int writePng(const char* path, const unsigned char* rgb, int width, int height);

#endif
