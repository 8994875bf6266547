#include "game/contract.h"
#include "game/collisions.h"

#include <limits.h>
#include <stdlib.h>

#include "game/statistics.h"
#include "game/weapons.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

// Health has no bounds: a wreck goes on being rammed and shot for as long as the game runs,
// and content may give a shot any damage. It stops at the ends of an int rather than overflow.
static int changeHealth(int health, long long change)
{
    long long result = health + change;
    if (result > INT_MAX)
        return INT_MAX;
    if (result < INT_MIN)
        return INT_MIN;
    return (int)result;
}

// A player's shot hits the first live enemy it overlaps; any other shot can only hit the player.
static void collideDischarge(Discharge* discharge)
{
    if (discharge->state == DISCHARGE_IMPACTING) {
        if (animationStopped(&discharge->graphic))
            discharge->state = DISCHARGE_SPENT;
        return;
    }
    if (discharge->owner == OWNER_PLAYER) {
        for (int j = 0; j < numActiveEnemies; j++) {
            Enemy* enemy = enemies[j];
            if (testCollisionGraphic(&discharge->graphic, &enemy->graphic)) {
                enemy->health = changeHealth(enemy->health, -(long long)discharge->damage);
                impactDischarge(discharge);
                return;
            }
        }
    } else if (testCollisionGraphic(&discharge->graphic, &player.graphic)) {
        player.health = changeHealth(player.health, -(long long)discharge->damage);
        impactDischarge(discharge);
    }
}

int detectCollisions()
{
    for (int i = 0; i < numActiveDischarges; i++)
        collideDischarge(discharges[i]);

    for (int i = 0; i < numActiveEnemies; i++)
        if (testCollisionGraphic(&player.graphic, &enemies[i]->graphic))
            player.health = changeHealth(player.health, -RAM_DAMAGE);

    for (int i = 0; i < numActivePowerUps; i++) {
        PowerUp* powerUp = powerUps[i];
        if (testCollisionGraphic(&powerUp->graphic, &player.graphic)) {
            applyPowerUp(powerUp->kind);
            powerUp->collected = 1;
            gameStatistics.powerUpsCollected++;
        }
    }
    return 1;
}

int animateObjects()
{
    animateGraphic(&player.graphic);
    for (int i = 0; i < numActiveDischarges; i++)
        animateGraphic(&discharges[i]->graphic);
    for (int i = 0; i < numActiveEnemies; i++)
        animateGraphic(&enemies[i]->graphic);
    for (int i = 0; i < numActivePowerUps; i++)
        animateGraphic(&powerUps[i]->graphic);
    return 1;
}

int drawObjects()
{
    for (int i = 0; i < numActiveDischarges; i++)
        drawGraphic(&discharges[i]->graphic);
    for (int i = 0; i < numActiveEnemies; i++)
        drawGraphic(&enemies[i]->graphic);
    for (int i = 0; i < numActivePowerUps; i++)
        drawGraphic(&powerUps[i]->graphic);
    drawGraphic(&player.graphic);
    return 1;
}

int applyPowerUp(int kind)
{
    if (kind == POWERUP_HEALTH)
        player.health = changeHealth(player.health, POWERUP_HEALTH_GAIN);
    return 1;
}

int createPowerUp(const int* point)
{
    if (point == NULL) {
        writeError("createPowerUp: null pointer passed\n");
        return 0;
    }
    if (numActivePowerUps < 0 || numActivePowerUps >= MAX_POWERUPS) {
        writeError("createPowerUp: too many power-ups\n");
        return 0;
    }
    PowerUp* powerUp = powerUps[numActivePowerUps];
    // an unallocated slot reaches cloneGraphic as null and is refused there
    if (cloneGraphic(&masterGraphics[GRAPHIC_POWERUP], powerUp ? &powerUp->graphic : NULL) ==
        NULL) {
        writeError("createPowerUp: error cloning graphic\n");
        return 0;
    }
    powerUp->graphic.x = point[0];
    powerUp->graphic.y = point[1];
    powerUp->graphic.yVelocity = 1;
    powerUp->collected = 0;
    int r = rand() % 5;
    powerUp->kind = r == 0 ? POWERUP_EMPTY : r <= 2 ? POWERUP_HEALTH : POWERUP_INERT;
    setAnimation(&powerUp->graphic, POWERUP_ANIMATION_FIRST + powerUp->kind);
    numActivePowerUps++;
    gameStatistics.powerUpsCreated++;
    return 1;
}

// Swaps the record in slot i with the last live one and drops the count; the record
// stays in the array as the spare just past the live ones.
template <typename T> static void removeSlot(T** pool, int* count, int i)
{
    T* removed = pool[i];
    pool[i] = pool[*count - 1];
    pool[*count - 1] = removed;
    (*count)--;
}

int removeDeadObjects()
{
    int i = 0;
    while (i < numActiveEnemies) {
        if (enemies[i]->state == DEAD) {
            removeSlot(enemies, &numActiveEnemies, i);
            gameStatistics.enemiesDestroyed++;
        } else {
            i++;
        }
    }
    i = 0;
    while (i < numActiveDischarges) {
        Discharge* discharge = discharges[i];
        if (discharge->state == DISCHARGE_SPENT || graphicOffscreen(&discharge->graphic))
            removeSlot(discharges, &numActiveDischarges, i);
        else
            i++;
    }
    i = 0;
    while (i < numActivePowerUps) {
        PowerUp* powerUp = powerUps[i];
        if (graphicOffscreen(&powerUp->graphic) || powerUp->collected)
            removeSlot(powerUps, &numActivePowerUps, i);
        else
            i++;
    }
    return 1;
}
