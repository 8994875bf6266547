// Warnings about the enemies: their life and AI states, routine and fire timer, their shots,
// and the frames and animations their routine and shots ask of their graphics.
#include <string.h>

#include <string>
#include <vector>

#include "content/files.h"
#include "game/contract.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "tools/checker.h"

namespace {

const int FIRE_DELAY_NEVER = 60 * 60 * 60; // frames: an hour of play

} // namespace

void warnEnemies(ContentRead& c)
{
    c.enemiesKnown = 1;
    for (size_t i = 0; i < c.enemyNames.size(); i++) {
        const Enemy& e = masterEnemies[i];
        const std::string& file = c.enemyNames[i].name;
        int graphicID = -1, routine = -1;
        if (!c.enemyLoaded[i] || !fieldValue(file, "graphic", &graphicID) ||
            !fieldValue(file, "routine", &routine)) {
            c.enemiesKnown = 0;
            continue;
        }
        Place routineAt = {file, fieldLine(file, "routine")};
        if (graphicID >= 0 && graphicID < (int)c.graphicNames.size() && c.complete[graphicID]) {
            Need driven = {"AI routine 1",
                           {ENEMY_FRAME_LEVEL, ENEMY_FRAME_FLICKER, ENEMY_FRAME_FIRING},
                           {ENEMY_ANIMATION_DEATH},
                           1};
            useFrames(c.uses[graphicID], routine == 1 ? driven.frames : std::vector<int>{0});
            if (routine == 1)
                warnLacks(masterGraphics[graphicID], c.graphicNames[graphicID].name, driven,
                          routineAt);
        }
        if (e.state != ALIVE)
            warn({file, fieldLine(file, "state")},
                 "life state " + str(e.state) + ": enemies start alive (1); " +
                     (e.state == DEAD ? "a dead one leaves at once"
                                      : "in any other state it never dies"));
        if (e.aiState < AI_INIT || e.aiState > AI_FIRE)
            warn({file, fieldLine(file, "aiState")},
                 "AI state " + str(e.aiState) +
                     " does nothing; the routine knows 0 to 3 (0 flies in)");
        if (routine == 0)
            warn(routineAt,
                 "AI routine 0: the enemy never moves, fires or dies, and never leaves the pool");
        else if (e.weapon.numDischarges > 0 && e.timers[0].delay <= 0)
            warn(routineAt, "timer 0, the fire timer, has delay " + str(e.timers[0].delay) +
                                ": the enemy fires every second frame");
        else if (e.weapon.numDischarges > 0 && e.timers[0].delay > FIRE_DELAY_NEVER)
            warn(routineAt, "timer 0, the fire timer, has delay " + str(e.timers[0].delay) +
                                " frames, more than an hour: the enemy never fires in a real game");
        for (int s = 0; s < e.weapon.numDischarges; s++) {
            const DischargeDesc& d = e.weapon.descs[s];
            Place at = {file, fieldLine(file, "discharge", s)};
            if (d.attributes &
                ~(DISCHARGE_ANIMATED | DISCHARGE_IMPACT_ANIMATION | DISCHARGE_IMPACT_FRAME))
                warn(at,
                     "shot attributes " + str(d.attributes) + ": only 1, 2 and 4 mean anything");
            if (d.xVelocity == 0 && d.yVelocity == 0)
                warn(at, "the shot does not move: it stays until it hits the ship");
            if (d.damage < 0)
                warn(at, "negative damage heals the ship");
            if (d.graphicID < 0 || d.graphicID >= (int)c.graphicNames.size() ||
                !c.complete[d.graphicID])
                continue;
            Need shot = {"the shot", {}, {}, 0};
            if (d.attributes & DISCHARGE_ANIMATED)
                shot.animations.push_back(SHOT_ANIMATION_FLIGHT);
            else
                shot.frames.push_back(SHOT_FRAME_FLIGHT);
            const Graphic& g = masterGraphics[d.graphicID];
            const std::string& gfile = c.graphicNames[d.graphicID].name;
            warnLacks(g, gfile, shot, at);
            if (d.attributes & DISCHARGE_IMPACT_ANIMATION) {
                warnLacks(g, gfile, {"the shot's impact", {}, {SHOT_ANIMATION_IMPACT}, 1}, at);
            } else if (d.attributes & DISCHARGE_IMPACT_FRAME) {
                shot.frames.push_back(SHOT_FRAME_IMPACT);
                warnLacks(g, gfile, {"the shot's impact", {SHOT_FRAME_IMPACT}, {}, 0}, at);
            }
            useFrames(c.uses[d.graphicID], shot.frames);
        }
    }
}
