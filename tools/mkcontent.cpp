// mkcontent: builds Starlane's palette and sprite sheets from their text sources and
// checks that the checked-in content is what those sources make.
//
//   mkcontent build DATA_DIR   rewrite DATA_DIR/palette.pal and every
//                              DATA_DIR/Graphics/<name>.bmp from its source
//   mkcontent check DATA_DIR   rebuild in memory, compare byte for byte with the files
//                              on disk, and read the game's content files (graphic list and
//                              descriptions, enemies, deployment orders) the way the game
//                              reads them; one line per problem, exit 1 on any
//   mkcontent icon|icon-check DATA_DIR OUT_DIR   the program's icon (tools/icon.cpp)
//
// Sources (outside pixel blocks, blank lines and lines starting with '#' are comments):
//
//   DATA_DIR/palette.colors -> palette.pal, 256 entries of R,G,B,flags(0), no header.
//     ramp NAME FIRST LAST #rrggbb #rrggbb [...]   entries FIRST..LAST blend evenly
//                                                  through the listed colours
//     set INDEX #rrggbb [NAME]                     one entry
//     Every index 0..255 is defined exactly once. A ramp NAME stands for FIRST and
//     NAME+k for FIRST+k inside the ramp; a set NAME stands for its index.
//
//   DATA_DIR/Graphics/<name>.sheet -> <name>.bmp, 8-bit bottom-up BMP with the palette
//   as its colour table (viewers only; the game draws with palette.pal).
//     cell W H             every cell is W x H pixels
//     border N INDEX       border lines N pixels wide around and between the cells
//     grid COLS ROWS       cells across and down
//     fill INDEX           colour of cells that no block draws (default 0)
//     legend C COLOUR [note]  pixel character C means COLOUR: an index, a palette
//                          name or name+k
//     at COL ROW [note]    the next H lines, W characters each, are that cell
//   Any character but a blank may be a pixel character.
//   The sheet is COLS*(W+N)+N pixels wide and ROWS*(H+N)+N high; cell (c, r) starts at
//   (c*(W+N)+N, r*(H+N)+N), the layout the game's frame records address.

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/icon.h"

namespace fs = std::filesystem;

typedef std::vector<uint8_t> Bytes;

static std::vector<std::string> problems;  // check: one line per problem

static void problem(const std::string& text) { problems.push_back(text); }

static bool readFile(const fs::path& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

static bool writeFile(const fs::path& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data.data()), (std::streamsize)data.size());
    return (bool)out;
}

static std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') { lines.push_back(cur); cur.clear(); }
        else cur += c;
    }
    if (!cur.empty()) lines.push_back(cur);
    for (std::string& l : lines)
        if (!l.empty() && l.back() == '\r') l.pop_back();
    return lines;
}

// Words of a directive line; none for a blank line or a comment line (first
// non-blank character '#').
static std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream ss(line);
    std::string w;
    while (ss >> w) {
        if (out.empty() && w[0] == '#') break;
        out.push_back(w);
    }
    return out;
}

static bool parseInt(const std::string& s, int& v)
{
    if (s.empty()) return false;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size()) return false;
    long long acc = 0;
    for (; i < s.size(); ++i) {
        if (!isdigit((unsigned char)s[i])) return false;
        acc = acc * 10 + (s[i] - '0');
        if (acc > 1000000) return false;
    }
    v = (int)(s[0] == '-' ? -acc : acc);
    return true;
}

// ---------------------------------------------------------------- palette

struct Palette {
    uint8_t rgb[256][3];
    bool defined[256];
    std::map<std::string, std::pair<int, int>> names;  // name -> first, last index
};

static bool parseHex(const std::string& s, uint8_t rgb[3])
{
    if (s.size() != 7 || s[0] != '#') return false;
    for (int i = 1; i < 7; ++i)
        if (!isxdigit((unsigned char)s[i])) return false;
    for (int c = 0; c < 3; ++c)
        rgb[c] = (uint8_t)std::stoi(s.substr(1 + 2 * c, 2), nullptr, 16);
    return true;
}

static bool validName(const std::string& s)
{
    if (s.empty() || !isalpha((unsigned char)s[0])) return false;
    for (char c : s)
        if (!isalnum((unsigned char)c) && c != '_') return false;
    return true;
}

// A colour reference in a sheet legend: "17", "grey", "grey+3".
static bool resolveColour(const Palette& pal, const std::string& ref, int& index, std::string& why)
{
    if (parseInt(ref, index)) {
        if (index < 0 || index > 255) { why = "palette index out of 0..255: " + ref; return false; }
        return true;
    }
    std::string name = ref;
    int offset = 0;
    size_t plus = ref.find('+');
    if (plus != std::string::npos) {
        name = ref.substr(0, plus);
        if (!parseInt(ref.substr(plus + 1), offset) || offset < 0) { why = "bad offset in " + ref; return false; }
    }
    auto it = pal.names.find(name);
    if (it == pal.names.end()) { why = "unknown colour name " + name; return false; }
    index = it->second.first + offset;
    if (index > it->second.second) { why = ref + " lies past the end of " + name; return false; }
    return true;
}

static bool loadColours(const fs::path& path, Palette& pal, std::string& err)
{
    std::string text;
    if (!readFile(path, text)) { err = path.string() + ": cannot read"; return false; }
    std::fill(&pal.defined[0], &pal.defined[256], false);
    std::vector<std::string> lines = splitLines(text);
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string at = path.string() + ":" + std::to_string(n + 1) + ": ";
        std::vector<std::string> w = words(lines[n]);
        if (w.empty()) continue;
        int first = 0, last = 0;
        std::string name;
        std::vector<std::array<uint8_t, 3>> stops;
        if (w[0] == "ramp") {
            if (w.size() < 6) { err = at + "ramp needs NAME FIRST LAST and two or more colours"; return false; }
            name = w[1];
            if (!parseInt(w[2], first) || !parseInt(w[3], last) || first < 0 || last > 255 || last <= first) {
                err = at + "ramp range must be FIRST < LAST within 0..255"; return false;
            }
            for (size_t i = 4; i < w.size(); ++i) {
                std::array<uint8_t, 3> c;
                if (!parseHex(w[i], c.data())) { err = at + "bad colour " + w[i] + " (want #rrggbb)"; return false; }
                stops.push_back(c);
            }
        } else if (w[0] == "set") {
            if (w.size() < 3 || w.size() > 4) { err = at + "set needs INDEX #rrggbb [NAME]"; return false; }
            if (!parseInt(w[1], first) || first < 0 || first > 255) { err = at + "index out of 0..255"; return false; }
            last = first;
            std::array<uint8_t, 3> c;
            if (!parseHex(w[2], c.data())) { err = at + "bad colour " + w[2] + " (want #rrggbb)"; return false; }
            stops.push_back(c);
            if (w.size() == 4) name = w[3];
        } else {
            err = at + "unknown directive " + w[0] + " (want ramp or set)";
            return false;
        }
        if (!name.empty()) {
            if (!validName(name)) { err = at + "bad name " + name; return false; }
            if (pal.names.count(name)) { err = at + "name " + name + " used twice"; return false; }
            pal.names[name] = {first, last};
        }
        int count = last - first + 1;
        int segments = (int)stops.size() - 1;
        for (int i = 0; i < count; ++i) {
            int idx = first + i;
            if (pal.defined[idx]) { err = at + "index " + std::to_string(idx) + " defined twice"; return false; }
            pal.defined[idx] = true;
            if (segments == 0) {
                for (int c = 0; c < 3; ++c) pal.rgb[idx][c] = stops[0][c];
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
        if (!pal.defined[i]) { err = path.string() + ": index " + std::to_string(i) + " is never defined"; return false; }
    return true;
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

static void put16(Bytes& b, unsigned v) { b.push_back(v & 255); b.push_back((v >> 8) & 255); }
static void put32(Bytes& b, uint32_t v) { put16(b, v & 0xffff); put16(b, v >> 16); }

static Bytes bmpFile(const Palette& pal, int width, int height, const std::vector<uint8_t>& pixels)
{
    uint32_t rowBytes = (uint32_t)(width + 3) & ~3u;
    uint32_t imageSize = rowBytes * (uint32_t)height;
    uint32_t offBits = 14 + 40 + 1024;
    Bytes b;
    b.push_back('B'); b.push_back('M');
    put32(b, offBits + imageSize);
    put16(b, 0); put16(b, 0);
    put32(b, offBits);
    put32(b, 40);
    put32(b, (uint32_t)width);
    put32(b, (uint32_t)height);  // positive: bottom row first
    put16(b, 1);
    put16(b, 8);
    put32(b, 0);  // BI_RGB
    put32(b, imageSize);
    put32(b, 2835); put32(b, 2835);  // 72 dpi
    put32(b, 256); put32(b, 0);
    for (int i = 0; i < 256; ++i) {
        b.push_back(pal.rgb[i][2]); b.push_back(pal.rgb[i][1]); b.push_back(pal.rgb[i][0]); b.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        b.insert(b.end(), pixels.begin() + (size_t)y * width, pixels.begin() + (size_t)(y + 1) * width);
        for (uint32_t p = (uint32_t)width; p < rowBytes; ++p) b.push_back(0);
    }
    return b;
}

static bool buildSheet(const fs::path& path, const Palette& pal, Bytes& out, std::string& err)
{
    std::string text;
    if (!readFile(path, text)) { err = path.string() + ": cannot read"; return false; }
    std::vector<std::string> lines = splitLines(text);
    int cw = 0, ch = 0, bw = -1, borderIndex = 0, cols = 0, rows = 0, fill = 0;
    int legend[256];
    std::fill(legend, legend + 256, -1);
    std::vector<uint8_t> pixels;
    std::vector<bool> drawn;
    int width = 0, height = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string at = path.string() + ":" + std::to_string(n + 1) + ": ";
        std::vector<std::string> w = words(lines[n]);
        if (w.empty()) continue;
        const std::string& d = w[0];
        auto ints = [&](size_t count, std::vector<int>& v) {
            if (w.size() != count + 1) return false;
            v.resize(count);
            for (size_t i = 0; i < count; ++i)
                if (!parseInt(w[i + 1], v[i])) return false;
            return true;
        };
        std::vector<int> v;
        bool layoutDirective = d == "cell" || d == "border" || d == "grid" || d == "fill";
        if (layoutDirective && !pixels.empty()) { err = at + d + " must come before the first cell"; return false; }
        if (d == "cell") {
            if (!ints(2, v) || v[0] < 1 || v[1] < 1 || v[0] > 1024 || v[1] > 1024) { err = at + "cell needs W H, 1..1024"; return false; }
            cw = v[0]; ch = v[1];
        } else if (d == "border") {
            std::string why;
            if (w.size() != 3 || !parseInt(w[1], bw) || bw < 0 || bw > 64) { err = at + "border needs N (0..64) and a colour"; return false; }
            if (!resolveColour(pal, w[2], borderIndex, why)) { err = at + why; return false; }
        } else if (d == "grid") {
            if (!ints(2, v) || v[0] < 1 || v[1] < 1 || v[0] > 64 || v[1] > 64) { err = at + "grid needs COLS ROWS, 1..64"; return false; }
            cols = v[0]; rows = v[1];
        } else if (d == "fill") {
            std::string why;
            if (w.size() != 2 || !resolveColour(pal, w[1], fill, why)) { err = at + "fill needs one colour " + why; return false; }
        } else if (d == "legend") {
            std::string why;
            int idx = 0;
            if (w.size() < 3 || w[1].size() != 1) { err = at + "legend needs one character and a colour"; return false; }
            if (!resolveColour(pal, w[2], idx, why)) { err = at + why; return false; }
            unsigned char c = (unsigned char)w[1][0];
            if (legend[c] >= 0) { err = at + "character " + w[1] + " given twice"; return false; }
            legend[c] = idx;
        } else if (d == "at") {
            int cx = 0, cy = 0;
            if (w.size() < 3 || !parseInt(w[1], cx) || !parseInt(w[2], cy)) { err = at + "at needs COL ROW"; return false; }
            if (cw == 0 || bw < 0 || cols == 0) { err = at + "cell, border and grid must come first"; return false; }
            if (pixels.empty()) {
                width = cols * (cw + bw) + bw;
                height = rows * (ch + bw) + bw;
                pixels.assign((size_t)width * height, (uint8_t)borderIndex);
                drawn.assign((size_t)cols * rows, false);
            }
            if (cx < 0 || cx >= cols || cy < 0 || cy >= rows) { err = at + "cell outside the grid"; return false; }
            if (drawn[(size_t)cy * cols + cx]) { err = at + "cell drawn twice"; return false; }
            drawn[(size_t)cy * cols + cx] = true;
            int x0 = cx * (cw + bw) + bw, y0 = cy * (ch + bw) + bw;
            for (int r = 0; r < ch; ++r) {
                size_t ln = n + 1 + r;
                std::string where = path.string() + ":" + std::to_string(ln + 1) + ": ";
                if (ln >= lines.size()) { err = where + "file ends inside a cell"; return false; }
                const std::string& row = lines[ln];
                if ((int)row.size() != cw) {
                    err = where + "row is " + std::to_string(row.size()) + " characters, cell is " + std::to_string(cw);
                    return false;
                }
                for (int x = 0; x < cw; ++x) {
                    int idx = legend[(unsigned char)row[x]];
                    if (idx < 0) { err = where + "character '" + std::string(1, row[x]) + "' has no legend"; return false; }
                    pixels[(size_t)(y0 + r) * width + x0 + x] = (uint8_t)idx;
                }
            }
            n += ch;
        } else {
            err = at + "unknown directive " + d;
            return false;
        }
    }
    if (pixels.empty()) {
        if (cw == 0 || bw < 0 || cols == 0) { err = path.string() + ": cell, border and grid are required"; return false; }
        width = cols * (cw + bw) + bw;
        height = rows * (ch + bw) + bw;
        pixels.assign((size_t)width * height, (uint8_t)borderIndex);
        drawn.assign((size_t)cols * rows, false);
    }
    for (int cy = 0; cy < rows; ++cy)
        for (int cx = 0; cx < cols; ++cx) {
            if (drawn[(size_t)cy * cols + cx]) continue;
            int x0 = cx * (cw + bw) + bw, y0 = cy * (ch + bw) + bw;
            for (int r = 0; r < ch; ++r)
                std::fill_n(pixels.begin() + (size_t)(y0 + r) * width + x0, cw, (uint8_t)fill);
        }
    out = bmpFile(pal, width, height, pixels);
    return true;
}

// ---------------------------------------------------------------- content reading
// Reads the game's own text files with the game's rules: "%d" and "%50s" skip any
// whitespace, a record letter is read without skipping, and the rest of a line is
// dropped up to and including its newline (the file ending first is an error).

struct Reader {
    std::string file;  // name for messages, relative to the data folder
    std::string text;
    size_t pos;
};

static int lineAt(const Reader& r)
{
    return 1 + (int)std::count(r.text.begin(), r.text.begin() + (long)std::min(r.pos, r.text.size()), '\n');
}

static void complain(const Reader& r, const std::string& what)
{
    problem(r.file + ":" + std::to_string(lineAt(r)) + ": " + what);
}

static bool openReader(const fs::path& dataDir, const std::string& name, Reader& r)
{
    r.file = name;
    r.pos = 0;
    return readFile(dataDir / name, r.text);
}

static void skipSpace(Reader& r)
{
    while (r.pos < r.text.size() && isspace((unsigned char)r.text[r.pos])) ++r.pos;
}

static bool readInt(Reader& r, int& v)
{
    skipSpace(r);
    size_t p = r.pos;
    if (p < r.text.size() && (r.text[p] == '-' || r.text[p] == '+')) ++p;
    size_t digits = p;
    while (p < r.text.size() && isdigit((unsigned char)r.text[p])) ++p;
    if (p == digits) return false;
    v = std::stoi(r.text.substr(r.pos, p - r.pos));
    r.pos = p;
    return true;
}

static bool readInts(Reader& r, int* v, int count)
{
    for (int i = 0; i < count; ++i)
        if (!readInt(r, v[i])) return false;
    return true;
}

static bool readName(Reader& r, std::string& s)
{
    skipSpace(r);
    s.clear();
    while (r.pos < r.text.size() && !isspace((unsigned char)r.text[r.pos]) && s.size() < 50) s += r.text[r.pos++];
    return !s.empty();
}

static int readChar(Reader& r) { return r.pos < r.text.size() ? (unsigned char)r.text[r.pos++] : EOF; }

static bool discardLine(Reader& r)
{
    size_t nl = r.text.find('\n', r.pos);
    if (nl == std::string::npos) { r.pos = r.text.size(); return false; }
    r.pos = nl + 1;
    return true;
}

// Reads one line's values and drops its rest; false (with a problem logged) on failure.
#define EXPECT(cond, what) do { if (!(cond)) { complain(r, what); return false; } } while (0)

struct AnimInfo { bool defined; int flags, delay, numFrames, seq[20]; };

struct GraphicInfo {
    std::string file;
    int width, height, bpp, colorKey, box[4], attributes, type;
    bool frame[20];
    AnimInfo anim[10];
};

struct BmpInfo { int width, height, bits; };

static bool readBmpHeader(const fs::path& path, BmpInfo& info)
{
    std::string s;
    if (!readFile(path, s) || s.size() < 54 || s[0] != 'B' || s[1] != 'M') return false;
    auto u32 = [&](size_t o) { return (int32_t)((uint8_t)s[o] | (uint8_t)s[o + 1] << 8 | (uint8_t)s[o + 2] << 16 | (uint32_t)(uint8_t)s[o + 3] << 24); };
    info.width = u32(18);
    info.height = u32(22);
    info.bits = (uint8_t)s[28] | (uint8_t)s[29] << 8;
    return true;
}

static const int GRAPHIC_ANIMATED_BIT = 4;
static const int LOOP_FLAG = 1;

static bool readGraphic(const fs::path& dataDir, const std::string& name, GraphicInfo& g)
{
    Reader r;
    g = GraphicInfo();
    g.file = name;
    if (!openReader(dataDir, name, r)) { problem(name + ": cannot open graphic description"); return false; }
    std::string sheet;
    EXPECT(readName(r, sheet), "no bitmap file name");
    BmpInfo bmp = {0, 0, 0};
    EXPECT(readBmpHeader(dataDir / sheet, bmp), "cannot read sprite sheet " + sheet);
    EXPECT(bmp.bits == 8 || bmp.bits == 16 || bmp.bits == 24, sheet + " has an unusable bit depth");
    EXPECT(discardLine(r), "file ends after the sheet name");
    int v[4];
    EXPECT(readInts(r, v, 4), "want width, height, bpp and colour key");
    g.width = v[0]; g.height = v[1]; g.bpp = v[2]; g.colorKey = v[3];
    EXPECT(g.width > 0 && g.height > 0, "frame size must be positive");
    EXPECT(g.bpp == 8 && bmp.bits == 8, "frames and sheet must be 8 bits per pixel for the 8-bit display");
    EXPECT(g.colorKey >= 0 && g.colorKey <= 255, "colour key must be a palette index");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInts(r, g.box, 4), "want the bounding box left, top, right, bottom");
    EXPECT(g.box[0] >= 0 && g.box[1] >= 0 && g.box[0] < g.box[2] && g.box[1] < g.box[3] &&
           g.box[2] <= g.width && g.box[3] <= g.height, "bounding box must lie inside the frame");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInt(r, g.attributes), "want attributes");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInt(r, g.type), "want type");
    EXPECT(discardLine(r), "file ends early");
    int sheetRows = bmp.height < 0 ? -bmp.height : bmp.height;
    for (;;) {
        int c = readChar(r);
        if (c == EOF) { complain(r, "file ends before its e record"); return false; }
        if (c == 'e') return true;
        if (c == 'f') {
            int index = 0, cell[3];
            skipSpace(r);
            EXPECT(readInt(r, index), "frame record without index");
            skipSpace(r);
            EXPECT(readInts(r, cell, 3), "frame record wants column, row and border width");
            EXPECT(index >= 0 && index < 20, "frame index must be 0..19");
            EXPECT(!g.frame[index], "frame " + std::to_string(index) + " loaded twice");
            int x = cell[0] * (g.width + cell[2]) + cell[2], y = cell[1] * (g.height + cell[2]) + cell[2];
            EXPECT(cell[0] >= 0 && cell[1] >= 0 && cell[2] >= 0 && x + g.width <= bmp.width && y + g.height <= sheetRows,
                   "cell lies outside " + sheet);
            g.frame[index] = true;
        } else if (c == 'a') {
            int index = 0, head[3];
            skipSpace(r);
            EXPECT(readInt(r, index), "animation record without index");
            skipSpace(r);
            EXPECT(readInts(r, head, 3), "animation record wants flags, delay and frame count");
            EXPECT(index >= 0 && index < 10, "animation index must be 0..9");
            EXPECT(head[2] >= 1 && head[2] <= 20, "animation wants 1..20 frames");
            EXPECT(discardLine(r), "file ends early");
            AnimInfo& a = g.anim[index];
            a.defined = true;
            a.flags = head[0]; a.delay = head[1]; a.numFrames = head[2];
            for (int i = 0; i < a.numFrames; ++i) {
                EXPECT(readInt(r, a.seq[i]), "frame sequence runs short");
                EXPECT(a.seq[i] >= 0 && a.seq[i] < 20, "sequence entries must be frame indexes 0..19");
            }
        } else if (c == '\n') {
            --r.pos;  // report the empty line itself
            complain(r, "empty line: the game drops the line after it too");
            return false;
        }
        EXPECT(discardLine(r), "file ends before its e record");
    }
}

static void checkAnimFrames(const GraphicInfo& g)
{
    for (int i = 0; i < 10; ++i) {
        if (!g.anim[i].defined) continue;
        for (int k = 0; k < g.anim[i].numFrames; ++k)
            if (!g.frame[g.anim[i].seq[k]])
                problem(g.file + ": animation " + std::to_string(i) + " shows frame " + std::to_string(g.anim[i].seq[k]) + ", which is never loaded");
    }
    if (!g.frame[0]) problem(g.file + ": frame 0 (shown first) is never loaded");
}

// A role needs these frames and these animations; `stopping` animations must end.
static void needRole(const GraphicInfo& g, const char* role, int frames, std::vector<int> anims, bool stopping)
{
    for (int f = 0; f < frames; ++f)
        if (!g.frame[f]) problem(g.file + ": " + role + " needs frame " + std::to_string(f));
    if (!anims.empty() && !(g.attributes & GRAPHIC_ANIMATED_BIT))
        problem(g.file + ": " + role + " must have the animated attribute (4), or its animations never play");
    for (int a : anims) {
        if (!g.anim[a].defined) problem(g.file + ": " + role + " needs animation " + std::to_string(a));
        else if (stopping && (g.anim[a].flags & LOOP_FLAG))
            problem(g.file + ": " + role + " animation " + std::to_string(a) + " must not loop, the game waits for it to end");
    }
}

static bool readMasterGraphics(const fs::path& dataDir, std::vector<GraphicInfo>& out)
{
    Reader r;
    if (!openReader(dataDir, "Graphics/MasterGraphics.txt", r)) { problem("Graphics/MasterGraphics.txt: cannot open"); return false; }
    int count = 0;
    EXPECT(readInt(r, count), "want the number of graphics");
    EXPECT(count >= 6 && count <= 20, "want 6..20 graphics (0, 1, 4 and 5 have fixed roles)");
    EXPECT(discardLine(r), "file ends early");
    out.resize((size_t)count);
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        std::string name;
        EXPECT(readName(r, name), "missing graphic file name");
        if (!readGraphic(dataDir, name, out[(size_t)i])) ok = false;
        else checkAnimFrames(out[(size_t)i]);
        EXPECT(discardLine(r), "each name's line must end with a newline");
    }
    if (!ok) return false;
    needRole(out[0], "the player's ship", 5, {0, 1, 2}, true);
    needRole(out[1], "the player's shot", 1, {1}, true);
    needRole(out[4], "the power-up", 1, {0, 1, 2}, false);
    needRole(out[5], "the overlay", 1, {0}, false);
    return true;
}

struct EnemyInfo { std::string file; int graphicID, xSpeed, fireDelay, numShots, callback; };

static bool readEnemy(const fs::path& dataDir, const std::string& name, const std::vector<GraphicInfo>& gfx, EnemyInfo& e)
{
    Reader r;
    e = EnemyInfo();
    e.file = name;
    if (!openReader(dataDir, name, r)) { problem(name + ": cannot open enemy description"); return false; }
    int numGraphics = (int)gfx.size();
    int v[7];
    EXPECT(readInt(r, e.graphicID), "want graphicID");
    EXPECT(e.graphicID >= 0 && e.graphicID < numGraphics, "graphicID is not a loaded graphic");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInt(r, v[0]), "want the enemy identifier");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInts(r, v, 2), "want horizontal and vertical speed");
    EXPECT(v[0] >= 0 && v[1] >= 0, "speeds are magnitudes and must not be negative");
    e.xSpeed = v[0];
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInt(r, v[0]), "want the life state");
    EXPECT(v[0] == 1, "an enemy starts alive (1)");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInt(r, v[0]), "want the weapon state");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInt(r, e.numShots), "want the number of shot descriptions");
    EXPECT(e.numShots >= 0 && e.numShots <= 5, "a weapon holds 0..5 shot descriptions");
    EXPECT(discardLine(r), "file ends early");
    for (int i = 0; i < e.numShots; ++i) {
        EXPECT(readInts(r, v, 7), "a shot description wants seven values");
        EXPECT(v[0] >= 0 && v[0] < numGraphics, "shot graphicID is not a loaded graphic");
        const GraphicInfo& s = gfx[(size_t)v[0]];
        if ((v[1] & 1) && (!s.anim[0].defined || !(s.attributes & GRAPHIC_ANIMATED_BIT)))
            complain(r, "animated shot needs an animation 0 on an animated graphic");
        if ((v[1] & 2) && (!s.anim[1].defined || (s.anim[1].flags & LOOP_FLAG) || !(s.attributes & GRAPHIC_ANIMATED_BIT)))
            complain(r, "impact animation needs a non-looping animation 1 on an animated graphic");
        if (!(v[1] & 2) && (v[1] & 4) && !s.frame[1])
            complain(r, "impact frame needs a frame 1");
        EXPECT(discardLine(r), "file ends early");
    }
    int timers = 0;
    EXPECT(readInt(r, timers), "want the number of timer delays");
    EXPECT(timers >= 0, "negative number of timer delays");
    EXPECT(discardLine(r), "file ends early");
    e.fireDelay = 0;
    for (int i = 0; i < timers; ++i) {
        EXPECT(readInts(r, v, 2), "a timer delay wants index and delay");
        EXPECT(v[0] >= 0 && v[0] < 5, "timer index must be 0..4");
        if (v[0] == 0) e.fireDelay = v[1];
        EXPECT(discardLine(r), "file ends early");
    }
    EXPECT(readInt(r, v[0]), "want the initial AI state");
    EXPECT(discardLine(r), "file ends early");
    EXPECT(readInt(r, e.callback), "want the AI routine number");
    EXPECT(e.callback == 0 || e.callback == 1, "AI routine must be 0 or 1");
    if (e.callback == 1) {
        const GraphicInfo& g = gfx[(size_t)e.graphicID];
        needRole(g, "an enemy with AI routine 1", 3, {0}, true);
    }
    return true;
}

static bool readMasterEnemies(const fs::path& dataDir, const std::vector<GraphicInfo>& gfx, std::vector<EnemyInfo>& out)
{
    Reader r;
    if (!openReader(dataDir, "Enemies/MasterEnemies.txt", r)) { problem("Enemies/MasterEnemies.txt: cannot open"); return false; }
    int count = 0;
    EXPECT(readInt(r, count), "want the number of enemies");
    EXPECT(count >= 1 && count <= 20, "want 1..20 enemies");
    EXPECT(discardLine(r), "file ends early");
    out.resize((size_t)count);
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        std::string name;
        EXPECT(readName(r, name), "missing enemy file name");
        if (!readEnemy(dataDir, name, gfx, out[(size_t)i])) ok = false;
        EXPECT(discardLine(r), "each name's line must end with a newline");
    }
    return ok;
}

static bool readDeployment(const fs::path& dataDir, const std::vector<GraphicInfo>& gfx, const std::vector<EnemyInfo>& foes,
                           int& orders, int& seconds)
{
    Reader r;
    if (!openReader(dataDir, "DeploymentOrders/DeploymentOrder1.dpo", r)) {
        problem("DeploymentOrders/DeploymentOrder1.dpo: cannot open");
        return false;
    }
    orders = 0;
    seconds = 0;
    for (;;) {
        int c = readChar(r);
        if (c == 'e') return true;
        EXPECT(c == 'o', c == EOF ? "file ends before its e record" : "a record must start with o or e in the first column");
        EXPECT(orders < 50, "more than 50 orders");
        int v[4];
        EXPECT(readInts(r, v, 4), "an order wants enemy, delay, x and y");
        EXPECT(v[0] >= 0 && v[0] < (int)foes.size(), "enemy index is not a loaded enemy");
        EXPECT(v[1] >= 0, "negative delay");
        const GraphicInfo& g = gfx[(size_t)foes[(size_t)v[0]].graphicID];
        EXPECT(v[2] + g.box[0] >= 0 && v[2] + g.box[2] < 800, "x puts the enemy outside the screen's columns");
        EXPECT(v[3] + g.box[1] < 600, "y puts the enemy below the screen");
        seconds += v[1];
        ++orders;
        EXPECT(discardLine(r), "an order line must end with a newline");
    }
}

#undef EXPECT

// ---------------------------------------------------------------- commands

struct Output { fs::path path; Bytes bytes; };

static bool generate(const fs::path& dataDir, std::vector<Output>& outputs, std::vector<fs::path>& sheetBmps)
{
    Palette pal;
    std::string err;
    if (!loadColours(dataDir / "palette.colors", pal, err)) { fprintf(stderr, "%s\n", err.c_str()); return false; }
    outputs.push_back({dataDir / "palette.pal", paletteFile(pal)});
    std::vector<fs::path> sheets;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataDir / "Graphics", ec))
        if (entry.path().extension() == ".sheet") sheets.push_back(entry.path());
    if (ec) { fprintf(stderr, "%s: cannot list (%s)\n", (dataDir / "Graphics").string().c_str(), ec.message().c_str()); return false; }
    std::sort(sheets.begin(), sheets.end());
    bool ok = true;
    for (const fs::path& s : sheets) {
        Bytes bmp;
        fs::path target = s;
        target.replace_extension(".bmp");
        sheetBmps.push_back(target);
        if (!buildSheet(s, pal, bmp, err)) { fprintf(stderr, "%s\n", err.c_str()); ok = false; continue; }
        outputs.push_back({target, bmp});
    }
    return ok;
}

static int build(const fs::path& dataDir)
{
    std::vector<Output> outputs;
    std::vector<fs::path> bmps;
    if (!generate(dataDir, outputs, bmps)) return 1;
    for (const Output& o : outputs) {
        if (!writeFile(o.path, o.bytes)) { fprintf(stderr, "%s: cannot write\n", o.path.string().c_str()); return 1; }
        printf("wrote %s (%zu bytes)\n", o.path.string().c_str(), o.bytes.size());
    }
    return 0;
}

static int check(const fs::path& dataDir)
{
    std::vector<Output> outputs;
    std::vector<fs::path> bmps;
    if (!generate(dataDir, outputs, bmps)) return 1;
    for (const Output& o : outputs) {
        std::string disk;
        if (!readFile(o.path, disk)) problem(o.path.string() + ": missing (run mkcontent build)");
        else if (disk.size() != o.bytes.size() || !std::equal(o.bytes.begin(), o.bytes.end(), disk.begin(),
                                                                   [](uint8_t a, char b) { return a == (uint8_t)b; }))
            problem(o.path.string() + ": differs from its source (run mkcontent build)");
    }
    // A sheet picture without a source could not be rebuilt.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataDir / "Graphics", ec))
        if (entry.path().extension() == ".bmp" && std::find(bmps.begin(), bmps.end(), entry.path()) == bmps.end())
            problem(entry.path().string() + ": no .sheet source beside it");

    std::vector<GraphicInfo> gfx;
    std::vector<EnemyInfo> foes;
    int orders = 0, seconds = 0;
    bool content = readMasterGraphics(dataDir, gfx) && readMasterEnemies(dataDir, gfx, foes) &&
                   readDeployment(dataDir, gfx, foes, orders, seconds);
    if (!problems.empty() || !content) {
        for (const std::string& p : problems) printf("%s\n", p.c_str());
        return 1;
    }
    printf("mkcontent: %zu generated files match their sources; %zu graphics, %zu enemies, %d orders over %d s read cleanly\n",
           outputs.size(), gfx.size(), foes.size(), orders, seconds);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && isIconCommand(argv[1])) return iconCommand(argv[1], argv[2], argv[3]);
    if (argc != 3 || (std::string(argv[1]) != "build" && std::string(argv[1]) != "check")) {
        fprintf(stderr, "usage: mkcontent build|check DATA_DIR\n");
        return 2;
    }
    return std::string(argv[1]) == "build" ? build(argv[2]) : check(argv[2]);
}
