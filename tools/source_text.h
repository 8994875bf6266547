// What the picture sources (palette.colors, Graphics/*.sheet) share: how a source is read,
// its lines one by one, its words and numbers, and where a problem stands.
#ifndef STARLANE_TOOLS_SOURCE_TEXT_H
#define STARLANE_TOOLS_SOURCE_TEXT_H

#include <stddef.h>

#include <filesystem>
#include <ios>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/bitmap.h"

// No file the game can load is near this size: a sheet's picture is at most the bitmap
// reader's limit, and its source holds about one character per pixel.
const std::streamsize SOURCE_MAX_BYTES = 2 * (std::streamsize)BITMAP_MAX_PIXEL_BYTES;

// Problems told of one source; past them its reading stops, since a file of garbage lines
// would otherwise take many times its size in messages nobody reads.
const size_t SOURCE_MAX_PROBLEMS = 100;

// 1 when the source has told its share of problems; the last line says so.
bool tooManyProblems(const std::filesystem::path& path, std::vector<std::string>& errors,
                     size_t errorsBefore);
// Reads a file of at most SOURCE_MAX_BYTES, in pieces, so that an endless one (a device, a
// pipe) is refused rather than held. Empty `why` when it was read.
bool readSource(const std::filesystem::path& path, std::string& out, std::string& why);

// The lines of a text one after another, each a view into it: a source of many lines costs
// no more than its text. A CR before the newline is dropped; a last line without a newline
// counts when it holds anything.
struct SourceLines {
    const std::string& text;
    size_t pos;
    size_t number; // of the line given last, from 1

    explicit SourceLines(const std::string& t) : text(t), pos(0), number(0) {}
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
std::string placeOf(const std::filesystem::path& path, size_t line);
// Words of a directive line, each a view into it, at most `most` of them: the words past those
// are notes nobody reads, so a line of millions of words costs no more than its text. None for
// a blank line or a comment line (first non-blank character '#').
std::vector<std::string_view> sourceWords(std::string_view line, size_t most);
// A word as a message quotes it: a long one cut short, so a line of garbage is not copied whole.
std::string shownWord(std::string_view word);
// A whole number of at most a million either way, with an optional sign.
bool parseSourceInt(std::string_view s, int& v);

#endif
