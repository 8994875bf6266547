// Warnings about the fixed roles: the graphics the game itself uses for the ship, its shot, the
// power-up and the overlay, and the frames and animations it asks of them.
#include <algorithm>

#include <string.h>

#include <string>
#include <vector>

#include "content/files.h"
#include "game/contract.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "tools/checker.h"
#include "tools/listing.h"

void warnRoles(ContentRead& c)
{
    struct Role {
        int graphic;
        Need need;
    };
    const Role roles[] = {
        {GRAPHIC_SHIP,
         {graphicRoleName(GRAPHIC_SHIP),
          {SHIP_FRAME_LEVEL, SHIP_FRAME_TILTED, SHIP_FRAME_FIRING, SHIP_FRAME_RECOIL,
           SHIP_FRAME_RECOIL_FLASH},
          {SHIP_ANIMATION_OPEN, SHIP_ANIMATION_CLOSE, SHIP_ANIMATION_DEATH},
          1}},
        {GRAPHIC_PLAYER_SHOT,
         {graphicRoleName(GRAPHIC_PLAYER_SHOT), {0}, {SHOT_ANIMATION_IMPACT}, 1}},
        {GRAPHIC_POWERUP, {graphicRoleName(GRAPHIC_POWERUP), {}, {}, 0}},
        {GRAPHIC_OVERLAY, {graphicRoleName(GRAPHIC_OVERLAY), {}, {OVERLAY_ANIMATION}, 0}},
    };
    // A list that could not be read at all has said so; its empty roles are consequences.
    int listed = !c.graphicNames.empty() || listHoldsNone(GRAPHICS_LIST);
    for (Role role : listed ? std::vector<Role>(roles, roles + 4) : std::vector<Role>()) {
        if (role.graphic == GRAPHIC_POWERUP)
            for (int kind = 0; kind < NUM_POWERUP_KINDS; kind++)
                role.need.animations.push_back(POWERUP_ANIMATION_FIRST + kind);
        if (role.graphic >= (int)c.graphicNames.size()) {
            warn({GRAPHICS_LIST, std::max(1, fieldLine(GRAPHICS_LIST, "count"))},
                 "graphic " + str(role.graphic) + ", " + role.need.who +
                     ", is missing: the list must hold at least " + str(NUM_GRAPHIC_ROLES) +
                     " graphics");
            continue;
        }
        if (!c.complete[role.graphic])
            continue;
        const std::string& file = c.graphicNames[role.graphic].name;
        useFrames(c.uses[role.graphic], role.need.frames);
        warnLacks(masterGraphics[role.graphic], file, role.need, {file, fieldLine(file, "end")});
    }
}
