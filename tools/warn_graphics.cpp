// Warnings about the graphics: what a use asks of a graphic, bounding boxes, lines the game
// drops, graphics nothing uses, frames an animation shows but no record loads, frames nothing shows.
#include <string.h>

#include <string>
#include <vector>

#include "content/files.h"
#include "game/contract.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "tools/checker.h"
#include "content/textread.h"

void warnLacks(const Graphic& g, const std::string& file, const Need& need, const Place& at)
{
    for (int f : need.frames)
        if (g.frames[f] == NULL)
            warn(at, need.who + " needs frame " + str(f) + ", which " + file + " does not load");
    for (int a : need.animations) {
        if (!animationDefined(g, a))
            warn(at,
                 need.who + " needs animation " + str(a) + ", which " + file + " does not define");
        else if (need.mustStop && (g.animations[a].flags & ANIMATION_LOOP))
            warn({file, fieldLine(file, "animation", a)}, need.who + " waits for animation " +
                                                              str(a) + " of " + file +
                                                              " to end, but it loops");
    }
    if (!need.animations.empty() && !(g.attributes & GRAPHIC_ANIMATED))
        warn({file, fieldLine(file, "attributes")},
             need.who + " plays animations, but " + file + " lacks attribute 4 (animated)");
}

void useFrames(GraphicUse& u, const std::vector<int>& frames)
{
    u.used = 1;
    for (int f : frames)
        u.frameShown[f] = 1;
}

void warnGraphics(ContentRead& c)
{
    for (size_t i = 0; i < c.graphicNames.size(); i++) {
        if (!c.complete[i])
            continue;
        const Graphic& g = masterGraphics[i];
        const std::string& file = c.graphicNames[i].name;
        RECT box = g.boundingBox;
        if (box.left < 0 || box.top < 0 || box.right > g.width || box.bottom > g.height)
            warn({file, fieldLine(file, "boundingBox")},
                 "the bounding box (" + str(box.left) + ", " + str(box.top) + ")-(" +
                     str(box.right) + ", " + str(box.bottom) + ") reaches outside the " +
                     str(g.width) + " x " + str(g.height) + " frame");
        else if (box.left >= box.right || box.top >= box.bottom)
            warn({file, fieldLine(file, "boundingBox")},
                 "the bounding box is empty: left must be below right and top below bottom");
        // An empty line is read as a comment letter: the line after it goes too.
        const TextValue* values = NULL;
        for (int k = 0, n = textValuesOf(file.c_str(), &values); k < n; k++) {
            const TextValue& v = values[k];
            if (v.record == '\n' && strcmp(v.field, "skipped") == 0)
                warn({file, v.line}, "empty line: the game drops the line after it (line " +
                                         str(v.line + 1) + ") too");
        }
        if (!c.enemiesKnown)
            continue;
        if (!c.uses[i].used) {
            warn({GRAPHICS_LIST, c.graphicNames[i].line},
                 "graphic " + str(i) + " (" + file +
                     ") is used by nothing: no fixed role, enemy or shot names it");
            continue;
        }
        int shown[MAX_FRAMES] = {1}; // frame 0 shows until anything else is chosen
        for (int f = 0; f < MAX_FRAMES; f++)
            shown[f] = shown[f] || c.uses[i].frameShown[f];
        for (int a = 0; a < MAX_ANIMATIONS; a++) {
            const Animation& anim = g.animations[a];
            int told[MAX_FRAMES] = {0};
            for (int k = 0; k < anim.numFrames; k++) {
                int f = anim.frameSequence[k];
                shown[f] = 1;
                if (g.frames[f] == NULL && !told[f]) {
                    told[f] = 1;
                    warn({file, fieldLine(file, "frameSequence", a, k)},
                         "animation " + str(a) + " shows frame " + str(f) +
                             ", which no f record loads: nothing is drawn and "
                             "the game logs an error every frame");
                }
            }
        }
        std::vector<int> unshown;
        for (int f = 0; f < MAX_FRAMES; f++)
            if (g.frames[f] != NULL && !shown[f])
                unshown.push_back(f);
        if (!unshown.empty()) {
            std::string list = str(unshown[0]);
            for (size_t k = 1; k < unshown.size(); k++)
                list += (k + 1 == unshown.size() ? " and " : ", ") + str(unshown[k]);
            warn({file, fieldLine(file, "frame", unshown[0])},
                 (unshown.size() == 1 ? "frame " + list + " is" : "frames " + list + " are") +
                     " shown by no animation and by nothing the game sets directly");
        }
    }
}
