// The keyboard: DirectInput start-up, the per-frame snapshot, losing the device, release.
#include <limits.h>
#include <string.h>

#include <string>

#include <windows.h>
#include <dinput.h>

#include "platform/headless.h"
#include "platform/standin_hooks.h"
#include "input/input.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"

namespace {

class Input : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_TRUE(openGameWindow());
    }

    void up()
    {
        ASSERT_EQ(diInit(), 1);
        ASSERT_EQ(initKeyboard(), 1);
        ASSERT_EQ(errorText(), "");
    }
};

TEST_F(Input, KeyboardComesUpAsAskedAndAnswersHeldKeysWith0x80)
{
    for (int code = 0; code < 256; code++)
        ASSERT_EQ(keyDown(code), 0) << "no snapshot yet, code " << code;

    recordEnable(1);
    up();
    std::string calls;
    for (int i = 0; i < recordCount(); i++)
        calls += std::string(recordLine(i)) + "\n";
    EXPECT_EQ(calls, "DirectInput8Create version=0x800\n"
                     "CreateDevice keyboard\n"
                     "SetCooperativeLevel keyboard flags=0xa\n"
                     "SetDataFormat keyboard size=256\n"
                     "Acquire keyboard\n");

    headlessSetKey(DIK_A, 1);
    headlessSetKey(DIK_SPACE, 1);
    EXPECT_EQ(keyDown(DIK_A), 0) << "keys count from the next snapshot";
    ASSERT_EQ(readKeyboard(), 1);
    EXPECT_EQ(keyDown(0x1E), 0x80);
    EXPECT_EQ(keyDown(DIK_SPACE), 0x80);
    EXPECT_EQ(keyDown(DIK_D), 0);
    EXPECT_EQ(keyDown(DIK_ESCAPE), 0);
    headlessSetKey(DIK_A, 0);
    EXPECT_EQ(keyDown(DIK_A), 0x80) << "the snapshot holds for the whole frame";
    readKeyboard();
    EXPECT_EQ(keyDown(DIK_A), 0);
}

TEST_F(Input, CodesOutsideTheTableReadNothing)
{
    memset(keyState, 0x80, sizeof(keyState));
    EXPECT_EQ(keyDown(255), 0x80);
    EXPECT_EQ(keyDown(-1), 0);
    EXPECT_EQ(keyDown(256), 0);
    EXPECT_EQ(keyDown(100000), 0);
    EXPECT_EQ(keyDown(INT_MIN), 0);
    EXPECT_EQ(keyDown(INT_MAX), 0);
}

TEST_F(Input, EachFailingStepKeepsTheDeviceForRelease)
{
    EXPECT_EQ(initKeyboard(), 0) << "no DirectInput yet";
    EXPECT_TRUE(faultSet("DirectInput8Create", 1, 1, DIERR_OUTOFMEMORY));
    EXPECT_EQ(diInit(), 0);
    EXPECT_EQ(lpdi, nullptr);
    EXPECT_EQ(errorText(), "initKeyboard:  error creating the keyboard device\n"
                           "diInit:  error creating main DirectInput interface\n");

    struct Case {
        const char* call;
        const char* log;
    };
    const Case cases[] = {
        {"CreateDevice", "initKeyboard:  error creating the keyboard device\n"},
        {"SetCooperativeLevel", "initKeyboard:  error setting keyboard cooperation level\n"},
        {"SetDataFormat", "initKeyboard:  error setting the keyboard data format\n"},
        {"Acquire", "initKeyboard:  error acquiring the keyboard\n"},
    };
    for (const Case& c : cases) {
        resetWorld();
        ASSERT_TRUE(openGameWindow());
        openErrorLog("Error.txt");
        ASSERT_EQ(diInit(), 1);
        EXPECT_TRUE(faultSet(c.call, 1, 1, DIERR_GENERIC));
        EXPECT_EQ(initKeyboard(), 0) << c.call;
        EXPECT_EQ(errorText(), c.log) << c.call;
        EXPECT_EQ(lpdiKeyboard == NULL, strcmp(c.call, "CreateDevice") == 0) << c.call;

        recordEnable(1);
        EXPECT_EQ(releaseKeyboard(), 1);
        EXPECT_EQ(lpdiKeyboard, nullptr);
        if (strcmp(c.call, "CreateDevice") != 0) {
            EXPECT_STREQ(recordLine(0), "Unacquire keyboard") << c.call;
        }
        EXPECT_EQ(diShutDown(), 1);
        EXPECT_EQ(liveObjectCount(), 0) << c.call;
    }
}

TEST_F(Input, ReleasingTwiceOrWithoutADeviceDoesNothing)
{
    EXPECT_EQ(releaseKeyboard(), 1);
    EXPECT_EQ(diShutDown(), 1);
    up();
    EXPECT_EQ(liveObjectCount(), 2);
    EXPECT_EQ(releaseKeyboard(), 1);
    EXPECT_EQ(liveObjectCount(), 1);
    EXPECT_EQ(releaseKeyboard(), 1);
    EXPECT_EQ(diShutDown(), 1);
    EXPECT_EQ(diShutDown(), 1);
    EXPECT_EQ(liveObjectCount(), 0);
    EXPECT_EQ(lpdi, nullptr);
    EXPECT_EQ(errorText(), "");
}

TEST_F(Input, LostKeyboardIsAcquiredAgainWithoutALogLine)
{
    up();
    headlessSetKey(DIK_W, 1);
    dinputLoseKeyboard();
    EXPECT_EQ(readKeyboard(), 1);
    EXPECT_EQ(keyDown(DIK_W), 0x80);
    EXPECT_EQ(faultCallCount("Acquire"), 2);
    EXPECT_EQ(errorText(), "");
}

TEST_F(Input, BackInFrontTheKeyboardIsTakenAgainWithNoKeyHeld)
{
    // Going to the background changes nothing; coming back clears the snapshot (a key let go
    // in another program's window does not stay down) and acquires the device afresh.
    const struct {
        WPARAM active;
        int heldAfter;
        int acquires;
    } cases[] = {
        {FALSE, 0x80, 0},
        {TRUE, 0, 1},
    };
    for (const auto& c : cases) {
        resetWorld();
        ASSERT_TRUE(openGameWindow());
        up();
        headlessSetKey(DIK_D, 1);
        ASSERT_EQ(readKeyboard(), 1);
        headlessSetKey(DIK_D, 0);
        dinputLoseKeyboard();
        int acquires = faultCallCount("Acquire");
        EXPECT_EQ(windowProc(mainWindow, WM_ACTIVATEAPP, c.active, 0), 0);
        EXPECT_EQ(keyDown(DIK_D), c.heldAfter) << "active " << c.active;
        EXPECT_EQ(faultCallCount("Acquire") - acquires, c.acquires);
        BYTE state[256];
        EXPECT_EQ(lpdiKeyboard->GetDeviceState(256, state) == DI_OK, c.active != FALSE);
        EXPECT_EQ(errorText(), "");
    }
}

TEST_F(Input, UnreadableKeyboardIsReportedOncePerOutageAndHoldsNoKeys)
{
    up();
    headlessSetKey(DIK_SPACE, 1);
    readKeyboard();
    ASSERT_EQ(keyDown(DIK_SPACE), 0x80);

    // Another program keeps the keyboard: every frame fails, one line for the outage.
    dinputLoseKeyboard();
    EXPECT_TRUE(faultSet("Acquire", 1, -1, DIERR_OTHERAPPHASPRIO));
    for (int frame = 0; frame < 5; frame++)
        EXPECT_EQ(readKeyboard(), 0);
    EXPECT_EQ(keyDown(DIK_SPACE), 0) << "a key held when the keyboard went does not stay held";
    EXPECT_EQ(errorText(), "readKeyboard:  error getting keyboard state\n");

    faultClearAll();
    EXPECT_EQ(readKeyboard(), 1);
    EXPECT_EQ(keyDown(DIK_SPACE), 0x80);
    EXPECT_TRUE(faultSet("GetDeviceState", 1, 1, DIERR_GENERIC));
    EXPECT_EQ(readKeyboard(), 0);
    EXPECT_EQ(errorText(), "readKeyboard:  error getting keyboard state\n"
                           "readKeyboard:  error getting keyboard state\n");
}

TEST_F(Input, StandInDeviceReportsOnlyWhenAcquired)
{
    LPDIRECTINPUT8 di = NULL;
    EXPECT_EQ(DirectInput8Create(NULL, DIRECTINPUT_VERSION, IID_IDirectInput8A, (LPVOID*)&di, NULL),
              DIERR_INVALIDPARAM)
        << "an instance handle is required";
    EXPECT_EQ(DirectInput8Create(mainInstance, 0x0700, IID_IDirectInput8A, (LPVOID*)&di, NULL),
              DIERR_OLDDIRECTINPUTVERSION);
    ASSERT_EQ(DirectInput8Create(mainInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                 (LPVOID*)&di, NULL),
              DI_OK);
    LPDIRECTINPUTDEVICE8 keyboard = NULL;
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &keyboard, NULL), DI_OK);
    unsigned char state[256];
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM) << "no data format yet";
    ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(256, state), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->SetCooperativeLevel(mainWindow, DISCL_EXCLUSIVE | DISCL_BACKGROUND),
              DIERR_UNSUPPORTED);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(keyboard->GetDeviceState(128, state), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->GetDeviceState(256, state), DI_OK);
    dinputLoseKeyboard();
    EXPECT_EQ(keyboard->GetDeviceState(256, state), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->GetDeviceState(256, state), DIERR_INPUTLOST);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(256, state), DI_OK);
    EXPECT_EQ(keyboard->Release(), 0u);
    EXPECT_EQ(di->Release(), 0u);
    EXPECT_EQ(liveObjectCount(), 0);
}

} // namespace
