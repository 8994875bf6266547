// The content loaders: graphic descriptions and their master list, enemy descriptions and
// their master list, deployment orders. Each test writes its own small files.
#include <string.h>

#include <string>

#include "content/content.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"
#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

struct Broken {
    const char* text;
    const char* log;
};

// Header lines of a graphic on the test sheet: 8 x 8 frames, box (1, 1)-(6, 6),
// attributes 4 (animated), type 2.
const std::string head = "Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\n";

class GraphicFile : public GameTest {
protected:
    Graphic g;

    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_EQ(bringDisplayUp(), 1);
        writeCellSheet("Sheet.bmp");
        writeFile("One.txt", head + "f 0 1 1 1\ne\n");
        memset(&g, 0, sizeof(g));
    }

    // A fresh world and an empty log within one test.
    void restart()
    {
        resetWorld();
        remove("Error.txt");
        ASSERT_EQ(bringDisplayUp(), 1);
        memset(&g, 0, sizeof(g));
    }

    int load(const std::string& text, int x = 0, int y = 0)
    {
        writeFile("G.txt", text);
        return loadGraphic(&g, "G.txt", x, y);
    }

    // The cell a frame was cut from, told by its colour; -1 for an empty slot.
    int frameColour(int index)
    {
        return g.frames[index] ? surfacePixel(g.frames[index], 3, 4) : -1;
    }
};

TEST_F(GraphicFile, WorkedExampleLoadsHeaderFramesAndAnimation)
{
    ASSERT_EQ(load(head + "f 0 0 0 1\nf 1 1 0 1\nf 2 2 0 1\na 0 1 5 3\n0 1 2\ne\n", 12, 34), 1);
    EXPECT_EQ(errorText(), "");
    const int want[15] = {12, 34, 0, 0, 8, 8, 8, 0, 1, 1, 6, 6, GRAPHIC_ANIMATED, 1, 2};
    const int got[15] = {g.x,
                         g.y,
                         g.xVelocity,
                         g.yVelocity,
                         g.width,
                         g.height,
                         g.bpp,
                         g.colorKey,
                         (int)g.boundingBox.left,
                         (int)g.boundingBox.top,
                         (int)g.boundingBox.right,
                         (int)g.boundingBox.bottom,
                         g.attributes,
                         g.visible,
                         g.type};
    for (int i = 0; i < 15; i++)
        EXPECT_EQ(got[i], want[i]) << "field " << i;
    for (int f = 0; f < 3; f++)
        EXPECT_EQ(frameColour(f), cellSheetColour(f, 0));
    EXPECT_EQ(frameColour(3), -1);
    Animation want0 = {{0, 1, 2}, 3, ANIMATION_LOOP, 0, 5, 0, 0}; // stopped, at the start
    EXPECT_EQ(memcmp(&g.animations[0], &want0, sizeof(want0)), 0);
}

TEST_F(GraphicFile, RecordLettersStartLinesAndEverythingElseIsAComment)
{
    ASSERT_EQ(load("Sheet.bmp the sheet\n\n8 8\n8 0 size\n1 1 6 6 box\n4\n2\n"
                   "# a comment\n"
                   " f 1 1 0 1 indented: a comment too\n"
                   "9 digits start a comment\n"
                   "f 7 3 1 1 the last cell, against both edges\n"
                   "f3\n1 0 1\n" // one frame record over two lines
                   "end of the file\n"
                   "f 4 1 1 1 never read\n"),
              1);
    EXPECT_EQ(g.width, 8);
    EXPECT_EQ(g.colorKey, 0);
    EXPECT_EQ(frameColour(7), cellSheetColour(3, 1));
    EXPECT_EQ(frameColour(3), cellSheetColour(1, 0));
    EXPECT_EQ(frameColour(1), -1);
    EXPECT_EQ(frameColour(4), -1);
    EXPECT_EQ(errorText(), "");
}

TEST_F(GraphicFile, AnimationRecordsShareOneClearedTemporary)
{
    ASSERT_EQ(load(head + "a 0 1 5 3\n0 1 2\n"
                          "a 1 2 3 2 7 8\n3 4\n" // 7 and 8 go with the rest of the line
                          "a 2 0 0 3\n5\n6 7 99 comment\n"
                          "a 4 0 0 0\nf 0 0 0 1\n" // no entries: the next line is swallowed
                          "a 3 0 0 20\n0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19\ne\n"),
              1);
    Animation want1 = {{3, 4, 2}, 2, ANIMATION_RESET, 0, 3, 0, 0}; // keeps the first's third
    EXPECT_EQ(memcmp(&g.animations[1], &want1, sizeof(want1)), 0);
    EXPECT_EQ(g.animations[2].frameSequence[2], 7);
    EXPECT_EQ(g.animations[4].numFrames, 0);
    EXPECT_EQ(frameColour(0), -1);
    EXPECT_EQ(g.animations[3].numFrames, 20);
    EXPECT_EQ(g.animations[3].frameSequence[19], 19);
    EXPECT_EQ(g.animations[3].running, 0);
}

// Each file fails at one point with exactly these lines.
TEST_F(GraphicFile, EveryFailureLogsItsLine)
{
    const std::string h = head;
    const std::string eof = "loadGraphic: unexpected end of file\n";
    const std::string outside = "loadGraphic: frame lies outside the bitmap\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "loadGraphic: error reading bitmap file name\n"},
        {"Missing.bmp\n",
         "loadBitmapFile:  error opening file\nloadGraphic: error loading bitmap file\n"},
        {"Sheet.bmp\n8 8 8 x\n", "loadGraphic: error reading width, height, bpp, and colorKey\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6\nx\n", "loadGraphic: error reading boundgingBox\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n\n", "loadGraphic: error reading attributes\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\nx\n", "loadGraphic: error reading type\n"},
        {h + "fx\n", "loadGraphic: error reading index of frame\n"},
        {h + "f 0 0 0\ne\n", "loadGraphic: error reading the frame location and borderwidth\n"},
        {h + "f 19 0 0 1\nf 20 1 0 1\ne\n",
         "loadFrame: frame index out of bounds\nloadGraphic: error loading frame\n"},
        {h + "a\n", "loadGraphic: error reading index of animation\n"},
        {h + "a 0 1 5\ne\n",
         "loadGraphic: error reading animation flags, delay, and num of frames\n"},
        {h + "a 0 1 5 2 7 8\ne\n", "loadGraphic: error reading a frameSequence entry\n"},
        {h + "a 10 0 0 1\n0\ne\n",
         "loadAnimation: index out of bounds\nloadGraphic:  error loading animation\n"},
        // The end of the file where a record letter or a newline was expected.
        {h + "f 0 0 0 1\n\ne\n", eof}, // the empty line's discard swallows the "e"
        {h + "f 0 0 0 1\n", eof},
        {h + "f 0 0 0 1 no newline", eof},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2", eof},
        // Values that would later read outside the sheet or index outside a table.
        {"Sheet.bmp\n8 8 16 0\n", "loadGraphic: bpp does not match the bitmap file\n"},
        {"Sheet.bmp\n0 8 8 0\n", "loadGraphic: invalid frame size\n"},
        {"Sheet.bmp\n8 -8 8 0\n", "loadGraphic: invalid frame size\n"},
        {h + "f 0 4 0 1\n", outside},
        {h + "f 0 0 2 1\n", outside},
        {h + "f 0 -1 0 1\n", outside},
        {h + "f 0 0 0 -1\n", outside},
        {h + "f 0 3 1 2\n", outside},
        {h + "f 0 2147483647 0 1\n", outside},
        {h + "a 0 1 5 21\n", "loadGraphic: num of frames out of bounds\n"},
        {h + "a 0 1 5 -1\n", "loadGraphic: num of frames out of bounds\n"},
        {h + "a 0 1 5 2\n0 20\n", "loadGraphic: frameSequence entry out of bounds\n"},
        {h + "a 0 1 5 2\n-1 0\n", "loadGraphic: frameSequence entry out of bounds\n"},
    };
    for (const auto& c : cases) {
        restart();
        EXPECT_EQ(load(c.first), 0) << c.first;
        EXPECT_EQ(errorText(), c.second) << c.first;
    }
    restart();
    EXPECT_EQ(loadGraphic(NULL, "G.txt", 0, 0), 0);
    EXPECT_EQ(loadGraphic(&g, "Missing.txt", 0, 0), 0);
    EXPECT_EQ(loadGraphic(&g, NULL, 0, 0), 0);
    EXPECT_EQ(errorText(), "loadGraphic: lpGraphic was NULL\nloadGraphic: error opening file.\n"
                           "loadGraphic: error opening file.\n");
}

std::string graphicsList(int count, int names)
{
    std::string s = std::to_string(count) + " graphics\n";
    for (int i = 0; i < names; i++)
        s += "One.txt\n";
    return s;
}

TEST_F(GraphicFile, MasterListCountsFromNegativeToTwenty)
{
    writeFile("M.txt", graphicsList(20, 20));
    ASSERT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(numMasterGraphics, 20);
    EXPECT_EQ(surfacePixel(masterGraphics[19].frames[0], 3, 4), cellSheetColour(1, 1));
    writeFile("M.txt", graphicsList(21, 21));
    EXPECT_EQ(loadMasterGraphics("M.txt"), 0);
    EXPECT_EQ(numMasterGraphics, 20) << "a refused count is not stored";
    EXPECT_EQ(errorText(), "loadMasterGraphics: num of graphics exceeds maximum\n");

    for (int count : {0, -3}) {
        restart();
        writeFile("M.txt", graphicsList(count, 3));
        EXPECT_EQ(loadMasterGraphics("M.txt"), 1);
        EXPECT_EQ(numMasterGraphics, count);
        EXPECT_EQ(masterGraphics[0].width, 0) << "nothing loaded";
        EXPECT_EQ(destroyMasterGraphics(), 1);
        EXPECT_EQ(errorText(), "");
    }
}

TEST_F(GraphicFile, MasterListNamesEachOnALineOfItsOwn)
{
    std::string fifty(50, 'n');
    writeFile(fifty, head + "f 0 2 1 1\ne\n");
    // Empty lines before a name are skipped; names are cut after 50 characters; surplus
    // names are never read.
    writeFile("M.txt", "3\n\n\n   One.txt   the ship\n" + fifty + "xyz\nOne.txt\nMissing.txt\n");
    EXPECT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(surfacePixel(masterGraphics[1].frames[0], 3, 4), cellSheetColour(2, 1));
    EXPECT_EQ(errorText(), "");

    // Names running out: the count was stored before loading, the loaded graphic stays.
    writeFile("M.txt", graphicsList(5, 1));
    EXPECT_EQ(loadMasterGraphics("M.txt"), 0);
    EXPECT_EQ(numMasterGraphics, 5);
    EXPECT_NE(masterGraphics[0].frames[0], nullptr);
    EXPECT_EQ(errorText(), "loadMasterGraphics: error reading file name\n");
}

TEST_F(GraphicFile, MasterListFailures)
{
    writeFile("Comment.txt", "1\n# ship\nOne.txt\n"); // the comment's first word is a name
    writeFile("Empty.txt", "");
    writeFile("NoNewline.txt", "1\nOne.txt");
    writeFile("CountOnly.txt", "1");
    writeFile("Bad.txt", "Missing.bmp\n");
    writeFile("Chain.txt", "2\nOne.txt\nBad.txt\n");
    EXPECT_EQ(loadMasterGraphics(NULL), 0);
    EXPECT_EQ(loadMasterGraphics("Missing.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("Comment.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("Empty.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("NoNewline.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("CountOnly.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("Chain.txt"), 0);
    EXPECT_EQ(errorText(), "loadMasterGraphics: null pointer passed\n"
                           "loadMasterGraphics: unable to open file\n"
                           "loadGraphic: error opening file.\n"
                           "loadMasterGraphics: error loading graphic\n"
                           "loadMasterGraphics: error reading number of graphics\n"
                           "loadMasterGraphics: unexpected end of file\n"
                           "loadMasterGraphics: unexpected end of file\n"
                           "loadBitmapFile:  error opening file\n"
                           "loadGraphic: error loading bitmap file\n"
                           "loadMasterGraphics: error loading graphic\n");
}

// ---- Enemies ----

class EnemyFile : public GameTest {
protected:
    Enemy e;

    void SetUp() override
    {
        GameTest::SetUp();
        numMasterGraphics = 4;
        for (int i = 0; i < 4; i++) {
            masterGraphics[i].width = 10 + i;
            masterGraphics[i].attributes = GRAPHIC_ANIMATED;
        }
        memset(&e, 0x5A, sizeof(e));
    }

    int load(const std::string& text)
    {
        writeFile("E.txt", text);
        return loadEnemy(&e, "E.txt");
    }

    void freshLog()
    {
        closeErrorLog();
        remove("Error.txt");
    }
};

const std::string example = "3 fighter graphic\n1 kind\n2 2\n1\n0\n2\n"
                            "1 2 8 30 0 6 10\n1 2 24 30 0 6 10\n2\n0 40\n1 90\n0\n1\n";

TEST_F(EnemyFile, WorkedExampleFillsTheWholeTemplate)
{
    ASSERT_EQ(load(example), 1);
    EXPECT_EQ(errorText(), "");
    Enemy want;
    memset(&want, 0, sizeof(want));
    want.graphic = masterGraphics[3];
    want.graphic.attributes |= GRAPHIC_CLONE; // shares the master's surfaces
    want.enemyID = 1;
    want.xSpeed = want.ySpeed = 2;
    want.health = 100;
    want.state = 1;
    want.weapon.numDischarges = 2;
    want.weapon.descs[0] = {1, 2, 8, 30, 0, 6, 10};
    want.weapon.descs[1] = {1, 2, 24, 30, 0, 6, 10};
    want.timers[0].delay = 40;
    want.timers[1].delay = 90;
    want.aiCallback = aiCallbacks[1];
    EXPECT_EQ(memcmp(&e, &want, sizeof(e)), 0);
    EXPECT_EQ(masterGraphics[3].attributes, GRAPHIC_ANIMATED) << "the master is not marked";
}

TEST_F(EnemyFile, NineLinesRepeatedTimersAndFiveShots)
{
    ASSERT_EQ(load("0\n5\n0 3\n1\n0\n0\n0\n2\n0"), 1); // the last line needs no newline
    EXPECT_EQ(e.weapon.numDischarges, 0);
    for (int i = 0; i < MAX_TIMERS; i++)
        EXPECT_EQ(e.timers[i].delay, 0);
    EXPECT_EQ(e.aiState, 2);
    EXPECT_EQ(e.aiCallback, nullptr);
    EXPECT_EQ(e.health, 100);

    std::string text = "0\n5\n1 1\n1\n0\n5\n";
    for (int i = 0; i < 5; i++)
        text += "3 0 " + std::to_string(i) + " 0 0 1 1\n";
    ASSERT_EQ(load(text + "3\n1 30\n4 7\n1 60\n0\n1"), 1);
    EXPECT_EQ(e.weapon.descs[4].xOffset, 4);
    EXPECT_EQ(e.timers[1].delay, 60) << "a later line for the same timer wins";
    EXPECT_EQ(e.timers[4].delay, 7);
}

TEST_F(EnemyFile, EveryFailureLogsItsLine)
{
    const Broken cases[] = {
        {"", "loadEnemy: error reading graphicID\n"},
        {"0\nx\n", "loadEnemy: error reading enemyID"},
        {"0\n5\n1\n", "loadEnemy: error reading in the enemy's velocities\n"},
        {"0\n5\n1 1\nx\n", "loadEnemy: error reading initial state\n"},
        {"0\n5\n1 1\n1\nx\n", "loadEnemy: error reading initial state\n"},
        {"0\n5\n1 1\n1\n0\n\n", "loadEnemy: error reading number of discharges\n"},
        {"0\n5\n1 1\n1\n0\n1\n1 2 3 4 5 6\nx\n", "loadEnemy: error loading a discharge desc\n"},
        {"0\n5\n1 1\n1\n0\n0\nx\n", "loadEnemy: error reading in numTimerDelays\n"},
        {"0\n5\n1 1\n1\n0\n0\n1\n0\n", "loadEnemy: error reading a timer delay\n"},
        {"0\n5\n1 1\n1\n0\n0\n0\n", "loadEnemy: error reading initial AI state\n"},
        {"0\n5\n1 1\n1\n0\n0\n0\n0\n", "loadEnemy: error reading callback function ID\n"},
        // The end of the file while a line is being discarded.
        {"0\n5\n1 1", "loadEnemy: unexpected end of file\n"},
        {"0\n5\n1 1\n1\n0\n0\n0\n0 no newline", "loadEnemy: unexpected end of file\n"},
        // Values that would later index outside a table.
        {"4\n", "loadEnemy: graphicID out of bounds\n"},
        {"-1\n", "loadEnemy: graphicID out of bounds\n"},
        {"0\n5\n-1 1\n", "loadEnemy: negative speed read\n"},
        {"0\n5\n1 -1\n", "loadEnemy: negative speed read\n"},
        {"0\n5\n1 1\n1\n0\n6\n", "loadEnemy: num of discharges out of bounds\n"},
        {"0\n5\n1 1\n1\n0\n-1\n", "loadEnemy: num of discharges out of bounds\n"},
        {"0\n5\n1 1\n1\n0\n1\n4 0 0 0 0 1 1\n", "loadEnemy: discharge graphicID out of bounds\n"},
        {"0\n5\n1 1\n1\n0\n1\n-1 0 0 0 0 1 1\n", "loadEnemy: discharge graphicID out of bounds\n"},
        {"0\n5\n1 1\n1\n0\n0\n1\n5 10\n", "loadEnemy: timer index out of bounds\n"},
        {"0\n5\n1 1\n1\n0\n0\n1\n-1 10\n", "loadEnemy: timer index out of bounds\n"},
        {"0\n5\n1 1\n1\n0\n0\n0\n0\n2", "loadEnemy: callback function ID out of bounds\n"},
        {"0\n5\n1 1\n1\n0\n0\n0\n0\n-1", "loadEnemy: callback function ID out of bounds\n"},
    };
    for (const Broken& c : cases) {
        freshLog();
        EXPECT_EQ(load(c.text), 0) << c.text;
        EXPECT_EQ(errorText(), c.log) << c.text;
    }
    // A failed load leaves a cleared record.
    freshLog();
    memset(&e, 0x5A, sizeof(e));
    EXPECT_EQ(loadEnemy(&e, "Missing.txt"), 0);
    Enemy zero;
    memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(memcmp(&e, &zero, sizeof(e)), 0);
    EXPECT_EQ(loadEnemy(NULL, "E.txt"), 0);
    EXPECT_EQ(loadEnemy(&e, NULL), 0);
    EXPECT_EQ(errorText(), "loadEnemy: error opening file\n"
                           "loadEnemy: null pointer(s) passed\n"
                           "loadEnemy: null pointer(s) passed\n");
}

TEST_F(EnemyFile, MasterListCountsAndTheMessageWithoutANewline)
{
    writeFile("E.txt", example);
    std::string names;
    for (int i = 0; i < 20; i++)
        names += "E.txt\n";
    writeFile("M.txt", "20\n" + names);
    ASSERT_EQ(loadMasterEnemies("M.txt"), 1);
    EXPECT_EQ(numMasterEnemies, 20);
    EXPECT_EQ(masterEnemies[19].timers[1].delay, 90);
    writeFile("M.txt", "21\n" + names + "E.txt\n");
    EXPECT_EQ(loadMasterEnemies("M.txt"), 0);
    EXPECT_EQ(numMasterEnemies, 20);
    writeFile("M.txt", "0\n");
    EXPECT_EQ(loadMasterEnemies("M.txt"), 1);
    EXPECT_EQ(numMasterEnemies, 0);

    writeFile("Bad.txt", "0\nx\n");
    writeFile("M.txt", "2 kinds\nE.txt\nBad.txt\n");
    EXPECT_EQ(loadMasterEnemies("M.txt"), 0);
    EXPECT_EQ(numMasterEnemies, 2);
    EXPECT_EQ(masterEnemies[0].enemyID, 1);
    writeFile("M.txt", "2\nE.txt\n");
    EXPECT_EQ(loadMasterEnemies("M.txt"), 0);
    EXPECT_EQ(loadMasterEnemies(NULL), 0);
    EXPECT_EQ(loadMasterEnemies("Missing.txt"), 0);
    writeFile("M.txt", "many\n");
    EXPECT_EQ(loadMasterEnemies("M.txt"), 0);
    writeFile("M.txt", "1\nE.txt");
    EXPECT_EQ(loadMasterEnemies("M.txt"), 0);
    EXPECT_EQ(errorText(),
              "loadMasterEnemies: num of enemies exceeds maximum\n"
              "loadEnemy: error reading enemyIDloadMasterEnemies: error loading enemy\n"
              "loadMasterEnemies: error reading file name\n"
              "loadMasterEnemies: null pointer passed\n"
              "loadMasterEnemies: unable to open file\n"
              "loadMasterEnemies: error reading number of enemies\n"
              "loadMasterEnemies: unexpected end of file\n");
}

// ---- Deployment orders ----

class OrdersFile : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        numMasterEnemies = 3;
        leftOver();
    }

    // What a previous script left: a failed load must not touch it.
    void leftOver()
    {
        numDeploymentOrders = 7;
        currentDeploymentOrder = 4;
        deploymentState = DEPLOY_DONE;
    }

    void expectLeftOver()
    {
        EXPECT_EQ(numDeploymentOrders, 7);
        EXPECT_EQ(currentDeploymentOrder, 4);
        EXPECT_EQ(deploymentState, DEPLOY_DONE);
    }

    int load(const std::string& text)
    {
        writeFile("D.dpo", text);
        return loadDeploymentOrders("D.dpo");
    }

    static std::string orders(int n)
    {
        std::string s;
        for (int i = 0; i < n; i++)
            s += "o " + std::to_string(i % 3) + " 1 " + std::to_string(i) + " 0\n";
        return s;
    }
};

TEST_F(OrdersFile, ScriptsThatLoad)
{
    ASSERT_EQ(load("o 0 2 100 0\no 0 3 500 0\no 1 5 300 0\ne\n"), 1);
    EXPECT_EQ(numDeploymentOrders, 3);
    EXPECT_EQ(currentDeploymentOrder, 0);
    EXPECT_EQ(deploymentState, DEPLOY_START);
    const int want[4] = {1, 5, 300, 0};
    EXPECT_EQ(memcmp(&deploymentOrders[2], want, sizeof(want)), 0);

    leftOver();
    ASSERT_EQ(load("e"), 1);
    EXPECT_EQ(numDeploymentOrders, 0);
    EXPECT_EQ(deploymentState, DEPLOY_START);

    ASSERT_EQ(load(orders(50) + "e\n"), 1);
    EXPECT_EQ(numDeploymentOrders, 50);
    EXPECT_EQ(deploymentOrders[49].x, 49);

    // Values spread over lines; text after the fourth value and after the "e" is never read.
    ASSERT_EQ(load("o 2\n  7\n\n-20\n-40 comment\ne and then\nwhatever\n\n"), 1);
    const int spread[4] = {2, 7, -20, -40};
    EXPECT_EQ(memcmp(&deploymentOrders[0], spread, sizeof(spread)), 0);

    ASSERT_EQ(load("o 0 35791394 2 3\ne\n"), 1) << "the longest wait the scheduler can count";
    ASSERT_EQ(load("o 0 -35791394 2 3\no 0 -1 2 3\ne\n"), 1) << "negative delays are due at once";
    EXPECT_EQ(errorText(), "");
}

TEST_F(OrdersFile, EveryFailureLogsItsLineAndKeepsTheSchedulerAsItWas)
{
    const std::string fifty = orders(50);
    const std::string unknown = "loadDeploymentOrders: unknown identifier read\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", unknown},
        {"\ne\n", unknown},
        {"o 0 1 2 3\n\ne\n", unknown},
        {" o 0 1 2 3\ne\n", unknown},
        {"o 0 1 2 3\n# wave two\ne\n", unknown},
        {"o 0 1 2 3\n", unknown},
        {"O 0 1 2 3\ne\n", unknown},
        {fifty + "o garbage\ne\n", "loadDeploymentOrders: too many deployments\n"},
        {"o 0 1 2\ne\n", "loadDeploymentOrders: error reading in a deployment order\n"},
        {"o 0 1 2 3", "loadDeploymentOrders: unexpected end of file\n"},
        {"o 3 1 2 3\ne\n", "loadDeploymentOrders: enemyIndex out of bounds\n"},
        {"o -1 1 2 3\ne\n", "loadDeploymentOrders: enemyIndex out of bounds\n"},
        {"o 0 -35791395 2 3\ne\n", "loadDeploymentOrders: delay out of bounds\n"},
        {"o 0 35791395 2 3\ne\n", "loadDeploymentOrders: delay out of bounds\n"},
    };
    for (const auto& c : cases) {
        closeErrorLog();
        remove("Error.txt");
        EXPECT_EQ(load(c.first), 0) << c.first;
        EXPECT_EQ(errorText(), c.second) << c.first;
        expectLeftOver();
    }
    closeErrorLog();
    remove("Error.txt");
    EXPECT_EQ(loadDeploymentOrders(NULL), 0);
    EXPECT_EQ(loadDeploymentOrders("Missing.dpo"), 0);
    EXPECT_EQ(errorText(), "loadDeploymentOrders: null pointer passed\n"
                           "loadDeploymentOrders: error opening file\n");
    expectLeftOver();
}

// ---- The content shipped with the game ----

class ShippedContent : public GameTest {};

TEST_F(ShippedContent, EveryFileLoads)
{
    std::string data = sourcePath("data");
    if (readFile(data + "/palette.pal").empty())
        GTEST_SKIP() << "no content in " << data;
    copyTree(data, dir);
    // A log left in data/ by a game played there is not this test's.
    remove((dir + "/Error.txt").c_str());
    ASSERT_EQ(bringDisplayUp(), 1);
    EXPECT_EQ(loadMasterGraphics("Graphics/MasterGraphics.txt"), 1);
    EXPECT_GE(numMasterGraphics, 6) << "the ship, its shot, the power-up and the overlay";
    EXPECT_EQ(loadMasterEnemies("Enemies/MasterEnemies.txt"), 1);
    EXPECT_GE(numMasterEnemies, 1);
    EXPECT_EQ(loadDeploymentOrders("DeploymentOrders/DeploymentOrder1.dpo"), 1);
    EXPECT_GE(numDeploymentOrders, 1);
    EXPECT_EQ(errorText(), "");
}

} // namespace
