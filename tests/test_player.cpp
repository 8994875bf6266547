// The player's ship: keys, movement and clamps, death, and the weapon cycle's timing.
#include <gtest/gtest.h>

#include <limits.h>

#include <windows.h>

#include "game/collisions.h"
#include "game/enemies.h"
#include "game/player.h"
#include "game/world.h"
#include "input/input.h"
#include "tests/support/play.h"
#include "platform/standin_hooks.h"
#include "tests/support/testsupport.h"

class PlayerTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        setUpPlayWorld();
        ASSERT_EQ(initPlayer(), 1);
    }
};

TEST_F(PlayerTest, StartsAliveAtItsPostWithTheTwinCannon)
{
    EXPECT_EQ(player.state, ALIVE);
    EXPECT_EQ(player.health, 100);
    EXPECT_EQ(player.graphic.x, 350);
    EXPECT_EQ(player.graphic.y, 500);
    EXPECT_TRUE(player.graphic.attributes & GRAPHIC_CLONE);
    const Weapon& w = player.weapons[0];
    ASSERT_EQ(w.numDischarges, 2);
    EXPECT_EQ(w.descs[0].xOffset, 8);
    EXPECT_EQ(w.descs[1].xOffset, 44);
    EXPECT_EQ(w.descs[1].yVelocity, -10);
    EXPECT_EQ(w.descs[1].attributes, DISCHARGE_IMPACT_ANIMATION);
    EXPECT_EQ(errorText(), "");
}

TEST_F(PlayerTest, KeysMapToFlagsAndEscapePostsQuitEveryFrame)
{
    keyState[30] = 0x80;
    keyState[57] = 0x80;
    processInput();
    EXPECT_EQ(player.leftKey, 0x80);
    EXPECT_EQ(player.fireKey, 0x80);
    EXPECT_EQ(player.rightKey, 0);
    EXPECT_EQ(player.upKey, 0);
    EXPECT_EQ(player.downKey, 0);
    EXPECT_EQ(win32QueueLength(), 0);

    keyState[1] = 0x80;
    for (int frame = 0; frame < 3; frame++)
        EXPECT_EQ(processInput(), 1);
    EXPECT_EQ(win32QueueLength(), 3);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, (WPARAM)0);
}

TEST_F(PlayerTest, OppositeKeysCancel)
{
    player.leftKey = player.rightKey = 0x80;
    player.upKey = player.downKey = 0x80;
    updatePlayer();
    EXPECT_EQ(player.graphic.x, 350);
    EXPECT_EQ(player.graphic.y, 500);

    player.rightKey = player.downKey = 0;
    updatePlayer();
    EXPECT_EQ(player.graphic.x, 346);
    EXPECT_EQ(player.graphic.y, 496);
}

TEST_F(PlayerTest, TheBoxNotTheFrameStaysOnScreen)
{
    // box (2, 0, 60, 40)
    player.graphic.x = 1;
    player.leftKey = 0x80;
    updatePlayer();
    EXPECT_EQ(player.graphic.x, -2); // frame partly off screen, box at column 0

    player.leftKey = 0;
    player.rightKey = 0x80;
    player.graphic.x = 736; // one step takes the box's right edge to 800
    updatePlayer();
    EXPECT_EQ(player.graphic.x, 739);
    updatePlayer();
    EXPECT_EQ(player.graphic.x, 739);

    player.rightKey = 0;
    player.upKey = 0x80;
    player.graphic.y = 2;
    updatePlayer();
    EXPECT_EQ(player.graphic.y, 0);

    player.upKey = 0;
    player.downKey = 0x80;
    player.graphic.y = 557;
    updatePlayer();
    EXPECT_EQ(player.graphic.y, 559); // box bottom on row 599
}

TEST_F(PlayerTest, DeathStartsInTheFrameHealthReachesZeroAndTheShipStops)
{
    player.health = 10;
    addShot(player.graphic.x + 10, player.graphic.y + 10, OWNER_ENEMY, 0, 10);
    player.leftKey = 0x80;
    playFrame();
    EXPECT_EQ(player.health, 0);
    EXPECT_EQ(player.state, DYING);
    EXPECT_EQ(player.graphic.x, 350);
    EXPECT_EQ(player.graphic.currentAnimation, 2);

    // three steps of the death animation, then DEAD for good
    playFrame();
    playFrame();
    EXPECT_EQ(player.state, DYING);
    playFrame();
    EXPECT_EQ(player.state, DEAD);
    EXPECT_EQ(player.graphic.x, 350);

    // health still changes, the ship stays dead and its timers stand still
    addPowerUp(player.graphic.x, player.graphic.y, POWERUP_HEALTH);
    player.fireKey = 0x80;
    playFrame();
    EXPECT_EQ(player.health, 50);
    EXPECT_EQ(player.state, DEAD);
    EXPECT_EQ(player.weapons[0].state, WEAPON_IDLE);
    EXPECT_EQ(player.timers[1].active, 0);
}

TEST_F(PlayerTest, TimersThatNobodyResetsStopAtTheirBound)
{
    // An opening animation that loops never lets the weapon open, so its refire timer runs
    // on; the deployment timer runs on after the last order. Days of play later:
    setAnimationRecord(&player.graphic, 0, 2, 0, ANIMATION_LOOP);
    player.fireKey = 0x80;
    playFrame();
    ASSERT_EQ(player.weapons[0].state, WEAPON_OPENING);
    player.timers[1].count = INT_MAX - 2;
    deploymentState = DEPLOY_DONE;
    deploymentTimer.active = 1;
    deploymentTimer.count = INT_MAX - 2;

    for (int frame = 0; frame < 5; frame++)
        playFrame();
    EXPECT_EQ(player.timers[1].count, INT_MAX);
    EXPECT_EQ(deploymentTimer.count, INT_MAX);
    EXPECT_EQ(player.weapons[0].state, WEAPON_OPENING);
    EXPECT_EQ(deploymentState, DEPLOY_DONE);
}

TEST_F(PlayerTest, OneFrameOfFireOpensTheWeaponWhichClosesUnused)
{
    // frame 0 opens; the 2-step opening animation has stopped after frame 1
    player.fireKey = 0x80;
    playFrame();
    EXPECT_EQ(player.weapons[0].state, WEAPON_OPENING);
    EXPECT_EQ(player.graphic.currentAnimation, 0);
    player.fireKey = 0;
    playFrame();
    EXPECT_EQ(player.weapons[0].state, WEAPON_OPENING);
    playFrame(); // frame 2: armed, close timer starts
    EXPECT_EQ(player.weapons[0].state, WEAPON_ARMED);
    EXPECT_EQ(player.timers[0].active, 1);

    for (int frame = 3; frame < 122; frame++) {
        playFrame();
        ASSERT_EQ(player.weapons[0].state, WEAPON_ARMED) << "frame " << frame;
    }
    playFrame(); // frame 122: 120 frames after arming
    EXPECT_EQ(player.weapons[0].state, WEAPON_CLOSING);
    EXPECT_EQ(player.graphic.currentAnimation, 1);
    playFrame();
    playFrame();
    EXPECT_EQ(player.weapons[0].state, WEAPON_IDLE);
    EXPECT_EQ(player.timers[0].active, 0);
    EXPECT_EQ(player.timers[1].active, 0);
    EXPECT_EQ(numActiveDischarges, 0);
    EXPECT_EQ(errorText(), "");
}

TEST_F(PlayerTest, HeldFireGivesAVolleyEveryFifthFrameAndClosesAfterTheLast)
{
    player.fireKey = 0x80;
    int volleys = 0;
    int lastVolley = -1;
    for (int frame = 0; frame <= 64; frame++) {
        int before = numActiveDischarges;
        detectCollisions();
        updatePlayer();
        int fired = numActiveDischarges - before;
        animateObjects();
        removeDeadObjects();
        if (fired != 0) {
            ASSERT_EQ(fired, 2) << "frame " << frame;
            ASSERT_EQ(player.graphic.currentFrame, 2);
            if (lastVolley >= 0)
                EXPECT_EQ(frame - lastVolley, 5);
            else
                EXPECT_EQ(frame, 5); // refire timer counted from the opening frame
            lastVolley = frame;
            volleys++;
        }
    }
    EXPECT_EQ(volleys, 12); // frames 5 to 64: one second
    EXPECT_EQ(lastVolley, 60);

    player.fireKey = 0;
    for (int frame = 65; frame < 180; frame++) {
        playFrame();
        ASSERT_EQ(player.weapons[0].state, WEAPON_ARMED) << "frame " << frame;
    }
    playFrame(); // frame 180: 120 after the last volley
    EXPECT_EQ(player.weapons[0].state, WEAPON_CLOSING);
}

TEST_F(PlayerTest, FirePressedWhileOpeningOrClosingIsNotRemembered)
{
    player.fireKey = 0x80;
    playFrame();
    playFrame();
    player.fireKey = 0;
    for (int frame = 2; frame <= 122; frame++)
        playFrame();
    ASSERT_EQ(player.weapons[0].state, WEAPON_CLOSING);
    player.fireKey = 0x80; // pressed while closing
    playFrame();
    player.fireKey = 0;
    playFrame();
    EXPECT_EQ(player.weapons[0].state, WEAPON_IDLE);
    playFrame();
    EXPECT_EQ(player.weapons[0].state, WEAPON_IDLE);
    EXPECT_EQ(numActiveDischarges, 0);
}
