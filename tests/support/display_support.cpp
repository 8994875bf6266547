#include "tests/support/display_support.h"

#include "tests/support/testsupport.h"

std::string testPaletteBytes()
{
    std::string bytes;
    for (int i = 0; i < 256; i++) {
        bytes += (char)i;
        bytes += (char)(255 - i);
        bytes += (char)(i / 2);
        bytes += (char)0;
    }
    return bytes;
}

void writeTestPalette(const std::string& path)
{
    writeFile(path, testPaletteBytes());
}
