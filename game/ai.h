// The enemy AI routine: fly in, wander between random destinations, fire on the timer.
#ifndef STARLANE_GAME_AI_H
#define STARLANE_GAME_AI_H

#include "game/records.h"

#define AI_ENTRY_SPEED 9     // vertical speed while flying in
#define AI_WANDER_SPEED 1    // vertical speed while wandering
#define AI_ENTRY_HEIGHTS 150 // entry destinations lie in rows 0..149
#define AI_WANDER_X 200      // sideways step of a wander destination
#define AI_WANDER_Y 50       // vertical step of a wander destination

int runZorvikAI(Enemy* enemy);              // life state, timers, one step of the AI state
int enemyDestinationReached(Enemy* enemy);  // 1 when arrived on both axes
int enemyXDestinationReached(Enemy* enemy); // 1 when x is within ceil(|xSpeed| / 2) of destX
int enemyYDestinationReached(Enemy* enemy); // 1 when y is within ceil(|ySpeed| / 2) of destY
int coordinateEnemyMovement(Enemy* enemy);  // one step toward the destination on each axis
int enemyGetNewDest(Enemy* enemy);          // next wander destination, kept on the screen

#endif
