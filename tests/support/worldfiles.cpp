#include "tests/support/worldfiles.h"

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "display/display.h"
#include "tests/support/display_support.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"

static void put16(std::string& s, int v)
{
    s += (char)(v & 0xFF);
    s += (char)((v >> 8) & 0xFF);
}

static void put32(std::string& s, int v)
{
    put16(s, v & 0xFFFF);
    put16(s, (v >> 16) & 0xFFFF);
}

void writeTestSheet(const std::string& path, int width, int height, int (*pixel)(int x, int y))
{
    int padded = (width + 3) / 4 * 4;
    std::string s;
    put16(s, 0x4D42);
    put32(s, 14 + 40 + 1024 + padded * height);
    put16(s, 0);
    put16(s, 0);
    put32(s, 14 + 40 + 1024);
    put32(s, 40);
    put32(s, width);
    put32(s, height);
    put16(s, 1);
    put16(s, 8);
    put32(s, 0);
    put32(s, padded * height);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 256);
    put32(s, 0);
    for (int i = 0; i < 256; i++)
        put32(s, i * 0x010101);
    for (int y = height - 1; y >= 0; y--) { // bottom row first
        for (int x = 0; x < width; x++)
            s += (char)pixel(x, y);
        for (int x = width; x < padded; x++)
            s += (char)0;
    }
    writeFile(path, s);
}

int cellSheetColour(int cx, int cy)
{
    return 10 + cy * 4 + cx;
}

static int cellSheetPixel(int x, int y)
{
    if (x % 9 == 0 || y % 9 == 0)
        return 1;
    return cellSheetColour(x / 9, y / 9);
}

void writeCellSheet(const std::string& path)
{
    writeTestSheet(path, 37, 19, cellSheetPixel);
}

void makeDirs(const std::string& path)
{
    std::string cmd = "mkdir -p '" + path + "'";
    if (system(cmd.c_str()) != 0)
        ADD_FAILURE() << "could not make " << path;
}

void writeTestContent(int enemies, const std::string& orders)
{
    makeDirs("Graphics");
    makeDirs("Enemies");
    makeDirs("DeploymentOrders");
    writeTestPalette("palette.pal");
    writeCellSheet("Graphics/Sheet.bmp");
    const char* still = "Graphics/Sheet.bmp\n8 8 8 0\n0 0 7 7\n0\n0\n"
                        "f 0 0 0 1\nf 1 1 0 1\nf 2 2 0 1\nf 3 3 0 1\nf 4 0 1 1\n"
                        "a 0 0 0 1\n0\na 1 0 0 1\n1\na 2 0 0 1\n2\ne\n";
    std::string list = "6\n";
    for (int i = 0; i < 5; i++) {
        std::string name = "Graphics/Still" + std::to_string(i) + ".txt";
        writeFile(name, still);
        list += name + "\n";
    }
    // The overlay: four cells in a loop, one step each.
    writeFile("Graphics/Overlay.txt", "Graphics/Sheet.bmp\n8 8 8 0\n0 0 7 7\n4\n0\n"
                                      "f 0 0 1 1\nf 1 1 1 1\nf 2 2 1 1\nf 3 3 1 1\n"
                                      "a 0 1 0 4\n0 1 2 3\ne\n");
    list += "Graphics/Overlay.txt\n";
    writeFile("Graphics/MasterGraphics.txt", list);

    writeFile("Enemies/Still.txt", "3\n7\n1 1\n1\n0\n0\n0\n0\n0");
    std::string enemyList = std::to_string(enemies) + "\n";
    for (int i = 0; i < enemies; i++)
        enemyList += "Enemies/Still.txt\n";
    writeFile("Enemies/MasterEnemies.txt", enemyList);
    writeFile("DeploymentOrders/DeploymentOrder1.dpo", orders);
}

int bringDisplayUp()
{
    if (readFile("palette.pal").empty())
        writeTestPalette("palette.pal");
    return openGameWindow() && ddInit(800, 600, 8);
}

int surfacePixel(IDirectDrawSurface7* surface, int x, int y)
{
    int pitch = 0;
    unsigned char* pixels = lockSurface(surface, &pitch);
    if (pixels == NULL)
        return -1;
    int value = pixels[y * pitch + x];
    unlockSurface(surface);
    return value;
}
