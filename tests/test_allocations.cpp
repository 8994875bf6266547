// Play never allocates: every record is made at start-up. Checked over long scripted games
// of the replay tool on the real content, and in this process around frames that log their
// first failure (under AddressSanitizer, which owns malloc, allocations cannot be counted).
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include <windows.h>
#include <ddraw.h>

#include "game/game.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "shell/shell.h"
#include "programs/alloc_count.h"
#include "tests/support/testsupport.h"


namespace {

std::string runReplay(const std::string& arguments)
{
    std::string cmd = std::string(STARLANE_REPLAY) + " " + arguments;
    return commandOutput(cmd);
}

// Fire held throughout; the ship sweeps left and right, now and then up or down.
std::string sweepingScript(int frames)
{
    std::string script = "0 " + std::to_string(frames - 1) + " space\n";
    for (int i = 0, f = 0; f < frames; i++, f += 90) {
        int last = std::min(f + 89, frames - 1);
        script += std::to_string(f) + " " + std::to_string(last) + (i % 2 ? " d\n" : " a\n");
        if (i % 5 == 2 || i % 5 == 4)
            script += std::to_string(f) + " " + std::to_string(std::min(f + 20, last)) +
                      (i % 5 == 2 ? " w\n" : " s\n");
    }
    return script;
}

class Allocations : public GameTest {};

TEST_F(Allocations, NoneInLongScriptedGamesOnTheRealContent)
{
    copyTree(sourcePath("data"), dir);
    writeFile("keys.txt", sweepingScript(20000));
    long destroyed = 0, powerUps = 0;
    // A few games, so that between them power-ups certainly come and go.
    for (const char* tick : {"1000", "3000", "4000"}) {
        std::string json = runReplay(
            "--data . --frames 20000 --keys keys.txt --stats --start-tick " + std::string(tick));
        ASSERT_NE(json, "");
        EXPECT_EQ(statsMember(json, "frames"), 20000) << json;
        EXPECT_EQ(statsMember(json, "exit_code"), 0) << json;
        EXPECT_EQ(statsMember(json, "error_log_bytes"), 0) << json;
        EXPECT_GE(statsMember(json, "volleys_fired"), 100) << json;
        long allocations = statsMember(json, "allocations_after_start");
        if (allocations == -1)
            GTEST_SKIP() << "the replay cannot count allocations in this build";
        EXPECT_EQ(allocations, 0) << json;
        destroyed += statsMember(json, "enemies_destroyed");
        powerUps += statsMember(json, "powerups_created");
    }
    EXPECT_GE(destroyed, 10);
    EXPECT_GE(powerUps, 1);
}

TEST_F(Allocations, NoneWhenAFrameLogsTheFirstFailure)
{
    if (!ALLOCATIONS_COUNTED)
        GTEST_SKIP() << "allocations cannot be counted under AddressSanitizer";
    copyTree(sourcePath("data"), dir);
    ASSERT_EQ(openErrorLog("Error.txt"), 1);
    ASSERT_TRUE(openGameWindow());
    ASSERT_EQ(gameInit(), 1);
    ASSERT_EQ(errorText(), "");
    // Blits failing for a few frames from the 100th on: the log's first lines are written in play.
    EXPECT_TRUE(faultSet("Blt", 100, 40, DDERR_GENERIC));
    allocationCount = 0;
    for (int frame = 0; frame < 300; frame++) {
        countingAllocations = 1;
        gameMain();
        countingAllocations = 0;
    }
    EXPECT_EQ(allocationCount, 0);
    EXPECT_NE(errorText().find("clearBackBuffer: blit error\n"), std::string::npos);
    gameShutDown();
}

} // namespace
