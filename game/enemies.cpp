#include "game/enemies.h"

#include "game/ai.h"
#include "game/constants.h"
#include "game/statistics.h"
#include "game/world.h"
#include "shell/errorlog.h"

AICallback aiCallbacks[NUM_AI_CALLBACKS] = {
    NULL,        // 0: no AI
    runZorvikAI, // 1
};

int deploymentState;
int currentDeploymentOrder;
int numDeploymentOrders;
Timer deploymentTimer;

int runEnemyAI()
{
    for (int i = 0; i < numActiveEnemies; i++)
        if (enemies[i]->aiCallback != NULL)
            enemies[i]->aiCallback(enemies[i]);
    return 1;
}

int deployEnemy(int enemyIndex, const int* position)
{
    if (position == NULL) {
        writeError("deployEnemy: null pointer passed\n");
        return 0;
    }
    // A script may name a template that was never loaded; the pool may be full.
    if (enemyIndex < 0 || enemyIndex >= numMasterEnemies || enemyIndex >= MAX_MASTER_ENEMIES) {
        writeError("deployEnemy: enemy index out of bounds\n");
        return 0;
    }
    if (numActiveEnemies < 0 || numActiveEnemies >= MAX_ENEMIES) {
        writeError("deployEnemy: too many enemies\n");
        return 0;
    }
    Enemy* enemy = enemies[numActiveEnemies];
    if (!cloneEnemy(&masterEnemies[enemyIndex], enemy)) {
        writeError("deployEnemy: error cloning enemy\n");
        return 0;
    }
    enemy->graphic.x = position[0];
    enemy->graphic.y = position[1];
    numActiveEnemies++;
    gameStatistics.enemiesDeployed++;
    return 1;
}

int cloneEnemy(const Enemy* source, Enemy* destination)
{
    if (source == NULL || destination == NULL) {
        writeError("cloneEnemy: null pointer(s) passed\n");
        return 0;
    }
    *destination = *source;
    return 1;
}

// Arms the deployment timer with the wait of the order now due.
static void armDeploymentTimer()
{
    deploymentTimer.delay = deploymentOrders[currentDeploymentOrder].delay * framesPerSecond;
    deploymentTimer.count = 0;
}

int processDeploymentOrders()
{
    countTimer(&deploymentTimer);

    switch (deploymentState) {
    case DEPLOY_START:
        currentDeploymentOrder = 0;
        if (numDeploymentOrders <= 0) {
            deploymentState = DEPLOY_DONE;
        } else {
            armDeploymentTimer();
            deploymentTimer.active = 1;
            deploymentState = DEPLOY_RUNNING;
        }
        break;
    case DEPLOY_RUNNING:
        if (currentDeploymentOrder < 0 || currentDeploymentOrder >= MAX_DEPLOYMENT_ORDERS) {
            deploymentState = DEPLOY_DONE;
            break;
        }
        if (deploymentTimer.count >= deploymentTimer.delay && numActiveEnemies < MAX_ENEMIES) {
            DeploymentOrder order = deploymentOrders[currentDeploymentOrder];
            int position[2] = {order.x, order.y};
            deployEnemy(order.enemyIndex, position);
            currentDeploymentOrder++;
            if (currentDeploymentOrder >= MAX_DEPLOYMENT_ORDERS ||
                currentDeploymentOrder >= numDeploymentOrders)
                deploymentState = DEPLOY_DONE;
            else
                armDeploymentTimer();
        }
        break;
    case DEPLOY_DONE:
    default: break;
    }
    return 1;
}
