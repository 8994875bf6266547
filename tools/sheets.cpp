#include "sheets.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/bitmap.h"

namespace fs = std::filesystem;

typedef std::vector<uint8_t> Bytes;

// No file the game can load is near this size: a sheet's picture is at most the bitmap
// reader's limit, and its source holds about one character per pixel.
static const std::streamsize SOURCE_MAX_BYTES = 2 * (std::streamsize)BITMAP_MAX_PIXEL_BYTES;

// Problems told of one source; past them its reading stops, since a file of garbage lines
// would otherwise take many times its size in messages nobody reads.
static const size_t SOURCE_MAX_PROBLEMS = 100;

// 1 when the source has told its share of problems; the last line says so.
static bool tooManyProblems(const fs::path& path, std::vector<std::string>& errors,
                            size_t errorsBefore)
{
    if (errors.size() - errorsBefore < SOURCE_MAX_PROBLEMS)
        return false;
    errors.push_back(path.string() + ": more than " + std::to_string(SOURCE_MAX_PROBLEMS) +
                     " problems; the rest are not shown");
    return true;
}

// Reads a file of at most SOURCE_MAX_BYTES, in pieces, so that an endless one (a device, a
// pipe) is refused rather than held. Empty `why` when it was read.
static bool readFile(const fs::path& path, std::string& out, std::string& why)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot read";
        return false;
    }
    out.clear();
    // The whole text in one piece of its own size: a regular file says how large it is.
    std::error_code ec;
    uintmax_t size = fs::is_regular_file(path, ec) ? fs::file_size(path, ec) : 0;
    if (!ec && size > 0 && size <= (uintmax_t)SOURCE_MAX_BYTES)
        out.reserve((size_t)size);
    char piece[65536];
    while (in.read(piece, sizeof(piece)) || in.gcount() > 0) {
        if ((std::streamsize)out.size() + in.gcount() > SOURCE_MAX_BYTES) {
            why = "larger than " + std::to_string(SOURCE_MAX_BYTES >> 20) +
                  " MiB, more than any sheet the game loads";
            return false;
        }
        out.append(piece, (size_t)in.gcount());
    }
    return true;
}

// The lines of a text one after another, each a view into it: a source of many lines costs
// no more than its text. A CR before the newline is dropped; a last line without a newline
// counts when it holds anything.
struct Lines {
    const std::string& text;
    size_t pos;
    size_t number; // of the line given last, from 1

    explicit Lines(const std::string& t) : text(t), pos(0), number(0) {}
    bool next(std::string_view& line)
    {
        if (pos >= text.size())
            return false;
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        line = std::string_view(text).substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        pos = end + 1;
        number++;
        return true;
    }
    void skip(int count)
    {
        std::string_view line;
        for (int i = 0; i < count && next(line); i++)
            ;
    }
};

// Where a problem stands: "PATH:LINE: ", made only for a line that has one.
static std::string placeOf(const fs::path& path, size_t line)
{
    return path.string() + ":" + std::to_string(line) + ": ";
}

// Words of a directive line; none for a blank line or a comment line (first
// non-blank character '#').
static std::vector<std::string> words(std::string_view line)
{
    std::vector<std::string> out;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && isspace((unsigned char)line[i]))
            i++;
        if (i == line.size() || (out.empty() && line[i] == '#'))
            return out;
        size_t start = i;
        while (i < line.size() && !isspace((unsigned char)line[i]))
            i++;
        out.emplace_back(line.substr(start, i - start));
    }
}

static bool parseInt(const std::string& s, int& v)
{
    if (s.empty())
        return false;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size())
        return false;
    long long acc = 0;
    for (; i < s.size(); ++i) {
        if (!isdigit((unsigned char)s[i]))
            return false;
        acc = acc * 10 + (s[i] - '0');
        if (acc > 1000000)
            return false;
    }
    v = (int)(s[0] == '-' ? -acc : acc);
    return true;
}

// ---------------------------------------------------------------- palette

struct Palette {
    uint8_t rgb[256][3];
    bool defined[256];
    std::map<std::string, std::pair<int, int>> names; // name -> first, last index
};

static bool parseHex(const std::string& s, uint8_t rgb[3])
{
    if (s.size() != 7 || s[0] != '#')
        return false;
    for (int i = 1; i < 7; ++i)
        if (!isxdigit((unsigned char)s[i]))
            return false;
    for (int c = 0; c < 3; ++c)
        rgb[c] = (uint8_t)std::stoi(s.substr(1 + 2 * c, 2), nullptr, 16);
    return true;
}

static bool validName(const std::string& s)
{
    if (s.empty() || !isalpha((unsigned char)s[0]))
        return false;
    for (char c : s)
        if (!isalnum((unsigned char)c) && c != '_')
            return false;
    return true;
}

// A colour reference in a sheet legend: "17", "grey", "grey+3".
static bool resolveColour(const Palette& pal, const std::string& ref, int& index, std::string& why)
{
    if (parseInt(ref, index)) {
        if (index < 0 || index > 255) {
            why = "palette index out of 0..255: " + ref;
            return false;
        }
        return true;
    }
    std::string name = ref;
    int offset = 0;
    size_t plus = ref.find('+');
    if (plus != std::string::npos) {
        name = ref.substr(0, plus);
        if (!parseInt(ref.substr(plus + 1), offset) || offset < 0) {
            why = "bad offset in " + ref;
            return false;
        }
    }
    auto it = pal.names.find(name);
    if (it == pal.names.end()) {
        why = "unknown colour name " + name;
        return false;
    }
    index = it->second.first + offset;
    if (index > it->second.second) {
        why = ref + " lies past the end of " + name;
        return false;
    }
    return true;
}

static bool loadColours(const fs::path& path, Palette& pal, std::vector<std::string>& errors)
{
    std::string text;
    std::string problem;
    if (!readFile(path, text, problem)) {
        errors.push_back(path.string() + ": " + problem);
        return false;
    }
    size_t errorsBefore = errors.size();
    std::fill(&pal.defined[0], &pal.defined[256], false);
    Lines lines(text);
    for (std::string_view line; lines.next(line);) {
        if (tooManyProblems(path, errors, errorsBefore))
            return false;
        std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        std::string at = placeOf(path, lines.number);
        int first = 0, last = 0;
        std::string name;
        std::vector<std::array<uint8_t, 3>> stops;
        if (w[0] == "ramp") {
            if (w.size() < 6) {
                errors.push_back(at + "ramp needs NAME FIRST LAST and two or more colours");
                continue;
            }
            name = w[1];
            if (!parseInt(w[2], first) || !parseInt(w[3], last) || first < 0 || last > 255 ||
                last <= first) {
                errors.push_back(at + "ramp range must be FIRST < LAST within 0..255");
                continue;
            }
            for (size_t i = 4; i < w.size(); ++i) {
                std::array<uint8_t, 3> c;
                if (!parseHex(w[i], c.data())) {
                    errors.push_back(at + "bad colour " + w[i] + " (want #rrggbb)");
                    break;
                }
                stops.push_back(c);
            }
        } else if (w[0] == "set") {
            if (w.size() < 3 || w.size() > 4) {
                errors.push_back(at + "set needs INDEX #rrggbb [NAME]");
                continue;
            }
            if (!parseInt(w[1], first) || first < 0 || first > 255) {
                errors.push_back(at + "index out of 0..255");
                continue;
            }
            last = first;
            std::array<uint8_t, 3> c;
            if (!parseHex(w[2], c.data())) {
                errors.push_back(at + "bad colour " + w[2] + " (want #rrggbb)");
                continue;
            }
            stops.push_back(c);
            if (w.size() == 4)
                name = w[3];
        } else {
            errors.push_back(at + "unknown directive " + w[0] + " (want ramp or set)");
            continue;
        }
        if (stops.empty() || (w[0] == "ramp" && stops.size() < w.size() - 4))
            continue;
        if (!name.empty()) {
            if (!validName(name)) {
                errors.push_back(at + "bad name " + name);
                continue;
            }
            if (pal.names.count(name)) {
                errors.push_back(at + "name " + name + " used twice");
                continue;
            }
            pal.names[name] = {first, last};
        }
        int count = last - first + 1;
        int segments = (int)stops.size() - 1;
        for (int i = 0; i < count; ++i) {
            int idx = first + i;
            if (pal.defined[idx]) {
                errors.push_back(at + "index " + std::to_string(idx) + " defined twice");
                break;
            }
            pal.defined[idx] = true;
            if (segments == 0) {
                for (int c = 0; c < 3; ++c)
                    pal.rgb[idx][c] = stops[0][c];
                continue;
            }
            // Position i/(count-1) along the stops, in exact integer steps.
            long num = (long)i * segments, den = count - 1;
            long seg = std::min<long>(num / den, segments - 1);
            long part = num - seg * den;
            for (int c = 0; c < 3; ++c) {
                long a = stops[seg][c], b = stops[seg + 1][c];
                pal.rgb[idx][c] = (uint8_t)((a * (den - part) + b * part + den / 2) / den);
            }
        }
    }
    for (int i = 0; i < 256; ++i)
        if (!pal.defined[i]) {
            errors.push_back(path.string() + ": index " + std::to_string(i) + " is never defined");
            break;
        }
    return errors.size() == errorsBefore;
}

static Bytes paletteFile(const Palette& pal)
{
    Bytes out;
    for (int i = 0; i < 256; ++i) {
        out.push_back(pal.rgb[i][0]);
        out.push_back(pal.rgb[i][1]);
        out.push_back(pal.rgb[i][2]);
        out.push_back(0);
    }
    return out;
}

// ---------------------------------------------------------------- sheets

static void put16(Bytes& b, unsigned v)
{
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
static void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

static Bytes bmpFile(const Palette& pal, int width, int height, const std::vector<uint8_t>& pixels)
{
    uint32_t rowBytes = (uint32_t)(width + 3) & ~3u;
    uint32_t imageSize = rowBytes * (uint32_t)height;
    uint32_t offBits = 14 + 40 + 1024;
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offBits + imageSize);
    put16(b, 0);
    put16(b, 0);
    put32(b, offBits);
    put32(b, 40);
    put32(b, (uint32_t)width);
    put32(b, (uint32_t)height); // positive: bottom row first
    put16(b, 1);
    put16(b, 8);
    put32(b, 0); // BI_RGB
    put32(b, imageSize);
    put32(b, 2835);
    put32(b, 2835); // 72 dpi
    put32(b, 256);
    put32(b, 0);
    for (int i = 0; i < 256; ++i) {
        b.push_back(pal.rgb[i][2]);
        b.push_back(pal.rgb[i][1]);
        b.push_back(pal.rgb[i][0]);
        b.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        b.insert(b.end(), pixels.begin() + (size_t)y * width,
                 pixels.begin() + (size_t)(y + 1) * width);
        for (uint32_t p = (uint32_t)width; p < rowBytes; ++p)
            b.push_back(0);
    }
    return b;
}

// Where the text of a sheet says what one pixel of its picture is, for a tool that edits it.
struct PixelPlace {
    int x, y;         // the picture pixel asked about
    size_t offset;    // the byte of its character in the text; npos when no at block draws it
    int legend[256];  // the palette entry each pixel character means there, -1 for none
    size_t legendEnd; // where a legend line in force there goes: after the last one before
                      // the pixel's block, else at the first at line
    bool given[256];  // the characters some legend line of the text gives
};

// Reads the sheet `text` (of the file `path`) into its picture, `out` when nothing was wrong,
// and tells `place` where its pixel is, if given.
static bool readSheet(const fs::path& path, const std::string& text, const Palette& pal, Bytes& out,
                      std::vector<std::string>& errors, PixelPlace* place)
{
    size_t errorsBefore = errors.size();
    bool toldLayout = false, toldCharacter[256] = {false};
    Lines lines(text);
    int cw = 0, ch = 0, bw = -1, borderIndex = 0, cols = 0, rows = 0, fill = 0;
    int legend[256];
    std::fill(legend, legend + 256, -1);
    std::vector<uint8_t> pixels;
    std::vector<bool> drawn;
    int width = 0, height = 0;
    size_t legendEnd = std::string::npos;
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
        pixels.assign((size_t)width * height, (uint8_t)borderIndex);
        drawn.assign((size_t)cols * rows, false);
        return true;
    };
    for (std::string_view line; lines.next(line);) {
        if (tooManyProblems(path, errors, errorsBefore))
            return false;
        std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        std::string at = placeOf(path, lines.number);
        const std::string& d = w[0];
        auto ints = [&](size_t count, std::vector<int>& v) {
            if (w.size() != count + 1)
                return false;
            v.resize(count);
            for (size_t i = 0; i < count; ++i)
                if (!parseInt(w[i + 1], v[i]))
                    return false;
            return true;
        };
        std::vector<int> v;
        bool layoutDirective = d == "cell" || d == "border" || d == "grid" || d == "fill";
        if (layoutDirective && !pixels.empty()) {
            errors.push_back(at + d + " must come before the first cell");
            continue;
        }
        if (d == "cell") {
            if (!ints(2, v) || v[0] < 1 || v[1] < 1 || v[0] > 1024 || v[1] > 1024) {
                errors.push_back(at + "cell needs W H, 1..1024");
                continue;
            }
            cw = v[0];
            ch = v[1];
        } else if (d == "border") {
            std::string why;
            if (w.size() != 3 || !parseInt(w[1], bw) || bw < 0 || bw > 64) {
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
                errors.push_back(at + "character " + w[1] + " given twice");
                continue;
            }
            legend[c] = idx;
            legendEnd = std::min(lines.pos, text.size());
            if (place)
                place->given[c] = true;
        } else if (d == "at") {
            int cx = 0, cy = 0;
            if (w.size() < 3 || !parseInt(w[1], cx) || !parseInt(w[2], cy)) {
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
            errors.push_back(at + "unknown directive " + d);
            continue;
        }
    }
    if (pixels.empty()) {
        if (cw == 0 || bw < 0 || cols == 0) {
            errors.push_back(path.string() + ": cell, border and grid are required");
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
    return true;
}

static bool buildSheet(const fs::path& path, const Palette& pal, Bytes& out,
                       std::vector<std::string>& errors)
{
    std::string text;
    std::string problem;
    if (!readFile(path, text, problem)) {
        errors.push_back(path.string() + ": " + problem);
        return false;
    }
    return readSheet(path, text, pal, out, errors, NULL);
}


// ---------------------------------------------------------------- the folder

int buildSources(const fs::path& dataDir, std::vector<SourceOutput>& outputs,
                 std::vector<std::string>& errors)
{
    Palette pal;
    if (!loadColours(dataDir / "palette.colors", pal, errors))
        return 0;
    outputs.push_back({dataDir / "palette.pal", dataDir / "palette.colors", paletteFile(pal)});
    std::vector<fs::path> sheets;
    std::error_code ec;
    for (fs::directory_iterator it(dataDir / "Graphics", ec), end; !ec && it != end;
         it.increment(ec))
        if (it->path().extension() == ".sheet")
            sheets.push_back(it->path());
    if (ec) {
        errors.push_back((dataDir / "Graphics").string() + ": cannot list (" + ec.message() + ")");
        return 0;
    }
    std::sort(sheets.begin(), sheets.end());
    int ok = 1;
    for (const fs::path& s : sheets) {
        Bytes bmp;
        fs::path target = s;
        target.replace_extension(".bmp");
        if (!buildSheet(s, pal, bmp, errors)) {
            ok = 0;
            continue;
        }
        outputs.push_back({target, s, bmp});
    }
    return ok;
}

void compareSources(const fs::path& dataDir, const std::vector<SourceOutput>& outputs,
                    std::vector<std::string>& problems)
{
    std::error_code ec;
    for (const SourceOutput& o : outputs) {
        std::string disk;
        std::string problem;
        if (!readFile(o.path, disk, problem) && problem == "cannot read") {
            problems.push_back(o.path.string() + ": missing (run mkcontent build)");
            continue;
        }
        if (disk.size() == o.bytes.size() &&
            std::equal(o.bytes.begin(), o.bytes.end(), disk.begin(),
                       [](uint8_t a, char b) { return a == (uint8_t)b; }))
            continue;
        // Only a file that differs is stale: a fresh checkout gives the files any order in time.
        int older = fs::last_write_time(o.path, ec) < fs::last_write_time(o.source, ec) && !ec;
        problems.push_back(o.path.string() +
                           (older ? ": older than its source " + o.source.filename().string()
                                  : std::string(": differs from its source")) +
                           " (run mkcontent build)");
    }
    // A sheet picture without a source could not be rebuilt.
    for (fs::directory_iterator it(dataDir / "Graphics", ec), end; !ec && it != end;
         it.increment(ec)) {
        fs::path source = it->path();
        source.replace_extension(".sheet");
        if (it->path().extension() == ".bmp" && !fs::exists(source, ec))
            problems.push_back(it->path().string() + ": no .sheet source beside it");
    }
}

// ---------------------------------------------------------------- painting

int paintSheet(const fs::path& dataDir, const fs::path& sheet, int x, int y, int colour,
               std::string& why)
{
    std::vector<std::string> errors;
    Palette pal;
    std::string text, problem;
    if (colour < 0 || colour > 255) {
        why = sheet.string() + ": palette entries are 0..255";
        return 0;
    }
    if (!loadColours(dataDir / "palette.colors", pal, errors)) {
        why = errors.empty() ? "palette.colors does not load" : errors[0];
        return 0;
    }
    if (!readFile(sheet, text, problem)) {
        why = sheet.string() + ": " + problem;
        return 0;
    }
    // The sheet's reader finds the pixel's character; the rest is written back byte for byte.
    PixelPlace place;
    place.x = x;
    place.y = y;
    Bytes unused;
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
    std::ofstream out(sheet, std::ios::binary | std::ios::trunc);
    out.write(text.data(), (std::streamsize)text.size());
    if (!out) {
        why = sheet.string() + ": cannot write";
        return 0;
    }
    return 1;
}
