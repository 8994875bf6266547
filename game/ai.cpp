#include "game/contract.h"
#include "game/ai.h"

#include <math.h>
#include <stdlib.h>

#include "game/collisions.h"
#include "game/constants.h"
#include "game/weapons.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

// Shows one of the two cruising frames at random.
static void flicker(Enemy* enemy)
{
    setFrame(&enemy->graphic, rand() % 4 == 0 ? ENEMY_FRAME_LEVEL : ENEMY_FRAME_FLICKER);
}

int runZorvikAI(Enemy* enemy)
{
    if (enemy == NULL) {
        writeError("runZorvikAI: null pointer passed\n");
        return 0;
    }
    switch (enemy->state) {
    case ALIVE:
        if (enemy->health <= 0) {
            setAnimation(&enemy->graphic, ENEMY_ANIMATION_DEATH);
            enemy->state = DYING;
            return 1;
        }
        break;
    case DYING:
        if (animationStopped(&enemy->graphic)) {
            enemy->state = DEAD;
            if (rand() % 10 == 0) {
                int point[2] = {enemy->graphic.x, enemy->graphic.y};
                createPowerUp(point);
            }
        }
        return 1;
    case DEAD: return 1;
    default: break;
    }

    for (int i = 0; i < MAX_TIMERS; i++)
        countTimer(&enemy->timers[i]);

    Timer* fireTimer = &enemy->timers[0];
    switch (enemy->aiState) {
    case AI_INIT:
        enemy->destX = enemy->graphic.x;
        enemy->destY = rand() % AI_ENTRY_HEIGHTS;
        enemy->ySpeed = AI_ENTRY_SPEED;
        enemy->aiState = AI_ENTER;
        break;
    case AI_ENTER:
        if (enemyDestinationReached(enemy)) {
            fireTimer->active = 1;
            fireTimer->count = 0;
            enemy->ySpeed = AI_WANDER_SPEED;
            enemy->aiState = AI_WANDER;
        } else {
            coordinateEnemyMovement(enemy);
            flicker(enemy);
        }
        break;
    case AI_WANDER:
        if (fireTimer->count >= fireTimer->delay) {
            enemy->aiState = AI_FIRE;
        } else {
            if (enemyDestinationReached(enemy))
                enemyGetNewDest(enemy);
            coordinateEnemyMovement(enemy);
            flicker(enemy);
        }
        break;
    case AI_FIRE:
        fireWeapon(&enemy->weapon, enemy->graphic.x, enemy->graphic.y, OWNER_ENEMY);
        coordinateEnemyMovement(enemy);
        fireTimer->count = 0;
        setFrame(&enemy->graphic, ENEMY_FRAME_FIRING);
        enemy->aiState = AI_WANDER;
        break;
    default: break;
    }
    return 1;
}

// Half a step either side of the destination: wider than one step, so no overshoot.
static int withinTolerance(int position, int destination, int speed)
{
    long long t = (long long)ceil(fabs((double)speed) / 2.0);
    return (long long)destination - t <= position && position <= (long long)destination + t;
}

int enemyXDestinationReached(Enemy* enemy)
{
    if (enemy == NULL) {
        writeError("enemyXDestinationReached: null pointer passed\n");
        return 0;
    }
    return withinTolerance(enemy->graphic.x, enemy->destX, enemy->xSpeed);
}

int enemyYDestinationReached(Enemy* enemy)
{
    if (enemy == NULL) {
        writeError("enemyYDestinationReached: null pointer passed\n");
        return 0;
    }
    return withinTolerance(enemy->graphic.y, enemy->destY, enemy->ySpeed);
}

int enemyDestinationReached(Enemy* enemy)
{
    if (enemy == NULL) {
        writeError("enemyDestinationReached: null pointer passed\n");
        return 0;
    }
    return enemyXDestinationReached(enemy) && enemyYDestinationReached(enemy);
}

int coordinateEnemyMovement(Enemy* enemy)
{
    if (enemy == NULL) {
        writeError("coordinateEnemyMovement: null pointer passed\n");
        return 0;
    }
    Graphic* g = &enemy->graphic;
    if (!enemyXDestinationReached(enemy)) {
        if (g->x < enemy->destX)
            g->x += enemy->xSpeed;
        else
            g->x -= enemy->xSpeed;
    }
    if (!enemyYDestinationReached(enemy)) {
        if (g->y < enemy->destY)
            g->y += enemy->ySpeed;
        else
            g->y -= enemy->ySpeed;
    }
    return 1;
}

int enemyGetNewDest(Enemy* enemy)
{
    if (enemy == NULL) {
        writeError("enemyGetNewDest: null pointer passed\n");
        return 0;
    }
    const Graphic* g = &enemy->graphic;
    const RECT& box = g->boundingBox;
    if (rand() % 2 == 0) {
        enemy->destY = g->y + AI_WANDER_Y;
        if (enemy->destY + box.bottom >= screenHeight)
            enemy->destY = g->y - AI_WANDER_Y;
    } else {
        enemy->destY = g->y - AI_WANDER_Y;
        if (enemy->destY + box.top < 0)
            enemy->destY = g->y + AI_WANDER_Y;
    }
    if (rand() % 2 == 0) {
        enemy->destX = g->x - AI_WANDER_X;
        if (enemy->destX + box.left < 0)
            enemy->destX = g->x + AI_WANDER_X;
    } else {
        enemy->destX = g->x + AI_WANDER_X;
        if (enemy->destX + box.right >= screenWidth)
            enemy->destX = g->x - AI_WANDER_X;
    }
    return 1;
}
