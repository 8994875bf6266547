// Screenshots: an 8-bit picture written through its palette as a 24-bit PNG, under the first
// free name starlane-0001.png, starlane-0002.png, ... in the working directory.
#include <errno.h>
#include <fcntl.h>
#include <png.h>
#include <stdio.h>
#include <unistd.h>

#include <vector>

#include "screenshot.h"

namespace {

int writeRows(FILE* file, const unsigned char* pixels, int pitch, int width, int height,
              const unsigned char* palette4x256)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png ? png_create_info_struct(png) : NULL;
    std::vector<unsigned char> row((size_t)width * 3);
    if (png == NULL || info == NULL || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) {
        const unsigned char* src = pixels + (size_t)y * pitch;
        for (int x = 0; x < width; x++) {
            const unsigned char* entry = palette4x256 + src[x] * 4;
            row[x * 3] = entry[0];
            row[x * 3 + 1] = entry[1];
            row[x * 3 + 2] = entry[2];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, NULL);
    png_destroy_write_struct(&png, &info);
    return 1;
}

} // namespace

int writeScreenshot(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256, char* name, int nameSize)
{
    if (pixels == NULL || palette4x256 == NULL || name == NULL || width <= 0 || height <= 0 ||
        pitch < width)
        return 0;
    for (int n = 1; n <= 99999; n++) {
        if (snprintf(name, (size_t)nameSize, "starlane-%04d.png", n) >= nameSize)
            return 0;
        // O_EXCL: a name that exists, even one made a moment ago by someone else, is never reused.
        int fd = open(name, O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return 0;
        }
        FILE* file = fdopen(fd, "wb");
        if (file == NULL) {
            close(fd);
            unlink(name);
            return 0;
        }
        int ok = writeRows(file, pixels, pitch, width, height, palette4x256);
        if (fclose(file) != 0)
            ok = 0;
        if (!ok)
            unlink(name); // no half-written picture is left behind
        return ok;
    }
    return 0;
}
