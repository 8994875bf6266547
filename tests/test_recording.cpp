// Recording a game and playing the recording again: what the file holds, what the replay
// tool says of a recording that does or does not match, of files it must refuse, and of a
// game too long for the memory.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include <windows.h>
#include <dinput.h>

#include "platform/headless.h"
#include "record/session.h"
#include "tests/support/testsupport.h"

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
        {"more frames than the tool plays", "301 frames", "2147483647 frames", "",
         "edited.rec:1: the start tick is from 0 to 4294967295, the frames from 0 to 100000000",
         "exit 2"},
        {"frames that wrap", "301 frames", "4294967296 frames", "", "edited.rec:1: ", "exit 2"},
        {"a range that wraps", "50 99 d", "4294967296 4294967396 d", "",
         "edited.rec:3: '4294967296' is not a frame from 0 to 100000000", "exit 2"},
        {"a range of words", "50 99 d", "abc 100 d", "", "edited.rec:3: 'abc' is not a frame",
         "exit 2"},
        {"a range backwards", "50 99 d", "99 50 d", "", "edited.rec:3: the range ends before it",
         "exit 2"},
        {"no figures", "# figures: ", "# ", "",
         "nothing to compare: the recording holds no figures", "exit 4"},
        {"figures malformed", "# figures: {", "# figures: ", "", "nothing to compare", "exit 4"},
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

// Where STARLANE_RECORD points and what is read as a key script: the line on stderr or in
// the game's log, and the exit code: a name that cannot be recorded into is refused before
// anything is played.
TEST_F(RecordingTest, WhatCannotBeReadOrWrittenIsRefusedInOneLine)
{
    writeFile("keys.txt", "0 9 space\n30 30 escape\n");
    writeFile("old.rec", "an older recording\n");
    const char* refused = "recordingStart: recording refused over the log or the content";
    const char* unopened = "recordingStart: error opening the recording file";
    struct Case {
        const char* environment;
        const char* arguments;
        const char* says;
        const char* exit;
    } cases[] = {
        {"", "--keys /dev/zero", "key script /dev/zero: longer than 33554432 bytes", "exit 2"},
        {"", "--recording /dev/zero", "recording /dev/zero: longer than 33554432 bytes", "exit 2"},
        {"STARLANE_RECORD=old.rec", "", "recording of 31 frames written to old.rec", "exit 0"},
        {"STARLANE_RECORD=Error.txt", "", refused, "exit 2"},
        {"STARLANE_RECORD=./PALETTE.PAL", "", refused, "exit 2"},
        {"STARLANE_RECORD=Graphics/mine.rec", "", refused, "exit 2"},
        {"STARLANE_RECORD=../$(basename $PWD)/Enemies/MasterEnemies.txt", "", refused, "exit 2"},
        {"STARLANE_RECORD=missing/mine.rec", "", unopened, "exit 2"},
        {"mkdir adir && STARLANE_RECORD=adir", "", unopened, "exit 2"},
        {"mkfifo fifo && STARLANE_RECORD=fifo", "", unopened, "exit 2"},
        {"STARLANE_RECORD=$(printf %0251d 0)", "", "File name too long", "exit 2"},
        {"STARLANE_RECORD=$(printf %0251d 0)", "", unopened, "exit 2"},
    };
    for (const Case& c : cases) {
        std::string out = run(c.arguments[0] ? c.arguments : "--keys keys.txt", c.environment);
        out += errorText();
        EXPECT_NE(out.find(c.says), std::string::npos) << c.environment << c.arguments << out;
        EXPECT_NE(out.find(c.exit), std::string::npos) << c.environment << c.arguments << out;
    }
    // Written beside its name and renamed: nothing left beside it; the content is untouched.
    EXPECT_EQ(readFile("old.rec").substr(0, 32), "# Starlane recording: start tick");
    EXPECT_EQ(commandOutput("ls | grep -c '[.]part$'"), "0\n");
    EXPECT_EQ(commandOutput("diff -r -x Error.txt -x '*.rec' -x adir -x fifo -x keys.txt . " +
                            sourcePath("data") + " && echo same"),
              "same\n");
}

int turnsSeen;

// The keys change every 10th frame: space, d, space, d...; Escape in frame 900.
void alternate(int turn)
{
    turnsSeen = turn;
    headlessClearKeys();
    headlessSetKey(turn == 900 ? DIK_ESCAPE : (turn / 10) % 2 ? DIK_D : DIK_SPACE, 1);
}

TEST_F(RecordingTest, AGameLongerThanTheMemoryIsCutWhereItRanOut)
{
    setenv("STARLANE_RECORD", "cut.rec", 1);
    ASSERT_EQ(recordingStart("test", 1, 60), 1); // room for 60 ranges
    headlessSetTurnHook(alternate);
    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    ASSERT_EQ(recordingFinish("test", exitCode), 1);
    unsetenv("STARLANE_RECORD");

    Recording recording;
    std::string error;
    ASSERT_EQ(readRecording("cut.rec", &recording, &error), 1) << error;
    EXPECT_EQ(recording.startTick, 1000u);
    EXPECT_EQ(recording.frames, 600); // the keys are whole up to the cut
    ASSERT_EQ(recording.ranges.size(), 60u);
    EXPECT_EQ(recording.ranges[1].first, 10);
    EXPECT_EQ(recording.ranges[1].last, 19);
    EXPECT_NE(readFile("cut.rec").find("# cut at frame 600 of 901: "), std::string::npos);
    // The frames kept replay as they were played; without their figures there is nothing to
    // compare, as in a recording cut before they were kept.
    std::string out = run("--recording cut.rec");
    EXPECT_NE(out.find("cut at frame 600 of 901, where the recorder's memory ran out"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("the replay equals the recording (600 frames)"), std::string::npos) << out;
    EXPECT_NE(out.find("exit 0"), std::string::npos) << out;
    EXPECT_GT(statsMember(out, "enemies_deployed"), 0) << out; // the figures held something
    editFile("cut.rec", "# figures at the cut: {", "# ");
    EXPECT_NE(run("--recording cut.rec").find("nothing to compare"), std::string::npos);
}

} // namespace
