// The content loaders: graphic descriptions and their master list, enemy descriptions and
// their master list, deployment orders. Each test writes its own small files.
#include <string.h>

#include <string>

#include "content/content.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"
#include "testsupport.h"
#include "worldfiles.h"

namespace {

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
        if (g.frames[index] == NULL)
            return -1;
        return surfacePixel(g.frames[index], 3, 4);
    }
};

TEST_F(GraphicFile, WorkedExampleLoadsHeaderFramesAndAnimation)
{
    ASSERT_EQ(load(head + "f 0 0 0 1\nf 1 1 0 1\nf 2 2 0 1\na 0 1 5 3\n0 1 2\ne\n", 12, 34), 1);
    EXPECT_EQ(errorText(), "");
    EXPECT_EQ(g.x, 12);
    EXPECT_EQ(g.y, 34);
    EXPECT_EQ(g.xVelocity, 0);
    EXPECT_EQ(g.yVelocity, 0);
    EXPECT_EQ(g.width, 8);
    EXPECT_EQ(g.height, 8);
    EXPECT_EQ(g.bpp, 8);
    EXPECT_EQ(g.colorKey, 0);
    EXPECT_EQ(g.boundingBox.left, 1);
    EXPECT_EQ(g.boundingBox.top, 1);
    EXPECT_EQ(g.boundingBox.right, 6);
    EXPECT_EQ(g.boundingBox.bottom, 6);
    EXPECT_EQ(g.attributes, GRAPHIC_ANIMATED);
    EXPECT_EQ(g.type, 2);
    EXPECT_EQ(g.visible, 1);
    EXPECT_EQ(frameColour(0), cellSheetColour(0, 0));
    EXPECT_EQ(frameColour(1), cellSheetColour(1, 0));
    EXPECT_EQ(frameColour(2), cellSheetColour(2, 0));
    EXPECT_EQ(frameColour(3), -1);
    const Animation& a = g.animations[0];
    EXPECT_EQ(a.flags, ANIMATION_LOOP);
    EXPECT_EQ(a.delay, 5);
    EXPECT_EQ(a.numFrames, 3);
    EXPECT_EQ(a.frameSequence[0], 0);
    EXPECT_EQ(a.frameSequence[1], 1);
    EXPECT_EQ(a.frameSequence[2], 2);
    EXPECT_EQ(a.running, 0);
    EXPECT_EQ(a.currentIndex, 0);
    EXPECT_EQ(a.counter, 0);
}

TEST_F(GraphicFile, LastCellsOfTheSheetAndAFrameRecordOverTwoLines)
{
    // The sheet is exactly four cells across and two down: (3, 1) touches both far edges.
    ASSERT_EQ(load(head + "f 7 3 1 1\nf3\n1 0 1\ne\n"), 1);
    EXPECT_EQ(frameColour(7), cellSheetColour(3, 1));
    EXPECT_EQ(frameColour(3), cellSheetColour(1, 0));
    EXPECT_EQ(errorText(), "");
}

TEST_F(GraphicFile, CommentLinesAndLineRestsAreIgnored)
{
    ASSERT_EQ(load("Sheet.bmp the sheet\n\n8 8\n8 0 size\n1 1 6 6 box\n4\n2\n"
                   "# a comment\n"
                   " f 1 1 0 1 indented: a comment too\n"
                   "\tf 2 2 0 1\n"
                   "9 digits start a comment\n"
                   "f 0 3 0 1 text after the values\n"
                   "end of the file\n"
                   "f 4 1 1 1 never read\n"),
              1);
    EXPECT_EQ(g.width, 8);
    EXPECT_EQ(g.colorKey, 0);
    EXPECT_EQ(frameColour(0), cellSheetColour(3, 0));
    EXPECT_EQ(frameColour(1), -1);
    EXPECT_EQ(frameColour(2), -1);
    EXPECT_EQ(frameColour(4), -1);
    EXPECT_EQ(errorText(), "");
}

TEST_F(GraphicFile, AnimationRecordsKeepOldEntriesAndDiscardExtraValues)
{
    // Values after numFrames on the record's own line are thrown away with the line.
    ASSERT_EQ(load(head + "a 0 1 5 3\n0 1 2\na 1 2 3 2 7 8\n3 4\ne\n"), 1);
    const Animation& second = g.animations[1];
    EXPECT_EQ(second.flags, ANIMATION_RESET);
    EXPECT_EQ(second.delay, 3);
    EXPECT_EQ(second.numFrames, 2);
    EXPECT_EQ(second.frameSequence[0], 3);
    EXPECT_EQ(second.frameSequence[1], 4);
    EXPECT_EQ(second.frameSequence[2], 2) << "left over from the first record";
    EXPECT_EQ(second.running, 0);

    // Sequence entries may run over several lines; the rest of the last one is discarded.
    ASSERT_EQ(load(head + "a 2 0 0 3\n5\n6 7 99 comment\ne\n"), 1);
    EXPECT_EQ(g.animations[2].frameSequence[0], 5);
    EXPECT_EQ(g.animations[2].frameSequence[2], 7);
    EXPECT_EQ(g.animations[2].frameSequence[3], 0);
}

TEST_F(GraphicFile, ZeroFramesSwallowsTheNextLine)
{
    ASSERT_EQ(load(head + "a 0 1 5 0\nf 0 0 0 1\nf 1 1 0 1\ne\n"), 1);
    EXPECT_EQ(g.animations[0].numFrames, 0);
    EXPECT_EQ(frameColour(0), -1) << "the line after the record was discarded";
    EXPECT_EQ(frameColour(1), cellSheetColour(1, 0));
}

TEST_F(GraphicFile, ExtraValuesThenEndRecordFailOnTheSequence)
{
    EXPECT_EQ(load(head + "a 0 1 5 2 7 8\ne\n"), 0);
    EXPECT_EQ(errorText(), "loadGraphic: error reading a frameSequence entry\n");
}

TEST_F(GraphicFile, TheEndOfTheFileBeforeAnEndRecordFails)
{
    // An empty line makes the loader discard the "e" line after it.
    EXPECT_EQ(load(head + "f 0 0 0 1\n\ne\n"), 0);
    EXPECT_EQ(frameColour(0), cellSheetColour(0, 0)) << "frames loaded so far stay";
    EXPECT_EQ(errorText(), "loadGraphic: unexpected end of file\n");

    restart();
    EXPECT_EQ(load(head + "f 0 0 0 1\n"), 0);
    EXPECT_EQ(errorText(), "loadGraphic: unexpected end of file\n");

    restart();
    EXPECT_EQ(load(head + "f 0 0 0 1 no newline"), 0);   // the line is being discarded
    EXPECT_EQ(errorText(), "loadGraphic: unexpected end of file\n");

    restart();
    EXPECT_EQ(load("Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2"), 0);   // the header's last line
    EXPECT_EQ(errorText(), "loadGraphic: unexpected end of file\n");
}

TEST_F(GraphicFile, FrameIndexTwentyIsRefusedByTheFrameLoader)
{
    EXPECT_EQ(load(head + "f 19 0 0 1\nf 20 1 0 1\ne\n"), 0);
    EXPECT_EQ(errorText(), "loadFrame: frame index out of bounds\nloadGraphic: error loading frame\n");
    EXPECT_EQ(frameColour(19), cellSheetColour(0, 0));
}

TEST_F(GraphicFile, AnimationIndexTenIsRefusedByTheAnimationLoader)
{
    EXPECT_EQ(load(head + "a 10 0 0 1\n0\ne\n"), 0);
    EXPECT_EQ(errorText(), "loadAnimation: index out of bounds\nloadGraphic:  error loading animation\n");
}

struct Broken {
    const char* text;
    const char* log;
};

// Each file fails at one point with exactly these lines.
TEST_F(GraphicFile, EveryFailureLogsItsLine)
{
    const Broken cases[] = {
        {"", "loadGraphic: error reading bitmap file name\n"},
        {"Missing.bmp\n8 8 8 0\n",
         "loadBitmapFile:  error opening file\nloadGraphic: error loading bitmap file\n"},
        {"Sheet.bmp\n8 8 8\n", "loadGraphic: error reading width, height, bpp, and colorKey\n"},
        {"Sheet.bmp\n8 8 8 x\n", "loadGraphic: error reading width, height, bpp, and colorKey\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6\nx\n", "loadGraphic: error reading boundgingBox\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n\n", "loadGraphic: error reading attributes\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\nx\n", "loadGraphic: error reading type\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nfx\n", "loadGraphic: error reading index of frame\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nf 0 0 0\ne\n",
         "loadGraphic: error reading the frame location and borderwidth\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\na\n", "loadGraphic: error reading index of animation\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\na 0 1 5\ne\n",
         "loadGraphic: error reading animation flags, delay, and num of frames\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\na 0 1 5 3\n0 1\n",
         "loadGraphic: error reading a frameSequence entry\n"},
        // Values that would later index outside a table or read outside the sheet.
        {"Sheet.bmp\n8 8 16 0\n", "loadGraphic: bpp does not match the bitmap file\n"},
        {"Sheet.bmp\n8 8 24 0\n", "loadGraphic: bpp does not match the bitmap file\n"},
        {"Sheet.bmp\n0 8 8 0\n", "loadGraphic: invalid frame size\n"},
        {"Sheet.bmp\n8 -8 8 0\n", "loadGraphic: invalid frame size\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nf 0 4 0 1\n", "loadGraphic: frame lies outside the bitmap\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nf 0 0 2 1\n", "loadGraphic: frame lies outside the bitmap\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nf 0 -1 0 1\n", "loadGraphic: frame lies outside the bitmap\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nf 0 0 0 -1\n", "loadGraphic: frame lies outside the bitmap\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nf 0 3 1 2\n", "loadGraphic: frame lies outside the bitmap\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\nf 0 2147483647 0 1\n",
         "loadGraphic: frame lies outside the bitmap\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\na 0 1 5 21\n", "loadGraphic: num of frames out of bounds\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\na 0 1 5 -1\n", "loadGraphic: num of frames out of bounds\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\na 0 1 5 2\n0 20\n",
         "loadGraphic: frameSequence entry out of bounds\n"},
        {"Sheet.bmp\n8 8 8 0\n1 1 6 6\n4\n2\na 0 1 5 2\n-1 0\n",
         "loadGraphic: frameSequence entry out of bounds\n"},
    };
    for (const Broken& c : cases) {
        restart();
        EXPECT_EQ(load(c.text), 0) << c.text;
        EXPECT_EQ(errorText(), c.log) << c.text;
    }
}

TEST_F(GraphicFile, TwentyEntriesAreTheMost)
{
    ASSERT_EQ(load(head + "a 0 1 0 20\n0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19\ne\n"), 1);
    EXPECT_EQ(g.animations[0].numFrames, 20);
    EXPECT_EQ(g.animations[0].frameSequence[19], 19);
}

TEST_F(GraphicFile, NullGraphicAndMissingFile)
{
    EXPECT_EQ(loadGraphic(NULL, "G.txt", 0, 0), 0);
    EXPECT_EQ(loadGraphic(&g, "Missing.txt", 0, 0), 0);
    EXPECT_EQ(loadGraphic(&g, NULL, 0, 0), 0);
    EXPECT_EQ(errorText(), "loadGraphic: lpGraphic was NULL\nloadGraphic: error opening file.\n"
                           "loadGraphic: error opening file.\n");
}

class MasterGraphicsFile : public GraphicFile {
protected:
    void SetUp() override
    {
        GraphicFile::SetUp();
        writeFile("One.txt", head + "f 0 1 1 1\ne\n");
    }

    std::string list(int count, int names)
    {
        std::string s = std::to_string(count) + " graphics\n";
        for (int i = 0; i < names; i++)
            s += "One.txt\n";
        return s;
    }
};

TEST_F(MasterGraphicsFile, CountsFromNegativeToTwenty)
{
    writeFile("M.txt", list(20, 20));
    ASSERT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(numMasterGraphics, 20);
    for (int i = 0; i < 20; i++)
        EXPECT_EQ(surfacePixel(masterGraphics[i].frames[0], 3, 4), cellSheetColour(1, 1)) << i;
    EXPECT_EQ(errorText(), "");

    writeFile("M.txt", list(21, 21));
    EXPECT_EQ(loadMasterGraphics("M.txt"), 0);
    EXPECT_EQ(numMasterGraphics, 20) << "a refused count is not stored";
    EXPECT_EQ(errorText(), "loadMasterGraphics: num of graphics exceeds maximum\n");

    restart();
    writeFile("M.txt", list(0, 3));
    EXPECT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(numMasterGraphics, 0);
    EXPECT_EQ(masterGraphics[0].width, 0);

    writeFile("M.txt", list(-3, 3));
    EXPECT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(numMasterGraphics, -3);
    EXPECT_EQ(masterGraphics[0].width, 0);
    EXPECT_EQ(destroyMasterGraphics(), 1);
    EXPECT_EQ(errorText(), "");
}

TEST_F(MasterGraphicsFile, NamesRunningOutAndSurplusNames)
{
    writeFile("M.txt", list(2, 1));
    EXPECT_EQ(loadMasterGraphics("M.txt"), 0);
    EXPECT_EQ(numMasterGraphics, 2) << "stored before loading";
    EXPECT_NE(masterGraphics[0].frames[0], nullptr);
    EXPECT_EQ(masterGraphics[1].width, 0);
    EXPECT_EQ(errorText(), "loadMasterGraphics: error reading file name\n");

    restart();
    writeFile("M.txt", "1\nOne.txt\nMissing.txt\n");
    EXPECT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(numMasterGraphics, 1);
    EXPECT_EQ(errorText(), "");
}

TEST_F(MasterGraphicsFile, EmptyLinesAreSkippedButCommentLinesAreNames)
{
    writeFile("M.txt", "1\n\n\n   One.txt   the ship\n");
    EXPECT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(errorText(), "");

    writeFile("M.txt", "1\n# ship\nOne.txt\n");
    EXPECT_EQ(loadMasterGraphics("M.txt"), 0);
    EXPECT_EQ(errorText(),
              "loadGraphic: error opening file.\nloadMasterGraphics: error loading graphic\n");
}

TEST_F(MasterGraphicsFile, NamesAreCutAfterFiftyCharacters)
{
    std::string fifty(50, 'n');
    writeFile(fifty, head + "f 0 2 1 1\ne\n");
    writeFile("M.txt", "1\n" + fifty + "xyz\n");
    EXPECT_EQ(loadMasterGraphics("M.txt"), 1);
    EXPECT_EQ(surfacePixel(masterGraphics[0].frames[0], 3, 4), cellSheetColour(2, 1));
    EXPECT_EQ(errorText(), "");
}

TEST_F(MasterGraphicsFile, FailuresOfTheList)
{
    writeFile("Empty.txt", "");
    writeFile("NoNewline.txt", "1\nOne.txt");
    writeFile("CountOnly.txt", "1");
    EXPECT_EQ(loadMasterGraphics(NULL), 0);
    EXPECT_EQ(loadMasterGraphics("Missing.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("Empty.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("NoNewline.txt"), 0);
    EXPECT_EQ(loadMasterGraphics("CountOnly.txt"), 0);
    EXPECT_EQ(errorText(), "loadMasterGraphics: null pointer passed\n"
                           "loadMasterGraphics: unable to open file\n"
                           "loadMasterGraphics: error reading number of graphics\n"
                           "loadMasterGraphics: unexpected end of file\n"
                           "loadMasterGraphics: unexpected end of file\n");
}

TEST_F(MasterGraphicsFile, ChainFromTheBitmapOutward)
{
    writeFile("Bad.txt", "Missing.bmp\n");
    writeFile("M.txt", "2\nOne.txt\nBad.txt\n");
    EXPECT_EQ(loadMasterGraphics("M.txt"), 0);
    EXPECT_EQ(errorText(), "loadBitmapFile:  error opening file\n"
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
            masterGraphics[i].visible = 1;
        }
        memset(&e, 0x5A, sizeof(e));
    }

    int load(const std::string& text)
    {
        writeFile("E.txt", text);
        return loadEnemy(&e, "E.txt");
    }
};

const std::string example = "3 fighter graphic\n1 kind\n2 2\n1\n0\n2\n"
                            "1 2 8 30 0 6 10\n1 2 24 30 0 6 10\n2\n0 40\n1 90\n0\n1\n";

TEST_F(EnemyFile, WorkedExampleFillsTheTemplate)
{
    ASSERT_EQ(load(example), 1);
    EXPECT_EQ(errorText(), "");
    EXPECT_EQ(e.graphic.width, 13);
    EXPECT_EQ(e.graphic.attributes, GRAPHIC_ANIMATED | GRAPHIC_CLONE);
    EXPECT_EQ(masterGraphics[3].attributes, GRAPHIC_ANIMATED) << "the master is not marked";
    EXPECT_EQ(e.enemyID, 1);
    EXPECT_EQ(e.xSpeed, 2);
    EXPECT_EQ(e.ySpeed, 2);
    EXPECT_EQ(e.state, 1);
    EXPECT_EQ(e.weapon.state, 0);
    EXPECT_EQ(e.weapon.numDischarges, 2);
    const DischargeDesc& d = e.weapon.descs[1];
    EXPECT_EQ(d.graphicID, 1);
    EXPECT_EQ(d.attributes, 2);
    EXPECT_EQ(d.xOffset, 24);
    EXPECT_EQ(d.yOffset, 30);
    EXPECT_EQ(d.xVelocity, 0);
    EXPECT_EQ(d.yVelocity, 6);
    EXPECT_EQ(d.damage, 10);
    EXPECT_EQ(e.weapon.descs[2].graphicID, 0);
    EXPECT_EQ(e.weapon.descs[4].damage, 0);
    EXPECT_EQ(e.timers[0].delay, 40);
    EXPECT_EQ(e.timers[1].delay, 90);
    for (int i = 0; i < MAX_TIMERS; i++) {
        EXPECT_EQ(e.timers[i].active, 0);
        EXPECT_EQ(e.timers[i].count, 0);
    }
    EXPECT_EQ(e.timers[2].delay, 0);
    EXPECT_EQ(e.aiState, 0);
    EXPECT_EQ(e.aiCallback, aiCallbacks[1]);
    EXPECT_EQ(e.destX, 0);
    EXPECT_EQ(e.destY, 0);
    EXPECT_EQ(e.health, 100);
}

TEST_F(EnemyFile, NineLinesWithoutShotsOrTimersAndNoFinalNewline)
{
    ASSERT_EQ(load("0\n5\n0 3\n1\n0\n0\n0\n2\n0"), 1);
    EXPECT_EQ(e.weapon.numDischarges, 0);
    for (int i = 0; i < MAX_TIMERS; i++)
        EXPECT_EQ(e.timers[i].delay, 0);
    EXPECT_EQ(e.aiState, 2);
    EXPECT_EQ(e.aiCallback, nullptr);
    EXPECT_EQ(e.health, 100);
    EXPECT_EQ(e.graphic.attributes & GRAPHIC_CLONE, GRAPHIC_CLONE);
}

TEST_F(EnemyFile, ALaterTimerLineForTheSameIndexWins)
{
    ASSERT_EQ(load("0\n5\n1 1\n1\n0\n0\n3\n1 30\n4 7\n1 60\n0\n1\n"), 1);
    EXPECT_EQ(e.timers[1].delay, 60);
    EXPECT_EQ(e.timers[4].delay, 7);
}

TEST_F(EnemyFile, FiveShotDescriptionsAreTheMost)
{
    std::string text = "0\n5\n1 1\n1\n0\n5\n";
    for (int i = 0; i < 5; i++)
        text += "3 0 " + std::to_string(i) + " 0 0 1 1\n";
    ASSERT_EQ(load(text + "0\n0\n1"), 1);
    EXPECT_EQ(e.weapon.descs[4].graphicID, 3);
    EXPECT_EQ(e.weapon.descs[4].xOffset, 4);
}

TEST_F(EnemyFile, EveryFailureLogsItsLine)
{
    const Broken cases[] = {
        {"", "loadEnemy: error reading graphicID\n"},
        {"x\n", "loadEnemy: error reading graphicID\n"},
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
        closeErrorLog();
        remove("Error.txt");
        memset(&e, 0x5A, sizeof(e));
        EXPECT_EQ(load(c.text), 0) << c.text;
        EXPECT_EQ(errorText(), c.log) << c.text;
    }
}

TEST_F(EnemyFile, AFailedLoadLeavesAClearedRecord)
{
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
    std::string twenty = "20\n", twentyOne = "21\n";
    for (int i = 0; i < 20; i++)
        twenty += "E.txt\n";
    twentyOne = "21\n" + twenty.substr(3) + "E.txt\n";
    writeFile("M.txt", twenty);
    ASSERT_EQ(loadMasterEnemies("M.txt"), 1);
    EXPECT_EQ(numMasterEnemies, 20);
    EXPECT_EQ(masterEnemies[19].health, 100);
    EXPECT_EQ(masterEnemies[19].timers[1].delay, 90);

    writeFile("M.txt", twentyOne);
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

    EXPECT_EQ(errorText(), "loadMasterEnemies: num of enemies exceeds maximum\n"
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
        // What a previous script left: a failed load must not touch it.
        numDeploymentOrders = 7;
        currentDeploymentOrder = 4;
        deploymentState = DEPLOY_DONE;
    }

    int load(const std::string& text)
    {
        writeFile("D.dpo", text);
        return loadDeploymentOrders("D.dpo");
    }

    void expectUntouched()
    {
        EXPECT_EQ(numDeploymentOrders, 7);
        EXPECT_EQ(currentDeploymentOrder, 4);
        EXPECT_EQ(deploymentState, DEPLOY_DONE);
    }

    static std::string orders(int n)
    {
        std::string s;
        for (int i = 0; i < n; i++)
            s += "o " + std::to_string(i % 3) + " 1 " + std::to_string(i) + " 0\n";
        return s;
    }
};

TEST_F(OrdersFile, WorkedExampleAndAScriptOfOnlyTheEnd)
{
    ASSERT_EQ(load("o 0 2 100 0\no 0 3 500 0\no 1 5 300 0\ne\n"), 1);
    EXPECT_EQ(numDeploymentOrders, 3);
    EXPECT_EQ(currentDeploymentOrder, 0);
    EXPECT_EQ(deploymentState, DEPLOY_START);
    EXPECT_EQ(deploymentOrders[2].enemyIndex, 1);
    EXPECT_EQ(deploymentOrders[2].delay, 5);
    EXPECT_EQ(deploymentOrders[2].x, 300);
    EXPECT_EQ(deploymentOrders[2].y, 0);

    numDeploymentOrders = 7;
    deploymentState = DEPLOY_DONE;
    ASSERT_EQ(load("e"), 1);
    EXPECT_EQ(numDeploymentOrders, 0);
    EXPECT_EQ(deploymentState, DEPLOY_START);
    EXPECT_EQ(errorText(), "");
}

TEST_F(OrdersFile, FiftyOrdersAreTheMost)
{
    ASSERT_EQ(load(orders(50) + "e\n"), 1);
    EXPECT_EQ(numDeploymentOrders, 50);
    EXPECT_EQ(deploymentOrders[49].x, 49);

    numDeploymentOrders = 7;
    currentDeploymentOrder = 4;
    deploymentState = DEPLOY_DONE;
    // The 51st is refused before its values are read.
    EXPECT_EQ(load(orders(50) + "o garbage\ne\n"), 0);
    EXPECT_EQ(errorText(), "loadDeploymentOrders: too many deployments\n");
    expectUntouched();
}

TEST_F(OrdersFile, OrdersSpreadOverLinesAndTextAfterTheEnd)
{
    ASSERT_EQ(load("o 2\n  7\n\n-20\n-40 comment\ne and then\nwhatever\n\n"), 1);
    EXPECT_EQ(numDeploymentOrders, 1);
    EXPECT_EQ(deploymentOrders[0].enemyIndex, 2);
    EXPECT_EQ(deploymentOrders[0].delay, 7);
    EXPECT_EQ(deploymentOrders[0].x, -20);
    EXPECT_EQ(deploymentOrders[0].y, -40);
}

TEST_F(OrdersFile, EveryFailureLogsItsLineAndKeepsTheSchedulerAsItWas)
{
    const Broken cases[] = {
        {"", "loadDeploymentOrders: unknown identifier read\n"},
        {"\ne\n", "loadDeploymentOrders: unknown identifier read\n"},
        {"o 0 1 2 3\n\ne\n", "loadDeploymentOrders: unknown identifier read\n"},
        {" o 0 1 2 3\ne\n", "loadDeploymentOrders: unknown identifier read\n"},
        {"o 0 1 2 3\n# wave two\ne\n", "loadDeploymentOrders: unknown identifier read\n"},
        {"o 0 1 2 3\n", "loadDeploymentOrders: unknown identifier read\n"},
        {"O 0 1 2 3\ne\n", "loadDeploymentOrders: unknown identifier read\n"},
        {"o 0 1 2\ne\n", "loadDeploymentOrders: error reading in a deployment order\n"},
        {"o 0 1 2 3", "loadDeploymentOrders: unexpected end of file\n"},
        {"o 3 1 2 3\ne\n", "loadDeploymentOrders: enemyIndex out of bounds\n"},
        {"o -1 1 2 3\ne\n", "loadDeploymentOrders: enemyIndex out of bounds\n"},
        {"o 0 -1 2 3\ne\n", "loadDeploymentOrders: delay out of bounds\n"},
        {"o 0 35791395 2 3\ne\n", "loadDeploymentOrders: delay out of bounds\n"},
    };
    for (const Broken& c : cases) {
        closeErrorLog();
        remove("Error.txt");
        EXPECT_EQ(load(c.text), 0) << c.text;
        EXPECT_EQ(errorText(), c.log) << c.text;
        expectUntouched();
    }
    // The longest wait the scheduler can count.
    EXPECT_EQ(load("o 0 35791394 2 3\ne\n"), 1);
}

TEST_F(OrdersFile, NullNameAndMissingFile)
{
    EXPECT_EQ(loadDeploymentOrders(NULL), 0);
    EXPECT_EQ(loadDeploymentOrders("Missing.dpo"), 0);
    EXPECT_EQ(errorText(), "loadDeploymentOrders: null pointer passed\n"
                           "loadDeploymentOrders: error opening file\n");
    expectUntouched();
}

// ---- The content shipped with the game ----

class ShippedContent : public GameTest {};

TEST_F(ShippedContent, EveryFileLoads)
{
    std::string data = sourcePath("data");
    if (readFile(data + "/palette.pal").empty())
        GTEST_SKIP() << "no content in " << data;
    copyTree(data, dir);
    ASSERT_EQ(bringDisplayUp(), 1);
    EXPECT_EQ(loadMasterGraphics("Graphics/MasterGraphics.txt"), 1);
    EXPECT_GE(numMasterGraphics, 6) << "the ship, its shot, the power-up and the overlay";
    EXPECT_EQ(loadMasterEnemies("Enemies/MasterEnemies.txt"), 1);
    EXPECT_GE(numMasterEnemies, 1);
    EXPECT_EQ(loadDeploymentOrders("DeploymentOrders/DeploymentOrder1.dpo"), 1);
    EXPECT_GE(numDeploymentOrders, 1);
    EXPECT_EQ(errorText(), "");
}

}  // namespace
