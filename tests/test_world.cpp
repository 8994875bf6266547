// The game's life: start-up in its order and its failure chains, the frame, the shutdown,
// and the world's pools.
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include <ddraw.h>
#include <dinput.h>

#include "game/collisions.h"
#include "game/enemies.h"
#include "game/game.h"
#include "game/world.h"
#include "platform/headless.h"
#include "platform/standin_hooks.h"
#include "platform/instrumentation.h"
#include "shell/framesync.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

int runWinMain()
{
    return WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
}

int turnsSeen = 0;
int closeAtTurn = -1;
std::vector<unsigned char> shot; // picture captured at shotTurn
int shotTurn = -1;

void countTurns(int turn)
{
    turnsSeen = turn + 1;
    if (turn == shotTurn) {
        shot.assign(800 * 600 * 3, 0);
        headlessScreenRGB(shot.data());
    }
    if (turn == closeAtTurn)
        headlessRequestClose();
}

class World : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        turnsSeen = 0;
        closeAtTurn = -1;
        shotTurn = -1;
        shot.clear();
        headlessSetTurnHook(countTurns);
    }

    void TearDown() override
    {
        headlessSetTurnHook(NULL);
        GameTest::TearDown();
    }

    // The stars gameInit must scatter: its seed is the tick count it starts at.
    static void expectStarsFromSeed(unsigned seed)
    {
        srand(seed);
        for (int layer = 0; layer < STAR_LAYERS; layer++)
            for (int i = 0; i < STARS_PER_LAYER; i++) {
                int x = rand() % 800;
                int y = rand() % 600;
                ASSERT_EQ(stars[layer][i].x, x);
                ASSERT_EQ(stars[layer][i].y, y);
            }
    }

    // Up as WinMain would bring it, without the loop.
    void startGame()
    {
        writeTestContent();
        ASSERT_TRUE(openGameWindow());
        ASSERT_NE(mainWindow, nullptr);
        ASSERT_EQ(gameInit(), 1);
        ASSERT_EQ(errorText(), "");
    }
};

TEST_F(World, MissingPaletteStopsAtTheDisplayWithoutShutDown)
{
    writeTestContent();
    unlink("palette.pal");
    EXPECT_EQ(runWinMain(), 1);
    EXPECT_EQ(errorText(), "loadPalette: error opening file\n"
                           "ddInit: error loading palette\n"
                           "gameInit: error initializing DirectDraw\n"
                           "WinMain: gameInit() error\n");
    EXPECT_EQ(turnsSeen, 0) << "no frame ran";
    EXPECT_GT(liveObjectCount(), 0) << "nothing was released";
    EXPECT_EQ(discharges[0], nullptr) << "the pools come later";
}

TEST_F(World, MissingMasterGraphicsStopsAfterPoolsAndStars)
{
    writeTestContent();
    unlink("Graphics/MasterGraphics.txt");
    DWORD start = GetTickCount();
    EXPECT_EQ(runWinMain(), 1);
    EXPECT_EQ(errorText(), "loadMasterGraphics: unable to open file\n"
                           "gameInit: error loading master graphics\n"
                           "WinMain: gameInit() error\n");
    EXPECT_EQ(turnsSeen, 0);
    // Display, input, syncer, cursor, pools and stars are up, and stay up.
    int w = 0, h = 0, bpp = 0;
    EXPECT_EQ(headlessDisplayMode(&w, &h, &bpp), 1);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_EQ(bpp, 8);
    EXPECT_EQ(frameDuration, 16);
    EXPECT_EQ(win32CursorShown(), 0);
    EXPECT_NE(discharges[MAX_DISCHARGES - 1], nullptr);
    EXPECT_NE(enemies[MAX_ENEMIES - 1], nullptr);
    EXPECT_NE(powerUps[MAX_POWERUPS - 1], nullptr);
    EXPECT_GT(liveObjectCount(), 0);
    expectStarsFromSeed(start);
}

TEST_F(World, StartUpSeedsThenScattersThenLoadsAndPlacesTheOverlay)
{
    writeTestContent(2, "o 1 3 100 0\no 0 1 200 -40\ne\n");
    ASSERT_TRUE(openGameWindow());
    ASSERT_NE(mainWindow, nullptr);
    DWORD start = GetTickCount();
    ASSERT_EQ(gameInit(), 1);
    EXPECT_EQ(errorText(), "");
    expectStarsFromSeed(start);
    EXPECT_EQ(numMasterGraphics, 6);
    EXPECT_EQ(numMasterEnemies, 2);
    EXPECT_EQ(numDeploymentOrders, 2);
    EXPECT_EQ(deploymentOrders[1].y, -40);
    EXPECT_EQ(numActiveDischarges + numActiveEnemies + numActivePowerUps, 0);
    // The pools hold 125 distinct records.
    std::vector<void*> records;
    for (int i = 0; i < MAX_DISCHARGES; i++)
        records.push_back(discharges[i]);
    for (int i = 0; i < MAX_ENEMIES; i++)
        records.push_back(enemies[i]);
    for (int i = 0; i < MAX_POWERUPS; i++)
        records.push_back(powerUps[i]);
    std::sort(records.begin(), records.end());
    EXPECT_EQ(std::unique(records.begin(), records.end()) - records.begin(), 125);
    EXPECT_NE(records[0], nullptr);

    EXPECT_EQ(overlayGraphic.x, 650);
    EXPECT_EQ(overlayGraphic.y, 0);
    EXPECT_EQ(overlayGraphic.frames[3], masterGraphics[5].frames[3]);
    EXPECT_EQ(overlayGraphic.attributes, masterGraphics[5].attributes | GRAPHIC_CLONE);
    EXPECT_EQ(overlayGraphic.currentAnimation, 0);
    EXPECT_EQ(overlayGraphic.animations[0].running, 1);
    EXPECT_EQ(masterGraphics[5].animations[0].running, 0);
}

TEST_F(World, AFrameAfterQuitOnlyStampsItsStart)
{
    startGame();
    Star before[STAR_LAYERS][STARS_PER_LAYER];
    memcpy(before, stars, sizeof(stars));
    Graphic overlay = overlayGraphic;
    int blits = faultCallCount("Blt"), locks = faultCallCount("Lock"),
        flips = faultCallCount("Flip"), reads = faultCallCount("GetDeviceState");
    int presents = headlessPresentCount(), sleeps = headlessSleepCount();

    quitFlag = 1;
    headlessAdvance(40);
    EXPECT_EQ(gameMain(), 0);
    EXPECT_EQ(frameStart, GetTickCount());
    EXPECT_EQ(faultCallCount("Blt"), blits);
    EXPECT_EQ(faultCallCount("Lock"), locks);
    EXPECT_EQ(faultCallCount("Flip"), flips);
    EXPECT_EQ(faultCallCount("GetDeviceState"), reads);
    EXPECT_EQ(headlessPresentCount(), presents);
    EXPECT_EQ(headlessSleepCount(), sleeps);
    EXPECT_EQ(memcmp(before, stars, sizeof(stars)), 0);
    EXPECT_EQ(memcmp(&overlay, &overlayGraphic, sizeof(overlay)), 0);
    EXPECT_EQ(errorText(), "");
}

TEST_F(World, AFrameDrawsStarsUnderTheOverlayFlipsAndWaits)
{
    startGame();
    int presents = headlessPresentCount();
    DWORD start = GetTickCount();
    EXPECT_EQ(gameMain(), 1);
    EXPECT_EQ(headlessPresentCount(), presents + 1);
    EXPECT_EQ(GetTickCount() - start, 16u) << "slept out the frame's budget";
    EXPECT_EQ(errorText(), "");
}

TEST_F(World, ALockFailingEveryFrameSkipsDrawingButNotTheLogic)
{
    startGame();
    Star before[STAR_LAYERS][STARS_PER_LAYER];
    memcpy(before, stars, sizeof(stars));
    int presents = headlessPresentCount(), sleeps = headlessSleepCount();
    int unlocks = faultCallCount("Unlock");
    EXPECT_TRUE(faultSet("Lock", 1, -1, DDERR_GENERIC));
    headlessSetKey(DIK_D, 1);
    int x = player.graphic.x;

    std::string expected;
    DWORD start = GetTickCount();
    for (int frame = 0; frame < 3; frame++) {
        EXPECT_EQ(gameMain(), 0);
        expected += "lockBackBuffer:  locking error\ngameMain: error locking back buffer\n";
    }
    EXPECT_EQ(errorText(), expected);
    EXPECT_EQ(headlessPresentCount(), presents) << "never flipped";
    // Waiting for the screen to come back keeps the pace of normal frames, not a busy loop.
    EXPECT_EQ(headlessSleepCount(), sleeps + 3);
    EXPECT_EQ(GetTickCount() - start, 3 * 16u);
    EXPECT_EQ(faultCallCount("Unlock"), unlocks);
    EXPECT_EQ(memcmp(before, stars, sizeof(stars)), 0) << "the stars stand still";
    // The overlay (four frames, one step each) was animated every frame all the same.
    EXPECT_EQ(overlayGraphic.animations[0].currentIndex, 3);
    EXPECT_EQ(overlayGraphic.currentFrame, 3);
    EXPECT_EQ(player.graphic.x, x + 3 * 4) << "the ship still moved every frame";

    // The screen is back: the next frame is drawn and shown again.
    faultClearAll();
    EXPECT_EQ(gameMain(), 1);
    EXPECT_EQ(headlessPresentCount(), presents + 1);
    EXPECT_EQ(errorText(), expected);
}

TEST_F(World, AFailedUnlockEndsTheFrameAfterTheStars)
{
    startGame();
    Star before[STAR_LAYERS][STARS_PER_LAYER];
    memcpy(before, stars, sizeof(stars));
    int presents = headlessPresentCount(), sleeps = headlessSleepCount();
    EXPECT_TRUE(faultSet("Unlock", 1, 1, DDERR_GENERIC));
    EXPECT_EQ(gameMain(), 0);
    EXPECT_EQ(errorText(),
              "lockBackBuffer:  unlocking error\ngameMain:  error unlocking back buffer\n");
    EXPECT_EQ(headlessPresentCount(), presents);
    EXPECT_EQ(headlessSleepCount(), sleeps + 1) << "the early end still sleeps";
    EXPECT_NE(memcmp(before, stars, sizeof(stars)), 0);
}

TEST_F(World, ShutDownReleasesEverythingAndWritesNothing)
{
    startGame();
    IDirectDrawSurface7* shared = overlayGraphic.frames[0];
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(gameShutDown(), 1);
    EXPECT_EQ(errorText(), "");
    EXPECT_EQ(liveObjectCount(), 0);
    for (int i = 0; i < numMasterGraphics; i++)
        for (int f = 0; f < MAX_FRAMES; f++)
            EXPECT_EQ(masterGraphics[i].frames[f], nullptr);
    EXPECT_EQ(overlayGraphic.frames[0], shared) << "clones are never destroyed";
    EXPECT_EQ(discharges[0], nullptr);
    EXPECT_EQ(freeMemory(), 1) << "a second release finds nothing to free";
}

TEST_F(World, AWholeRunShowsTheStarfieldAndTheOverlayInThePalettesColours)
{
    writeTestContent();
    shotTurn = 30;
    closeAtTurn = 30;
    EXPECT_EQ(runWinMain(), 0);
    EXPECT_EQ(errorText(), "");
    EXPECT_EQ(liveObjectCount(), 0) << "shut down after the loop";
    ASSERT_EQ(shot.size(), 800u * 600u * 3u);
    // Test palette: index i shows as (i, 255 - i, i / 2).
    auto colourAt = [](int x, int y) {
        const unsigned char* p = &shot[(y * 800 + x) * 3];
        for (int i = 0; i < 256; i++)
            if (p[0] == i && p[1] == 255 - i && p[2] == i / 2)
                return i;
        return -1;
    };
    int far = 0, near = 0;
    for (int y = 8; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            int c = colourAt(x, y);
            far += c == 172;
            near += c == 255;
        }
    EXPECT_GT(far, 30);
    EXPECT_GT(near, 60);
    EXPECT_LE(far + near, 150);
    // The overlay covers (650, 0)-(657, 7) with one of its four cells.
    int cell = colourAt(653, 4);
    EXPECT_GE(cell, cellSheetColour(0, 1));
    EXPECT_LE(cell, cellSheetColour(3, 1));
    for (int y = 0; y < 8; y++)
        for (int x = 650; x < 658; x++)
            EXPECT_EQ(colourAt(x, y), cell) << x << "," << y;
}

TEST_F(World, WithoutASixthGraphicTheOverlayIsAnEmptyInvisibleRecord)
{
    writeTestContent();
    std::string list = readFile("Graphics/MasterGraphics.txt");
    writeFile("Graphics/MasterGraphics.txt", "5" + list.substr(1));
    ASSERT_TRUE(openGameWindow());
    ASSERT_EQ(gameInit(), 1);
    EXPECT_EQ(overlayGraphic.visible, 0);
    EXPECT_EQ(overlayGraphic.frames[0], nullptr);
    EXPECT_EQ(gameMain(), 1);
    EXPECT_EQ(gameMain(), 1);
    EXPECT_EQ(errorText(), "") << "nothing tries to draw it";
}

TEST_F(World, RemovalFromTheMiddleMovesTheLastLiveRecordIntoTheGap)
{
    startGame();
    Enemy* before[MAX_ENEMIES];
    for (int i = 0; i < 4; i++) {
        int position[2] = {100 * i, 50};
        deployEnemy(0, position);
    }
    ASSERT_EQ(numActiveEnemies, 4);
    memcpy(before, enemies, sizeof(before));
    enemies[1]->state = DEAD;
    removeDeadObjects();
    EXPECT_EQ(numActiveEnemies, 3);
    EXPECT_EQ(enemies[0], before[0]);
    EXPECT_EQ(enemies[1], before[3]) << "the last live enemy fills the gap";
    EXPECT_EQ(enemies[2], before[2]);
    EXPECT_EQ(enemies[3], before[1]) << "the removed record waits just past the live ones";
    EXPECT_EQ(enemies[3]->graphic.x, 100);
    for (int i = 4; i < MAX_ENEMIES; i++)
        EXPECT_EQ(enemies[i], before[i]);

    // The next addition reuses it.
    int position[2] = {700, 20};
    deployEnemy(0, position);
    EXPECT_EQ(enemies[3], before[1]);
    EXPECT_EQ(before[1]->graphic.x, 700);
    EXPECT_EQ(before[1]->state, masterEnemies[0].state);
}

} // namespace
