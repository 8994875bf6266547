// The studio's tools: the content checker, the listing, the content builder's sheet reader and
// the game's own loaders, called from the page's JavaScript on a content folder in the module's
// memory file system. Every answer is made here, from the records the game loaded, as JSON
// (or, for the listing, as the lines starlane-check --list prints); the page parses no content
// format of its own.
//
//   studioCheck(dir)            the checker's report: its lines as starlane-check prints them
//   studioList(dir)             starlane-check --list on standard output and error; 1 when it loads
//   studioBuild(dir, keep)      mkcontent build, each source on its own: what built is written,
//                               but the outputs named in `keep` (one a line) are only compared
//   studioGraphics(dir)         every master graphic as the game cuts it, with the palette
//   studioBitmap(path)          a BMP as the game's bitmap reader reads it
//   studioPaint(dir, sheet, x, y, colour)   one pixel of a .sheet source drawn in a palette entry
//   studioPaintPixels(dir, sheet, "x y c;...")  a stroke: many pixels, one rewrite of the sheet
//   studioLegend(dir, sheet)    the sheet's legend lines: character, entry, colour and note
//   studioSheetLayout(dir, sheet)  the sheet's cells: size, grid and its line, the at blocks
//   studioFields(dir, file)     every value of a content file the loaders read: its line and
//                               column, its field, name, unit and range (tools/fields.h)
#include <emscripten.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "bitmap/bitmap.h"
#include "content/content.h"
#include "content/files.h"
#include "content/textread.h"
#include "tools/check.h"
#include "tools/listing.h"
#include "display/display.h"
#include "game/constants.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"
#include "tools/fields.h"
#include "tools/sheets.h"
#include "tools/source_text.h"

namespace {

std::string answer; // the last answer, alive until the next call

// What the page is given to draw: far above any sprite, far below what would stall a tab
// (the readers take frames and sheets of up to 64 MiB, which a page cannot draw at a keystroke).
const long long SHOWN_FRAME_PIXELS = 512 * 512;
const long long SHOWN_SHEET_PIXELS = 2048 * 2048;

std::string strings(const std::vector<std::string>& list)
{
    std::string out = "[";
    for (size_t i = 0; i < list.size(); i++)
        out += (i ? "," : "") + jsonString(list[i]);
    return out + "]";
}

std::string hex(const unsigned char* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string out(count * 2, '0');
    for (size_t i = 0; i < count; i++) {
        out[2 * i] = digits[bytes[i] >> 4];
        out[2 * i + 1] = digits[bytes[i] & 15];
    }
    return out;
}

std::vector<std::string> logged; // the game's lines while the studio reads on its own
void keepLine(const char* message)
{
    std::string line = message;
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    logged.push_back(line);
}

// The 256 colours the game draws with, as loaded from the folder's palette.pal, R G B each.
std::string paletteHex()
{
    PALETTEENTRY table[256] = {};
    void (*sink)(const char*) = errorLogSink;
    errorLogSink = keepLine; // the studio's own reading writes no Error.txt into the folder
    int ok = loadPalette(PALETTE_FILE, table);
    errorLogSink = sink;
    if (!ok)
        return "\"\"";
    unsigned char rgb[768];
    for (int i = 0; i < 256; i++) {
        rgb[3 * i] = table[i].peRed;
        rgb[3 * i + 1] = table[i].peGreen;
        rgb[3 * i + 2] = table[i].peBlue;
    }
    return "\"" + hex(rgb, sizeof(rgb)) + "\"";
}

// Where a description's frames come from: its sheet's name and each f record's cell, taken
// from the one reader while the game's loader reads the description again.
struct FramePlaces {
    std::string file, bitmap;
    int letter = 0, values = 0, record[4] = {0, 0, 0, 0};
    std::vector<std::vector<int>> frames; // index, column, row, border
};
FramePlaces* places = NULL;

void notePlace(const TextFile* text, int kind, int value, const char* name)
{
    if (places == NULL || places->file != text->name)
        return;
    if (kind == TEXT_READ_NAME && places->bitmap.empty())
        places->bitmap = name;
    else if (kind == TEXT_READ_LETTER) {
        places->letter = value;
        places->values = 0;
    } else if (kind == TEXT_READ_INT && places->letter == 'f' && places->values < 4) {
        places->record[places->values++] = value;
        if (places->values == 4)
            places->frames.push_back(std::vector<int>(places->record, places->record + 4));
    }
}

FramePlaces framePlaces(const std::string& file)
{
    FramePlaces found;
    found.file = file;
    Graphic again;
    memset(&again, 0, sizeof(again));
    long long frameBytes = contentFrameBytes;
    void (*hook)(const TextFile*, int, int, const char*) = textReadHook;
    void (*sink)(const char*) = errorLogSink;
    places = &found;
    textReadHook = notePlace;
    errorLogSink = keepLine;
    loadGraphic(&again, file.c_str(), 0, 0);
    destroyGraphic(&again);
    places = NULL;
    textReadHook = hook;
    errorLogSink = sink;
    contentFrameBytes = frameBytes;
    return found;
}

// What the studio draws besides the listing: the sheet a graphic is cut from, and each
// frame's pixels (palette indices in hex) with the cell it lies in.
std::string graphicPictures(const ListedGraphic& l)
{
    const Graphic& g = masterGraphics[l.index];
    FramePlaces where = framePlaces(l.file);
    std::string out = "\"bitmap\":" + jsonString(where.bitmap) + ",\"frames\":[";
    int first = 1;
    int shown = (long long)g.width * g.height <= SHOWN_FRAME_PIXELS;
    for (int f = 0; f < MAX_FRAMES && shown; f++) {
        if (g.frames[f] == NULL)
            continue;
        int pitch = 0;
        unsigned char* pixels = lockSurface(g.frames[f], &pitch);
        if (pixels == NULL)
            continue;
        std::string rows;
        for (int y = 0; y < g.height; y++)
            rows += hex(pixels + (size_t)y * pitch, (size_t)g.width);
        unlockSurface(g.frames[f]);
        // The cell of the last f record that loaded this slot: where it lies in the sheet.
        std::string at;
        for (const std::vector<int>& r : where.frames)
            if (r[0] == f)
                at = ",\"at\":[" + std::to_string(r[1] * (g.width + r[3]) + r[3]) + "," +
                     std::to_string(r[2] * (g.height + r[3]) + r[3]) + "]";
        out += std::string(first ? "" : ",") + "{\"index\":" + std::to_string(f) + at +
               ",\"pixels\":\"" + rows + "\"}";
        first = 0;
    }
    return out + "],\"tooLarge\":" + std::to_string(!shown);
}

void describeGraphics(const LoadedContent& content, void*)
{
    answer = "{\"frameMs\":" + std::to_string(1000 / framesPerSecond) +
             ",\"palette\":" + paletteHex() + "," +
             listingJson(listingOf(content), graphicPictures) + "}";
}

struct FieldsAsked {
    std::string file, text;
};

void describeFields(const LoadedContent& content, void* user)
{
    const FieldsAsked& asked = *(const FieldsAsked*)user;
    std::string out = "{\"fields\":[";
    int first = 1;
    for (const PlacedValue& p : placedValues(asked.file, asked.text)) {
        out += std::string(first ? "" : ",") + "{\"line\":" + std::to_string(p.line) +
               ",\"column\":" + std::to_string(p.column) + ",\"field\":" + jsonString(p.field) +
               ",\"record\":" + std::to_string(p.record) + ",\"nth\":" + std::to_string(p.nth) +
               ",\"text\":" + jsonString(p.text);
        if (p.info != NULL) {
            long long max =
                p.info->max == FIELD_TO_GRAPHICS  ? (long long)content.graphics.size() - 1
                : p.info->max == FIELD_TO_ENEMIES ? (long long)content.enemies.size() - 1
                                                  : p.info->max;
            out += ",\"name\":" + jsonString(p.info->name) +
                   ",\"unit\":" + jsonString(p.info->unit) +
                   ",\"min\":" + std::to_string(p.info->min) + ",\"max\":" + std::to_string(max);
        }
        out += "}";
        first = 0;
    }
    answer = out + "]}";
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* studioCheck(const char* dir)
{
    CheckReport report;
    if (!checkContent(dir, dir, &report)) {
        answer = "{\"entered\":0,\"lines\":" +
                 strings({std::string(dir) + ": error: cannot enter the content folder"}) + "}";
        return answer.c_str();
    }
    answer = "{\"entered\":1,\"lines\":" + strings(report.lines) +
             ",\"started\":" + std::to_string(report.started) +
             ",\"gameLines\":" + std::to_string(report.gameLines) +
             ",\"warnings\":" + std::to_string(report.warnings) +
             ",\"graphics\":" + std::to_string(report.graphics) +
             ",\"enemies\":" + std::to_string(report.enemies) +
             ",\"orders\":" + std::to_string(report.orders) + "}";
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE int studioList(const char* dir)
{
    int ok = listContent(dir);
    fflush(stdout);
    fflush(stderr);
    return ok;
}

EMSCRIPTEN_KEEPALIVE const char* studioBuild(const char* dir, const char* keep)
{
    std::vector<SourceOutput> outputs;
    std::vector<std::string> errors, wrote, differs, same, failed;
    int ok = buildSources(dir, outputs, errors);
    std::set<std::string> kept, built;
    for (const char *p = keep, *end; *p; p = *end ? end + 1 : end) {
        end = strchr(p, '\n');
        if (end == NULL)
            end = p + strlen(p);
        kept.insert(std::string(p, end));
    }
    // Every source that built is written, whichever others failed; a file the page keeps as
    // it is (one that may have been made by hand) is only compared.
    for (const SourceOutput& o : outputs) {
        std::string name = o.path.lexically_relative(dir).generic_string();
        built.insert(o.source.lexically_relative(dir).generic_string());
        if (kept.count(name)) {
            std::string disk, problem;
            int equal = readSource(o.path, disk, problem) && disk.size() == o.bytes.size() &&
                        std::equal(o.bytes.begin(), o.bytes.end(), disk.begin(),
                                   [](uint8_t a, char b) { return a == (uint8_t)b; });
            (equal || problem == "cannot read" ? same : differs).push_back(name);
            if (equal || problem != "cannot read")
                continue;
        }
        FILE* file = fopen(o.path.c_str(), "wb");
        if (file == NULL || fwrite(o.bytes.data(), 1, o.bytes.size(), file) != o.bytes.size())
            errors.push_back(name + ": cannot write"), ok = 0;
        else
            wrote.push_back(name);
        if (file != NULL)
            fclose(file);
    }
    // The sources that made nothing: their pictures are as they were, older than they are.
    std::error_code ec;
    std::filesystem::path graphicsDir = std::filesystem::path(dir) / "Graphics";
    for (std::filesystem::directory_iterator it(graphicsDir, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().lexically_relative(dir).generic_string();
        if (it->path().extension() == ".sheet" && !built.count(name))
            failed.push_back(name);
    }
    std::sort(failed.begin(), failed.end());
    if (!built.count("palette.colors") &&
        std::filesystem::exists(std::filesystem::path(dir) / "palette.colors", ec))
        failed.insert(failed.begin(), "palette.colors");
    answer = "{\"ok\":" + std::to_string(ok) + ",\"errors\":" + strings(errors) +
             ",\"wrote\":" + strings(wrote) + ",\"differs\":" + strings(differs) +
             ",\"same\":" + strings(same) + ",\"failed\":" + strings(failed) + "}";
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioGraphics(const char* dir)
{
    answer = "{\"graphics\":[]}";
    withLoadedContent(dir, describeGraphics, NULL);
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioBitmap(const char* path)
{
    BitmapFile bitmap;
    memset(&bitmap, 0, sizeof(bitmap));
    logged.clear();
    errorLogSink = keepLine;
    int ok = loadBitmapFile(&bitmap, path);
    errorLogSink = NULL;
    if (!ok || bitmap.infoHeader.biBitCount != 8) {
        answer = "{\"ok\":0,\"error\":" +
                 jsonString(logged.empty() ? "not an 8-bit picture the game draws" : logged[0]) +
                 "}";
        destroyBitmapFile(&bitmap);
        return answer.c_str();
    }
    int width = bitmap.infoHeader.biWidth;
    int height =
        bitmap.infoHeader.biHeight < 0 ? -bitmap.infoHeader.biHeight : bitmap.infoHeader.biHeight;
    if ((long long)width * height > SHOWN_SHEET_PIXELS) {
        answer = "{\"ok\":0,\"error\":" +
                 jsonString(std::to_string(width) + " x " + std::to_string(height) +
                            " pixels: the game reads it, but it is too large to show here") +
                 "}";
        destroyBitmapFile(&bitmap);
        return answer.c_str();
    }
    answer = "{\"ok\":1,\"width\":" + std::to_string(width) +
             ",\"height\":" + std::to_string(height) + ",\"pixels\":\"" +
             hex(bitmap.buffer, (size_t)width * height) + "\"}";
    destroyBitmapFile(&bitmap);
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioPalette(const char* dir)
{
    std::string cwd = ".";
    char here[4096];
    if (getcwd(here, sizeof(here)) != NULL)
        cwd = here;
    answer = chdir(dir) == 0 ? "{\"palette\":" + paletteHex() + "}" : "{\"palette\":\"\"}";
    if (chdir(cwd.c_str()) != 0)
        answer = "{\"palette\":\"\"}";
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioPaint(const char* dir, const char* sheet, int x, int y,
                                             int colour)
{
    std::string why;
    int ok = paintSheet(dir, std::filesystem::path(dir) / sheet, x, y, colour, why);
    answer = "{\"ok\":" + std::to_string(ok) + ",\"error\":" + jsonString(why) + "}";
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioPaintPixels(const char* dir, const char* sheet,
                                                   const char* stroke)
{
    std::vector<PaintedPixel> pixels;
    for (const char* p = stroke; *p;) {
        PaintedPixel px;
        int used = 0;
        if (sscanf(p, "%d %d %d%n", &px.x, &px.y, &px.colour, &used) != 3)
            break;
        pixels.push_back(px);
        p += used;
        while (*p == ';' || *p == ' ')
            p++;
    }
    std::string why;
    int ok = paintSheetPixels(dir, std::filesystem::path(dir) / sheet, pixels, why);
    answer = "{\"ok\":" + std::to_string(ok) + ",\"painted\":" + std::to_string(pixels.size()) +
             ",\"error\":" + jsonString(why) + "}";
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioLegend(const char* dir, const char* sheet)
{
    answer = "{\"legend\":[";
    int first = 1;
    for (const SheetLegend& l : sheetLegend(dir, std::filesystem::path(dir) / sheet)) {
        // The character as its byte: a sheet may use any byte but a blank as a pixel.
        answer += std::string(first ? "" : ",") + "{\"code\":" + std::to_string(l.character) +
                  ",\"entry\":" + std::to_string(l.entry) + ",\"colour\":" + jsonString(l.colour) +
                  ",\"note\":" + jsonString(l.note) + "}";
        first = 0;
    }
    answer += "]}";
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioFields(const char* dir, const char* file)
{
    FieldsAsked asked;
    asked.file = file;
    std::string why;
    answer = "{\"fields\":[]}";
    if (readSource(std::filesystem::path(dir) / file, asked.text, why))
        withLoadedContent(dir, describeFields, &asked);
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* studioSheetLayout(const char* dir, const char* sheet)
{
    SheetLayout l = sheetLayout(std::filesystem::path(dir) / sheet);
    answer = "{\"cell\":[" + std::to_string(l.width) + "," + std::to_string(l.height) +
             "],\"grid\":[" + std::to_string(l.columns) + "," + std::to_string(l.rows) +
             "],\"gridLine\":" + std::to_string(l.gridLine) +
             ",\"lines\":" + std::to_string(l.lines) + ",\"blocks\":[";
    for (size_t i = 0; i < l.blocks.size(); i++)
        answer += std::string(i ? "," : "") + "[" + std::to_string(l.blocks[i].column) + "," +
                  std::to_string(l.blocks[i].row) + "," + std::to_string(l.blocks[i].line) + "]";
    answer += "]}";
    return answer.c_str();
}

} // extern "C"
