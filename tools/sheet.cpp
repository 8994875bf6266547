#include "tools/sheet.h"

#include <algorithm>
#include <string_view>

#include "tools/bmp_write.h"
#include "tools/sheets.h"
#include "tools/source_text.h"

namespace fs = std::filesystem;

bool readSheet(const fs::path& path, const std::string& text, const Palette& pal,
               std::vector<uint8_t>& out, std::vector<std::string>& errors, PixelPlace* place,
               long long* pixelsLeft)
{
    size_t errorsBefore = errors.size();
    bool toldLayout = false, toldCharacter[256] = {false};
    SourceLines lines(text);
    int cw = 0, ch = 0, bw = -1, borderIndex = 0, cols = 0, rows = 0, fill = 0;
    int legend[256];
    std::fill(legend, legend + 256, -1);
    std::vector<uint8_t> pixels;
    std::vector<bool> drawn;
    int width = 0, height = 0;
    size_t legendEnd = std::string::npos;
    size_t layoutLine = 1; // the cell, border or grid line read last: it fixed the size
    if (place) {
        place->offset = std::string::npos;
        std::fill(place->given, place->given + 256, false);
    }
    // The picture, once the layout is known; a sheet the game's bitmap reader would refuse
    // is not made (nor held in memory).
    auto layOut = [&](const std::string& at) {
        width = cols * (cw + bw) + bw;
        height = rows * (ch + bw) + bw;
        if ((long long)width * height > BITMAP_MAX_PIXEL_BYTES) {
            errors.push_back(at + "the sheet is " + std::to_string(width) + "x" +
                             std::to_string(height) + " pixels, more than the game loads (" +
                             std::to_string(BITMAP_MAX_PIXEL_BYTES >> 20) + " MiB)");
            return false;
        }
        if (pixelsLeft && (long long)width * height > *pixelsLeft) {
            errors.push_back(placeOf(path, layoutLine) + "the sheet is " + std::to_string(width) +
                             "x" + std::to_string(height) +
                             " pixels, which takes the folder's sheets past " +
                             std::to_string(SHEETS_MAX_PIXEL_BYTES >> 20) +
                             " MiB of pictures together; the sheets after it are not built");
            *pixelsLeft = -1;
            return false;
        }
        pixels.assign((size_t)width * height, (uint8_t)borderIndex);
        drawn.assign((size_t)cols * rows, false);
        return true;
    };
    for (std::string_view line; lines.next(line);) {
        if (tooManyProblems(path, errors, errorsBefore))
            return false;
        // No directive has more than three words; a fourth says there are too many.
        std::vector<std::string_view> w = sourceWords(line, 4);
        if (w.empty())
            continue;
        std::string at = placeOf(path, lines.number);
        std::string_view d = w[0];
        auto ints = [&](size_t count, std::vector<int>& v) {
            if (w.size() != count + 1)
                return false;
            v.resize(count);
            for (size_t i = 0; i < count; ++i)
                if (!parseSourceInt(w[i + 1], v[i]))
                    return false;
            return true;
        };
        std::vector<int> v;
        bool layoutDirective = d == "cell" || d == "border" || d == "grid" || d == "fill";
        if (layoutDirective && !pixels.empty()) {
            errors.push_back(at + std::string(d) + " must come before the first cell");
            continue;
        }
        if (layoutDirective)
            layoutLine = lines.number;
        if (d == "cell") {
            if (!ints(2, v) || v[0] < 1 || v[1] < 1 || v[0] > 1024 || v[1] > 1024) {
                errors.push_back(at + "cell needs W H, 1..1024");
                continue;
            }
            cw = v[0];
            ch = v[1];
        } else if (d == "border") {
            std::string why;
            if (w.size() != 3 || !parseSourceInt(w[1], bw) || bw < 0 || bw > 64) {
                errors.push_back(at + "border needs N (0..64) and a colour");
                continue;
            }
            if (!resolveColour(pal, w[2], borderIndex, why)) {
                errors.push_back(at + why);
                continue;
            }
        } else if (d == "grid") {
            if (!ints(2, v) || v[0] < 1 || v[1] < 1 || v[0] > 64 || v[1] > 64) {
                errors.push_back(at + "grid needs COLS ROWS, 1..64");
                continue;
            }
            cols = v[0];
            rows = v[1];
        } else if (d == "fill") {
            std::string why;
            if (w.size() != 2 || !resolveColour(pal, w[1], fill, why)) {
                errors.push_back(at + "fill needs one colour " + why);
                continue;
            }
        } else if (d == "legend") {
            std::string why;
            int idx = 0;
            if (w.size() < 3 || w[1].size() != 1) {
                errors.push_back(at + "legend needs one character and a colour");
                continue;
            }
            if (!resolveColour(pal, w[2], idx, why)) {
                errors.push_back(at + why);
                continue;
            }
            unsigned char c = (unsigned char)w[1][0];
            if (legend[c] >= 0) {
                errors.push_back(at + "character " + std::string(w[1]) + " given twice");
                continue;
            }
            legend[c] = idx;
            legendEnd = std::min(lines.pos, text.size());
            if (place)
                place->given[c] = true;
        } else if (d == "at") {
            int cx = 0, cy = 0;
            if (w.size() < 3 || !parseSourceInt(w[1], cx) || !parseSourceInt(w[2], cy)) {
                errors.push_back(at + "at needs COL ROW");
                lines.skip(ch);
                continue;
            }
            if (cw == 0 || bw < 0 || cols == 0) {
                // Said once: every later cell would say it again.
                if (!toldLayout)
                    errors.push_back(at + "cell, border and grid must come first");
                toldLayout = true;
                lines.skip(ch);
                continue;
            }
            if (pixels.empty() && !layOut(at))
                return false;
            if (legendEnd == std::string::npos)
                legendEnd = (size_t)(line.data() - text.data());
            if (cx < 0 || cx >= cols || cy < 0 || cy >= rows) {
                errors.push_back(at + "cell outside the grid");
                lines.skip(ch);
                continue;
            }
            if (drawn[(size_t)cy * cols + cx]) {
                errors.push_back(at + "cell drawn twice");
                lines.skip(ch);
                continue;
            }
            drawn[(size_t)cy * cols + cx] = true;
            int x0 = cx * (cw + bw) + bw, y0 = cy * (ch + bw) + bw;
            for (int r = 0; r < ch; ++r) {
                std::string_view row;
                if (!lines.next(row)) {
                    errors.push_back(placeOf(path, lines.number + 1) + "file ends inside a cell");
                    break;
                }
                if ((int)row.size() != cw) {
                    errors.push_back(placeOf(path, lines.number) + "row is " +
                                     std::to_string(row.size()) + " characters, cell is " +
                                     std::to_string(cw));
                    continue;
                }
                for (int x = 0; x < cw; ++x) {
                    int idx = legend[(unsigned char)row[x]];
                    if (idx < 0) {
                        if (!toldCharacter[(unsigned char)row[x]])
                            errors.push_back(placeOf(path, lines.number) + "character '" +
                                             std::string(1, row[x]) + "' has no legend");
                        toldCharacter[(unsigned char)row[x]] = true;
                        continue;
                    }
                    pixels[(size_t)(y0 + r) * width + x0 + x] = (uint8_t)idx;
                }
                if (place && place->y == y0 + r && place->x >= x0 && place->x < x0 + cw &&
                    place->offset == std::string::npos) {
                    place->offset = (size_t)(row.data() - text.data()) + (size_t)(place->x - x0);
                    std::copy(legend, legend + 256, place->legend);
                    place->legendEnd = legendEnd;
                }
            }
        } else {
            errors.push_back(at + "unknown directive " + shownWord(d));
            continue;
        }
    }
    if (pixels.empty()) {
        if (cw == 0 || bw < 0 || cols == 0) {
            errors.push_back(placeOf(path, 1) + "cell, border and grid are required");
            return false;
        }
        if (!layOut(path.string() + ": "))
            return false;
    }
    for (int cy = 0; cy < rows; ++cy)
        for (int cx = 0; cx < cols; ++cx) {
            if (drawn[(size_t)cy * cols + cx])
                continue;
            int x0 = cx * (cw + bw) + bw, y0 = cy * (ch + bw) + bw;
            for (int r = 0; r < ch; ++r)
                std::fill_n(pixels.begin() + (size_t)(y0 + r) * width + x0, cw, (uint8_t)fill);
        }
    if (errors.size() != errorsBefore)
        return false;
    out = bmpFile(pal, width, height, pixels);
    if (pixelsLeft)
        *pixelsLeft -= (long long)width * height;
    return true;
}

bool buildSheet(const fs::path& path, const Palette& pal, std::vector<uint8_t>& out,
                std::vector<std::string>& errors, long long* pixelsLeft)
{
    std::string text;
    std::string problem;
    if (!readSource(path, text, problem)) {
        errors.push_back(path.string() + ": " + problem);
        return false;
    }
    return readSheet(path, text, pal, out, errors, NULL, pixelsLeft);
}
