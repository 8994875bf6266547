#include "game/contract.h"
#include "game/player.h"

#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "game/constants.h"
#include "game/statistics.h"
#include "game/weapons.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "shell/errorlog.h"

Player player;

int processInput()
{
    player.leftKey = keyDown(DIK_A);
    player.rightKey = keyDown(DIK_D);
    player.upKey = keyDown(DIK_W);
    player.downKey = keyDown(DIK_S);
    player.fireKey = keyDown(DIK_SPACE);
    if (keyDown(DIK_ESCAPE))
        PostQuitMessage(0);
    return 1;
}

int initPlayer()
{
    // Two shots from the wing tips, straight up, each with its impact burst.
    static const DischargeDesc shots[2] = {
        {GRAPHIC_PLAYER_SHOT, DISCHARGE_IMPACT_ANIMATION, 8, 21, 0, -10, 10},
        {GRAPHIC_PLAYER_SHOT, DISCHARGE_IMPACT_ANIMATION, 44, 21, 0, -10, 10},
    };
    Weapon* weapon = &player.weapons[0];
    weapon->state = WEAPON_IDLE;
    memcpy(weapon->descs, shots, sizeof(shots));
    weapon->numDischarges = 2;

    if (cloneGraphic(&masterGraphics[GRAPHIC_SHIP], &player.graphic) == NULL) {
        writeError("initPlayer: error cloning player graphic\n");
        return 0;
    }
    player.state = ALIVE;
    player.health = 100;
    player.currentWeapon = 0;
    player.timers[0].delay = PLAYER_CLOSE_DELAY;
    player.timers[1].delay = PLAYER_REFIRE_DELAY;
    player.graphic.x = 350;
    player.graphic.y = 500;
    if (!setFrame(&player.graphic, SHIP_FRAME_LEVEL)) {
        writeError("initPlayer: error setting frame\n");
        return 0;
    }
    return 1;
}

// Keeps the ship's collision box within the screen.
static void clampPlayer()
{
    Graphic* g = &player.graphic;
    const RECT& box = g->boundingBox;
    if (g->x + box.left < 0)
        g->x = -box.left;
    else if (g->x + box.right >= screenWidth)
        g->x = screenWidth - box.right - 1;
    if (g->y + box.top < 0)
        g->y = -box.top;
    else if (g->y + box.bottom >= screenHeight)
        g->y = screenHeight - box.bottom - 1;
}

// Armed weapon: close it once the close timer has run out.
static void closeTest(Weapon* weapon)
{
    if (player.timers[0].count >= player.timers[0].delay) {
        setAnimation(&player.graphic, SHIP_ANIMATION_CLOSE);
        weapon->state = WEAPON_CLOSING;
    }
}

static void stepWeaponCycle(Weapon* weapon)
{
    Graphic* g = &player.graphic;
    Timer* closeTimer = &player.timers[0];
    Timer* refireTimer = &player.timers[1];
    switch (weapon->state) {
    case WEAPON_IDLE:
        if (player.fireKey) {
            setAnimation(g, SHIP_ANIMATION_OPEN);
            refireTimer->active = 1;
            refireTimer->count = 0;
            weapon->state = WEAPON_OPENING;
        } else {
            setFrame(g, rand() % 4 == 0 ? SHIP_FRAME_LEVEL : SHIP_FRAME_TILTED);
        }
        break;
    case WEAPON_OPENING:
        if (animationStopped(g)) {
            closeTimer->active = 1;
            closeTimer->count = 0;
            weapon->state = WEAPON_ARMED;
        }
        break;
    case WEAPON_ARMED:
        if (player.fireKey && refireTimer->count >= refireTimer->delay) {
            closeTimer->count = 0;
            refireTimer->count = 0;
            fireWeapon(weapon, g->x, g->y, OWNER_PLAYER);
            gameStatistics.volleysFired++;
            setFrame(g, SHIP_FRAME_FIRING);
        } else {
            setFrame(g, rand() % 4 == 0 ? SHIP_FRAME_RECOIL_FLASH : SHIP_FRAME_RECOIL);
        }
        closeTest(weapon);
        break;
    case WEAPON_CLOSING:
        if (animationStopped(g)) {
            closeTimer->active = 0;
            refireTimer->active = 0;
            weapon->state = WEAPON_IDLE;
        }
        break;
    default: break;
    }
}

int updatePlayer()
{
    switch (player.state) {
    case ALIVE:
        if (player.health <= 0) {
            setAnimation(&player.graphic, SHIP_ANIMATION_DEATH);
            player.state = DYING;
            return 1;
        }
        break;
    case DYING:
        if (animationStopped(&player.graphic))
            player.state = DEAD;
        return 1;
    case DEAD: return 1;
    default: break;
    }

    if (player.leftKey)
        player.graphic.x -= PLAYER_SPEED;
    if (player.rightKey)
        player.graphic.x += PLAYER_SPEED;
    if (player.upKey)
        player.graphic.y -= PLAYER_SPEED;
    if (player.downKey)
        player.graphic.y += PLAYER_SPEED;
    clampPlayer();

    for (int i = 0; i < MAX_TIMERS; i++)
        countTimer(&player.timers[i]);

    // Only weapon 0 is ever used; an index outside the rack leaves the cycle still.
    if (player.currentWeapon >= 0 && player.currentWeapon < MAX_WEAPONS)
        stepWeaponCycle(&player.weapons[player.currentWeapon]);
    return 1;
}
