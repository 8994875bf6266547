#include "tools/listing.h"

#include <stdarg.h>
#include <stdio.h>

#include <algorithm>

#include "content/files.h"
#include "game/contract.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "tools/checker.h"

const char* graphicRoleName(int graphic)
{
    switch (graphic) {
    case GRAPHIC_SHIP: return "the player's ship";
    case GRAPHIC_PLAYER_SHOT: return "the player's shot";
    case GRAPHIC_POWERUP: return "the power-up";
    case GRAPHIC_OVERLAY: return "the overlay";
    default: return "";
    }
}

Listing listingOf(const LoadedContent& loaded)
{
    Listing out;
    for (size_t i = 0; i < loaded.graphics.size(); i++) {
        const Graphic& g = masterGraphics[i];
        ListedGraphic l = {(int)i,
                           loaded.graphics[i],
                           graphicRoleName((int)i),
                           loaded.graphicLoaded[i],
                           g.width,
                           g.height,
                           g.colorKey,
                           g.attributes,
                           {(int)g.boundingBox.left, (int)g.boundingBox.top,
                            (int)g.boundingBox.right, (int)g.boundingBox.bottom},
                           {},
                           {}};
        if (l.loaded) {
            for (int f = 0; f < MAX_FRAMES; f++)
                if (g.frames[f] != NULL)
                    l.frames.push_back(f);
            for (int a = 0; a < MAX_ANIMATIONS; a++) {
                const Animation& anim = g.animations[a];
                if (anim.numFrames > 0)
                    l.animations.push_back(
                        {a,
                         std::vector<int>(anim.frameSequence, anim.frameSequence + anim.numFrames),
                         anim.delay, (anim.flags & ANIMATION_LOOP) ? 1 : 0});
            }
        }
        out.graphics.push_back(l);
    }
    for (size_t i = 0; i < loaded.enemies.size(); i++) {
        const Enemy& e = masterEnemies[i];
        ListedEnemy l = {(int)i,   loaded.enemies[i], loaded.enemyLoaded[i], -1, -1,
                         e.xSpeed, e.ySpeed,          e.timers[0].delay,     {}};
        if (l.loaded) {
            fieldValue(l.file, "graphic", &l.graphic);
            fieldValue(l.file, "routine", &l.routine);
            for (int s = 0; s < e.weapon.numDischarges; s++) {
                const DischargeDesc& d = e.weapon.descs[s];
                l.shots.push_back({d.graphicID, d.attributes, d.xOffset, d.yOffset, d.xVelocity,
                                   d.yVelocity, d.damage});
            }
        }
        out.enemies.push_back(l);
    }
    out.complete = !loaded.graphics.empty() &&
                   std::count(loaded.graphicLoaded.begin(), loaded.graphicLoaded.end(), 0) == 0 &&
                   std::count(loaded.enemyLoaded.begin(), loaded.enemyLoaded.end(), 0) == 0;
    return out;
}

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...)
{
    char line[1024];
    va_list args;
    va_start(args, pattern);
    vsnprintf(line, sizeof(line), pattern, args);
    va_end(args);
    return line;
}

const char* graphicFile(const Listing& listing, int graphic)
{
    return graphic >= 0 && graphic < (int)listing.graphics.size()
               ? listing.graphics[graphic].file.c_str()
               : "?";
}

std::string numbers(const std::vector<int>& list, const char* between)
{
    std::string out;
    for (size_t k = 0; k < list.size(); k++)
        out += (k ? between : "") + str(list[k]);
    return out;
}

} // namespace

std::string listingText(const Listing& listing)
{
    std::string out = "Master graphics (" GRAPHICS_LIST "):\n";
    for (const ListedGraphic& g : listing.graphics) {
        const char* what = g.loaded ? g.role : "(refused)";
        if (*what)
            out += format("  %2d  %-28s %s\n", g.index, g.file.c_str(), what);
        else
            out += format("  %2d  %s\n", g.index, g.file.c_str());
        if (!g.loaded)
            continue;
        std::string frames = numbers(g.frames, " ");
        out += format("      %d x %d pixels, box (%d, %d)-(%d, %d), frames %s\n", g.width, g.height,
                      g.box[0], g.box[1], g.box[2], g.box[3],
                      frames.empty() ? "none" : frames.c_str());
        for (const ListedAnimation& a : g.animations)
            out += format("      animation %d: %s (%s, every %d frames)\n", a.index,
                          numbers(a.frames, " ").c_str(), a.loops ? "loops" : "plays once",
                          a.delay + 1);
    }
    out += "Enemies (" ENEMIES_LIST "):\n";
    for (const ListedEnemy& e : listing.enemies) {
        if (!e.loaded) {
            out += format("  %2d  %-28s (refused)\n", e.index, e.file.c_str());
            continue;
        }
        out += format(
            "  %2d  %-28s graphic %d (%s), speed %d %d, AI routine %d, fire timer delay %d\n",
            e.index, e.file.c_str(), e.graphic, graphicFile(listing, e.graphic), e.xSpeed, e.ySpeed,
            e.routine, e.fireDelay);
        for (const ListedShot& s : e.shots)
            out +=
                format("      shot: graphic %d (%s), attributes %d, from (%d, %d), velocity (%d, "
                       "%d), damage %d\n",
                       s.graphic, graphicFile(listing, s.graphic), s.attributes, s.xOffset,
                       s.yOffset, s.xVelocity, s.yVelocity, s.damage);
    }
    return out;
}

std::string jsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\')
            out += '\\', out += (char)c;
        else if (c < 0x20)
            out += format("\\u%04x", c);
        else
            out += (char)c;
    }
    return out + "\"";
}

std::string listingJson(const Listing& listing, std::string (*extra)(const ListedGraphic&))
{
    std::string out = "\"graphics\":[";
    for (const ListedGraphic& g : listing.graphics) {
        out += std::string(g.index ? "," : "") + "{\"index\":" + str(g.index) +
               ",\"file\":" + jsonString(g.file) + ",\"role\":" + jsonString(g.role) +
               ",\"loaded\":" + str(g.loaded);
        if (g.loaded) {
            out += ",\"width\":" + str(g.width) + ",\"height\":" + str(g.height) +
                   ",\"colorKey\":" + str(g.colorKey) + ",\"attributes\":" + str(g.attributes) +
                   ",\"box\":[" + str(g.box[0]) + "," + str(g.box[1]) + "," + str(g.box[2]) + "," +
                   str(g.box[3]) + "],\"animations\":[";
            for (size_t k = 0; k < g.animations.size(); k++) {
                const ListedAnimation& a = g.animations[k];
                out += std::string(k ? "," : "") + "{\"index\":" + str(a.index) + ",\"frames\":[" +
                       numbers(a.frames, ",") + "],\"delay\":" + str(a.delay) +
                       ",\"loops\":" + str(a.loops) + "}";
            }
            out += "]";
            if (extra != NULL)
                out += "," + extra(g);
        }
        out += "}";
    }
    out += "],\"enemies\":[";
    for (const ListedEnemy& e : listing.enemies)
        out += (e.index ? "," : "") + jsonString(e.file);
    return out + "]";
}

namespace {

void printListing(const LoadedContent& loaded, void* ok)
{
    Listing listing = listingOf(loaded);
    fputs(listingText(listing).c_str(), stdout);
    for (const std::string& line : loaded.lines)
        fprintf(stderr, "%s\n", line.c_str());
    *(int*)ok = listing.complete;
}

} // namespace

int listContent(const std::string& dir)
{
    int ok = 0;
    return withLoadedContent(dir, printListing, &ok) && ok;
}
