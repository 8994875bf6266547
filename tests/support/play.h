// Helpers for the gameplay tests: master graphics without surfaces, live objects put
// straight into the pools, and the gameplay steps of one frame.
#ifndef STARLANE_TESTS_PLAY_H
#define STARLANE_TESTS_PLAY_H

#include "game/records.h"

// Master graphic roles in the test world
#define TEST_SHIP 0
#define TEST_SHOT 1
#define TEST_ENEMY 2
#define TEST_POWERUP 4

// Pools allocated and masterGraphics 0..5 loaded with boxes and animations but no frames:
//   0 ship   box (2, 0, 60, 40); animations 0 open and 1 close (2 steps), 2 death (3 steps)
//   1 shot   box (0, 0, 4, 8);   animation 1 impact (2 steps)
//   2 enemy  box (0, 0, 40, 30); animation 0 death (3 steps)
//   4 power-up box (0, 0, 16, 16); animations 0..2 looping, x velocity 0
// masterEnemies[0] is an ALIVE enemy on graphic 2 without AI; numMasterEnemies 1.
void setUpPlayWorld();

void setAnimationRecord(Graphic* graphic, int index, int numFrames, int delay, int flags);

Enemy* addEnemy(int x, int y); // a copy of masterEnemies[0] into the pool
Discharge* addShot(int x, int y, int owner, int attributes, int damage); // flying, no velocity
PowerUp* addPowerUp(int x, int y, int kind);

// collisions, deployment, enemy AI, player, movement and animation, clean-up
void playFrame();

#endif
