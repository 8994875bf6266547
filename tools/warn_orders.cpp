// Warnings about the deployment orders: where each enemy comes in, and the enemies that never do.
#include <string.h>

#include <string>
#include <vector>

#include "content/files.h"
#include "game/contract.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "tools/checker.h"
#include "display/display.h"

namespace {

const int FAR_OFF_SCREEN = 300; // pixels above or below the screen counted as far

} // namespace

void warnOrders(ContentRead& c)
{
    // Orders: where each enemy comes in, and which enemies never do.
    std::vector<int> deployed(c.enemyNames.size(), 0);
    for (int k = 0; k < c.ordersRead && fieldLine(ORDERS_FILE, "order", k) != 0; k++) {
        const DeploymentOrder& o = deploymentOrders[k];
        if (o.enemyIndex < 0 || o.enemyIndex >= (int)c.enemyNames.size())
            continue;
        deployed[o.enemyIndex] = 1;
        const Graphic& g = masterEnemies[o.enemyIndex].graphic;
        Place at = {ORDERS_FILE, fieldLine(ORDERS_FILE, "order", k)};
        if (o.x + g.boundingBox.right <= 0 || o.x + g.boundingBox.left >= screenWidth)
            warn(at, "x " + str(o.x) +
                         " puts the enemy beside the screen; it flies in straight down and is "
                         "never seen there");
        else if (o.y + g.boundingBox.bottom < -FAR_OFF_SCREEN ||
                 o.y + g.boundingBox.top >= screenHeight + FAR_OFF_SCREEN)
            warn(at, "y " + str(o.y) + " puts the enemy more than " + str(FAR_OFF_SCREEN) +
                         " pixels " + (o.y < 0 ? "above" : "below") + " the screen");
    }
    if (c.ordersRead == 0)
        warn({ORDERS_FILE, std::max(1, fieldLine(ORDERS_FILE, "end"))},
             "no deployment order: no enemy ever comes");
    if (c.ordersRead >= 0)
        for (size_t i = 0; i < c.enemyNames.size(); i++)
            if (!deployed[i])
                warn({ENEMIES_LIST, c.enemyNames[i].line}, "enemy " + str(i) + " (" +
                                                               c.enemyNames[i].name +
                                                               ") is named by no deployment order");
}
