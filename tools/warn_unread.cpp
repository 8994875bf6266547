// Files of the folder that no list names: the game never reads them, so a mistake in one would
// show only once a list names it. Each is warned about, and read by its loader all the same.
#include <string.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "content/content.h"
#include "content/files.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "tools/checker.h"

namespace {

std::string folded(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.rfind("./", 0) == 0)
        name.erase(0, 2);
    for (char& c : name)
        c = (char)std::tolower((unsigned char)c);
    return name;
}

// The content files of the folder by kind: descriptions, enemies and orders, sorted.
std::vector<std::string> contentFiles(const char* dir, const char* extension)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string ext = it->path().extension().string();
        for (char& c : ext)
            c = (char)std::tolower((unsigned char)c);
        if (ext == extension && it->is_regular_file(ec))
            out.push_back(std::string(dir) + "/" + it->path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

void warnUnread(const std::vector<std::string>& read, void (*readAt)(const char* file))
{
    std::vector<std::string> seen;
    for (const std::string& r : read)
        seen.push_back(folded(r));
    seen.push_back(folded(GRAPHICS_LIST));
    seen.push_back(folded(ENEMIES_LIST));
    seen.push_back(folded(ORDERS_FILE));
    auto unread = [&](const std::string& f) {
        return std::find(seen.begin(), seen.end(), folded(f)) == seen.end();
    };
    for (const std::string& f : contentFiles("Graphics", ".txt"))
        if (unread(f)) {
            warn({f, 1}, "no list names " + f + ", so the game never reads it");
            readAt(f.c_str());
            Graphic g;
            memset(&g, 0, sizeof(g));
            long long frameBytes = contentFrameBytes;
            loadGraphic(&g, f.c_str(), 0, 0);
            destroyGraphic(&g);
            contentFrameBytes = frameBytes;
        }
    for (const std::string& f : contentFiles("Enemies", ".txt"))
        if (unread(f)) {
            warn({f, 1}, "no list names " + f + ", so the game never reads it");
            readAt(f.c_str());
            Enemy e; // holds clones of the master graphics only: nothing to free
            memset(&e, 0, sizeof(e));
            loadEnemy(&e, f.c_str());
        }
    for (const std::string& f : contentFiles("DeploymentOrders", ".dpo"))
        if (unread(f))
            warn({f, 1}, "the game reads its orders from " + std::string(ORDERS_FILE) +
                             " only, so it never reads " + f);
}
