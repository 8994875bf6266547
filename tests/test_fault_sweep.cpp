// Every platform call the game makes, made to fail once and for good, through WinMain on a
// copy of the real content: the game must neither crash nor hang, start-up failures end with
// exit code 1 and their chain of lines, a failing frame leaves its lines and the next frames
// still run, the log stays bounded, and whatever shutdown runs releases every object.
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <ddraw.h>
#include <dinput.h>

#include "game/records.h"
#include "game/world.h"
#include "platform/headless.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "tests/support/testsupport.h"

namespace {

const long FAIL = (long)0x80004005; // E_FAIL: nothing the game treats specially
const long CLOCK_JUMP = 3600000;    // a clock reading an hour out

const int FAULT_TURN = 20; // mid-game faults start in this turn's frame
const int SHORT_RUN = 60;  // frames of a run with one failure
const int LONG_RUN = 1500; // frames of a run with a lasting failure: long enough to fill the log
const unsigned WATCHDOG_SECONDS = 60; // a frame that never returns

// The window is closed at closeTurn; Escape is held from five turns later if that did not end
// the game; a game still running sixty turns after the close is stopped and the case fails.
int closeTurn = SHORT_RUN;

// Per run, seen from the turn hook.
struct Observed {
    int turns;
    int forcedQuit;
    int xAtFault, xAtClose;
    int presentsAtFault, presentsAtClose;
    DWORD sleptAtClose;
};

Observed seen;
const char* midGameCall = NULL; // armed from FAULT_TURN on when set
int midGameCount = 0;
long midGameCode = 0;

// A run stuck inside a frame never reaches the turn hook: the alarm ends the test binary.
void watchdog(int)
{
    const char text[] = "fault sweep: a run did not finish\n";
    ssize_t written = write(2, text, sizeof(text) - 1);
    _exit(written >= 0 ? 3 : 4);
}

void sweepTurn(int turn)
{
    seen.turns = turn + 1;
    if (turn == FAULT_TURN) {
        if (midGameCall != NULL) {
            EXPECT_TRUE(faultSet(midGameCall, 1, midGameCount, midGameCode));
        }
        seen.xAtFault = player.graphic.x;
        seen.presentsAtFault = headlessPresentCount();
    }
    if (turn == closeTurn) {
        seen.xAtClose = player.graphic.x;
        seen.presentsAtClose = headlessPresentCount();
        seen.sleptAtClose = headlessSleptTotal();
        headlessRequestClose();
    }
    // The ship flies right until the close, so frames that ran show in its position.
    headlessSetKey(DIK_D, turn < closeTurn);
    headlessSetKey(DIK_ESCAPE, turn >= closeTurn + 5);
    if (turn == closeTurn + 60) {
        // Nothing made the game quit: lift every fault and post the quit message by hand.
        seen.forcedQuit = 1;
        faultClearAll();
        PostQuitMessage(0);
    }
}

class FaultSweep : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        copyTree(sourcePath("data"), ".");
        signal(SIGALRM, watchdog);
    }
    void TearDown() override
    {
        alarm(0);
        GameTest::TearDown();
    }

    // One whole run: `call` fails from its `nth` call (counted from the start) `count` times,
    // or, with `midGame`, from its first call in turn FAULT_TURN on.
    int run(const char* call, int nth, int count, long code, bool midGame)
    {
        resetWorld();
        memset(&seen, 0, sizeof(seen));
        closeTurn = count < 0 ? LONG_RUN : SHORT_RUN;
        midGameCall = midGame ? call : NULL;
        midGameCount = count;
        midGameCode = code;
        if (!midGame && call != NULL) {
            EXPECT_TRUE(faultSet(call, nth, count, code));
        }
        headlessSetTurnHook(sweepTurn);
        alarm(WATCHDOG_SECONDS);
        int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
        alarm(0);
        return exitCode;
    }
};

// The lines of a log, in order.
std::vector<std::string> linesOf(const std::string& log)
{
    std::vector<std::string> lines;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line + "\n");
    return lines;
}

const char* const LOG_CUT = "writeError: error log full, later messages dropped\n";

// ---- The calls of a run, and the chains they leave when they fail at start-up ----

// Start-up stops at the failing step: exit code 1, no frame, nothing released.
struct StartUpFailure {
    const char* call;
    int nth;
    const char* log;
};

#define DD(line) line GAME_INIT_DD
#define GAME_INIT_DD "gameInit: error initializing DirectDraw\nWinMain: gameInit() error\n"
#define CLIPPER(line) line "ddInit: error attaching clipper to back buffer\n" GAME_INIT_DD
#define KEYBOARD(line) line "gameInit: error initializing the keyboard\nWinMain: gameInit() error\n"
#define FRAME(line)                                                                                \
    line "loadGraphic: error loading frame\nloadMasterGraphics: error loading graphic\n"           \
         "gameInit: error loading master graphics\nWinMain: gameInit() error\n"
#define FRAME_COPY(line) FRAME(line "loadFrame:  error copying bitmap to the surface\n")

const StartUpFailure startUpFailures[] = {
    {"RegisterClassExA", 1, "WinMain: error registering windows class\n"},
    {"CreateWindowExA", 1, "WinMain: error creating window\n"},
    {"DirectDrawCreateEx", 1, DD("ddInit: error creating main DirectDraw interface\n")},
    {"SetCooperativeLevel", 1, DD("ddInit: error setting DirectDraw cooperation level\n")},
    {"SetDisplayMode", 1, DD("ddInit: error setting display mode\n")},
    {"CreateSurface", 1, DD("ddInit: error creating primary surface\n")},
    {"GetAttachedSurface", 1, DD("ddInit: error querying for back buffer\n")},
    {"CreatePalette", 1, DD("ddInit: error creating the DirectDraw Palette\n")},
    {"SetPalette", 1, DD("ddInit: error attaching palette to the primary surface\n")},
    {"CreateClipper", 1, CLIPPER("ddAttachClipper:  error creating DirectDraw clipper\n")},
    {"SetClipList", 1, CLIPPER("ddAttachClipper:  error setting clip list\n")},
    {"SetClipper", 1, CLIPPER("ddAttachClipper:  error attaching clipper to surface\n")},
    {"DirectInput8Create", 1,
     "diInit:  error creating main DirectInput interface\n"
     "gameInit: error initializing DirectInput\nWinMain: gameInit() error\n"},
    {"CreateDevice", 1, KEYBOARD("initKeyboard:  error creating the keyboard device\n")},
    // The second caller of the name: the keyboard's cooperative level.
    {"SetCooperativeLevel", 2,
     KEYBOARD("initKeyboard:  error setting keyboard cooperation level\n")},
    {"SetDataFormat", 1, KEYBOARD("initKeyboard:  error setting the keyboard data format\n")},
    {"Acquire", 1, KEYBOARD("initKeyboard:  error acquiring the keyboard\n")},
    // The first frame surface of the first graphic, and its pixel copy.
    {"CreateSurface", 2,
     FRAME("createDDSurface:  error creating surface\n"
           "loadFrame:  error creating new DirectDraw Surface\n")},
    {"Lock", 1, FRAME_COPY("copyBitmapToSurface:  error locking surface\n")},
    {"Unlock", 1, FRAME_COPY("copyBitmapToSurface:  error unlocking surface\n")},
};

// Calls whose failure the game does not look at (start-up, shutdown and closing the window):
// the run goes on as if nothing had happened.
const char* const ignoredFailures[] = {
    "GetStockObject", "LoadCursorA", "LoadIconA", "ShowCursor", "Unacquire", "DestroyWindow",
};

// Calls made in every frame, and the lines that one failure leaves.
struct FrameFailure {
    const char* call;
    long code;
    const char* once;  // the whole log after one failure
    const char* lines; // every line a lasting failure may leave
    int picture;       // frames are still shown while it lasts
    int keys;          // the ship still answers the keys while it lasts
    int everyFrame;    // while it lasts it writes in every frame, up to the log's limit
};

const FrameFailure frameFailures[] = {
    {"PeekMessageA", FAIL, "", "", 1, 1, 0},
    {"GetTickCount", CLOCK_JUMP, "", "", 1, 1, 0},
    {"Sleep", FAIL, "", "", 1, 1, 0},
    {"GetDeviceState", FAIL, "readKeyboard:  error getting keyboard state\n",
     "readKeyboard:  error getting keyboard state\n", 1, 0, 0},
    {"Blt", FAIL, "clearBackBuffer: blit error\n",
     "clearBackBuffer: blit error\ndrawSurfaceToBackBuffer:  blit error\n"
     "drawGraphic:  error drawing surface\n",
     1, 1, 1},
    {"Lock", FAIL, "lockBackBuffer:  locking error\ngameMain: error locking back buffer\n",
     "lockBackBuffer:  locking error\ngameMain: error locking back buffer\n", 0, 1, 1},
    // The buffer stays locked after a failed unlock: the next frame's clear fails too, and
    // its lock takes the buffer back.
    {"Unlock", FAIL,
     "lockBackBuffer:  unlocking error\ngameMain:  error unlocking back buffer\n"
     "clearBackBuffer: blit error\n",
     "lockBackBuffer:  unlocking error\ngameMain:  error unlocking back buffer\n"
     "clearBackBuffer: blit error\nlockBackBuffer:  locking error\n"
     "gameMain: error locking back buffer\n",
     0, 1, 1},
    {"Flip", FAIL, "", "", 0, 1, 0},
};

TEST_F(FaultSweep, EveryCallOfARunIsSwept)
{
    EXPECT_EQ(run(NULL, 0, 0, 0, false), 0);
    EXPECT_EQ(errorText(), "");
    EXPECT_EQ(seen.forcedQuit, 0);
    EXPECT_EQ(liveObjectCount(), 0);

    std::set<std::string> swept;
    for (const StartUpFailure& f : startUpFailures)
        swept.insert(f.call);
    for (const char* call : ignoredFailures)
        swept.insert(call);
    for (const FrameFailure& f : frameFailures)
        swept.insert(f.call);
    std::set<std::string> made;
    for (int i = 0; faultCallName(i) != NULL; i++)
        if (faultCallCount(faultCallName(i)) > 0)
            made.insert(faultCallName(i));
    EXPECT_EQ(made, swept) << "a platform call was added or dropped: sweep it";
}

TEST_F(FaultSweep, StartUpFailuresEndWithTheirChain)
{
    for (const StartUpFailure& f : startUpFailures) {
        for (int count : {1, -1}) {
            SCOPED_TRACE(std::string(f.call) + " call " + std::to_string(f.nth) +
                         (count == 1 ? " once" : " for good"));
            EXPECT_EQ(run(f.call, f.nth, count, FAIL, false), 1);
            EXPECT_EQ(errorText(), f.log);
            EXPECT_EQ(seen.turns, 0) << "no frame after a failed start";
        }
    }
}

TEST_F(FaultSweep, IgnoredFailuresLeaveAWholeCleanRun)
{
    for (const char* call : ignoredFailures) {
        for (int count : {1, -1}) {
            SCOPED_TRACE(std::string(call) + (count == 1 ? " once" : " for good"));
            EXPECT_EQ(run(call, 1, count, FAIL, false), 0);
            EXPECT_GT(faultCallCount(call), 0);
            EXPECT_EQ(errorText(), "");
            EXPECT_EQ(seen.forcedQuit, 0);
            EXPECT_GT(seen.xAtClose, seen.xAtFault);
            EXPECT_EQ(liveObjectCount(), 0);
        }
    }
}

TEST_F(FaultSweep, FrameFailuresLeaveTheirLinesAndTheGameGoesOn)
{
    for (const FrameFailure& f : frameFailures) {
        for (bool midGame : {false, true}) {
            for (int count : {1, -1}) {
                // A failure in the first call of Lock or Unlock is a start-up one (the frame
                // surfaces' copies), swept above.
                if (!midGame && (strcmp(f.call, "Lock") == 0 || strcmp(f.call, "Unlock") == 0))
                    continue;
                SCOPED_TRACE(std::string(f.call) + (midGame ? " mid-game" : " first call") +
                             (count == 1 ? " once" : " for good"));
                EXPECT_EQ(run(f.call, 1, count, f.code, midGame), 0);
                std::string log = errorText();
                // Lost messages can only come from the main loop, which nothing else ends.
                bool noMessages = strcmp(f.call, "PeekMessageA") == 0 && count < 0;
                EXPECT_EQ(seen.forcedQuit, noMessages ? 1 : 0);
                EXPECT_EQ(liveObjectCount(), 0) << "shutdown released everything";
                EXPECT_LE(seen.sleptAtClose, (DWORD)closeTurn * 16)
                    << "no frame slept past its budget";
                if (count == 1) {
                    EXPECT_EQ(log, f.once);
                    EXPECT_GT(seen.presentsAtClose, seen.presentsAtFault)
                        << "later frames are shown";
                    EXPECT_GT(seen.xAtClose, seen.xAtFault) << "later frames move the ship";
                    continue;
                }
                EXPECT_EQ(log.compare(0, strlen(f.once), f.once), 0) << log.substr(0, 200);
                std::vector<std::string> lines = linesOf(log);
                if (f.everyFrame) {
                    // Cut at the limit, with one line to say so.
                    EXPECT_LE(log.size(), (size_t)ERROR_LOG_LIMIT);
                    EXPECT_GT(log.size(), (size_t)ERROR_LOG_LIMIT - 200);
                    ASSERT_FALSE(lines.empty());
                    EXPECT_EQ(lines.back(), LOG_CUT);
                    lines.pop_back();
                }
                std::set<std::string> allowed;
                for (const std::string& line : linesOf(f.lines))
                    allowed.insert(line);
                for (const std::string& line : lines)
                    ASSERT_TRUE(allowed.count(line)) << line;
                EXPECT_EQ(seen.presentsAtClose > seen.presentsAtFault, f.picture == 1);
                EXPECT_EQ(seen.xAtClose > seen.xAtFault, f.keys == 1);
            }
        }
    }
}

} // namespace
