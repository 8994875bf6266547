// One table of broken content, each row run through every reader: the game (the replay tool,
// which is the game on the headless backend), the content checker and the content builder's
// check. They must agree: the game refuses a row exactly when the checker shows its start-up
// failing, with the game's own lines at the FILE:LINE the row names; the builder says what the
// checker says.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

using ToolRun = CommandRun;

ToolRun runTool(const std::string& command)
{
    return runCommand(command + " 2>/dev/null");
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Replaces the first `from` in content/`file` with `to`.
void edit(const std::string& file, const std::string& from, const std::string& to)
{
    editFile("content/" + file, from, to);
}

void crlf(const std::string& file)
{
    std::string text = readFile("content/" + file), out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    writeFile("content/" + file, out);
}

void poke32(const std::string& file, size_t offset, uint32_t value)
{
    std::string bytes = readFile("content/" + file);
    for (int i = 0; i < 4; i++)
        bytes[offset + i] = (char)(value >> (8 * i));
    writeFile("content/" + file, bytes);
}

// An 8-bit sheet of one cell, `width` x `height` pixels.
void bigSheet(const std::string& file, int width, int height)
{
    std::string b = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++)
            b += (char)(v >> (8 * i));
    };
    uint32_t pixels = (uint32_t)width * height;
    put32(14 + 40 + 1024 + pixels);
    put32(0);
    put32(14 + 40 + 1024);
    put32(40);
    put32((uint32_t)width);
    put32((uint32_t)-height);
    b += std::string("\x01\x00\x08\x00", 4);
    for (int i = 0; i < 6; i++)
        put32(0);
    b += std::string(1024 + pixels, '\0');
    writeFile("content/" + file, b);
}

struct Row {
    const char* what;
    std::function<void()> apply;
    const char* gameLine;    // the game's first line in Error.txt; "" when it starts clean
    const char* checkerLine; // the checker's first line (its place included); "" when clean
};

class Agreement : public GameTest {};

TEST_F(Agreement, EveryReaderGivesTheSameVerdictOnEachBrokenFile)
{
    const char* const intRange = "readInt: number out of the range of an int";
    // An enemy beside the content folder, named from inside it.
    const std::string outside = dir + "/Wasp.txt";
    const std::string leaves = " leaves the content folder, so the content plays only on this "
                               "machine; name the file from inside the folder";
    const std::string absoluteLine =
        "content/Enemies/MasterEnemies.txt:3: warning: " + outside + leaves;
    auto nameOutside = [](const std::string& name) {
        writeFile("Wasp.txt", readFile("content/Enemies/Wasp.txt"));
        edit("Enemies/MasterEnemies.txt", "Enemies/Wasp.txt", name);
    };
    const std::string climbingLine =
        "content/Enemies/MasterEnemies.txt:3: warning: ../Wasp.txt" + leaves;
    const Row rows[] = {
        {"damage beyond an int",
         [] { edit("Enemies/Wasp.txt", "8 3 10 26 0 5 6", "8 3 10 26 0 5 2147483648"); }, intRange,
         "content/Enemies/Wasp.txt:7: Error.txt: readInt: number out of the range of an int"},
        {"a timer delay of 2^32 + 3", [] { edit("Enemies/Wasp.txt", "0 50", "0 4294967299"); },
         intRange,
         "content/Enemies/Wasp.txt:10: Error.txt: readInt: number out of the range of an int"},
        {"a speed below an int", [] { edit("Enemies/Wasp.txt", "3 1  ", "-2147483649 1"); },
         intRange,
         "content/Enemies/Wasp.txt:3: Error.txt: readInt: number out of the range of an int"},
        {"a frame index of eleven digits",
         [] { edit("Graphics/PlayerShot.txt", "f 1 1 0 1", "f 99999999999 1 0 1"); }, intRange,
         "content/Graphics/PlayerShot.txt:8: Error.txt: readInt: number out of the range of an "
         "int"},
        {"Windows line ends",
         [] {
             crlf("Graphics/PlayerShot.txt");
             crlf("Enemies/Wasp.txt");
             crlf("Enemies/MasterEnemies.txt");
         },
         "", ""},
        {"Windows line ends and an empty line before the e",
         [] {
             edit("Graphics/PlayerShot.txt", "1 2 3 4\ne", "1 2 3 4\n\ne");
             crlf("Graphics/PlayerShot.txt");
         },
         "loadGraphic: unexpected end of file",
         "content/Graphics/PlayerShot.txt:18: Error.txt: loadGraphic: unexpected end of file"},
        {"a frame wider than the display can make",
         [] { edit("Graphics/PlayerShot.txt", "8 16 8 0", "8193 16 8 0"); },
         "loadGraphic: invalid frame size",
         "content/Graphics/PlayerShot.txt:2: Error.txt: loadGraphic: invalid frame size"},
        {"an endless file for a description",
         [] { edit("Graphics/MasterGraphics.txt", "Graphics/Dart.txt", "/dev/zero"); },
         "loadBitmapFile:  error opening file",
         "/dev/zero:1: Error.txt: loadBitmapFile:  error opening file"},
        {"a byte-order mark before the graphics list",
         [] {
             edit("Graphics/MasterGraphics.txt", "11 ",
                  "\xEF\xBB\xBF"
                  "11 ");
         },
         "openTextFile: file begins with a byte-order mark",
         "content/Graphics/MasterGraphics.txt:1: Error.txt: openTextFile: file begins with a "
         "byte-order mark"},
        {"a sheet too large to hold", [] { poke32("Graphics/Dart.bmp", 18, 0x7FFFFFFF); },
         "loadBitmapFile: memory allocation error",
         "content/Graphics/Dart.txt:1: Error.txt: loadBitmapFile: memory allocation error"},
        {"more frame memory than the content may take",
         [] {
             bigSheet("Graphics/Big.bmp", 8192, 1024);
             std::string text = "Graphics/Big.bmp\n8192 1024 8 0\n0 0 8 8\n0\n0\n";
             // Eight frames of 8 MiB fill the bound; the graphics before it take the rest.
             for (int i = 0; i < 9; i++)
                 text += "f " + std::to_string(i) + " 0 0 0\n";
             writeFile("content/Graphics/Needle.txt", text + "e\n");
         },
         "loadGraphic: frames exceed the frame memory limit",
         "content/Graphics/Needle.txt:13: Error.txt: loadGraphic: frames exceed the frame memory "
         "limit"},
        {"one frame slot loaded again and again",
         [] {
             bigSheet("Graphics/Big.bmp", 8192, 1024);
             std::string text = "Graphics/Big.bmp\n8192 1024 8 0\n0 0 8 8\n0\n0\n";
             // Each load gives up the frame before it: 16 MiB held, not 80.
             text += "f 1 0 0 0\n";
             for (int i = 0; i < 9; i++)
                 text += "f 0 0 0 0\n";
             writeFile("content/Graphics/Needle.txt", text + "e\n");
         },
         "", "content/Graphics/Big.bmp: no .sheet source beside it"},
        {"a fire timer delay of -2^31", [] { edit("Enemies/Wasp.txt", "0 50", "0 -2147483648"); },
         "",
         "content/Enemies/Wasp.txt:12: warning: timer 0, the fire timer, has delay -2147483648: "
         "the enemy fires "
         "every second frame"},
        {"a name with a backslash",
         [] { edit("Enemies/MasterEnemies.txt", "Enemies/Wasp.txt", "Enemies\\Wasp.txt"); }, "",
         "content/Enemies/MasterEnemies.txt:3: warning: Enemies\\Wasp.txt separates folders with "
         "'\\'; write '/', "
         "which every system reads"},
        {"a name in another letter case",
         [] { edit("Enemies/MasterEnemies.txt", "Enemies/Wasp.txt", "enemies/wasp.TXT"); }, "",
         "content/Enemies/MasterEnemies.txt:3: warning: enemies/wasp.TXT is found only as "
         "Enemies/Wasp.txt; write "
         "the name in the same letter case"},
        {"a negative deployment delay",
         [] { edit("DeploymentOrders/DeploymentOrder1.dpo", "o 0 3 150", "o 0 -3 150"); }, "", ""},
        {"a broken sheet source", [] { edit("Graphics/Dart.sheet", "grid 5 2", "grid 5 2 7"); }, "",
         "content/Graphics/Dart.sheet:17: grid needs COLS ROWS, 1..64"},
        {"an endless sheet source",
         [] { ASSERT_EQ(symlink("/dev/zero", "content/Graphics/Zero.sheet"), 0); }, "",
         "content/Graphics/Zero.sheet: larger than 128 MiB, more than any sheet the game loads"},
        {"a sheet source larger than the game loads",
         [] {
             writeFile("content/Graphics/Huge.sheet",
                       "cell 1024 1024\nborder 64 0\ngrid 64 64\nat 0 0\n");
         },
         "",
         "content/Graphics/Huge.sheet:4: the sheet is 69696x69696 pixels, more than the game loads "
         "(64 MiB)"},
        {"sheets past the folder's budget together, each within the game's bound",
         [] {
             for (const char* name : {"Big1", "Big2", "Big3", "Big4"})
                 writeFile(std::string("content/Graphics/") + name + ".sheet",
                           "cell 1024 1024\nborder 0 0\ngrid 8 8\n");
         },
         "",
         "content/Graphics/Big3.sheet:3: the sheet is 8192x8192 pixels, which takes the folder's "
         "sheets past 128 MiB of pictures together; the sheets after it are not built"},
        {"lists and orders that hold nothing",
         [] {
             writeFile("content/Graphics/MasterGraphics.txt", "0\n");
             writeFile("content/Enemies/MasterEnemies.txt", "0\n");
             writeFile("content/DeploymentOrders/DeploymentOrder1.dpo", "e\n");
         },
         "",
         "content/Graphics/MasterGraphics.txt:1: warning: graphic 0, the player's ship, is "
         "missing: "
         "the list must hold at least 6 graphics"},
        {"a name that climbs out of the folder", [&] { nameOutside("../Wasp.txt"); }, "",
         climbingLine.c_str()},
        {"an absolute name", [&] { nameOutside(outside); }, "", absoluteLine.c_str()},
    };
    // STARLANE_AGREEMENT_KEEP=DIR keeps each row's folder as DIR/N, for the web tools' table.
    const char* keep = getenv("STARLANE_AGREEMENT_KEEP");
    int number = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(system("rm -rf content"), 0);
        makeDirs("content");
        copyTree(shippedContentPath(), "content");
        row.apply();

        ToolRun game = runTool(std::string(STARLANE_REPLAY) + " --data content --frames 2");
        std::vector<std::string> log = splitLines(readFile("content/Error.txt"));
        remove("content/Error.txt");
        if (keep != NULL) {
            std::string to = std::string(keep) + "/" + std::to_string(++number);
            ASSERT_EQ(system(("rm -rf '" + to + "' && cp -a content '" + to + "'").c_str()), 0);
        }
        ToolRun check = runTool(std::string(STARLANE_CHECK) + " content");
        ToolRun builder = runTool(std::string(STARLANE_MKCONTENT) + " check content");

        EXPECT_EQ(game.exitCode, *row.gameLine ? 1 : 0);
        EXPECT_EQ(log.empty() ? "" : log[0], row.gameLine);
        EXPECT_EQ(check.exitCode, *row.checkerLine ? 1 : 0);
        EXPECT_EQ(check.lines.empty() ? "" : check.lines[0], row.checkerLine);
        // The checker shows every line the game logs, in its order, and no warning piled on a
        // refusal.
        std::vector<std::string> gameLines;
        for (const std::string& l : check.lines) {
            size_t at = l.find(": Error.txt: ");
            if (at != std::string::npos)
                gameLines.push_back(l.substr(at + 13));
            if (*row.gameLine) {
                EXPECT_EQ(l.find("warning:"), std::string::npos) << l;
            }
        }
        EXPECT_EQ(gameLines, log);
        EXPECT_EQ(builder.exitCode, check.exitCode);
        if (check.exitCode == 1) {
            EXPECT_EQ(builder.lines, check.lines);
        }
    }
}

// Frames within the content's bound on a machine with less memory than they take: the
// surface that cannot be held is refused with the display's lines, never an exception.
TEST_F(Agreement, ASurfaceTheMachineCannotHoldEndsStartUpWithItsLines)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    makeDirs("content");
    copyTree(shippedContentPath(), "content");
    bigSheet("Graphics/Big.bmp", 8192, 1024);
    std::string text = "Graphics/Big.bmp\n8192 1024 8 0\n0 0 8 8\n0\n0\n";
    for (int i = 0; i < 7; i++)
        text += "f " + std::to_string(i) + " 0 0 0\n";
    writeFile("content/Graphics/Needle.txt", text + "e\n");
    ToolRun game =
        runTool("ulimit -v 60000; " + std::string(STARLANE_REPLAY) + " --data content --frames 2");
    EXPECT_EQ(game.exitCode, 1);
    std::vector<std::string> log = splitLines(readFile("content/Error.txt"));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "createDDSurface:  error creating surface");
    EXPECT_EQ(log.back(), "WinMain: gameInit() error");
}

} // namespace
