#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "png_write.h"

int writePng(const char* path, const unsigned char* rgb, int width, int height)
{
    return stbi_write_png(path, width, height, 3, rgb, width * 3) ? 1 : 0;
}
