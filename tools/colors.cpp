#include "tools/colors.h"

#include <array>
#include <cctype>

#include "tools/source_text.h"

namespace fs = std::filesystem;

static bool parseHex(std::string_view s, uint8_t rgb[3])
{
    if (s.size() != 7 || s[0] != '#')
        return false;
    for (int i = 1; i < 7; ++i)
        if (!isxdigit((unsigned char)s[i]))
            return false;
    for (int c = 0; c < 3; ++c)
        rgb[c] = (uint8_t)std::stoi(std::string(s.substr(1 + 2 * c, 2)), nullptr, 16);
    return true;
}

// Longer than any name a palette needs; a longer word is not read as a name.
static const size_t MAX_COLOUR_NAME = 64;

static bool validName(const std::string& s)
{
    if (s.empty() || s.size() > MAX_COLOUR_NAME || !isalpha((unsigned char)s[0]))
        return false;
    for (char c : s)
        if (!isalnum((unsigned char)c) && c != '_')
            return false;
    return true;
}

// A word that may be a name: one too long to be is cut, and then is no name.
static std::string colourName(std::string_view word)
{
    return word.size() <= MAX_COLOUR_NAME ? std::string(word) : shownWord(word);
}

bool resolveColour(const Palette& pal, std::string_view ref, int& index, std::string& why)
{
    if (parseSourceInt(ref, index)) {
        if (index < 0 || index > 255) {
            why = "palette index out of 0..255: " + shownWord(ref);
            return false;
        }
        return true;
    }
    std::string_view name = ref;
    int offset = 0;
    size_t plus = ref.find('+');
    if (plus != std::string::npos) {
        name = ref.substr(0, plus);
        if (!parseSourceInt(ref.substr(plus + 1), offset) || offset < 0) {
            why = "bad offset in " + shownWord(ref);
            return false;
        }
    }
    auto it = pal.names.find(std::string(name.substr(0, MAX_COLOUR_NAME + 1)));
    if (name.size() > MAX_COLOUR_NAME || it == pal.names.end()) {
        why = "unknown colour name " + shownWord(name);
        return false;
    }
    index = it->second.first + offset;
    if (index > it->second.second) {
        why = shownWord(ref) + " lies past the end of " + std::string(name);
        return false;
    }
    return true;
}

bool loadColours(const fs::path& path, Palette& pal, std::vector<std::string>& errors)
{
    std::string text;
    std::string problem;
    if (!readSource(path, text, problem)) {
        errors.push_back(path.string() + ": " + problem);
        return false;
    }
    size_t errorsBefore = errors.size();
    std::fill(&pal.defined[0], &pal.defined[256], false);
    SourceLines lines(text);
    for (std::string_view line; lines.next(line);) {
        if (tooManyProblems(path, errors, errorsBefore))
            return false;
        // A ramp's stops are at most its 256 entries; words past them are not read.
        std::vector<std::string_view> w = sourceWords(line, 4 + 256 + 1);
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
            name = colourName(w[1]);
            if (!parseSourceInt(w[2], first) || !parseSourceInt(w[3], last) || first < 0 ||
                last > 255 || last <= first) {
                errors.push_back(at + "ramp range must be FIRST < LAST within 0..255");
                continue;
            }
            for (size_t i = 4; i < w.size(); ++i) {
                std::array<uint8_t, 3> c;
                if (!parseHex(w[i], c.data())) {
                    errors.push_back(at + "bad colour " + shownWord(w[i]) + " (want #rrggbb)");
                    break;
                }
                stops.push_back(c);
            }
        } else if (w[0] == "set") {
            if (w.size() < 3 || w.size() > 4) {
                errors.push_back(at + "set needs INDEX #rrggbb [NAME]");
                continue;
            }
            if (!parseSourceInt(w[1], first) || first < 0 || first > 255) {
                errors.push_back(at + "index out of 0..255");
                continue;
            }
            last = first;
            std::array<uint8_t, 3> c;
            if (!parseHex(w[2], c.data())) {
                errors.push_back(at + "bad colour " + shownWord(w[2]) + " (want #rrggbb)");
                continue;
            }
            stops.push_back(c);
            if (w.size() == 4)
                name = colourName(w[3]);
        } else {
            errors.push_back(at + "unknown directive " + shownWord(w[0]) + " (want ramp or set)");
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

std::vector<uint8_t> paletteFile(const Palette& pal)
{
    std::vector<uint8_t> out;
    for (int i = 0; i < 256; ++i) {
        out.push_back(pal.rgb[i][0]);
        out.push_back(pal.rgb[i][1]);
        out.push_back(pal.rgb[i][2]);
        out.push_back(0);
    }
    return out;
}
