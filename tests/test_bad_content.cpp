// Damaged content from a user, run through WinMain on a copy of the real content folder: the
// game must not crash nor touch memory outside its tables (the sanitizer build checks that), and
// must stop at start-up with the loader's chain of lines and exit code 1.
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include <dinput.h>

#include "platform/headless.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "tests/support/testsupport.h"
#include "tests/support/worldfiles.h"

namespace {

const int FRAMES = 150; // frames a run that starts is played for

void playTurn(int turn)
{
    // Fire and fly about, so that loaded values meet the frame's arithmetic.
    headlessSetKey(DIK_SPACE, 1);
    headlessSetKey(DIK_A, turn / 40 % 2);
    headlessSetKey(DIK_D, turn / 40 % 2 == 0);
    headlessSetKey(DIK_W, turn / 30 % 2);
    if (turn == FRAMES)
        headlessRequestClose();
}

class BadContent : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        makeDirs("pristine");
        copyTree(shippedContentPath(), "pristine");
    }

    // A fresh copy of the content in ./game, made current.
    void freshCopy()
    {
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_EQ(system("rm -rf game && cp -r pristine game"), 0);
        ASSERT_EQ(chdir("game"), 0);
    }

    int run()
    {
        resetWorld();
        headlessSetTurnHook(playTurn);
        return WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    }
};

void truncateTo(const std::string& path, size_t bytes)
{
    std::string text = readFile(path);
    ASSERT_GT(text.size(), bytes) << path;
    writeFile(path, text.substr(0, bytes));
}

// A 32-bit little-endian field of a binary file.
void poke32(const std::string& path, size_t offset, uint32_t value)
{
    std::string bytes = readFile(path);
    ASSERT_GT(bytes.size(), offset + 4);
    for (int i = 0; i < 4; i++)
        bytes[offset + i] = (char)(value >> (8 * i));
    writeFile(path, bytes);
}

// Bytes from a fixed seed, every value but the first allowed: that one is neither a digit,
// a sign, white space nor a record letter, so where the reading stops is known.
std::string garbage(size_t size)
{
    std::string bytes;
    uint32_t state = 2463534242u;
    bytes += (char)0xC3;
    while (bytes.size() < size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes += (char)(state & 0xFF);
    }
    return bytes;
}

#define WINMAIN "WinMain: gameInit() error\n"
#define GRAPHICS                                                                                   \
    "loadMasterGraphics: error loading graphic\ngameInit: error loading master graphics\n" WINMAIN
#define ENEMIES                                                                                    \
    "loadMasterEnemies: error loading enemy\ngameInit: error loading master enemies\n" WINMAIN
#define ORDERS "gameInit: error loading deployment orders\n" WINMAIN

struct Damage {
    const char* what;
    std::function<void()> apply;
    const char* log;
};

TEST_F(BadContent, EachKindOfDamageStopsStartUpWithItsChain)
{
    const std::string lastOrder = "o 0 0 470 -40          Dart at 135 s\n";
    const Damage damages[] = {
        {"a sheet cut short in its pixels", [] { truncateTo("Graphics/PlayerShip.bmp", 20000); },
         "loadBitmapFile: error reading bitmap image\nloadGraphic: error loading bitmap "
         "file\n" GRAPHICS},
        {"a sheet cut inside its headers", [] { truncateTo("Graphics/Dart.bmp", 30); },
         "loadBitmapFile:  error reading info header\nloadGraphic: error loading bitmap "
         "file\n" GRAPHICS},
        {"a missing sheet", [] { unlink("Graphics/Dart.bmp"); },
         "loadBitmapFile:  error opening file\nloadGraphic: error loading bitmap file\n" GRAPHICS},
        {"a sheet that is no bitmap", [] { writeFile("Graphics/Dart.bmp", "GIF89a"); },
         "loadBitmapFile:  error reading file header\nloadGraphic: error loading bitmap "
         "file\n" GRAPHICS},
        {"a sheet claiming 2^31 - 1 rows", [] { poke32("Graphics/Dart.bmp", 22, 0x7FFFFFFF); },
         "loadBitmapFile: memory allocation error\n"
         "loadGraphic: error loading bitmap file\n" GRAPHICS},
        {"a frame of width 0", [] { editFile("Graphics/PlayerShot.txt", "8 16 8 0", "0 16 8 0"); },
         "loadGraphic: invalid frame size\n" GRAPHICS},
        {"frames of 24 bits cut from an 8-bit sheet",
         [] { editFile("Graphics/PlayerShot.txt", "8 16 8 0", "8 16 24 0"); },
         "loadGraphic: bpp does not match the bitmap file\n" GRAPHICS},
        {"a frame beyond the sheet's edge",
         [] { editFile("Graphics/Dart.txt", "f 4 4 0 1", "f 4 40 0 1"); },
         "loadGraphic: frame lies outside the bitmap\n" GRAPHICS},
        {"a frame at column -1", [] { editFile("Graphics/Dart.txt", "f 4 4 0 1", "f 4 -1 0 1"); },
         "loadGraphic: frame lies outside the bitmap\n" GRAPHICS},
        {"frame index -1", [] { editFile("Graphics/PlayerShip.txt", "f 0 0 0 1", "f -1 0 0 1"); },
         "loadFrame: frame index out of bounds\nloadGraphic: error loading frame\n" GRAPHICS},
        {"animation index -1",
         [] { editFile("Graphics/PlayerShip.txt", "a 0 0 2 3", "a -1 0 2 3"); },
         "loadAnimation: index out of bounds\nloadGraphic:  error loading animation\n" GRAPHICS},
        {"a frame sequence entry -3",
         [] { editFile("Graphics/PlayerShip.txt", "\n5 6 3", "\n5 -3 3"); },
         "loadGraphic: frameSequence entry out of bounds\n" GRAPHICS},
        {"an animation of a million frames",
         [] { editFile("Graphics/PlayerShip.txt", "a 0 0 2 3", "a 0 0 2 1000000"); },
         "loadGraphic: num of frames out of bounds\n" GRAPHICS},
        {"a bounding box at 2^31 - 1",
         [] { editFile("Graphics/PlayerShot.txt", "2 0 6 12", "2 0 2147483647 12"); },
         "loadGraphic: bounding box out of bounds\n" GRAPHICS},
        {"a description claiming to be a copy",
         [] {
             editFile("Graphics/Dart.txt", "4                           attributes",
                      "12                          attributes");
         },
         "loadGraphic: invalid attributes\n" GRAPHICS},
        {"a graphic without its end record",
         [] {
             std::string text = readFile("Graphics/PlayerShot.txt");
             writeFile("Graphics/PlayerShot.txt", text.substr(0, text.rfind("e\n")));
         },
         "loadGraphic: unexpected end of file\n" GRAPHICS},
        {"2^31 - 1 graphics", [] { editFile("Graphics/MasterGraphics.txt", "11 ", "2147483647 "); },
         "loadMasterGraphics: num of graphics exceeds maximum\n"
         "gameInit: error loading master graphics\n" WINMAIN},
        {"-5 graphics", [] { editFile("Graphics/MasterGraphics.txt", "11 ", "-5 "); },
         "loadEnemy: graphicID out of bounds\n" ENEMIES},
        {"a graphic name longer than a name can be",
         [] {
             editFile("Graphics/MasterGraphics.txt", "Graphics/Dart.txt", std::string(300, 'x'));
         },
         "loadGraphic: error opening file.\n" GRAPHICS},
        {"99999 enemy kinds", [] { editFile("Enemies/MasterEnemies.txt", "4 ", "99999 "); },
         "loadMasterEnemies: num of enemies exceeds maximum\n"
         "gameInit: error loading master enemies\n" WINMAIN},
        {"an enemy on graphic -1", [] { editFile("Enemies/Wasp.txt", "3 ", "-1 "); },
         "loadEnemy: graphicID out of bounds\n" ENEMIES},
        {"an enemy with 1000 shots",
         [] {
             editFile("Enemies/Wasp.txt", "2                       shot",
                      "1000                    shot");
         },
         "loadEnemy: num of discharges out of bounds\n" ENEMIES},
        {"a shot flying 2^31 - 1 pixels a frame",
         [] { editFile("Enemies/Wasp.txt", "8 3 10 26 0 5 6", "8 3 10 26 0 2147483647 6"); },
         "loadEnemy: discharge desc out of bounds\n" ENEMIES},
        {"an enemy speed of 2^31 - 1",
         [] { editFile("Enemies/Wasp.txt", "3 1 ", "2147483647 1 "); },
         "loadEnemy: speed out of bounds\n" ENEMIES},
        {"a million timer lines",
         [] {
             editFile("Enemies/Wasp.txt", "1                       timer",
                      "1000000                 timer");
         },
         "loadEnemy: error reading a timer delay\n" ENEMIES},
        {"timer index -1", [] { editFile("Enemies/Wasp.txt", "0 50", "-1 50"); },
         "loadEnemy: timer index out of bounds\n" ENEMIES},
        {"AI routine -1",
         [] {
             editFile("Enemies/Wasp.txt", "1                       AI routine",
                      "-1                      AI routine");
         },
         "loadEnemy: callback function ID out of bounds\n" ENEMIES},
        {"a folder where an enemy file should be",
         [] {
             unlink("Enemies/Wasp.txt");
             makeDirs("Enemies/Wasp.txt");
         },
         "loadEnemy: error reading graphicID\n" ENEMIES},
        {"an order for enemy -1",
         [] { editFile("DeploymentOrders/DeploymentOrder1.dpo", "o 0 3 150", "o -1 3 150"); },
         "loadDeploymentOrders: enemyIndex out of bounds\n" ORDERS},
        {"an order placed at x -2^31",
         [] {
             editFile("DeploymentOrders/DeploymentOrder1.dpo", "o 0 3 150", "o 0 3 -2147483648");
         },
         "loadDeploymentOrders: position out of bounds\n" ORDERS},
        {"51 orders",
         [lastOrder] {
             editFile("DeploymentOrders/DeploymentOrder1.dpo", lastOrder, lastOrder + lastOrder);
         },
         "loadDeploymentOrders: too many deployments\n" ORDERS},
        {"orders without their end record",
         [lastOrder] {
             std::string text = readFile("DeploymentOrders/DeploymentOrder1.dpo");
             writeFile("DeploymentOrders/DeploymentOrder1.dpo",
                       text.substr(0, text.find(lastOrder) + lastOrder.size()));
         },
         "loadDeploymentOrders: unknown identifier read\n" ORDERS},
        {"garbage for the graphics list",
         [] { writeFile("Graphics/MasterGraphics.txt", garbage(4096)); },
         "loadMasterGraphics: error reading number of graphics\n"
         "gameInit: error loading master graphics\n" WINMAIN},
        {"garbage for a graphic", [] { writeFile("Graphics/Dart.txt", garbage(4096)); },
         "loadBitmapFile:  error opening file\nloadGraphic: error loading bitmap file\n" GRAPHICS},
        {"garbage for the enemies list",
         [] { writeFile("Enemies/MasterEnemies.txt", garbage(4096)); },
         "loadMasterEnemies: error reading number of enemies\n"
         "gameInit: error loading master enemies\n" WINMAIN},
        {"garbage for an enemy", [] { writeFile("Enemies/Wasp.txt", garbage(4096)); },
         "loadEnemy: error reading graphicID\n" ENEMIES},
        {"garbage for the orders",
         [] { writeFile("DeploymentOrders/DeploymentOrder1.dpo", garbage(4096)); },
         "loadDeploymentOrders: unknown identifier read\n" ORDERS},
        {"garbage after the first order",
         [] {
             std::string text = readFile("DeploymentOrders/DeploymentOrder1.dpo");
             writeFile("DeploymentOrders/DeploymentOrder1.dpo",
                       text.substr(0, text.find('\n') + 1) + garbage(4096));
         },
         "loadDeploymentOrders: unknown identifier read\n" ORDERS},
        {"an empty palette", [] { writeFile("palette.pal", ""); },
         "loadPalette: error reading palette from file\nddInit: error loading palette\n"
         "gameInit: error initializing DirectDraw\n" WINMAIN},
        {"a palette one byte short", [] { truncateTo("palette.pal", 1023); },
         "loadPalette: error reading palette from file\nddInit: error loading palette\n"
         "gameInit: error initializing DirectDraw\n" WINMAIN},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        freshCopy();
        d.apply();
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(errorText(), d.log);
    }
}

// Every value on the value lines of a few files (the ship, an enemy shot, an enemy, the first
// orders), set in turn to the ends of an int and to the ends of what content may hold: either
// start-up refuses it with a chain of lines, or the game plays on it without overflowing (the
// sanitizer build stops at the first overflow) and shuts down cleanly.
TEST_F(BadContent, ExtremeNumbersAreRefusedOrPlayedSafely)
{
    const char* const values[] = {"2147483647", "-2147483648", "100000", "-100000"};
    struct Field {
        std::string file;
        size_t at, length;
    };
    std::vector<Field> fields;
    // The first orders fall due at once, so that the enemies fly and fire within the run.
    freshCopy();
    std::string script = readFile("DeploymentOrders/DeploymentOrder1.dpo");
    script =
        std::regex_replace(script, std::regex("^o (\\d+) \\d+ ", std::regex::multiline), "o $1 0 ");
    writeFile("../pristine/DeploymentOrders/DeploymentOrder1.dpo", script);

    const struct {
        const char* file;
        int valueLines;
    } files[] = {
        {"Graphics/PlayerShip.txt", 8},
        {"Graphics/PlasmaBall.txt", 8},
        {"Enemies/Wasp.txt", 12},
        {"DeploymentOrders/DeploymentOrder1.dpo", 3},
    };
    for (const auto& f : files) {
        // The numbers at the start of each line (after a record letter): the rest is comment.
        std::string text = readFile(std::string("../pristine/") + f.file);
        size_t lineStart = 0;
        for (int line = 0; line < f.valueLines && lineStart < text.size(); line++) {
            size_t end = text.find('\n', lineStart);
            std::string l = text.substr(lineStart, end - lineStart);
            std::smatch m;
            std::regex values("^([fao] )?(-?\\d+[ \\t]+)*-?\\d+");
            if (std::regex_search(l, m, values)) {
                std::regex number("-?\\d+");
                for (auto it = std::sregex_iterator(l.begin(), l.begin() + m.length(0), number);
                     it != std::sregex_iterator(); ++it)
                    fields.push_back({f.file, lineStart + it->position(), (size_t)it->length()});
            }
            lineStart = end + 1;
        }
    }
    ASSERT_GT(fields.size(), 40u);

    freshCopy();
    for (const Field& field : fields) {
        std::string text = readFile(field.file);
        for (const char* value : values) {
            SCOPED_TRACE(field.file + ": " + text.substr(field.at, field.length) + " -> " + value);
            writeFile(field.file,
                      text.substr(0, field.at) + value + text.substr(field.at + field.length));
            int exitCode = run();
            std::string log = errorText();
            if (exitCode == 1) {
                ASSERT_GE(log.size(), strlen(WINMAIN));
                EXPECT_EQ(log.substr(log.size() - strlen(WINMAIN)), WINMAIN);
            } else {
                EXPECT_EQ(exitCode, 0);
                EXPECT_LE(log.size(), (size_t)ERROR_LOG_LIMIT);
                EXPECT_EQ(liveObjectCount(), 0);
            }
        }
        writeFile(field.file, text);
    }
}

} // namespace
