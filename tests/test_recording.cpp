// Recording a game and playing the recording again: what the file holds, what the replay
// tool says of a recording that does or does not match, and a game too long for the memory.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include <windows.h>
#include <dinput.h>

#include "headless.h"
#include "recording.h"
#include "testsupport.h"

namespace {

class RecordingTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        copyTree(sourcePath("data"), ".");
    }
    void TearDown() override
    {
        unsetenv("STARLANE_RECORD");
        GameTest::TearDown();
    }
};

// Its output and exit code: "... exit N".
std::string run(const std::string& arguments, const std::string& environment = "")
{
    return commandOutput(environment + " " + STARLANE_REPLAY + " --data . " + arguments +
                         " 2>&1; echo exit $?");
}

TEST_F(RecordingTest, ARecordedGameReplaysExactlyAndADifferentOneIsNamed)
{
    // Overlapping ranges come back as the keys held frame by frame; Escape ends the game.
    writeFile("keys.txt", "0 99 space\n50 149 d\n120 130 200\n300 300 escape\n");
    std::string made = run("--keys keys.txt --start-tick 777 --stats", "STARLANE_RECORD=game.rec");
    EXPECT_NE(made.find("exit 0"), std::string::npos) << made;
    EXPECT_LE(statsMember(made, "allocations_after_start"), 0) << "recording allocated in play";
    std::string recording = readFile("game.rec");
    EXPECT_EQ(recording.substr(0, recording.find("# figures: ")),
              "# Starlane recording: start tick 777, 301 frames\n"
              "0 49 space\n50 99 d space\n100 119 d\n120 130 d 200\n131 149 d\n300 300 escape\n");
    EXPECT_NE(
        recording.find("# figures: {\"frames\": 301, \"exit_code\": 0, \"error_log_bytes\": 0, "
                       "\"enemies_deployed\": "),
        std::string::npos)
        << recording;

    struct Case {
        const char* what;
        const char* from;
        const char* to;
        const char* arguments;
        const char* says;
        const char* exit;
    } cases[] = {
        {"as recorded", "", "", "", "the replay equals the recording (301 frames)", "exit 0"},
        {"a figure altered", "\"enemies_deployed\": ", "\"enemies_deployed\": 9", "",
         "differs from the recording, enemies_deployed: recorded 9", "exit 3"},
        {"fire never pressed", "0 49 space\n", "", "", "volleys_fired: recorded", "exit 3"},
        {"no first line", "# Starlane recording", "# Recording", "",
         "the first line does not give the start tick and frame count", "exit 2"},
        {"frames asked for as well", "", "", "--frames 10", "--recording brings its own", "exit 2"},
    };
    for (const Case& c : cases) {
        std::string text = recording;
        if (c.from[0] != '\0')
            text.replace(text.find(c.from), strlen(c.from), c.to);
        writeFile("edited.rec", text);
        std::string out = run(std::string("--recording edited.rec ") + c.arguments);
        EXPECT_NE(out.find(c.says), std::string::npos) << c.what << ": " << out;
        EXPECT_NE(out.find(c.exit), std::string::npos) << c.what << ": " << out;
    }
}

int turnsSeen;

// The keys change every 10th frame: space, d, space, d...; Escape in frame 60.
void alternate(int turn)
{
    turnsSeen = turn;
    headlessClearKeys();
    headlessSetKey(turn == 60 ? DIK_ESCAPE : (turn / 10) % 2 ? DIK_D : DIK_SPACE, 1);
}

TEST_F(RecordingTest, AGameLongerThanTheMemoryIsCutWhereItRanOut)
{
    setenv("STARLANE_RECORD", "cut.rec", 1);
    ASSERT_EQ(recordingStart("test", 1, 2), 1); // room for two ranges
    headlessSetTurnHook(alternate);
    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    ASSERT_EQ(recordingFinish("test", exitCode), 1);

    Recording recording;
    std::string error;
    ASSERT_EQ(readRecording("cut.rec", &recording, &error), 1) << error;
    EXPECT_EQ(recording.startTick, 1000u);
    EXPECT_EQ(recording.frames, 20); // the keys are whole up to the cut
    ASSERT_EQ(recording.ranges.size(), 2u);
    EXPECT_EQ(recording.ranges[1].first, 10);
    EXPECT_EQ(recording.ranges[1].last, 19);
    EXPECT_NE(readFile("cut.rec").find("# cut at frame 20 of 61: "), std::string::npos);
    // The figures are the whole game's, so the replay of the part kept says where it differs.
    std::string out = run("--recording cut.rec");
    EXPECT_NE(out.find("frames: recorded 61, replayed 20"), std::string::npos) << out;
    EXPECT_NE(out.find("exit 3"), std::string::npos) << out;
}

} // namespace
