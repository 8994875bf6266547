#include "tools/source_text.h"

#include <cctype>
#include <fstream>

namespace fs = std::filesystem;

// 1 when the source has told its share of problems; the last line says so.
bool tooManyProblems(const fs::path& path, std::vector<std::string>& errors, size_t errorsBefore)
{
    if (errors.size() - errorsBefore < SOURCE_MAX_PROBLEMS)
        return false;
    errors.push_back(path.string() + ": more than " + std::to_string(SOURCE_MAX_PROBLEMS) +
                     " problems; the rest are not shown");
    return true;
}

// Reads a file of at most SOURCE_MAX_BYTES, in pieces, so that an endless one (a device, a
// pipe) is refused rather than held. Empty `why` when it was read.
bool readSource(const fs::path& path, std::string& out, std::string& why)
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


// Where a problem stands: "PATH:LINE: ", made only for a line that has one.
std::string placeOf(const fs::path& path, size_t line)
{
    return path.string() + ":" + std::to_string(line) + ": ";
}

// Words of a directive line, at most `most`; none for a blank line or a comment line (first
// non-blank character '#').
std::vector<std::string_view> sourceWords(std::string_view line, size_t most)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (out.size() < most) {
        while (i < line.size() && isspace((unsigned char)line[i]))
            i++;
        if (i == line.size() || (out.empty() && line[i] == '#'))
            return out;
        size_t start = i;
        while (i < line.size() && !isspace((unsigned char)line[i]))
            i++;
        out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::string shownWord(std::string_view word)
{
    const size_t most = 40;
    return word.size() <= most ? std::string(word) : std::string(word.substr(0, most)) + "...";
}

bool parseSourceInt(std::string_view s, int& v)
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
