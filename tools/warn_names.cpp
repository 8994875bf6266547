// Warnings about the folder's names: what Linux holds but Windows cannot (two names that differ
// only in letter case, a device's name, a forbidden character, a last dot or space), so the
// content would not unpack there. Each is said at the line of the name that names the file,
// or for the file itself when nothing names it.
#include "tools/checker.h"

#include <ctype.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "content/files.h"
#include "content/textread.h"

namespace fs = std::filesystem;

namespace {

// More entries than any content folder holds; past them the walk stops.
const size_t MAX_ENTRIES = 100000;
const char* const WINDOWS = ": such content does not unpack on Windows";

// A name as a line can show it: control characters as \xNN.
std::string shown(const std::string& name)
{
    std::string out;
    for (unsigned char c : name) {
        if (c < 32 || c == 127) {
            char hex[8];
            snprintf(hex, sizeof(hex), "\\x%02x", c);
            out += hex;
        } else
            out += (char)c;
    }
    return out;
}

std::string folded(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        c = (char)tolower((unsigned char)c);
    return out;
}

// What Windows refuses in one part of a path (a file's or a folder's own name); "" for nothing.
std::string refusal(const std::string& part)
{
    for (unsigned char c : part) {
        if (c < 32 || c == 127) {
            char hex[8];
            snprintf(hex, sizeof(hex), "\\x%02x", c);
            return std::string(" holds a control character (") + hex +
                   "), which Windows forbids in names";
        }
        if (std::string("<>:\"\\|?*").find((char)c) != std::string::npos)
            return std::string(" holds '") + (char)c + "', which Windows forbids in names";
    }
    // CON, PRN, AUX, NUL, COM1-9 and LPT1-9, in any case, with or without an extension.
    std::string base = folded(part.substr(0, part.find('.')));
    bool numbered = base.size() == 4 && (base.rfind("com", 0) == 0 || base.rfind("lpt", 0) == 0) &&
                    base[3] >= '1' && base[3] <= '9';
    if (base == "con" || base == "prn" || base == "aux" || base == "nul" || numbered) {
        std::string upper = base;
        for (char& c : upper)
            c = (char)toupper((unsigned char)c);
        return " has the name of a Windows device (" + upper + ")";
    }
    if (!part.empty() && part.back() == '.')
        return " ends in a dot, which Windows drops from names";
    if (!part.empty() && part.back() == ' ')
        return " ends in a space, which Windows drops from names";
    return "";
}

} // namespace

void warnNames(const std::vector<NameRead>& names)
{
    // The folder's files and folders, as paths inside it.
    std::vector<std::string> entries;
    std::vector<std::string> files; // not folders: twin folders only merge, twin files collide
    std::error_code ec;
    for (fs::recursive_directory_iterator
             it(".", fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end && entries.size() < MAX_ENTRIES; it.increment(ec)) {
        entries.push_back(it->path().lexically_relative(".").generic_string());
        std::error_code kind;
        if (!it->is_directory(kind))
            files.push_back(entries.back());
    }
    std::sort(entries.begin(), entries.end());
    std::sort(files.begin(), files.end());

    // Where each entry is first named: a name read from a content file, as the game resolves it,
    // that is the entry or lies inside it. The game's fixed names are named by the game itself.
    const std::string fixed[] = {PALETTE_FILE, GRAPHICS_LIST, ENEMIES_LIST, ORDERS_FILE};
    std::vector<std::string> resolved;
    for (const NameRead& n : names) {
        char path[TEXT_PATH_SIZE];
        resolved.push_back(resolveContentName(n.name.c_str(), path, sizeof(path))
                               ? fs::path(path).lexically_normal().generic_string()
                               : std::string());
    }
    auto namedAt = [&](const std::string& entry, Place& at) {
        for (const std::string& f : fixed)
            if (f == entry || f.rfind(entry + "/", 0) == 0) {
                at = {entry, 0};
                return 0;
            }
        for (size_t i = 0; i < names.size(); i++) {
            const std::string& p = resolved[i];
            if (!p.empty() && (p == entry || p.rfind(entry + "/", 0) == 0)) {
                at = {names[i].file, names[i].line};
                return 1 + (int)i;
            }
        }
        at = {entry, 0};
        return (int)names.size() + 1;
    };

    for (const std::string& entry : entries) {
        size_t slash = entry.rfind('/');
        std::string why = refusal(slash == std::string::npos ? entry : entry.substr(slash + 1));
        if (why.empty())
            continue;
        Place at;
        namedAt(entry, at);
        warn(at, shown(entry) + why + WINDOWS);
    }

    // Paths that are one to Windows: each after the first named is said, beside that one.
    std::map<std::string, std::vector<std::string>> twins;
    for (const std::string& file : files)
        twins[folded(file)].push_back(file);
    for (const auto& group : twins) {
        if (group.second.size() < 2)
            continue;
        std::vector<std::pair<int, Place>> places;
        for (const std::string& entry : group.second) {
            Place at;
            int rank = namedAt(entry, at);
            places.push_back({rank, at});
        }
        size_t first = 0;
        for (size_t i = 1; i < places.size(); i++)
            if (places[i].first < places[first].first)
                first = i;
        for (size_t i = 0; i < places.size(); i++)
            if (i != first)
                warn(places[i].second, shown(group.second[i]) + " differs from " +
                                           shown(group.second[first]) +
                                           " only in letter case, which Windows does not tell "
                                           "apart" +
                                           WINDOWS);
    }
}
