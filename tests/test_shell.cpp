// The application shell: the error log, the frame syncer, and WinMain's start-up failures.
#include <sys/stat.h>

#include "platform/headless.h"
#include "platform/standin_hooks.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "shell/framesync.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"

namespace {

class ErrorLogTest : public GameTest {};
class FrameSyncTest : public GameTest {};
class WinMainTest : public GameTest {};

int runWinMain()
{
    return WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
}

TEST_F(ErrorLogTest, LinesAreWrittenVerbatimAndFlushedOneByOne)
{
    ASSERT_EQ(openErrorLog("Error.txt"), 1);
    EXPECT_EQ(errorText(), ""); // truncated at start: a clean run leaves it empty

    EXPECT_EQ(writeError("first: failed\n"), 1);
    EXPECT_EQ(errorText(), "first: failed\n"); // readable before the next line is written
    EXPECT_EQ(writeError("second:  no newline"), 1);
    EXPECT_EQ(writeError("third: x\n"), 1);
    // Nothing is added: a message without a newline runs into the next one.
    EXPECT_EQ(errorText(), "first: failed\nsecond:  no newlinethird: x\n");
    // A stray format directive is written as text, never interpreted.
    EXPECT_EQ(writeError("odd: 100%s done\n"), 1);
    EXPECT_EQ(errorText(), "first: failed\nsecond:  no newlinethird: x\nodd: 100%s done\n");
}

TEST_F(ErrorLogTest, ReopeningTruncatesAndCloseEndsTheStream)
{
    ASSERT_EQ(openErrorLog("Error.txt"), 1);
    writeError("old: line\n");
    ASSERT_EQ(openErrorLog("Error.txt"), 1);
    EXPECT_EQ(errorText(), "");
    writeError("new: line\n");
    EXPECT_EQ(errorText(), "new: line\n");
    EXPECT_EQ(closeErrorLog(), 1);
    EXPECT_EQ(errorLog, nullptr);
}

TEST_F(ErrorLogTest, UnopenableLogIsCreatedByTheFirstWriteThatCan)
{
    mkdir("ro", 0755);
    // A name in a folder that does not exist cannot be opened.
    EXPECT_EQ(openErrorLog("missing/Error.txt"), 0);
    EXPECT_EQ(errorLog, nullptr);
    // writeError falls back to "Error.txt" in the working directory.
    EXPECT_EQ(writeError("late: first line\n"), 1);
    EXPECT_EQ(errorText(), "late: first line\n");

    // While even that cannot be opened, messages are dropped and 0 is returned.
    closeErrorLog();
    unlink("Error.txt");
    mkdir("Error.txt", 0755); // a folder in the way
    EXPECT_EQ(writeError("lost: line\n"), 0);
    EXPECT_EQ(errorLog, nullptr);
    rmdir("Error.txt");
}

TEST_F(ErrorLogTest, ALastingFailureStopsAtTheLimitWithOneClosingLine)
{
    const std::string closing = "writeError: error log full, later messages dropped\n";
    const std::string line = "gameMain: error locking back buffer\n";
    ASSERT_EQ(openErrorLog("Error.txt"), 1);
    size_t kept = 0;
    while (writeError(line.c_str()) == 1)
        kept += line.size();
    // Every line that fitted beside the closing one is there, whole, and nothing after it.
    std::string log = errorText();
    EXPECT_EQ(log.size(), kept + closing.size());
    EXPECT_LE(log.size(), (size_t)ERROR_LOG_LIMIT);
    EXPECT_GT(kept + line.size() + closing.size(), (size_t)ERROR_LOG_LIMIT);
    EXPECT_EQ(log.substr(kept), closing);
    EXPECT_EQ(log.substr(kept - line.size(), line.size()), line);
    EXPECT_EQ(writeError("late: x\n"), 0);
    EXPECT_EQ(errorText(), log) << "the closing line is written once";

    // A new log starts from nothing again.
    ASSERT_EQ(openErrorLog("Error.txt"), 1);
    EXPECT_EQ(writeError(line.c_str()), 1);
    EXPECT_EQ(errorText(), line);
}

TEST_F(FrameSyncTest, BudgetIsTruncatedMilliseconds)
{
    initFrameSyncer(60);
    EXPECT_EQ(frameDuration, 16);
    initFrameSyncer(1000);
    EXPECT_EQ(frameDuration, 1);
    initFrameSyncer(1500);
    EXPECT_EQ(frameDuration, 0);
    startFrame();
    headlessAdvance(0);
    syncFrame();
    EXPECT_EQ(headlessSleepCount(), 0); // a zero budget never waits
}

TEST_F(FrameSyncTest, SleepsWhatIsLeftAndNeverCatchesUp)
{
    initFrameSyncer(60);
    headlessSetTicks(5000);
    startFrame();
    EXPECT_EQ(frameStart, 5000u);
    headlessAdvance(5);
    syncFrame();
    EXPECT_EQ(headlessSleepCount(), 1);
    EXPECT_EQ(headlessLastSleep(), 11u);
    EXPECT_EQ(GetTickCount(), 5016u);

    // A 20 ms frame does not sleep, and the next frame gets its whole budget.
    startFrame();
    headlessAdvance(20);
    syncFrame();
    EXPECT_EQ(headlessSleepCount(), 1);
    startFrame();
    syncFrame();
    EXPECT_EQ(headlessSleepCount(), 2);
    EXPECT_EQ(headlessLastSleep(), 16u);

    // Exactly the budget: no sleep.
    startFrame();
    headlessAdvance(16);
    syncFrame();
    EXPECT_EQ(headlessSleepCount(), 2);
}

TEST_F(FrameSyncTest, AClockThatWentBackNeverSleepsPastTheBudget)
{
    initFrameSyncer(60);
    headlessSetTicks(3600000);
    startFrame();
    headlessSetTicks(1000); // an hour back
    syncFrame();
    EXPECT_EQ(headlessLastSleep(), 16u);
}

TEST_F(FrameSyncTest, TickWrapBetweenStartAndSync)
{
    initFrameSyncer(60);
    headlessSetTicks(0xFFFFFFFDu);
    startFrame();
    headlessAdvance(7); // wraps to 4
    EXPECT_EQ(GetTickCount(), 4u);
    syncFrame();
    EXPECT_EQ(headlessLastSleep(), 9u);
}

TEST_F(WinMainTest, FailedClassRegistrationEndsBeforeAnyWindow)
{
    EXPECT_TRUE(faultSet("RegisterClassExA", 1, 1, 1));
    EXPECT_EQ(runWinMain(), 1);
    EXPECT_EQ(errorText(), "WinMain: error registering windows class\n");
    EXPECT_EQ(faultCallCount("CreateWindowExA"), 0);
    EXPECT_EQ(win32WindowCount(), 0);
    // gameInit never ran: it would have read the clock to seed the generator.
    EXPECT_EQ(faultCallCount("GetTickCount"), 0);
    EXPECT_EQ(mainInstance, GetModuleHandleA(NULL));
}

TEST_F(WinMainTest, FailedWindowCreation)
{
    EXPECT_TRUE(faultSet("CreateWindowExA", 1, 1, 1));
    EXPECT_EQ(runWinMain(), 1);
    EXPECT_EQ(errorText(), "WinMain: error creating window\n");
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(faultCallCount("GetTickCount"), 0);
}

TEST_F(WinMainTest, WindowProcedureHandlesDestroyAndPaint)
{
    recordEnable(1);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.lpszClassName = "Generic Windows Class";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND hwnd = CreateWindowExA(0, "Generic Windows Class", "Generic Window", WS_POPUP | WS_VISIBLE,
                                0, 0, 640, 480, NULL, NULL, NULL, NULL);
    ASSERT_NE(hwnd, nullptr);

    MSG msg;
    // A visible window asks to be painted once; painting validates it.
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));

    // Closing the window destroys it, which raises quitFlag and posts WM_QUIT with 0.
    headlessRequestClose();
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_CLOSE);
    EXPECT_EQ(quitFlag, 0);
    DispatchMessageA(&msg);
    EXPECT_EQ(quitFlag, 1);
    EXPECT_EQ(win32WindowCount(), 0);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
}

} // namespace
