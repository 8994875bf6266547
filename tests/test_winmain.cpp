// WinMain driving the whole game on the shipped content: how the loop ends, and what runs
// after a failed start-up.
#include <unistd.h>

#include "platform/headless.h"
#include "platform/standin_hooks.h"
#include "platform/instrumentation.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"

namespace {

class WinMainGameTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        copyTree(sourcePath("data"), dir);
        turns = 0;
        closeAt = -1;
        escapeAt = -1;
        loseAt = -1;
        presentsAfterLoss = 0;
    }

    static int run()
    {
        headlessSetTurnHook(onTurn);
        return WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    }

    // Turn t of the loop begins frame t; a bound keeps a broken loop from running for ever.
    static void onTurn(int turn)
    {
        turns = turn + 1;
        if (turn == closeAt)
            headlessRequestClose();
        headlessSetKey(1, turn == escapeAt); // Escape
        if (turn == loseAt)
            ddrawLoseSurfaces();
        if (turn == loseAt + 1)
            presentsAfterLoss = headlessPresentCount();
        if (turn > 2000)
            headlessRequestClose();
    }

    static int turns;
    static int closeAt;
    static int escapeAt;
    static int loseAt;
    static int presentsAfterLoss;
};

int WinMainGameTest::turns;
int WinMainGameTest::closeAt;
int WinMainGameTest::escapeAt;
int WinMainGameTest::loseAt;
int WinMainGameTest::presentsAfterLoss;

TEST_F(WinMainGameTest, ClosingTheWindowEndsTheLoopAfterOneEmptyFrame)
{
    closeAt = 5;
    EXPECT_EQ(run(), 0);
    // Frames 0-4 ran and flipped; in turn 5 the close destroyed the window and that frame
    // returned at once; turn 6 took the quit message and ran no frame.
    EXPECT_EQ(turns, 7);
    EXPECT_EQ(faultCallCount("Flip"), 5);
    EXPECT_EQ(quitFlag, 1);
    // Shutdown ran (once: a second run would find nothing left to release).
    EXPECT_EQ(liveObjectCount(), 0);
    EXPECT_EQ(errorText(), "");
}

TEST_F(WinMainGameTest, EscapeFinishesItsFrameThenQuits)
{
    escapeAt = 3;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(turns, 5);
    EXPECT_EQ(faultCallCount("Flip"), 4); // the Escape frame still ran to its end
    EXPECT_EQ(quitFlag, 0);               // the window was never destroyed
    EXPECT_EQ(liveObjectCount(), 0);
    EXPECT_EQ(errorText(), "");
}

TEST_F(WinMainGameTest, EveryTurnRunsAFrameWithOrWithoutAMessage)
{
    closeAt = 40;
    headlessRequestExpose(); // one WM_PAINT arrives among the turns
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(faultCallCount("Flip"), 40);
    // Paced at 16 ms a frame on the virtual clock.
    EXPECT_EQ(headlessSleepCount(), 40);
}

TEST_F(WinMainGameTest, LostSurfacesComeBackInTheNextFrame)
{
    loseAt = 20;
    closeAt = 40;
    EXPECT_EQ(run(), 0);
    // The frame after the loss restores the screen and every sprite surface, and is shown.
    EXPECT_EQ(presentsAfterLoss, 21);
    EXPECT_EQ(headlessPresentCount(), 40);
    EXPECT_EQ(errorText(), "");
    EXPECT_EQ(liveObjectCount(), 0);
}

TEST_F(WinMainGameTest, FailedStartUpLeavesTheChainAndSkipsShutdown)
{
    unlink("palette.pal");
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(errorText(), "loadPalette: error opening file\n"
                           "ddInit: error loading palette\n"
                           "gameInit: error initializing DirectDraw\n"
                           "WinMain: gameInit() error\n");
    // No loop ran and nothing was released: DirectDraw, the primary surface and its back
    // buffer are still alive, as the process would leave them.
    EXPECT_EQ(turns, 0);
    EXPECT_GT(liveObjectCount(), 0);
}

TEST_F(WinMainGameTest, FailedDirectDrawCreation)
{
    EXPECT_TRUE(faultSet("DirectDrawCreateEx", 1, 1, E_FAIL));
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(errorText(), "ddInit: error creating main DirectDraw interface\n"
                           "gameInit: error initializing DirectDraw\n"
                           "WinMain: gameInit() error\n");
    EXPECT_EQ(turns, 0);
}

} // namespace
