// Screenshots: an 8-bit picture written through its palette as a 24-bit PNG, under the first
// free name starlane-0001.png, starlane-0002.png, ... in the working directory.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <vector>

#include "platform/png_write.h"
#include "platform/screenshot.h"

namespace {

int writeRows(FILE* file, const unsigned char* pixels, int pitch, int width, int height,
              const unsigned char* palette4x256)
{
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    unsigned char* out = rgb.data();
    for (int y = 0; y < height; y++) {
        const unsigned char* src = pixels + (size_t)y * pitch;
        for (int x = 0; x < width; x++, out += 3) {
            const unsigned char* entry = palette4x256 + src[x] * 4;
            out[0] = entry[0];
            out[1] = entry[1];
            out[2] = entry[2];
        }
    }
    std::vector<unsigned char> png;
    return encodePng(rgb.data(), width, height, 3, png) &&
           fwrite(png.data(), 1, png.size(), file) == png.size();
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
