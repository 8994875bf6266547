// Hits, ramming, power-ups and the clean-up of the pools.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdlib.h>

#include "game/collisions.h"
#include "game/player.h"
#include "game/world.h"
#include "tests/support/play.h"
#include "tests/support/testsupport.h"

class CollisionTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        setUpPlayWorld();
        ASSERT_EQ(initPlayer(), 1); // at (350, 500), box (2, 0, 60, 40)
    }
};

TEST_F(CollisionTest, APlayersShotHitsOnlyTheLowerSlot)
{
    Enemy* first = addEnemy(300, 100);
    Enemy* second = addEnemy(305, 105);
    Discharge* d = addShot(310, 110, OWNER_PLAYER, DISCHARGE_IMPACT_ANIMATION, 25);
    detectCollisions();
    EXPECT_EQ(first->health, 75);
    EXPECT_EQ(second->health, 100);
    EXPECT_EQ(d->state, DISCHARGE_IMPACTING);
    detectCollisions(); // an impacting shot hits nothing
    EXPECT_EQ(first->health, 75);
    EXPECT_EQ(second->health, 100);
}

TEST_F(CollisionTest, ShotsNeverHitTheirOwnSide)
{
    Enemy* e = addEnemy(300, 100);
    addShot(310, 110, OWNER_ENEMY, 0, 10);        // an enemy's shot inside an enemy
    addShot(360, 510, OWNER_PLAYER, 0, 10);       // a player's shot inside the player
    Discharge* odd = addShot(365, 515, 7, 0, 10); // any nonzero owner is an enemy
    detectCollisions();
    EXPECT_EQ(e->health, 100);
    EXPECT_EQ(player.health, 90);
    EXPECT_EQ(odd->state, DISCHARGE_SPENT);
    EXPECT_EQ(discharges[0]->state, DISCHARGE_FLYING);
    EXPECT_EQ(discharges[1]->state, DISCHARGE_FLYING);
}

TEST_F(CollisionTest, RammingCostsTenPerEnemyPerFrame)
{
    Enemy* a = addEnemy(340, 490);
    Enemy* b = addEnemy(380, 520);
    addEnemy(100, 100); // far away
    detectCollisions();
    EXPECT_EQ(player.health, 80);
    for (int frame = 0; frame < 4; frame++)
        detectCollisions();
    EXPECT_EQ(player.health, 0); // 50 from each over five frames
    EXPECT_EQ(a->health, 100);
    EXPECT_EQ(b->health, 100);
}

TEST_F(CollisionTest, PowerUpsAreAppliedOnceAndOnlyHealthHasAnEffect)
{
    addPowerUp(360, 510, POWERUP_HEALTH);
    playFrame();
    EXPECT_EQ(player.health, 150);
    EXPECT_EQ(numActivePowerUps, 0); // removed in the frame it was collected
    playFrame();
    EXPECT_EQ(player.health, 150);

    addPowerUp(360, 510, POWERUP_EMPTY);
    addPowerUp(370, 510, POWERUP_INERT);
    playFrame();
    EXPECT_EQ(player.health, 150);
    EXPECT_EQ(numActivePowerUps, 0);

    applyPowerUp(-1);
    applyPowerUp(99);
    EXPECT_EQ(player.health, 150);
    EXPECT_EQ(applyPowerUp(POWERUP_HEALTH), 1);
    EXPECT_EQ(player.health, 200); // no upper bound
}

TEST_F(CollisionTest, ANewPowerUpDriftsDownAndLeavesAtTheBottom)
{
    masterGraphics[TEST_POWERUP].xVelocity = 2;
    srand(3);
    int r = rand() % 5;
    int kind = r == 0 ? 0 : r <= 2 ? 1 : 2;
    srand(3);
    int at[2] = {100, 570};
    EXPECT_EQ(createPowerUp(at), 1);
    ASSERT_EQ(numActivePowerUps, 1);
    PowerUp* p = powerUps[0];
    EXPECT_EQ(p->graphic.x, 100);
    EXPECT_EQ(p->graphic.y, 570);
    EXPECT_EQ(p->graphic.yVelocity, 1);
    EXPECT_EQ(p->graphic.xVelocity, 2);
    EXPECT_EQ(p->collected, 0);
    EXPECT_EQ(p->kind, kind);
    EXPECT_EQ(p->graphic.currentAnimation, kind);
    EXPECT_EQ(p->graphic.animations[kind].running, 1);
    for (int frame = 0; frame < 29; frame++) {
        animateObjects();
        removeDeadObjects();
    }
    EXPECT_EQ(p->graphic.y, 599);
    EXPECT_EQ(numActivePowerUps, 1);
    animateObjects();
    removeDeadObjects();
    EXPECT_EQ(numActivePowerUps, 0); // top of the box at row 600
}

TEST_F(CollisionTest, PowerUpKindsFollowTheDraw)
{
    int seen[3] = {0, 0, 0};
    for (unsigned seed = 1; seed <= 40; seed++) {
        srand(seed);
        int r = rand() % 5;
        srand(seed);
        numActivePowerUps = 0;
        int at[2] = {0, 0};
        createPowerUp(at);
        int kind = powerUps[0]->kind;
        EXPECT_EQ(kind, r == 0 ? POWERUP_EMPTY : r <= 2 ? POWERUP_HEALTH : POWERUP_INERT);
        seen[kind]++;
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
}

TEST_F(CollisionTest, CreatingAPowerUpRefusesWhenItCannot)
{
    int at[2] = {0, 0};
    EXPECT_EQ(createPowerUp(NULL), 0);
    for (int i = 0; i < MAX_POWERUPS; i++)
        ASSERT_EQ(createPowerUp(at), 1);
    EXPECT_EQ(createPowerUp(at), 0);
    EXPECT_EQ(numActivePowerUps, MAX_POWERUPS);

    numActivePowerUps = 0;
    PowerUp* spare = powerUps[0];
    powerUps[0] = NULL;
    EXPECT_EQ(createPowerUp(at), 0);
    powerUps[0] = spare;
    EXPECT_EQ(numActivePowerUps, 0);
    EXPECT_EQ(errorText(), "createPowerUp: null pointer passed\n"
                           "createPowerUp: too many power-ups\n"
                           "cloneGraphic: null pointer(s) passed\n"
                           "createPowerUp: error cloning graphic\n");
}

TEST_F(CollisionTest, RemovalSwapsWithTheLastLiveRecord)
{
    Enemy* a = addEnemy(0, 0);
    Enemy* b = addEnemy(0, 0);
    Enemy* c = addEnemy(0, 0);
    Enemy* spare = enemies[3];
    b->state = DEAD;
    removeDeadObjects();
    ASSERT_EQ(numActiveEnemies, 2);
    EXPECT_EQ(enemies[0], a);
    EXPECT_EQ(enemies[1], c);
    EXPECT_EQ(enemies[2], b); // waits at slot count for reuse
    EXPECT_EQ(enemies[3], spare);

    c->state = DEAD; // the last live one: an exchange with itself
    removeDeadObjects();
    EXPECT_EQ(numActiveEnemies, 1);
    EXPECT_EQ(enemies[0], a);
    EXPECT_EQ(enemies[1], c);
    EXPECT_EQ(enemies[2], b);
}

TEST_F(CollisionTest, APoolOfDeadObjectsEmptiesInOnePass)
{
    for (int i = 0; i < MAX_ENEMIES; i++)
        addEnemy(0, 0)->state = DEAD;
    for (int i = 0; i < MAX_DISCHARGES; i++)
        addShot(10, 10, OWNER_PLAYER, 0, 1)->state = DISCHARGE_SPENT;
    for (int i = 0; i < MAX_POWERUPS; i++)
        addPowerUp(10, 10, POWERUP_HEALTH)->collected = 1;
    Discharge* before[MAX_DISCHARGES];
    for (int i = 0; i < MAX_DISCHARGES; i++)
        before[i] = discharges[i];
    removeDeadObjects();
    EXPECT_EQ(numActiveEnemies, 0);
    EXPECT_EQ(numActiveDischarges, 0);
    EXPECT_EQ(numActivePowerUps, 0);
    // every record is still in the array, once
    for (int i = 0; i < MAX_DISCHARGES; i++) {
        int found = 0;
        for (int j = 0; j < MAX_DISCHARGES; j++)
            found += discharges[j] == before[i];
        EXPECT_EQ(found, 1);
    }
}

TEST_F(CollisionTest, OffScreenShotsGoButOffScreenEnemiesStay)
{
    addEnemy(-500, -500);
    addShot(10, -9, OWNER_PLAYER, 0, 1); // box bottom at -1
    addShot(10, -8, OWNER_PLAYER, 0, 1); // box bottom at 0: still on screen
    addShot(800, 10, OWNER_ENEMY, 0, 1);
    removeDeadObjects();
    EXPECT_EQ(numActiveEnemies, 1);
    ASSERT_EQ(numActiveDischarges, 1);
    EXPECT_EQ(discharges[0]->graphic.y, -8);
}


TEST_F(CollisionTest, HealthStopsAtTheEndsOfAnIntInsteadOfOverflowing)
{
    // A wreck rammed for ever, and shots whose content gives them any damage at all.
    player.health = INT_MIN + 15;
    addEnemy(340, 490);
    addEnemy(380, 520);
    detectCollisions();
    EXPECT_EQ(player.health, INT_MIN);
    detectCollisions();
    EXPECT_EQ(player.health, INT_MIN);

    numActiveEnemies = 0;
    player.health = 100;
    addShot(360, 510, OWNER_ENEMY, 0, INT_MIN);
    detectCollisions();
    EXPECT_EQ(player.health, INT_MAX);
    applyPowerUp(POWERUP_HEALTH);
    EXPECT_EQ(player.health, INT_MAX);
    addShot(360, 510, OWNER_ENEMY, 0, INT_MAX);
    addShot(362, 512, OWNER_ENEMY, 0, INT_MAX);
    addShot(364, 514, OWNER_ENEMY, 0, INT_MAX);
    detectCollisions();
    EXPECT_EQ(player.health, INT_MIN);
}
