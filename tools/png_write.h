// The tools' PNG writer: libpng on Linux (png_libpng.cpp), the header-only stb writer where
// there is no libpng, as in the WebAssembly build (png_stb.cpp).
#ifndef STARLANE_TOOLS_PNG_WRITE_H
#define STARLANE_TOOLS_PNG_WRITE_H

// Writes height rows of width 24-bit RGB pixels (width * 3 bytes a row) to `path`. 1 ok, 0 failed.
int writePng(const char* path, const unsigned char* rgb, int width, int height);

#endif
