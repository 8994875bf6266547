#include <limits.h>
#include <stdio.h>

#include "content/content.h"
#include "content/textread.h"
#include "game/world.h"
#include "shell/errorlog.h"

static int failOrders(const char* message, TextFile* file)
{
    writeError(message);
    closeTextFile(file);
    return 0;
}

int loadDeploymentOrders(const char* fileName)
{
    DeploymentOrder order;

    if (fileName == NULL) {
        writeError("loadDeploymentOrders: null pointer passed\n");
        return 0;
    }
    TextFile text;
    TextFile* file = &text;
    if (!openTextFile(file, fileName)) {
        writeError("loadDeploymentOrders: error opening file\n");
        return 0;
    }

    int i = 0;
    for (;;) {
        int c = readRecordLetter(file);
        if (c == 'e') {
            nameRecord(file, "end", 0);
            currentDeploymentOrder = 0;
            numDeploymentOrders = i;
            deploymentState = DEPLOY_START;
            closeTextFile(file);
            return 1;
        }
        if (c != 'o')
            return failOrders("loadDeploymentOrders: unknown identifier read\n", file);
        nameRecord(file, "order", i);
        if (i >= MAX_DEPLOYMENT_ORDERS)
            return failOrders("loadDeploymentOrders: too many deployments\n", file);
        if (!(readInt(file, &order.enemyIndex) && readInt(file, &order.delay) &&
              readInt(file, &order.x) && readInt(file, &order.y)))
            return failOrders("loadDeploymentOrders: error reading in a deployment order\n", file);
        // The scheduler copies masterEnemies[enemyIndex] without a check.
        if (order.enemyIndex < 0 || order.enemyIndex >= numMasterEnemies)
            return failOrders("loadDeploymentOrders: enemyIndex out of bounds\n", file);
        // The scheduler counts delay * framesPerSecond frames in an int; a delay below 0 is
        // simply due at once.
        if (order.delay < -(INT_MAX / framesPerSecond) || order.delay > INT_MAX / framesPerSecond)
            return failOrders("loadDeploymentOrders: delay out of bounds\n", file);
        if (order.x < -CONTENT_COORDINATE_LIMIT || order.x > CONTENT_COORDINATE_LIMIT ||
            order.y < -CONTENT_COORDINATE_LIMIT || order.y > CONTENT_COORDINATE_LIMIT)
            return failOrders("loadDeploymentOrders: position out of bounds\n", file);
        deploymentOrders[i] = order;
        i++;
        if (!discardLine(file))
            return failOrders("loadDeploymentOrders: unexpected end of file\n", file);
    }
}
