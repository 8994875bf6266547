// A game controller on the SDL backend, through SDL's virtual joystick under the dummy video
// driver: every control presses its key, unplugging lets go of them all, a fifth pad plays
// when one of the four frees its slot, and a game played with the pad alone is recorded and
// replays with the replay tool.
#include <gtest/gtest.h>

#include <SDL.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <windows.h>

#include "platform/backend.h"
#include "record/figures.h"
#include "record/recorder.h"
#include "record/session.h"

namespace {

void pollAll()
{
    while (backendPollEvent() != BACKEND_EVENT_NONE) {}
}

std::string keysHeld()
{
    const unsigned char* keys = backendKeyState();
    std::string held;
    for (int k = 0; k < 256; k++)
        if (keys[k] & 0x80)
            held += (held.empty() ? "" : " ") + std::to_string(k);
    return held;
}

class GamepadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        // The dummy driver gives no window the focus, and SDL ignores pads without it.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    }
    void SetUp() override
    {
        ASSERT_EQ(backendOpenWindow("Starlane", 800, 600), 1) << SDL_GetError();
    }
    void TearDown() override { backendCloseWindow(); }

    // Plugs in a pad; the backend opens it at the next poll.
    SDL_Joystick* plugIn()
    {
        int index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        pollAll();
        return SDL_JoystickOpen(index);
    }
    void unplug(SDL_Joystick* pad)
    {
        SDL_JoystickID id = SDL_JoystickInstanceID(pad);
        SDL_JoystickClose(pad);
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
        pollAll();
    }
};

TEST_F(GamepadTest, EveryControlPressesItsKeyAndUnpluggingLetsGo)
{
    SDL_Joystick* pad = plugIn();
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(keysHeld(), "");
    struct Control {
        const char* what;
        int button; // or -1 for the axis below
        int axis;
        int value;
        const char* keys; // DirectInput codes held
    } controls[] = {
        {"d-pad up", SDL_CONTROLLER_BUTTON_DPAD_UP, 0, 0, "17"},
        {"d-pad down", SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0, 0, "31"},
        {"d-pad left", SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0, 0, "30"},
        {"d-pad right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0, 0, "32"},
        {"south button", SDL_CONTROLLER_BUTTON_A, 0, 0, "57"},
        {"right shoulder", SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0, 0, "57"},
        {"back", SDL_CONTROLLER_BUTTON_BACK, 0, 0, "1"},
        {"start (a pause by habit)", SDL_CONTROLLER_BUTTON_START, 0, 0, ""},
        {"stick left", -1, SDL_CONTROLLER_AXIS_LEFTX, -20000, "30"},
        {"stick right", -1, SDL_CONTROLLER_AXIS_LEFTX, 32767, "32"},
        {"stick up", -1, SDL_CONTROLLER_AXIS_LEFTY, -32768, "17"},
        {"stick down", -1, SDL_CONTROLLER_AXIS_LEFTY, 20000, "31"},
        {"stick resting off centre", -1, SDL_CONTROLLER_AXIS_LEFTX, 6000, ""},
        {"right stick", -1, SDL_CONTROLLER_AXIS_RIGHTX, 32767, ""},
    };
    for (const Control& c : controls) {
        if (c.button >= 0)
            SDL_JoystickSetVirtualButton(pad, c.button, 1);
        else
            SDL_JoystickSetVirtualAxis(pad, c.axis, (Sint16)c.value);
        pollAll();
        EXPECT_EQ(keysHeld(), c.keys) << c.what;
        if (c.button >= 0)
            SDL_JoystickSetVirtualButton(pad, c.button, 0);
        else
            SDL_JoystickSetVirtualAxis(pad, c.axis, 0);
        pollAll();
        EXPECT_EQ(keysHeld(), "") << c.what << " let go";
    }

    // Steering, firing and Back held together, then the pad is pulled out.
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_BACK, 1);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 30000);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -30000);
    pollAll();
    EXPECT_EQ(keysHeld(), "1 30 31 57");
    unplug(pad);
    EXPECT_EQ(keysHeld(), "");

    // Plugged in again, it plays again.
    pad = plugIn();
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    pollAll();
    EXPECT_EQ(keysHeld(), "30");
    unplug(pad);
}

TEST_F(GamepadTest, AFifthPadTakesTheSlotThatFrees)
{
    SDL_Joystick* pads[5];
    for (SDL_Joystick*& pad : pads) {
        pad = plugIn();
        ASSERT_NE(pad, nullptr);
    }
    SDL_JoystickSetVirtualButton(pads[4], SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    pollAll();
    EXPECT_EQ(keysHeld(), "") << "four pads play at once";
    unplug(pads[0]);
    EXPECT_EQ(keysHeld(), "30") << "the fifth plays once the first is pulled out";
    for (int i = 1; i < 5; i++)
        unplug(pads[i]);
    EXPECT_EQ(keysHeld(), "");
}

SDL_Joystick* gamePad;

// Frame by frame, after frame `frame`: right from frame 10, fire from 20 to 69, Back in 90.
void steer(int frame)
{
    figuresObserveFrame(frame); // the recording's figures, as recordingStart would
    int next = frame + 1;
    SDL_JoystickSetVirtualButton(gamePad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
                                 next >= 10 && next < 40);
    SDL_JoystickSetVirtualButton(gamePad, SDL_CONTROLLER_BUTTON_A, next >= 20 && next < 70);
    SDL_JoystickSetVirtualButton(gamePad, SDL_CONTROLLER_BUTTON_BACK, next == 90);
}

TEST_F(GamepadTest, AGamePlayedWithThePadIsRecordedAndReplays)
{
    // The whole game on the shipped content, in a scratch folder: its window is opened by WinMain.
    backendCloseWindow();
    char dir[] = "/tmp/starlane-pad-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string copy = std::string("cp -r '") + STARLANE_SOURCE_DIR + "/data/.' " + dir;
    ASSERT_EQ(system(copy.c_str()), 0);
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof(old)), nullptr);
    ASSERT_EQ(chdir(dir), 0);

    gamePad = plugIn();
    ASSERT_NE(gamePad, nullptr);
    setenv("STARLANE_RECORD", "pad.rec", 1);
    setenv("STARLANE_WINDOWED", "1", 1);
    ASSERT_EQ(recordingStart("gamepad test", 1), 1);
    recorderSetFrameHook(steer);
    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(recordingFinish("gamepad test", exitCode), 1);
    unsetenv("STARLANE_RECORD");

    Recording recording;
    std::string error;
    ASSERT_EQ(readRecording("pad.rec", &recording, &error), 1) << error;
    EXPECT_EQ(recording.frames, 91); // Back quits in frame 90
    std::string keys;
    for (const KeyRange& r : recording.ranges) {
        keys += std::to_string(r.first) + "-" + std::to_string(r.last);
        for (int k : r.keys)
            keys += " " + std::to_string(k);
        keys += ";";
    }
    EXPECT_EQ(keys, "10-19 32;20-39 32 57;40-69 57;90-90 1;");

    std::string replay =
        std::string(STARLANE_REPLAY) + " --data . --recording pad.rec > replay.txt 2>&1";
    int status = system(replay.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::string out;
    if (FILE* f = fopen("replay.txt", "r")) {
        char line[2048];
        while (fgets(line, sizeof(line), f))
            out += line;
        fclose(f);
    }
    EXPECT_NE(out.find("the replay equals the recording (91 frames)"), std::string::npos) << out;

    SDL_JoystickClose(gamePad);
    ASSERT_EQ(chdir(old), 0);
    std::string remove = std::string("rm -rf ") + dir;
    ASSERT_EQ(system(remove.c_str()), 0);
}

} // namespace
