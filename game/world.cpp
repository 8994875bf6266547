#include "game/world.h"

#include <limits.h>
#include <stdlib.h>

#include "shell/errorlog.h"

Graphic masterGraphics[MAX_MASTER_GRAPHICS];
int numMasterGraphics = 0;
Enemy masterEnemies[MAX_MASTER_ENEMIES];
int numMasterEnemies = 0;
Discharge* discharges[MAX_DISCHARGES];
int numActiveDischarges = 0;
Enemy* enemies[MAX_ENEMIES];
int numActiveEnemies = 0;
PowerUp* powerUps[MAX_POWERUPS];
int numActivePowerUps = 0;
DeploymentOrder deploymentOrders[MAX_DEPLOYMENT_ORDERS];
Star stars[STAR_LAYERS][STARS_PER_LAYER];
Graphic overlayGraphic;
unsigned char* backBufferMemory = NULL;
int backBufferPitch = 0;

// All records are made here once, so that play never allocates.
int allocateMemory()
{
    for (int i = 0; i < MAX_DISCHARGES; i++) {
        discharges[i] = (Discharge*)malloc(sizeof(Discharge));
        if (discharges[i] == NULL) {
            writeError("allocateMemory: memory allocation error\n");
            return 0;
        }
    }
    for (int i = 0; i < MAX_ENEMIES; i++) {
        enemies[i] = (Enemy*)malloc(sizeof(Enemy));
        if (enemies[i] == NULL) {
            writeError("allocateMemory: memory allocation error\n");
            return 0;
        }
    }
    for (int i = 0; i < MAX_POWERUPS; i++) {
        powerUps[i] = (PowerUp*)malloc(sizeof(PowerUp));
        if (powerUps[i] == NULL) {
            writeError("allocateMemory: memory allocation error\n");
            return 0;
        }
    }
    return 1;
}

// Removal swaps pointers, so every record is still in some slot, live or not.
// The slots are cleared too: a second call then frees nothing twice.
int freeMemory()
{
    for (int i = 0; i < MAX_DISCHARGES; i++) {
        free(discharges[i]);
        discharges[i] = NULL;
    }
    for (int i = 0; i < MAX_ENEMIES; i++) {
        free(enemies[i]);
        enemies[i] = NULL;
    }
    for (int i = 0; i < MAX_POWERUPS; i++) {
        free(powerUps[i]);
        powerUps[i] = NULL;
    }
    return 1;
}

// Only the masters own surfaces; templates, pool records and the overlay hold clones.
int destroyMasterGraphics()
{
    for (int i = 0; i < numMasterGraphics; i++)
        destroyGraphic(&masterGraphics[i]);
    return 1;
}

// Every reader of a timer only asks whether its count has reached the delay, which a count
// at the bound has: holding it there keeps the game the same while a timer that nobody
// resets (the deployment timer after the last order, the player's while a looping animation
// holds the weapon open) never overflows, however long the game runs.
void countTimer(Timer* timer)
{
    if (timer->active && timer->count < INT_MAX)
        timer->count++;
}
