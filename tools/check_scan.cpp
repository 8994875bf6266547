// The content scan of starlane-check: reads every content file the way the game's loaders
// read it ("%d" and "%50s" skip any whitespace, a record letter is read without skipping, the
// rest of a line is dropped up to and including its newline), so that it knows the line of
// every value. Unlike the loaders it goes on after the first refused file, and it also reports
// what the game takes without complaint but a modder would not want.
#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "check.h"
#include "game/records.h"
#include "graphics/graphics.h"

namespace {

const char* const GRAPHICS_LIST = "Graphics/MasterGraphics.txt";
const char* const ENEMIES_LIST = "Enemies/MasterEnemies.txt";
const char* const ORDERS_FILE = "DeploymentOrders/DeploymentOrder1.dpo";
const char* const PALETTE_FILE = "palette.pal";

// Fixed roles of master graphics
const int SHIP = 0, PLAYER_SHOT = 1, POWERUP = 4, OVERLAY = 5;
const int FAR_OFF_SCREEN = 300;   // pixels above or below the screen counted as far

ScanResult result;
std::string contentDir;

std::string str(long long v) { return std::to_string(v); }

void noteFile(const std::string& file)
{
    if (std::find(result.files.begin(), result.files.end(), file) == result.files.end())
        result.files.push_back(file);
}

void warn(const std::string& file, int line, const std::string& text)
{
    noteFile(file);
    result.warnings.push_back({file, line, text});
}

// Every error ends the reading of its file, as it ends the game's loader.
void refuse(const std::string& file, int line, const std::string& text)
{
    noteFile(file);
    result.errors.push_back({file, line, text});
    if (std::find(result.refused.begin(), result.refused.end(), file) == result.refused.end())
        result.refused.push_back(file);
}

bool readRaw(const std::string& name, std::string& out)
{
    std::ifstream in(contentDir + "/" + name, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

// ---- Reading by the game's rules ----

struct Reader {
    std::string file;
    std::string text;
    size_t pos;
};

int lineAt(const Reader& r, size_t pos)
{
    return lineOfOffset(r.text, (long)pos);
}

int line(const Reader& r) { return lineAt(r, r.pos); }

// Windows opens the files as text, where a line ends in CR LF; the scan reads them as Windows
// does, so an empty line is one whichever way its end is written.
bool openReader(const std::string& name, Reader& r)
{
    r.file = name;
    r.pos = 0;
    std::string raw;
    if (!readRaw(name, raw))
        return false;
    r.text.clear();
    for (size_t i = 0; i < raw.size(); i++)
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            r.text += raw[i];
    return true;
}

void skipSpace(Reader& r)
{
    while (r.pos < r.text.size() && isspace((unsigned char)r.text[r.pos]))
        r.pos++;
}

// "%d"
bool readInt(Reader& r, int& v)
{
    skipSpace(r);
    size_t p = r.pos;
    if (p < r.text.size() && (r.text[p] == '-' || r.text[p] == '+'))
        p++;
    size_t digits = p;
    while (p < r.text.size() && isdigit((unsigned char)r.text[p]))
        p++;
    if (p == digits)
        return false;
    long long value = strtoll(r.text.substr(r.pos, p - r.pos).c_str(), NULL, 10);
    v = (int)std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, value));
    r.pos = p;
    return true;
}

bool readInts(Reader& r, int* v, int count)
{
    for (int i = 0; i < count; i++)
        if (!readInt(r, v[i]))
            return false;
    return true;
}

// "%50s"; `whole` gets the full word when it is longer than the game takes.
bool readName(Reader& r, std::string& name, std::string* whole = NULL)
{
    skipSpace(r);
    name.clear();
    size_t start = r.pos;
    while (r.pos < r.text.size() && !isspace((unsigned char)r.text[r.pos]) && name.size() < 50)
        name += r.text[r.pos++];
    if (whole != NULL) {
        size_t end = r.pos;
        while (end < r.text.size() && !isspace((unsigned char)r.text[end]))
            end++;
        *whole = r.text.substr(start, end - start);
    }
    return !name.empty();
}

int readChar(Reader& r) { return r.pos < r.text.size() ? (unsigned char)r.text[r.pos++] : EOF; }

bool discardLine(Reader& r)
{
    size_t nl = r.text.find('\n', r.pos);
    if (nl == std::string::npos) {
        r.pos = r.text.size();
        return false;
    }
    r.pos = nl + 1;
    return true;
}

// The next word on the current line, or "" at its end.
std::string wordAhead(const Reader& r)
{
    size_t p = r.pos;
    while (p < r.text.size() && (r.text[p] == ' ' || r.text[p] == '\t'))
        p++;
    size_t start = p;
    while (p < r.text.size() && !isspace((unsigned char)r.text[p]))
        p++;
    return r.text.substr(start, p - start);
}

bool isInteger(const std::string& s)
{
    size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    if (i >= s.size())
        return false;
    for (; i < s.size(); i++)
        if (!isdigit((unsigned char)s[i]))
            return false;
    return true;
}

// Line numbers of the lines after the current position that read as records: one of
// `letters`, then a number.
std::vector<int> recordsAhead(const Reader& r, const char* letters)
{
    std::vector<int> lines;
    size_t p = r.text.find('\n', r.pos);
    while (p != std::string::npos && p + 1 < r.text.size()) {
        Reader rest = {r.file, r.text, p + 2};
        int value = 0;
        if (r.text[p + 1] != '\0' && strchr(letters, r.text[p + 1]) != NULL && readInt(rest, value))
            lines.push_back(lineAt(r, p + 1));
        p = r.text.find('\n', p + 1);
    }
    return lines;
}

#define REFUSE(cond, text) do { if (!(cond)) { refuse(r.file, line(r), text); return false; } } while (0)
#define LINE_ENDS() REFUSE(discardLine(r), "the file ends here, but this line must end with a newline and more must follow")

// ---- Palette ----

unsigned char palette[1024];
bool paletteRead = false;

void scanPalette()
{
    noteFile(PALETTE_FILE);
    std::string bytes;
    if (!readRaw(PALETTE_FILE, bytes)) {
        refuse(PALETTE_FILE, 1, "cannot be opened: the game needs 256 colours here");
        return;
    }
    if (bytes.size() < 1024) {
        refuse(PALETTE_FILE, 1, "holds " + str(bytes.size()) + " bytes; 256 entries of 4 bytes need 1024");
        return;
    }
    memcpy(palette, bytes.data(), sizeof(palette));
    paletteRead = true;
    if (bytes.size() > 1024)
        warn(PALETTE_FILE, 1, "holds " + str(bytes.size()) + " bytes; only the first 1024 are read");
    for (int i = 0; i < 256; i++)
        if (palette[i * 4 + 3] != 0) {
            warn(PALETTE_FILE, 1, "entry " + str(i) + " has flags " + str(palette[i * 4 + 3]) +
                                      "; the fourth byte of every entry should be 0");
            break;
        }
    // The starfield's colours: far stars 172, near stars 255, on a screen cleared to 0.
    const int starColours[] = {172, 255};
    for (int c : starColours)
        if (memcmp(palette + c * 4, palette, 3) == 0)
            warn(PALETTE_FILE, 1, "entry " + str(c) + " colours stars but is the colour of the "
                                  "empty screen (entry 0), so those stars are invisible");
}

// ---- Sprite sheets ----

struct SheetInfo {
    int width, height, bits;
    bool hasColours;
    unsigned char colours[1024];   // blue, green, red, reserved, as the file holds them
};

uint32_t u32(const std::string& s, size_t o)
{
    return (uint32_t)(unsigned char)s[o] | (uint32_t)(unsigned char)s[o + 1] << 8 |
           (uint32_t)(unsigned char)s[o + 2] << 16 | (uint32_t)(unsigned char)s[o + 3] << 24;
}

// What loadBitmapFile asks of a file; "" when the game can load it.
std::string readSheet(const std::string& name, SheetInfo& sheet)
{
    std::string s;
    if (!readRaw(name, s))
        return "sprite sheet " + name + " cannot be opened";
    if (s.size() < 54 || s[0] != 'B' || s[1] != 'M')
        return name + " is not a BMP file";
    int32_t width = (int32_t)u32(s, 18), height = (int32_t)u32(s, 22);
    int bits = (unsigned char)s[28] | (unsigned char)s[29] << 8;
    sheet.hasColours = bits == 8;
    if (bits == 8) {
        if (s.size() < 54 + 1024)
            return name + " is too short for the 256-entry colour table of an 8-bit BMP";
        memcpy(sheet.colours, s.data() + 54, 1024);
    }
    if (bits != 8 && bits != 16 && bits != 24)
        return name + " has " + str(bits) + " bits per pixel; the game reads 8, 16 or 24";
    int64_t rows = height < 0 ? -(int64_t)height : height;
    int64_t rowLength = (int64_t)width * (bits / 8);
    if (rowLength <= 0 || rows == 0 || rowLength > BITMAP_MAX_PIXEL_BYTES ||
        rows > BITMAP_MAX_PIXEL_BYTES / rowLength)
        return name + " is " + str(width) + " x " + str(height) + " pixels, a size the game cannot use";
    int64_t padded = (rowLength + 3) / 4 * 4;
    int64_t needed = (int64_t)u32(s, 10) + (rows - 1) * padded + rowLength;
    if (u32(s, 10) > 0x7FFFFFFFu || (int64_t)s.size() < needed)
        return name + " ends before its last row of pixels";
    sheet.width = width;
    sheet.height = (int)rows;
    sheet.bits = bits;
    return "";
}

// ---- Graphic description files ----

struct AnimInfo {
    bool defined;
    int line, flags, delay, numFrames;
    int seq[MAX_ANIMATION_FRAMES], seqLine[MAX_ANIMATION_FRAMES];
};

struct GraphicInfo {
    std::string file;
    int listLine;
    bool complete;                  // read up to its e record
    int sizeLine, boxLine, attrLine, endLine;
    int width, height, bpp, colorKey, box[4], attributes;
    bool frame[MAX_FRAMES];
    int frameLine[MAX_FRAMES];
    AnimInfo anim[MAX_ANIMATIONS];
    bool used;
    bool frameShown[MAX_FRAMES];    // set directly by the game rather than by an animation
};

std::vector<GraphicInfo> graphics;

bool scanGraphicRecords(Reader& r, GraphicInfo& g, const SheetInfo& sheet, const std::string& sheetName)
{
    for (;;) {
        size_t start = r.pos;
        int c = readChar(r);
        REFUSE(c != EOF, "the file ends before its e record");
        if (c == 'e') {
            g.endLine = lineAt(r, start);
            for (int later : recordsAhead(r, "fa"))
                warn(r.file, later, "this record comes after the e record on line " + str(g.endLine) +
                                        " and is never read");
            return true;
        }
        if (c == 'f') {
            int index = 0, cell[3];
            int at = lineAt(r, start);
            skipSpace(r);
            REFUSE(readInt(r, index), "f record: want the frame index");
            skipSpace(r);
            REFUSE(readInts(r, cell, 3), "f record: want the column, row and border width after the index");
            long long x = (long long)cell[0] * (g.width + (long long)cell[2]) + cell[2];
            long long y = (long long)cell[1] * (g.height + (long long)cell[2]) + cell[2];
            REFUSE(cell[0] >= 0 && cell[1] >= 0 && cell[2] >= 0 && x + g.width <= sheet.width &&
                       y + g.height <= sheet.height,
                   "cell (" + str(cell[0]) + ", " + str(cell[1]) + ") with border " + str(cell[2]) +
                       " lies outside " + sheetName + " (" + str(sheet.width) + " x " +
                       str(sheet.height) + ")");
            REFUSE(index >= 0 && index < MAX_FRAMES, "frame index " + str(index) + " is outside 0..19");
            if (g.frame[index])
                warn(r.file, at, "frame " + str(index) + " was loaded on line " + str(g.frameLine[index]) +
                                     " already; this one replaces it");
            g.frame[index] = true;
            g.frameLine[index] = at;
        } else if (c == 'a') {
            int index = 0, head[3];
            int at = lineAt(r, start);
            skipSpace(r);
            REFUSE(readInt(r, index), "a record: want the animation index");
            skipSpace(r);
            REFUSE(readInts(r, head, 3), "a record: want the flags, delay and frame count after the index");
            REFUSE(head[2] >= 0 && head[2] <= MAX_ANIMATION_FRAMES,
                   "animation " + str(index) + " counts " + str(head[2]) + " frames; 0..20 are allowed");
            LINE_ENDS();
            AnimInfo a = AnimInfo();
            a.defined = true;
            a.line = at;
            a.flags = head[0];
            a.delay = head[1];
            a.numFrames = head[2];
            for (int i = 0; i < a.numFrames; i++) {
                REFUSE(readInt(r, a.seq[i]), "animation " + str(index) + " counts " + str(a.numFrames) +
                                                 " frames, but its sequence ends after " + str(i) +
                                                 " numbers");
                a.seqLine[i] = line(r);
                REFUSE(a.seq[i] >= 0 && a.seq[i] < MAX_FRAMES,
                       "animation " + str(index) + " shows frame " + str(a.seq[i]) + "; frames are 0..19");
            }
            REFUSE(index >= 0 && index < MAX_ANIMATIONS, "animation index " + str(index) + " is outside 0..9");
            if (a.numFrames == 0)
                warn(r.file, at, "animation " + str(index) + " has no frames: the line after it is "
                                 "dropped with the rest of this one");
            else if (isInteger(wordAhead(r)))
                warn(r.file, line(r), "animation " + str(index) + " counts " + str(a.numFrames) +
                                          " frames; the numbers after them on this line are ignored");
            if (a.flags & ~(ANIMATION_LOOP | ANIMATION_RESET))
                warn(r.file, at, "animation " + str(index) + " has flags " + str(a.flags) +
                                     "; only 1 (loop) and 2 (back to the first frame) mean anything");
            if (g.anim[index].defined)
                warn(r.file, at, "animation " + str(index) + " was defined on line " + str(g.anim[index].line) +
                                     " already; this one replaces it");
            g.anim[index] = a;
        } else if (c == '\n') {
            int at = lineAt(r, start);
            std::string next = wordAhead(r);
            if (!next.empty() && (next[0] == 'f' || next[0] == 'a' || next[0] == 'e'))
                warn(r.file, at, "empty line: the game drops the line after it too, so the record on line " +
                                     str(at + 1) + " is skipped");
            else
                warn(r.file, at, "empty line: the game drops the line after it too");
        }
        LINE_ENDS();
    }
}

bool scanGraphic(GraphicInfo& g, const std::string& listFile)
{
    Reader r;
    if (!openReader(g.file, r)) {
        refuse(listFile, g.listLine, "cannot open " + g.file);
        return false;
    }
    noteFile(g.file);
    std::string sheetName, whole;
    REFUSE(readName(r, sheetName, &whole), "want the sprite sheet's file name");
    if (whole != sheetName)
        warn(r.file, line(r), "the game reads only the first 50 characters of a file name");
    SheetInfo sheet = SheetInfo();
    std::string why = readSheet(sheetName, sheet);
    REFUSE(why.empty(), why);
    int sheetLine = line(r);
    LINE_ENDS();

    int v[4];
    REFUSE(readInts(r, v, 4), "want four numbers: frame width, height, bits per pixel, colour key");
    g.sizeLine = line(r);
    g.width = v[0];
    g.height = v[1];
    g.bpp = v[2];
    g.colorKey = v[3];
    REFUSE(g.width > 0 && g.height > 0, "the frame size must be positive");
    REFUSE(g.bpp == sheet.bits, "frames of " + str(g.bpp) + " bits per pixel, but " + sheetName + " has " +
                                    str(sheet.bits));
    if (g.bpp != 8)
        warn(r.file, g.sizeLine, "the screen has 256 colours: frames of " + str(g.bpp) +
                                     " bits per pixel are cut into garbage; use an 8-bit sheet");
    else if (g.colorKey < 0 || g.colorKey > 255)
        warn(r.file, g.sizeLine, "colour key " + str(g.colorKey) + " is no palette index, so no pixel is transparent");
    if (sheet.hasColours && paletteRead) {
        for (int i = 0; i < 256; i++) {
            const unsigned char* e = sheet.colours + i * 4;   // blue, green, red
            if (e[2] != palette[i * 4] || e[1] != palette[i * 4 + 1] || e[0] != palette[i * 4 + 2]) {
                warn(r.file, sheetLine, sheetName + ": colour " + str(i) + " of its own table differs from "
                                        "palette.pal; the game ignores the table and shows the pixels "
                                        "through palette.pal");
                break;
            }
        }
    }
    LINE_ENDS();

    REFUSE(readInts(r, g.box, 4), "want four numbers for the bounding box: left, top, right, bottom");
    g.boxLine = line(r);
    if (g.box[0] < 0 || g.box[1] < 0 || g.box[2] > g.width || g.box[3] > g.height)
        warn(r.file, g.boxLine, "the bounding box (" + str(g.box[0]) + ", " + str(g.box[1]) + ")-(" +
                                    str(g.box[2]) + ", " + str(g.box[3]) + ") reaches outside the " +
                                    str(g.width) + " x " + str(g.height) + " frame");
    else if (g.box[0] >= g.box[2] || g.box[1] >= g.box[3])
        warn(r.file, g.boxLine, "the bounding box is empty: left must be below right and top below bottom");
    LINE_ENDS();
    REFUSE(readInt(r, g.attributes), "want the attributes number");
    g.attrLine = line(r);
    if (g.attributes & GRAPHIC_CLONE)
        warn(r.file, g.attrLine, "attribute 8 marks a copy, whose pictures are never released; use 4 or 0");
    if (g.attributes & ~(GRAPHIC_ANIMATED | GRAPHIC_CLONE))
        warn(r.file, g.attrLine, "attributes " + str(g.attributes) + ": only 4 (animated) means anything");
    LINE_ENDS();
    int type = 0;
    REFUSE(readInt(r, type), "want the type number");
    LINE_ENDS();

    if (!scanGraphicRecords(r, g, sheet, sheetName))
        return false;
    g.complete = true;
    bool anyAnimation = false;
    for (int i = 0; i < MAX_ANIMATIONS; i++)
        anyAnimation = anyAnimation || g.anim[i].defined;
    if (anyAnimation && !(g.attributes & GRAPHIC_ANIMATED))
        warn(r.file, g.attrLine, "the animations never play without attribute 4 (animated)");
    return true;
}

// ---- Master lists ----

// Reads a master list; the names it gives, as far as the game would get.
void scanList(const char* file, const char* what, int max, std::vector<ListEntry>& entries)
{
    Reader r;
    noteFile(file);
    if (!openReader(file, r)) {
        refuse(file, 1, "cannot be opened");
        return;
    }
    int count = 0;
    if (!readInt(r, count)) {
        refuse(file, line(r), std::string("want the number of ") + what + " first");
        return;
    }
    int countLine = line(r);
    if (!discardLine(r)) {
        refuse(file, countLine, "the file ends after the count");
        return;
    }
    if (count > max) {
        refuse(file, countLine, str(count) + " " + what + "; at most " + str(max));
        return;
    }
    if (count < 0)
        warn(file, countLine, "a negative count loads no " + std::string(what));
    for (int i = 0; i < count; i++) {
        std::string name, whole;
        if (!readName(r, name, &whole)) {
            refuse(file, line(r), "the count on line " + str(countLine) + " says " + str(count) +
                                      ", but only " + str(i) + " names follow");
            return;
        }
        if (whole != name)
            warn(file, line(r), "the game reads only the first 50 characters of a file name");
        entries.push_back({name, line(r)});
        if (!discardLine(r)) {
            refuse(file, line(r), "the file ends here, but the line of a name must end with a newline");
            return;
        }
    }
    // Names after the last one counted are never read.
    std::string rest = r.text.substr(r.pos);
    std::istringstream lines(rest);
    std::string text;
    int at = line(r);
    for (; std::getline(lines, text); at++) {
        std::istringstream words(text);
        std::string first, probe;
        if (words >> first && readRaw(first, probe))
            warn(file, at, first + " is never read: the count on line " + str(countLine) + " says " + str(count));
    }
}

// ---- Enemy description files ----

struct ShotInfo {
    int v[7];   // graphicID, attributes, xOffset, yOffset, xVelocity, yVelocity, damage
    int line;
};

struct EnemyInfo {
    std::string file;
    int listLine;
    bool complete;
    int graphicID, graphicLine, state, stateLine;
    int numShots;
    ShotInfo shots[MAX_DISCHARGE_DESCS];
    int fireDelay;
    bool fireDelaySet;
    int aiState, aiLine, routine, routineLine;
    bool deployed;
};

std::vector<EnemyInfo> enemies;

bool scanEnemy(EnemyInfo& e, int numGraphics)
{
    Reader r;
    if (!openReader(e.file, r)) {
        refuse(ENEMIES_LIST, e.listLine, "cannot open " + e.file);
        return false;
    }
    noteFile(e.file);
    int v[7];
    REFUSE(readInt(r, e.graphicID), "want the number of the enemy's master graphic");
    e.graphicLine = line(r);
    REFUSE(e.graphicID >= 0 && e.graphicID < numGraphics,
           "graphic " + str(e.graphicID) + " is not in the master graphics list (0.." + str(numGraphics - 1) + ")");
    LINE_ENDS();
    REFUSE(readInt(r, v[0]), "want the enemy identifier");
    LINE_ENDS();
    REFUSE(readInts(r, v, 2), "want two speeds: across and down, in pixels per frame");
    REFUSE(v[0] >= 0 && v[1] >= 0, "speeds are steps toward a destination and must not be negative");
    LINE_ENDS();
    REFUSE(readInt(r, e.state), "want the life state");
    e.stateLine = line(r);
    if (e.state != ALIVE)
        warn(r.file, e.stateLine, "life state " + str(e.state) + ": enemies start alive (1); " +
                                      (e.state == DEAD ? "a dead one leaves at once"
                                                       : "in any other state it never dies"));
    LINE_ENDS();
    REFUSE(readInt(r, v[0]), "want the weapon state");
    LINE_ENDS();
    REFUSE(readInt(r, e.numShots), "want the number of shot descriptions");
    REFUSE(e.numShots >= 0 && e.numShots <= MAX_DISCHARGE_DESCS,
           str(e.numShots) + " shot descriptions; a weapon holds 0..5");
    LINE_ENDS();
    for (int i = 0; i < e.numShots; i++) {
        ShotInfo& s = e.shots[i];
        REFUSE(readInts(r, s.v, 7), "a shot description wants seven numbers: graphic, attributes, "
                                    "x and y offset, x and y velocity, damage");
        s.line = line(r);
        REFUSE(s.v[0] >= 0 && s.v[0] < numGraphics,
               "shot graphic " + str(s.v[0]) + " is not in the master graphics list (0.." + str(numGraphics - 1) + ")");
        LINE_ENDS();
    }
    int timers = 0;
    REFUSE(readInt(r, timers), "want the number of timer lines");
    LINE_ENDS();
    for (int i = 0; i < timers; i++) {
        REFUSE(readInts(r, v, 2), "a timer line wants an index and a delay in frames");
        REFUSE(v[0] >= 0 && v[0] < MAX_TIMERS, "timer index " + str(v[0]) + " is outside 0..4");
        if (v[0] == 0) {
            e.fireDelay = v[1];
            e.fireDelaySet = true;
        }
        LINE_ENDS();
    }
    REFUSE(readInt(r, e.aiState), "want the initial AI state");
    e.aiLine = line(r);
    if (e.aiState < AI_INIT || e.aiState > AI_FIRE)
        warn(r.file, e.aiLine, "AI state " + str(e.aiState) + " does nothing; the routine knows 0 to 3 "
                               "(0 flies in)");
    LINE_ENDS();
    REFUSE(readInt(r, e.routine), "want the AI routine number");
    e.routineLine = line(r);
    REFUSE(e.routine >= 0 && e.routine < NUM_AI_CALLBACKS,
           "AI routine " + str(e.routine) + " does not exist: 0 is none, 1 the standard routine");
    e.complete = true;
    return true;
}

// ---- Deployment orders ----

void scanOrders(int numEnemies)
{
    Reader r;
    noteFile(ORDERS_FILE);
    if (!openReader(ORDERS_FILE, r)) {
        refuse(ORDERS_FILE, 1, "cannot be opened");
        return;
    }
    int orders = 0;
    for (;;) {
        size_t start = r.pos;
        int c = readChar(r);
        if (c == 'e') {
            for (int later : recordsAhead(r, "o"))
                warn(ORDERS_FILE, later, "this order comes after the e record on line " +
                                             str(lineAt(r, start)) + " and is never read");
            result.numOrders = orders;
            return;
        }
        if (c != 'o') {
            refuse(ORDERS_FILE, lineAt(r, start),
                   c == EOF ? "the file ends before its e record"
                            : "every line up to the e must start with o: no empty, indented or comment lines");
            return;
        }
        if (orders >= MAX_DEPLOYMENT_ORDERS) {
            refuse(ORDERS_FILE, lineAt(r, start), "more than 50 orders");
            return;
        }
        int v[4];
        if (!readInts(r, v, 4)) {
            refuse(ORDERS_FILE, line(r), "an order wants four numbers: enemy, delay, x, y");
            return;
        }
        int at = line(r);
        if (v[0] < 0 || v[0] >= numEnemies) {
            refuse(ORDERS_FILE, at, "enemy " + str(v[0]) + " is not in the master enemies list (0.." +
                                        str(numEnemies - 1) + ")");
            return;
        }
        if (v[1] < 0 || v[1] > INT32_MAX / 60) {
            refuse(ORDERS_FILE, at, "delay " + str(v[1]) + " must be a number of seconds, 0 or more");
            return;
        }
        orders++;
        if (v[0] < (int)enemies.size()) {
            EnemyInfo& e = enemies[v[0]];
            e.deployed = true;
            const GraphicInfo* g = e.complete && e.graphicID < (int)graphics.size() ? &graphics[e.graphicID] : NULL;
            if (g != NULL && g->complete) {
                int x = v[2], y = v[3];
                if (x + g->box[2] <= 0 || x + g->box[0] >= 800)
                    warn(ORDERS_FILE, at, "x " + str(x) + " puts the enemy beside the screen; it flies in "
                                          "straight down and is never seen there");
                else if (y + g->box[3] < -FAR_OFF_SCREEN || y + g->box[1] >= 600 + FAR_OFF_SCREEN)
                    warn(ORDERS_FILE, at, "y " + str(y) + " puts the enemy more than " + str(FAR_OFF_SCREEN) +
                                          " pixels " + (y < 0 ? "above" : "below") + " the screen");
            }
        }
        if (!discardLine(r)) {
            refuse(ORDERS_FILE, at, "the file ends here, but an order's line must end with a newline");
            return;
        }
    }
}

// ---- What the game asks of the graphics it uses ----

struct Need {
    const char* who;
    std::vector<int> frames;
    std::vector<int> animations;
    bool mustStop;   // the game waits for these animations to end
};

// What `g` lacks for `need`, each at the place in g's file where it would be mended.
std::vector<Problem> lacks(const GraphicInfo& g, const Need& need)
{
    std::vector<Problem> out;
    std::string who = need.who;
    for (int f : need.frames)
        if (!g.frame[f])
            out.push_back({g.file, g.endLine, who + " needs frame " + str(f) + ", which " + g.file + " does not load"});
    for (int a : need.animations) {
        if (!g.anim[a].defined)
            out.push_back({g.file, g.endLine, who + " needs animation " + str(a) + ", which " + g.file +
                                                  " does not define"});
        else if (need.mustStop && (g.anim[a].flags & ANIMATION_LOOP))
            out.push_back({g.file, g.anim[a].line, who + " waits for animation " + str(a) + " of " + g.file +
                                                       " to end, but it loops"});
    }
    if (!need.animations.empty() && !(g.attributes & GRAPHIC_ANIMATED))
        out.push_back({g.file, g.attrLine, who + " plays animations, but " + g.file + " lacks attribute 4 (animated)"});
    return out;
}

void markFrames(GraphicInfo& g, const std::vector<int>& frames)
{
    g.used = true;
    for (int f : frames)
        g.frameShown[f] = true;
}

void checkRoles()
{
    static const char* const roleNames[] = {"the player's ship", "the player's shot", NULL, NULL,
                                            "the power-up", "the overlay"};
    std::vector<Need> roles(6);
    roles[SHIP] = {roleNames[SHIP], {0, 1, 2, 3, 4}, {0, 1, 2}, true};
    roles[PLAYER_SHOT] = {roleNames[PLAYER_SHOT], {0}, {1}, true};
    roles[POWERUP] = {roleNames[POWERUP], {}, {0, 1, 2}, false};
    roles[OVERLAY] = {roleNames[OVERLAY], {}, {0}, false};
    for (int role : {SHIP, PLAYER_SHOT, POWERUP, OVERLAY}) {
        if (role >= (int)graphics.size()) {
            warn(GRAPHICS_LIST, 1, "graphic " + str(role) + ", " + roleNames[role] + ", is missing: the list "
                                   "must hold at least six graphics");
            continue;
        }
        GraphicInfo& g = graphics[role];
        if (!g.complete)
            continue;
        markFrames(g, roles[role].frames);
        for (const Problem& p : lacks(g, roles[role]))
            warn(p.file, p.line, p.text);
    }

    for (EnemyInfo& e : enemies) {
        if (!e.complete)
            continue;
        GraphicInfo& g = graphics[e.graphicID];
        if (g.complete) {
            // Routine 1 flickers between frames 0 and 1, fires in frame 2 and dies in animation 0.
            Need driven = {"AI routine 1", {0, 1, 2}, {0}, true};
            markFrames(g, e.routine == 1 ? driven.frames : std::vector<int>{0});
            if (e.routine == 1)
                for (const Problem& p : lacks(g, driven))
                    warn(e.file, e.routineLine, p.text);
        }
        if (e.routine == 0)
            warn(e.file, e.routineLine, "AI routine 0: the enemy never moves, fires or dies, and never "
                                        "leaves the pool");
        else if (e.numShots > 0 && !e.fireDelaySet)
            warn(e.file, e.routineLine, "no delay for timer 0, the fire timer: the enemy fires every "
                                        "second frame");
        for (int i = 0; i < e.numShots; i++) {
            const ShotInfo& s = e.shots[i];
            GraphicInfo& sg = graphics[s.v[0]];
            int bits = s.v[1];
            if (bits & ~7)
                warn(e.file, s.line, "shot attributes " + str(bits) + ": only 1, 2 and 4 mean anything");
            if (s.v[4] == 0 && s.v[5] == 0)
                warn(e.file, s.line, "the shot does not move: it stays until it hits the ship");
            if (s.v[6] < 0)
                warn(e.file, s.line, "negative damage heals the ship");
            if (!sg.complete)
                continue;
            Need shot = {"the shot", {}, {}, false};
            if (bits & DISCHARGE_ANIMATED)
                shot.animations.push_back(0);
            else
                shot.frames.push_back(0);
            std::vector<Problem> found = lacks(sg, shot);
            if (bits & DISCHARGE_IMPACT_ANIMATION) {
                Need impact = {"the shot's impact", {}, {1}, true};
                for (const Problem& p : lacks(sg, impact))
                    found.push_back(p);
            } else if (bits & DISCHARGE_IMPACT_FRAME) {
                shot.frames.push_back(1);
                Need impact = {"the shot's impact", {1}, {}, false};
                for (const Problem& p : lacks(sg, impact))
                    found.push_back(p);
            }
            markFrames(sg, shot.frames);
            for (const Problem& p : found)
                warn(e.file, s.line, p.text);
        }
    }

    // Which graphics and frames are used is known only when every enemy could be read.
    bool enemiesKnown = std::find(result.refused.begin(), result.refused.end(), ENEMIES_LIST) == result.refused.end();
    for (const EnemyInfo& e : enemies)
        enemiesKnown = enemiesKnown && e.complete;
    for (size_t i = 0; i < graphics.size() && enemiesKnown; i++) {
        GraphicInfo& g = graphics[i];
        if (!g.complete)
            continue;
        if (!g.used) {
            warn(GRAPHICS_LIST, g.listLine, "graphic " + str(i) + " (" + g.file + ") is used by nothing: no fixed "
                                            "role, enemy or shot names it");
            continue;
        }
        // Frame 0 shows until anything else is chosen.
        bool shown[MAX_FRAMES] = {true};
        for (int f = 0; f < MAX_FRAMES; f++)
            shown[f] = shown[f] || g.frameShown[f];
        for (int a = 0; a < MAX_ANIMATIONS; a++) {
            const AnimInfo& anim = g.anim[a];
            if (!anim.defined)
                continue;
            bool told[MAX_FRAMES] = {false};
            for (int k = 0; k < anim.numFrames; k++) {
                shown[anim.seq[k]] = true;
                if (!g.frame[anim.seq[k]] && !told[anim.seq[k]]) {
                    told[anim.seq[k]] = true;
                    warn(g.file, anim.seqLine[k], "animation " + str(a) + " shows frame " + str(anim.seq[k]) +
                                                      ", which no f record loads: nothing is drawn and the "
                                                      "game logs an error every frame");
                }
            }
        }
        std::vector<int> unshown;
        for (int f = 0; f < MAX_FRAMES; f++)
            if (g.frame[f] && !shown[f])
                unshown.push_back(f);
        if (!unshown.empty()) {
            std::string list = str(unshown[0]);
            for (size_t k = 1; k < unshown.size(); k++)
                list += (k + 1 == unshown.size() ? " and " : ", ") + str(unshown[k]);
            warn(g.file, g.frameLine[unshown[0]], (unshown.size() == 1 ? "frame " + list + " is" : "frames " + list + " are") +
                                                      " shown by no animation and by nothing the game sets directly");
        }
    }

    bool ordersKnown = std::find(result.refused.begin(), result.refused.end(), ORDERS_FILE) == result.refused.end();
    for (size_t i = 0; i < enemies.size() && ordersKnown; i++)
        if (enemies[i].complete && !enemies[i].deployed)
            warn(ENEMIES_LIST, enemies[i].listLine, "enemy " + str(i) + " (" + enemies[i].file +
                                                        ") is named by no deployment order");
}

} // namespace

int lineOfOffset(const std::string& text, long offset)
{
    size_t end = std::min(text.size(), offset < 0 ? (size_t)0 : (size_t)offset);
    int line = 1 + (int)std::count(text.begin(), text.begin() + (long)end, '\n');
    // Past the final newline is still the last line.
    if (end == text.size() && !text.empty() && text.back() == '\n' && line > 1)
        line--;
    return line;
}

ScanResult scanContent(const std::string& dir)
{
    result = ScanResult();
    contentDir = dir;
    graphics.clear();
    enemies.clear();
    paletteRead = false;

    scanPalette();

    scanList(GRAPHICS_LIST, "graphics", MAX_MASTER_GRAPHICS, result.graphics);
    for (const ListEntry& entry : result.graphics) {
        GraphicInfo g = GraphicInfo();
        g.file = entry.name;
        g.listLine = entry.line;
        graphics.push_back(g);
    }
    for (GraphicInfo& g : graphics)
        scanGraphic(g, GRAPHICS_LIST);

    scanList(ENEMIES_LIST, "enemies", MAX_MASTER_ENEMIES, result.enemies);
    for (const ListEntry& entry : result.enemies) {
        EnemyInfo e = EnemyInfo();
        e.file = entry.name;
        e.listLine = entry.line;
        enemies.push_back(e);
    }
    for (EnemyInfo& e : enemies)
        scanEnemy(e, (int)graphics.size());

    scanOrders((int)enemies.size());
    checkRoles();
    return result;
}
