// Painting pixels of a sheet's picture by rewriting their characters in its source, and the
// sheet's legend as written, for a palette shown with its names, and its layout of cells.
#include <fstream>
#include <string>
#include <vector>

#include "tools/colors.h"
#include "tools/sheet.h"
#include "tools/sheets.h"
#include "tools/source_text.h"

namespace fs = std::filesystem;

namespace {

// The pixel (x, y) drawn in `colour` in `text`: its character replaced by one whose legend is
// that entry, a legend line added when none is. 0 with `why` when it cannot be.
int paintText(const fs::path& sheet, std::string& text, const Palette& pal, int x, int y,
              int colour, std::string& why)
{
    std::vector<std::string> errors;
    if (colour < 0 || colour > 255) {
        why = sheet.string() + ": palette entries are 0..255";
        return 0;
    }
    // The sheet's reader finds the pixel's character; the rest is written back byte for byte.
    PixelPlace place;
    place.x = x;
    place.y = y;
    std::vector<uint8_t> unused;
    readSheet(sheet, text, pal, unused, errors, &place);
    size_t at = place.offset;
    const int* legend = place.legend;
    if (at == std::string::npos) {
        why = sheet.string() + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) +
              ") lies in no cell an at block draws";
        return 0;
    }
    int c = 0;
    while (c < 256 && legend[c] != colour)
        c++;
    if (c == 256) {
        // A new pixel character, one that reads well and is not a comment or a blank.
        const char* spare =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+*=%$@!?~^:;,_-";
        for (const char* p = spare; *p && c == 256; p++)
            if (!place.given[(unsigned char)*p])
                c = (unsigned char)*p;
        if (c == 256) {
            why = sheet.string() + ": no pixel character is left for a new legend";
            return 0;
        }
        text[at] = (char)c;
        size_t put = place.legendEnd;
        std::string eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        text.insert(put, "legend " + std::string(1, (char)c) + " " + std::to_string(colour) + eol);
    } else
        text[at] = (char)c;
    return 1;
}

} // namespace

int paintSheetPixels(const fs::path& dataDir, const fs::path& sheet,
                     const std::vector<PaintedPixel>& pixels, std::string& why)
{
    std::vector<std::string> errors;
    Palette pal;
    std::string text, problem;
    if (!loadColours(dataDir / "palette.colors", pal, errors)) {
        why = errors.empty() ? "palette.colors does not load" : errors[0];
        return 0;
    }
    if (!readSource(sheet, text, problem)) {
        why = sheet.string() + ": " + problem;
        return 0;
    }
    // All of the stroke or none of it: the file is written once, at the end.
    for (const PaintedPixel& p : pixels)
        if (!paintText(sheet, text, pal, p.x, p.y, p.colour, why))
            return 0;
    std::ofstream out(sheet, std::ios::binary | std::ios::trunc);
    out.write(text.data(), (std::streamsize)text.size());
    if (!out) {
        why = sheet.string() + ": cannot write";
        return 0;
    }
    return 1;
}

int paintSheet(const fs::path& dataDir, const fs::path& sheet, int x, int y, int colour,
               std::string& why)
{
    return paintSheetPixels(dataDir, sheet, {{x, y, colour}}, why);
}

// The legend lines of a sheet, in order: each pixel character with the palette entry it means
// and the colour and note as written, for a palette shown with the sheet's own names.
std::vector<SheetLegend> sheetLegend(const fs::path& dataDir, const fs::path& sheet)
{
    std::vector<SheetLegend> out;
    std::vector<std::string> errors;
    Palette pal;
    std::string text, problem;
    if (!loadColours(dataDir / "palette.colors", pal, errors) || !readSource(sheet, text, problem))
        return out;
    SourceLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        // A legend's note is a few words: past them the line is not worth holding.
        std::vector<std::string_view> w = sourceWords(line, 3 + 64);
        if (w.size() < 3 || w[0] != "legend" || w[1].size() != 1)
            continue;
        SheetLegend l;
        l.character = (unsigned char)w[1][0];
        l.colour = std::string(w[2]);
        std::string why;
        if (!resolveColour(pal, w[2], l.entry, why))
            l.entry = -1;
        for (size_t i = 3; i < w.size(); i++)
            l.note += (i > 3 ? " " : "") + std::string(w[i]);
        out.push_back(l);
    }
    return out;
}

// Where a sheet lays out its cells: the cell size, the grid and its line, and each at block's
// cell and line, for a tool that adds a cell.
SheetLayout sheetLayout(const fs::path& sheet)
{
    SheetLayout out;
    std::string text, problem;
    if (!readSource(sheet, text, problem))
        return out;
    SourceLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::vector<std::string_view> w = sourceWords(line, 4);
        int a = 0, b = 0;
        if (w.size() != 3 && (w.empty() || w[0] != "at"))
            continue;
        if (w.size() < 3 || !parseSourceInt(w[1], a) || !parseSourceInt(w[2], b))
            continue;
        if (w[0] == "cell")
            out.width = a, out.height = b;
        else if (w[0] == "grid")
            out.columns = a, out.rows = b, out.gridLine = (int)lines.number;
        else if (w[0] == "at") {
            out.blocks.push_back({a, b, (int)lines.number});
            lines.skip(out.height);
        }
    }
    out.lines = (int)lines.number;
    return out;
}
