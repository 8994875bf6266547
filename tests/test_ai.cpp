// The enemy routine: arrival bands, flying in, wandering inside the screen, firing, dying.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "game/ai.h"
#include "game/collisions.h"
#include "game/enemies.h"
#include "game/world.h"
#include "tests/support/play.h"
#include "tests/support/testsupport.h"

class AITest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        setUpPlayWorld();
        masterEnemies[0].aiCallback = runZorvikAI;
    }
    // runEnemyAI, then movement and clean-up, as in a frame
    static void aiFrame()
    {
        runEnemyAI();
        for (int i = 0; i < numActiveEnemies; i++)
            animateGraphic(&enemies[i]->graphic);
        for (int i = 0; i < numActiveDischarges; i++)
            animateGraphic(&discharges[i]->graphic);
        removeDeadObjects();
    }
};

TEST_F(AITest, ArrivalBandsGrowWithTheSpeed)
{
    Enemy* e = addEnemy(0, 0);
    e->xSpeed = 3;
    e->destX = 100;
    const int xs[] = {97, 98, 102, 103};
    const int arrived[] = {0, 1, 1, 0};
    for (int i = 0; i < 4; i++) {
        e->graphic.x = xs[i];
        EXPECT_EQ(enemyXDestinationReached(e), arrived[i]) << "x " << xs[i];
    }
    // tolerance = ceil(|speed| / 2): 0, 1, 1, 2, 5, 5; negative speeds count by size
    const int speeds[] = {0, 1, 2, 3, 9, 10, -3};
    const int tolerance[] = {0, 1, 1, 2, 5, 5, 2};
    for (int i = 0; i < 7; i++) {
        e->ySpeed = speeds[i];
        e->destY = 50;
        e->graphic.y = 50 + tolerance[i];
        EXPECT_EQ(enemyYDestinationReached(e), 1) << "speed " << speeds[i];
        e->graphic.y = 50 - tolerance[i] - 1;
        EXPECT_EQ(enemyYDestinationReached(e), 0) << "speed " << speeds[i];
    }
    // both axes are needed
    e->graphic.x = 100;
    e->graphic.y = 0;
    e->ySpeed = 1;
    EXPECT_EQ(enemyDestinationReached(e), 0);
    e->graphic.y = 50;
    EXPECT_EQ(enemyDestinationReached(e), 1);
}

TEST_F(AITest, NullEnemiesAreReportedByEveryOperation)
{
    EXPECT_EQ(runZorvikAI(NULL), 0);
    EXPECT_EQ(enemyDestinationReached(NULL), 0);
    EXPECT_EQ(enemyXDestinationReached(NULL), 0);
    EXPECT_EQ(enemyYDestinationReached(NULL), 0);
    EXPECT_EQ(enemyGetNewDest(NULL), 0);
    EXPECT_EQ(coordinateEnemyMovement(NULL), 0);
    EXPECT_EQ(errorText(), "runZorvikAI: null pointer passed\n"
                           "enemyDestinationReached: null pointer passed\n"
                           "enemyXDestinationReached: null pointer passed\n"
                           "enemyYDestinationReached: null pointer passed\n"
                           "enemyGetNewDest: null pointer passed\n"
                           "coordinateEnemyMovement: null pointer passed\n");
}

TEST_F(AITest, MovementStepsEachAxisOnItsOwn)
{
    Enemy* e = addEnemy(100, 100);
    e->xSpeed = 3;
    e->ySpeed = 2;
    e->destX = 50;
    e->destY = 101; // already within 1 of y
    coordinateEnemyMovement(e);
    EXPECT_EQ(e->graphic.x, 97);
    EXPECT_EQ(e->graphic.y, 100);
    e->destX = 97;
    e->destY = 200;
    coordinateEnemyMovement(e);
    EXPECT_EQ(e->graphic.x, 97);
    EXPECT_EQ(e->graphic.y, 102);
}

TEST_F(AITest, FlyingInFromAboveTheScreen)
{
    srand(5);
    int expectedY = rand() % 150;
    srand(5);
    Enemy* e = addEnemy(300, -40);
    e->aiState = AI_INIT;
    aiFrame();
    EXPECT_EQ(e->aiState, AI_ENTER);
    EXPECT_EQ(e->destX, 300);
    EXPECT_EQ(e->destY, expectedY);
    EXPECT_EQ(e->ySpeed, 9);
    EXPECT_EQ(e->graphic.y, -40); // the new state acts from the next frame

    e->destY = 100;
    for (int step = 1; step <= 15; step++) {
        aiFrame();
        ASSERT_EQ(e->graphic.y, -40 + 9 * step);
        ASSERT_EQ(e->aiState, AI_ENTER);
        ASSERT_EQ(e->graphic.x, 300);
    }
    aiFrame(); // y 95 is within 5 of 100
    EXPECT_EQ(e->graphic.y, 95);
    EXPECT_EQ(e->aiState, AI_WANDER);
    EXPECT_EQ(e->ySpeed, 1);
    EXPECT_EQ(e->timers[0].active, 1);
    EXPECT_EQ(e->timers[0].count, 0);
    EXPECT_EQ(e->xSpeed, 2);
}

TEST_F(AITest, NewDestinationsTurnBackAtTheEdges)
{
    // box (0, 0, 40, 30); every choice here meets an edge on one side or the other
    Enemy* e = addEnemy(700, 20);
    for (unsigned seed = 1; seed <= 8; seed++) {
        srand(seed);
        EXPECT_EQ(enemyGetNewDest(e), 1);
        EXPECT_EQ(e->destX, 500) << "seed " << seed; // right would leave: 700+200+40 >= 800
        EXPECT_EQ(e->destY, 70) << "seed " << seed;  // up would leave: 20-50 < 0
    }
    e->graphic.x = 100;
    e->graphic.y = 560;
    for (unsigned seed = 1; seed <= 8; seed++) {
        srand(seed);
        enemyGetNewDest(e);
        EXPECT_EQ(e->destX, 300) << "seed " << seed; // left would leave: 100-200 < 0
        EXPECT_EQ(e->destY, 510) << "seed " << seed; // down would leave: 610+30 >= 600
    }
    // in the open both directions occur, vertical drawn first, two draws in all
    e->graphic.x = 400;
    e->graphic.y = 300;
    for (unsigned seed = 1; seed <= 8; seed++) {
        srand(seed);
        int down = rand() % 2 == 0;
        int left = rand() % 2 == 0;
        int after = rand();
        srand(seed);
        enemyGetNewDest(e);
        EXPECT_EQ(e->destY, down ? 350 : 250);
        EXPECT_EQ(e->destX, left ? 200 : 600);
        EXPECT_EQ(rand(), after);
    }
}

TEST_F(AITest, WithDelayZeroItFiresEverySecondFrame)
{
    Enemy* e = addEnemy(300, 100);
    e->aiState = AI_WANDER;
    e->xSpeed = 0;
    e->ySpeed = 0;
    e->destX = 300;
    e->destY = 100;
    e->timers[0] = Timer{1, 0, 0};
    e->weapon.numDischarges = 1;
    e->weapon.descs[0] = {TEST_SHOT, 0, 10, 30, 0, 6, 10};
    int shots = 0;
    for (int frame = 1; frame <= 8; frame++) {
        int before = numActiveDischarges;
        runEnemyAI();
        bool fired = numActiveDischarges > before;
        EXPECT_EQ(fired, frame % 2 == 0) << "frame " << frame;
        if (fired) {
            shots++;
            EXPECT_EQ(e->graphic.currentFrame, 2);
            EXPECT_EQ(discharges[numActiveDischarges - 1]->owner, OWNER_ENEMY);
            EXPECT_EQ(discharges[numActiveDischarges - 1]->graphic.x, 310);
        }
    }
    EXPECT_EQ(shots, 4);
}

TEST_F(AITest, WithDelayDTheFirstShotComesDPlusOneFramesAfterArrival)
{
    Enemy* e = addEnemy(300, 95);
    e->aiState = AI_ENTER;
    e->destX = 300;
    e->destY = 100;
    e->ySpeed = 9;
    e->xSpeed = 0;
    e->timers[0].delay = 4;
    e->weapon.numDischarges = 1;
    e->weapon.descs[0] = {TEST_SHOT, 0, 0, 0, 0, 6, 10};
    runEnemyAI(); // arrival
    ASSERT_EQ(e->aiState, AI_WANDER);
    int firstShot = 0;
    for (int frame = 1; frame <= 10 && firstShot == 0; frame++) {
        runEnemyAI();
        if (numActiveDischarges > 0)
            firstShot = frame;
    }
    EXPECT_EQ(firstShot, 5);
}

TEST_F(AITest, DeathStartsAtZeroHealthAndEndsWithRemovalInTheSameFrame)
{
    Enemy* e = addEnemy(300, 100);
    e->aiState = AI_WANDER;
    e->timers[0] = Timer{1, 100, 0};
    e->health = 0;
    e->graphic.xVelocity = 1;
    aiFrame();
    EXPECT_EQ(e->state, DYING);
    EXPECT_EQ(e->graphic.currentAnimation, 0);
    EXPECT_EQ(e->timers[0].count, 0); // nothing else in that call
    EXPECT_EQ(e->graphic.x, 301);     // its own velocity still moves it

    // shots still land on a dying enemy and change nothing but its health
    addShot(310, 110, OWNER_PLAYER, 0, 10);
    detectCollisions();
    EXPECT_EQ(e->health, -10);
    EXPECT_EQ(e->state, DYING);

    aiFrame(); // death animation step 2
    EXPECT_EQ(numActiveEnemies, 1);
    aiFrame(); // step 3 stops it
    EXPECT_EQ(numActiveEnemies, 1);
    EXPECT_EQ(e->state, DYING);
    aiFrame(); // seen stopped: DEAD and removed in this frame
    EXPECT_EQ(e->state, DEAD);
    EXPECT_EQ(numActiveEnemies, 0);
    EXPECT_EQ(e->timers[0].count, 0);
}

TEST_F(AITest, OneDeathInTenLeavesAPowerUpWhereTheEnemyWas)
{
    int withPowerUp = 0;
    for (unsigned seed = 1; seed <= 60; seed++) {
        srand(seed);
        int expected = rand() % 10 == 0;
        srand(seed);
        numActivePowerUps = 0;
        numActiveEnemies = 0;
        Enemy* e = addEnemy(123, 45);
        e->state = DYING; // its death animation is not running
        aiFrame();
        ASSERT_EQ(numActiveEnemies, 0);
        ASSERT_EQ(numActivePowerUps, expected) << "seed " << seed;
        if (expected) {
            withPowerUp++;
            EXPECT_EQ(powerUps[0]->graphic.x, 123);
            EXPECT_EQ(powerUps[0]->graphic.y, 45);
        }
    }
    EXPECT_GT(withPowerUp, 0);
    EXPECT_LT(withPowerUp, 60);
}

TEST_F(AITest, AnEnemyWithSpeedZeroKeepsFiringAtItsFirstWanderHeight)
{
    Enemy* e = addEnemy(400, 100);
    e->aiState = AI_WANDER;
    e->xSpeed = 0;
    e->ySpeed = 1;
    e->destX = 400;
    e->destY = 100;
    e->timers[0] = Timer{1, 3, 0};
    e->weapon.numDischarges = 1;
    e->weapon.descs[0] = {TEST_SHOT, 0, 0, 0, 0, 6, 10};
    runEnemyAI(); // arrived: picks a wander destination 200 to the side
    int destX = e->destX;
    int destY = e->destY;
    EXPECT_NE(destX, 400);
    int fired = 0;
    for (int frame = 0; frame < 200; frame++) {
        int before = numActiveDischarges;
        runEnemyAI();
        fired += numActiveDischarges > before;
        numActiveDischarges = 0;
    }
    EXPECT_EQ(e->graphic.x, 400);
    EXPECT_NEAR(e->graphic.y, destY, 1); // stops at the edge of its 3-pixel band
    EXPECT_EQ(e->destX, destX);          // never arrives, never picks again
    EXPECT_GT(fired, 40);
}

TEST_F(AITest, UnknownStatesAreLeftAlone)
{
    Enemy* e = addEnemy(10, 10);
    e->aiState = 9;
    e->timers[1] = Timer{1, 0, 0};
    runEnemyAI();
    EXPECT_EQ(e->aiState, 9);
    EXPECT_EQ(e->graphic.x, 10);
    EXPECT_EQ(e->timers[1].count, 1);

    e->state = 7; // no health test, but the routine still runs
    e->health = -5;
    e->aiState = AI_INIT;
    runEnemyAI();
    EXPECT_EQ(e->state, 7);
    EXPECT_EQ(e->aiState, AI_ENTER);
}
