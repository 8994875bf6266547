// The content checker run on copies of the shipped content with faults put in: every problem
// at its file and line, the game's own log lines where the game writes them, exit 1.
#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

using CheckRun = CommandRun; // standard output; the summary goes to standard error

CheckRun runCheck(const std::string& args)
{
    return runCommand(std::string(STARLANE_CHECK) + " " + args + " 2>/dev/null");
}

// Replaces the first `from` in content/`file` with `to`.
void edit(const std::string& file, const std::string& from, const std::string& to)
{
    editFile("content/" + file, from, to);
}

// The cases put faults into a copy of the shipped content and know its lines.
class CheckTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        makeDirs("content");
        copyTree(shippedContentPath(), "content");
    }
};

TEST_F(CheckTest, ShippedContentIsCleanAndTheFolderIsLeftAlone)
{
    CheckRun run = runCheck("content");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, std::vector<std::string>());
    // The game's log goes to memory: nothing is written into the content folder.
    struct stat st;
    EXPECT_NE(stat("content/Error.txt", &st), 0);
}

TEST_F(CheckTest, AShortSequenceStopsTheGameWhereItReads)
{
    edit("Graphics/Dart.txt", "3 4 5 6 7 8 9\n", "3 4 5 6 7 8\n");
    CheckRun run = runCheck("content");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.lines,
        (std::vector<std::string>{
            // What the game writes, each line at the place it was reading: the missing seventh
            // number is looked for on the e line; the list was at Dart's name.
            "content/Graphics/Dart.txt:19: Error.txt: loadGraphic: error reading a frameSequence "
            "entry",
            "content/Graphics/MasterGraphics.txt:4: Error.txt: loadMasterGraphics: error loading "
            "graphic",
            "content/Graphics/MasterGraphics.txt:4: Error.txt: gameInit: error loading master "
            "graphics",
            "content/Graphics/MasterGraphics.txt:4: Error.txt: WinMain: gameInit() error",
        }));
}

TEST_F(CheckTest, EveryRefusedFileIsReportedNotOnlyTheFirst)
{
    edit("Graphics/Manta.txt", "f 4 4 0 1\n", "f 4 9 0 1\n");
    edit("Enemies/Wasp.txt", "3 1 ", "-3 1 ");
    edit("DeploymentOrders/DeploymentOrder1.dpo", "o 1 1 640 -40", "\no 1 1 640 -40");
    CheckRun run = runCheck("content");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.lines,
        (std::vector<std::string>{
            "content/Graphics/Manta.txt:11: Error.txt: loadGraphic: frame lies outside the bitmap",
            "content/Graphics/MasterGraphics.txt:8: Error.txt: loadMasterGraphics: error loading "
            "graphic",
            "content/Graphics/MasterGraphics.txt:8: Error.txt: gameInit: error loading master "
            "graphics",
            "content/Graphics/MasterGraphics.txt:8: Error.txt: WinMain: gameInit() error",
            // The game never gets past Manta; its loaders, each on its own, do.
            "content/Enemies/MasterEnemies.txt:3: loader: loadMasterEnemies: error loading enemy",
            "content/Enemies/Wasp.txt:3: loader: loadEnemy: negative speed read",
            "content/DeploymentOrders/DeploymentOrder1.dpo:10: loader: loadDeploymentOrders: "
            "unknown identifier read",
        }));
}

TEST_F(CheckTest, AMissingPaletteDoesNotHideTheGraphicsProblems)
{
    ASSERT_EQ(remove("content/palette.pal"), 0);
    edit("Graphics/Needle.txt", "Graphics/Needle.bmp", "Graphics/Needles.bmp");
    edit("Graphics/MasterGraphics.txt", "11 ", "12 ");
    CheckRun run = runCheck("content");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  "content/palette.pal:1: Error.txt: loadPalette: error opening file",
                  "content/palette.pal:1: Error.txt: ddInit: error loading palette",
                  "content/palette.pal:1: Error.txt: gameInit: error initializing DirectDraw",
                  "content/palette.pal:1: Error.txt: WinMain: gameInit() error",
                  // The list's loader stops at Needle; its name is the last the list holds.
                  "content/Graphics/MasterGraphics.txt:11: loader: loadMasterGraphics: error "
                  "loading graphic",
                  "content/Graphics/Needle.txt:1: loader: loadBitmapFile:  error opening file",
                  "content/Graphics/Needle.txt:1: loader: loadGraphic: error loading bitmap file",
                  // The palette has its source beside it: the builder can make it anew.
                  "content/palette.pal: missing (run mkcontent build)",
              }));
}

TEST_F(CheckTest, WhatTheGameToleratesIsReportedAsWarnings)
{
    edit("Graphics/Warden.txt", "2 2 46 42 ", "2 2 46 52 ");                // box below the frame
    edit("Graphics/Warden.txt", "f 9 4 1 1\n", "f 9 4 1 1\n\nf 9 4 1 1\n"); // a record skipped
    edit("Graphics/Wasp.txt", "f 2 2 0 1       firing\n", "");           // routine 1 needs frame 2
    edit("Graphics/Wasp.txt", "f 9 4 1 1\n", "f 9 4 1 1\nf 10 0 0 1\n"); // shown by nothing
    edit("Graphics/Manta.txt", "3 4 5 6 7 8 9\n", "3 4 5 6 7 8 11\n");   // an empty slot
    edit("Graphics/PlayerShot.txt", "a 1 0 1 4 ", "a 1 1 1 4 "); // an impact that never ends
    edit("Graphics/MasterGraphics.txt", "11 ", "12 ");
    edit(
        "Graphics/MasterGraphics.txt", "Graphics/Spore.txt          10 enemy shot: spore\n",
        "Graphics/Spore.txt          10 enemy shot: spore\nGraphics/Needle.txt\n"); // used by nothing
    edit("DeploymentOrders/DeploymentOrder1.dpo", "o 0 1 618 -40", "o 0 1 818 -40");
    edit("DeploymentOrders/DeploymentOrder1.dpo", "o 1 12 120 -40", "o 1 12 120 -400");
    edit("Enemies/Warden.txt", "0 120 ", "1 120 "); // no fire delay
    CheckRun run = runCheck("content");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             "content/Graphics/MasterGraphics.txt:13: warning: graphic 11 "
                             "(Graphics/Needle.txt) is used by nothing: "
                             "no fixed role, enemy or shot names it",
                             "content/Graphics/PlayerShot.txt:15: warning: the player's shot waits "
                             "for animation 1 of "
                             "Graphics/PlayerShot.txt to end, but it loops",
                             "content/Graphics/Wasp.txt:16: warning: frame 10 is shown by no "
                             "animation and by nothing the game sets directly",
                             "content/Graphics/Manta.txt:16: warning: frame 9 is shown by no "
                             "animation and by nothing the game sets directly",
                             "content/Graphics/Manta.txt:18: warning: animation 0 shows frame 11, "
                             "which no f record loads: nothing is "
                             "drawn and the game logs an error every frame",
                             "content/Graphics/Warden.txt:3: warning: the bounding box (2, 2)-(46, "
                             "52) reaches outside the 48 x 44 frame",
                             "content/Graphics/Warden.txt:17: warning: empty line: the game drops "
                             "the line after it (line 18) too",
                             "content/Enemies/Wasp.txt:12: warning: AI routine 1 needs frame 2, "
                             "which Graphics/Wasp.txt does not load",
                             "content/Enemies/Warden.txt:15: warning: timer 0, the fire timer, has "
                             "delay 0: the enemy fires every "
                             "second frame",
                             "content/DeploymentOrders/DeploymentOrder1.dpo:3: warning: x 818 puts "
                             "the enemy beside the screen; it "
                             "flies in straight down and is never seen there",
                             "content/DeploymentOrders/DeploymentOrder1.dpo:8: warning: y -400 "
                             "puts the enemy more than 300 pixels "
                             "above the screen",
                         }));
}

TEST_F(CheckTest, AShortListLeavesRolesEmpty)
{
    edit("Graphics/MasterGraphics.txt", "11 ", "5 ");
    for (const char* enemy : {"Dart", "Wasp", "Manta", "Warden"})
        writeFile(std::string("content/Enemies/") + enemy + ".txt",
                  "2\n1\n2 1\n1\n0\n0\n1\n0 60\n0\n1");
    CheckRun run = runCheck("content");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             "content/Graphics/MasterGraphics.txt:1: warning: graphic 5, the "
                             "overlay, is missing: the list must hold "
                             "at least 6 graphics",
                             "content/Graphics/MasterGraphics.txt:5: warning: graphic 3 "
                             "(Graphics/Wasp.txt) is used by nothing: no "
                             "fixed role, enemy or shot names it",
                             "content/Graphics/MasterGraphics.txt:7: warning: Graphics/Overlay.txt "
                             "is never read: the count on line 1 says 5",
                             "content/Graphics/MasterGraphics.txt:8: warning: Graphics/Manta.txt "
                             "is never read: the count on line 1 says 5",
                             "content/Graphics/MasterGraphics.txt:9: warning: Graphics/Warden.txt "
                             "is never read: the count on line 1 says 5",
                             "content/Graphics/MasterGraphics.txt:10: warning: "
                             "Graphics/PlasmaBall.txt is never read: the count on line 1 "
                             "says 5",
                             "content/Graphics/MasterGraphics.txt:11: warning: Graphics/Needle.txt "
                             "is never read: the count on line 1 says 5",
                             "content/Graphics/MasterGraphics.txt:12: warning: Graphics/Spore.txt "
                             "is never read: the count on line 1 says 5",
                         }));
}

TEST_F(CheckTest, AGameThatStartsButLogsIsNotClean)
{
    // The overlay starts on frame 0; without it the game logs the empty slot in its first frame.
    edit("Graphics/Overlay.txt", "f 0 0 0 1       star twinkles\n", "");
    CheckRun run = runCheck("content");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             "content/Error.txt:1: drawGraphic:  frame to be displayed was NULL!",
                             "content/Graphics/Overlay.txt:15: warning: animation 0 shows frame 0, "
                             "which no f record loads: nothing is "
                             "drawn and the game logs an error every frame",
                         }));
}

// What a modder writing an enemy's shots looks up: each graphic's role, size, frames and
// animations, each enemy's graphic and shots; a file the game refuses is marked, not listed.
TEST_F(CheckTest, TheListingShowsWhatTheGameLoaded)
{
    struct {
        const char* what;
        const char* from; // an edit of Enemies/Wasp.txt, or "" for the shipped content
        const char* to;
        int exitCode;
        std::vector<std::string> lines; // in this order, among the others
    } cases[] = {
        {"shipped",
         "",
         "",
         0,
         {"   0  Graphics/PlayerShip.txt      the player's ship",
          "      60 x 48 pixels, box (4, 4)-(56, 42), frames 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14",
          "      animation 2: 7 8 9 10 11 12 13 14 (plays once, every 4 frames)",
          "   3  Graphics/Wasp.txt",
          "   1  Enemies/Wasp.txt             graphic 3 (Graphics/Wasp.txt), speed 3 1, AI routine "
          "1, fire timer "
          "delay 50",
          "      shot: graphic 8 (Graphics/PlasmaBall.txt), attributes 3, from (10, 26), velocity "
          "(0, 5), damage 6"}},
        {"a refused enemy", "3 1  ", "-3 1 ", 1, {"   1  Enemies/Wasp.txt             (refused)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (*c.from)
            edit("Enemies/Wasp.txt", c.from, c.to);
        CheckRun run = runCheck("--list content");
        EXPECT_EQ(run.exitCode, c.exitCode);
        size_t at = 0;
        for (const std::string& line : c.lines) {
            auto found = std::find(run.lines.begin() + at, run.lines.end(), line);
            EXPECT_NE(found, run.lines.end()) << line;
            at = found == run.lines.end() ? at : found - run.lines.begin();
        }
    }
}

// Names Linux holds but Windows cannot: each warned about at the line that names the file, or
// for the file itself when nothing names it. STARLANE_NAMES_KEEP=DIR keeps each row's folder as
// DIR/N, for the web tools' table (tests/web/tools_table.sh), which checks the studio agrees.
TEST_F(CheckTest, NamesWindowsCannotHoldAreWarnedAbout)
{
    const std::string windows = ": such content does not unpack on Windows";
    auto renameEnemy = [](const std::string& to) {
        ASSERT_EQ(rename("content/Enemies/Dart.txt", ("content/Enemies/" + to).c_str()), 0);
        edit("Enemies/MasterEnemies.txt", "Enemies/Dart.txt", "Enemies/" + to);
    };
    const struct {
        const char* what;
        std::function<void()> apply;
        std::vector<std::string> lines; // the check's lines about names
    } rows[] = {
        {"a folder beside another in another letter case",
         [] {
             makeDirs("content/ENEMIES");
             writeFile("content/ENEMIES/MasterEnemies.txt", "0\n");
         },
         {"content/ENEMIES/MasterEnemies.txt: warning: ENEMIES/MasterEnemies.txt differs from "
          "Enemies/MasterEnemies.txt only in letter case, which Windows does not tell apart" +
          windows}},
        {"two list entries in two letter cases",
         [] {
             writeFile("content/Graphics/needle.txt", readFile("content/Graphics/Needle.txt"));
             edit("Graphics/MasterGraphics.txt", "11 ", "12 ");
             edit("Graphics/MasterGraphics.txt", "Graphics/Spore.txt ",
                  "Graphics/needle.txt\nGraphics/Spore.txt ");
         },
         {"content/Graphics/MasterGraphics.txt:12: warning: Graphics/needle.txt differs from "
          "Graphics/Needle.txt only in letter case, which Windows does not tell apart" +
          windows}},
        {"device names, named by a list or by nothing",
         [&] {
             renameEnemy("nul.txt");
             writeFile("content/aux.txt", "notes\n");
             writeFile("content/Graphics/COM7", "");
         },
         {"content/Enemies/MasterEnemies.txt:2: warning: Enemies/nul.txt has the name of a "
          "Windows device (NUL)" +
              windows,
          "content/Graphics/COM7: warning: Graphics/COM7 has the name of a Windows device (COM7)" +
              windows,
          "content/aux.txt: warning: aux.txt has the name of a Windows device (AUX)" + windows}},
        {"characters Windows forbids",
         [&] {
             renameEnemy("Dart?.txt");
             for (const char* name : {"a<b", "a>b", "a:b", "a\"b", "a\\b", "a|b", "a*b", "bell\a"})
                 writeFile(std::string("content/DeploymentOrders/") + name, "");
         },
         {"content/Enemies/MasterEnemies.txt:2: warning: Enemies/Dart?.txt holds '?', which "
          "Windows forbids in names" +
              windows,
          "content/DeploymentOrders/a\"b: warning: DeploymentOrders/a\"b holds '\"', which "
          "Windows forbids in names" +
              windows,
          "content/DeploymentOrders/a*b: warning: DeploymentOrders/a*b holds '*', which Windows "
          "forbids in names" +
              windows,
          "content/DeploymentOrders/a:b: warning: DeploymentOrders/a:b holds ':', which Windows "
          "forbids in names" +
              windows,
          "content/DeploymentOrders/a<b: warning: DeploymentOrders/a<b holds '<', which Windows "
          "forbids in names" +
              windows,
          "content/DeploymentOrders/a>b: warning: DeploymentOrders/a>b holds '>', which Windows "
          "forbids in names" +
              windows,
          "content/DeploymentOrders/a\\b: warning: DeploymentOrders/a\\b holds '\\', which "
          "Windows forbids in names" +
              windows,
          "content/DeploymentOrders/a|b: warning: DeploymentOrders/a|b holds '|', which Windows "
          "forbids in names" +
              windows,
          "content/DeploymentOrders/bell\a: warning: DeploymentOrders/bell\\x07 holds a control "
          "character (\\x07), which Windows forbids in names" +
              windows}},
        {"a last dot or space",
         [] {
             writeFile("content/Graphics/notes.", "");
             makeDirs("content/old ");
             writeFile("content/old /Dart.txt", "");
         },
         {"content/Graphics/notes.: warning: Graphics/notes. ends in a dot, which Windows drops "
          "from names" +
              windows,
          "content/old : warning: old  ends in a space, which Windows drops from names" + windows}},
    };
    const char* keep = getenv("STARLANE_NAMES_KEEP");
    int number = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(system("rm -rf content"), 0);
        makeDirs("content");
        copyTree(shippedContentPath(), "content");
        row.apply();
        if (keep != NULL) {
            std::string to = std::string(keep) + "/" + std::to_string(++number);
            ASSERT_EQ(system(("rm -rf '" + to + "' && cp -a content '" + to + "'").c_str()), 0);
        }
        CheckRun run = runCheck("content");
        std::vector<std::string> names;
        for (const std::string& l : run.lines)
            if (l.find(windows) != std::string::npos)
                names.push_back(l);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(names, row.lines);
    }
}

TEST_F(CheckTest, UsageMistakesAreNotVerdicts)
{
    EXPECT_EQ(runCheck("content content").exitCode, 2);
    EXPECT_EQ(runCheck("--help").exitCode, 2);
    CheckRun missing = runCheck("no-such-folder");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.lines, (std::vector<std::string>{
                                 "no-such-folder: error: cannot enter the content folder",
                             }));
}

} // namespace
