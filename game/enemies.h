// Enemies in play: deployment from the script, copying templates, running each enemy's AI.
#ifndef STARLANE_GAME_ENEMIES_H
#define STARLANE_GAME_ENEMIES_H

#include "game/records.h"

// aiCallbacks, deploymentState, currentDeploymentOrder, numDeploymentOrders, deploymentTimer:
// declared in game/records.h, defined here.

int runEnemyAI();                                        // each live enemy's routine, pool order
int deployEnemy(int enemyIndex, const int* position);    // template into the pool at (x, y)
int cloneEnemy(const Enemy* source, Enemy* destination); // whole-record copy; 0 if null
int processDeploymentOrders();                           // one step of the scheduler

#endif
