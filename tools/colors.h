// The palette's source, palette.colors, read into the 256 colours of palette.pal:
//     ramp NAME FIRST LAST #rrggbb #rrggbb [...]   entries FIRST..LAST blend evenly
//                                                  through the listed colours
//     set INDEX #rrggbb [NAME]                     one entry
// Every index 0..255 is defined exactly once. A ramp NAME stands for FIRST and NAME+k for
// FIRST+k inside the ramp; a set NAME stands for its index.
#ifndef STARLANE_TOOLS_COLORS_H
#define STARLANE_TOOLS_COLORS_H

#include <stdint.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct Palette {
    uint8_t rgb[256][3];
    bool defined[256];
    std::map<std::string, std::pair<int, int>> names; // name -> first, last index
};

// Reads palette.colors; every problem is added to `errors` as "PATH:LINE: message".
bool loadColours(const std::filesystem::path& path, Palette& pal, std::vector<std::string>& errors);
// A colour reference in a sheet legend: "17", "grey", "grey+3".
bool resolveColour(const Palette& pal, std::string_view ref, int& index, std::string& why);
// palette.pal's bytes: 256 entries of R, G, B and 0.
std::vector<uint8_t> paletteFile(const Palette& pal);

#endif
