// Whole games run by the replay tool on small content, read back through its game figures.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

// A still graphic of one 8 x 8 cell with box (0, 0, 7, 7), animated, animations 0..2 one step.
const char* animatedStill = "Graphics/Sheet.bmp\n8 8 8 0\n0 0 7 7\n4\n0\n"
                            "f 0 0 0 1\nf 1 1 0 1\nf 2 2 0 1\nf 3 3 0 1\nf 4 0 1 1\n"
                            "a 0 0 0 1\n0\na 1 0 0 1\n1\na 2 0 0 1\n2\ne\n";

std::string runReplay(int frames, const std::string& keys)
{
    writeFile("keys.txt", keys);
    std::string cmd = std::string(STARLANE_REPLAY) + " --data . --frames " +
                      std::to_string(frames) + " --keys keys.txt --stats";
    return commandOutput(cmd);
}

class PlayReplayTest : public GameTest {};

TEST_F(PlayReplayTest, HeldFireAgainstAStandingTarget)
{
    // One enemy parked in the line of the left cannon: wander state, speeds 0, routine 1,
    // no shots of its own; it takes ten hits of 10.
    writeTestContent(1, "o 0 0 360 300\ne\n");
    writeFile("Graphics/Still0.txt", animatedStill);
    writeFile("Graphics/Still1.txt", animatedStill);
    writeFile("Graphics/Still3.txt", animatedStill);
    writeFile("Enemies/Still.txt", "3\n7\n0 0\n1\n0\n0\n0\n2\n1");

    std::string json = runReplay(120, "0 119 space\n");
    ASSERT_NE(json, "");
    EXPECT_EQ(statsMember(json, "exit_code"), 0);
    EXPECT_EQ(statsMember(json, "error_log_bytes"), 0);
    EXPECT_LE(statsMember(json, "allocations_after_start"), 0); // -1 where it cannot count
    EXPECT_EQ(statsMember(json, "enemies_deployed"), 1);
    EXPECT_EQ(statsMember(json, "enemies_destroyed"), 1);
    EXPECT_EQ(statsMember(json, "peak_enemies"), 1);
    // open in frame 0, armed from frame 1, a volley in frames 5, 10, .. 115
    EXPECT_EQ(statsMember(json, "volleys_fired"), 23);
    long peak = statsMember(json, "peak_discharges");
    EXPECT_GE(peak, 20);
    EXPECT_LE(peak, 30);
    long created = statsMember(json, "powerups_created");
    EXPECT_TRUE(created == 0 || created == 1);
    EXPECT_EQ(statsMember(json, "peak_powerups"), created);
    EXPECT_EQ(statsMember(json, "powerups_collected"), 0);
    EXPECT_EQ(statsMember(json, "player_health"), 100);
    EXPECT_EQ(statsMember(json, "player_state"), 1);
}

TEST_F(PlayReplayTest, RammingEnemiesKillTheShip)
{
    // Two enemies without a routine placed on the ship: 20 health a frame.
    writeTestContent(1, "o 0 0 352 502\no 0 0 354 504\ne\n");
    writeFile("Graphics/Still0.txt", animatedStill);
    std::string json = runReplay(30, "");
    ASSERT_NE(json, "");
    EXPECT_EQ(statsMember(json, "enemies_deployed"), 2);
    EXPECT_EQ(statsMember(json, "enemies_destroyed"), 0);
    EXPECT_EQ(statsMember(json, "volleys_fired"), 0);
    EXPECT_EQ(statsMember(json, "player_state"), 3); // DEAD
    EXPECT_LT(statsMember(json, "player_health"), -100);
}

// Alt-tab in the middle of play: every surface lost just before frame F, and a restored one
// comes back holding garbage. From frame F on the pictures are those of the same game
// without the loss, pixel for pixel.
TEST_F(PlayReplayTest, AfterALostDisplayThePicturesAreThoseOfTheGameWithoutTheLoss)
{
    copyTree(sourcePath("data"), dir);
    const int frames = 240;
    auto checksums = [&](const std::string& extra) {
        std::string out = commandOutput(std::string(STARLANE_REPLAY) + " --data . --frames " +
                                        std::to_string(frames) + " --checksums 1 --keys " +
                                        sourcePath("tests/golden/keys.txt") + extra);
        std::vector<std::string> lines;
        size_t at = 0;
        while ((at = out.find("checksum ", at)) != std::string::npos) {
            size_t end = out.find('\n', at);
            lines.push_back(out.substr(at, end - at));
            at = end;
        }
        return lines;
    };
    std::vector<std::string> plain = checksums("");
    ASSERT_EQ(plain.size(), (size_t)frames);
    for (int loseAt : {1, 100, frames - 1}) {
        std::vector<std::string> lost = checksums(" --lose " + std::to_string(loseAt));
        ASSERT_EQ(lost.size(), plain.size());
        for (int frame = loseAt; frame < frames; frame++)
            ASSERT_EQ(lost[frame], plain[frame]) << "lost before frame " << loseAt;
        EXPECT_EQ(errorText(), "") << "lost before frame " << loseAt;
    }
}

} // namespace
