// The world: the master tables, the object pools, the deployment orders, the starfield,
// the overlay and the back buffer of the current frame, with their allocation and release.
#ifndef STARLANE_GAME_WORLD_H
#define STARLANE_GAME_WORLD_H

#include "game/constants.h"
#include "game/records.h"
#include "graphics/graphics.h"

#define STAR_LAYERS 3
#define STARS_PER_LAYER 50
#define OVERLAY_X 650
#define OVERLAY_Y 0

struct DeploymentOrder {
    int enemyIndex; // template in masterEnemies
    int delay;      // seconds to wait before deploying
    int x;
    int y;
};

struct Star {
    int x;
    int y;
};

extern Graphic masterGraphics[MAX_MASTER_GRAPHICS];
extern int numMasterGraphics; // as read from the list, stored before loading
extern Enemy masterEnemies[MAX_MASTER_ENEMIES];
extern int numMasterEnemies;
// Pools: slots 0..count-1 are live, the rest are spare records; every slot owns its record.
extern Discharge* discharges[MAX_DISCHARGES];
extern int numActiveDischarges;
extern Enemy* enemies[MAX_ENEMIES];
extern int numActiveEnemies;
extern PowerUp* powerUps[MAX_POWERUPS];
extern int numActivePowerUps;
extern DeploymentOrder deploymentOrders[MAX_DEPLOYMENT_ORDERS];
extern Star stars[STAR_LAYERS][STARS_PER_LAYER];
extern Graphic overlayGraphic;
extern unsigned char* backBufferMemory; // valid only while the frame holds the lock
extern int backBufferPitch;

int allocateMemory();        // every pool record; 1 ok, 0 at the first failed allocation
int freeMemory();            // every pool record, live or spare; always 1
int destroyMasterGraphics(); // release the master graphics' surfaces; always 1

int createStars(); // scatter all stars; always 1
int updateStars(); // move and plot the stars into the locked back buffer; always 1

void countTimer(Timer* timer); // one frame: +1 while active, held at the largest int

#endif
