#include "platform/png_write.h"

#include <stdio.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void append(void* context, void* data, int size)
{
    std::vector<unsigned char>* out = static_cast<std::vector<unsigned char>*>(context);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

int encodePng(const unsigned char* pixels, int width, int height, int channels,
              std::vector<unsigned char>& out)
{
    out.clear();
    if (pixels == NULL || width <= 0 || height <= 0 || channels < 1 || channels > 4)
        return 0;
    return stbi_write_png_to_func(append, &out, width, height, channels, pixels,
                                  width * channels) != 0;
}

int writePng(const char* path, const unsigned char* rgb, int width, int height)
{
    std::vector<unsigned char> png;
    if (!encodePng(rgb, width, height, 3, png))
        return 0;
    FILE* f = fopen(path, "wb");
    if (f == NULL)
        return 0;
    int ok = fwrite(png.data(), 1, png.size(), f) == png.size();
    if (fclose(f) != 0)
        ok = 0;
    return ok;
}
