#include "tests/support/play.h"

#include <gtest/gtest.h>
#include <string.h>

#include "game/collisions.h"
#include "game/enemies.h"
#include "game/player.h"
#include "game/weapons.h"
#include "game/world.h"
#include "graphics/graphics.h"

void setAnimationRecord(Graphic* graphic, int index, int numFrames, int delay, int flags)
{
    Animation a;
    memset(&a, 0, sizeof(a));
    for (int i = 0; i < numFrames; i++)
        a.frameSequence[i] = 5 + i;
    a.numFrames = numFrames;
    a.delay = delay;
    a.flags = flags;
    ASSERT_EQ(loadAnimationRecord(graphic, &a, index), 1);
}

static void makeMaster(int index, int width, int height, RECT box)
{
    GraphicDesc desc;
    memset(&desc, 0, sizeof(desc));
    desc.width = width;
    desc.height = height;
    desc.bpp = 8;
    desc.boundingBox = box;
    ASSERT_EQ(createGraphic(&masterGraphics[index], &desc, GRAPHIC_ANIMATED, 0), 1);
}

void setUpPlayWorld()
{
    ASSERT_EQ(allocateMemory(), 1);
    makeMaster(TEST_SHIP, 64, 48, RECT{2, 0, 60, 40});
    setAnimationRecord(&masterGraphics[TEST_SHIP], 0, 2, 0, 0);
    setAnimationRecord(&masterGraphics[TEST_SHIP], 1, 2, 0, 0);
    setAnimationRecord(&masterGraphics[TEST_SHIP], 2, 3, 0, 0);
    makeMaster(TEST_SHOT, 4, 8, RECT{0, 0, 4, 8});
    setAnimationRecord(&masterGraphics[TEST_SHOT], 1, 2, 0, 0);
    makeMaster(TEST_ENEMY, 40, 30, RECT{0, 0, 40, 30});
    setAnimationRecord(&masterGraphics[TEST_ENEMY], 0, 3, 0, 0);
    makeMaster(3, 8, 8, RECT{0, 0, 8, 8});
    makeMaster(TEST_POWERUP, 16, 16, RECT{0, 0, 16, 16});
    for (int k = 0; k < 3; k++)
        setAnimationRecord(&masterGraphics[TEST_POWERUP], k, 2, 3, ANIMATION_LOOP);
    makeMaster(5, 150, 40, RECT{0, 0, 150, 40});
    numMasterGraphics = 6;

    Enemy* e = &masterEnemies[0];
    memset(e, 0, sizeof(*e));
    ASSERT_NE(cloneGraphic(&masterGraphics[TEST_ENEMY], &e->graphic), nullptr);
    e->state = ALIVE;
    e->health = 100;
    e->xSpeed = 2;
    e->ySpeed = 2;
    numMasterEnemies = 1;
}

Enemy* addEnemy(int x, int y)
{
    Enemy* e = enemies[numActiveEnemies++];
    *e = masterEnemies[0];
    e->graphic.x = x;
    e->graphic.y = y;
    return e;
}

Discharge* addShot(int x, int y, int owner, int attributes, int damage)
{
    DischargeDesc desc = {TEST_SHOT, attributes, 0, 0, 0, 0, damage};
    int at[2] = {x, y};
    EXPECT_EQ(createDischarge(&desc, owner, at), 1);
    return discharges[numActiveDischarges - 1];
}

PowerUp* addPowerUp(int x, int y, int kind)
{
    PowerUp* p = powerUps[numActivePowerUps++];
    cloneGraphic(&masterGraphics[TEST_POWERUP], &p->graphic);
    p->graphic.x = x;
    p->graphic.y = y;
    p->kind = kind;
    p->collected = 0;
    return p;
}

void playFrame()
{
    detectCollisions();
    processDeploymentOrders();
    runEnemyAI();
    updatePlayer();
    animateObjects();
    removeDeadObjects();
}
