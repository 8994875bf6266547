#include "tests/support/loaderinputs.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include <windows.h>

#include "bitmap/bitmap.h"
#include "content/content.h"
#include "display/display.h"
#include "game/records.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "shell/shell.h"

// DirectDraw objects alive once the world is up; every feed must come back to this.
static int baselineObjects = 0;

static void writeBytes(const char* name, const uint8_t* data, size_t size)
{
    FILE* file = fopen(name, "wb");
    if (file == NULL)
        return;
    if (size > 0)
        fwrite(data, 1, size, file);
    fclose(file);
}

// Piece `n` (from 0) of an input whose pieces are separated by zero bytes; the last piece
// takes the rest of the input, zero bytes included, so a sheet can be binary. A piece the
// input does not have is removed, so that no file of an earlier input is read by mistake.
static void writePiece(const char* name, const uint8_t* data, size_t size, int n, int last)
{
    size_t start = 0;
    for (int i = 0; i < n; i++) {
        const void* zero = memchr(data + start, 0, size - start);
        if (zero == NULL) {
            unlink(name);
            return;
        }
        start = (size_t)((const uint8_t*)zero - data) + 1;
    }
    size_t end = size;
    if (!last) {
        const void* zero = memchr(data + start, 0, size - start);
        if (zero != NULL)
            end = (size_t)((const uint8_t*)zero - data);
    }
    writeBytes(name, data + start, end - start);
}

// A fresh log for every input, so it holds only the lines of the last one.
static void freshLog()
{
    openErrorLog("Error.txt");
}

static int linkContent(const std::string& contentDir, const char* name)
{
    std::string target = contentDir + "/" + name;
    if (symlink(target.c_str(), name) == 0)
        return 1;
    return access(name, F_OK) == 0;
}

int loaderWorldUp(const char* contentDir, int level)
{
    std::string dir = contentDir;
    if (!linkContent(dir, "Graphics") || !linkContent(dir, "Enemies") ||
        !linkContent(dir, "DeploymentOrders") || !linkContent(dir, "palette.pal"))
        return 0;
    freshLog();
    if (level >= LOADER_WORLD_DISPLAY) {
        if (!openGameWindow() || !ddInit(800, 600, 8))
            return 0;
    }
    if (level >= LOADER_WORLD_GRAPHICS && !loadMasterGraphics("Graphics/MasterGraphics.txt"))
        return 0;
    if (level >= LOADER_WORLD_ENEMIES && !loadMasterEnemies("Enemies/MasterEnemies.txt"))
        return 0;
    baselineObjects = liveObjectCount();
    return 1;
}

int loaderObjectsLeft()
{
    return liveObjectCount() - baselineObjects;
}

int feedBitmapFile(const uint8_t* data, size_t size)
{
    freshLog();
    writeBytes("Fuzzed.bmp", data, size);
    BitmapFile sheet;
    BitmapImage cell;
    memset(&sheet, 0, sizeof(sheet));
    memset(&cell, 0, sizeof(cell));
    int result = loadBitmapFile(&sheet, "Fuzzed.bmp");
    if (result) {
        long long width = sheet.infoHeader.biWidth;
        long long rows = sheet.infoHeader.biHeight < 0 ? -(long long)sheet.infoHeader.biHeight
                                                       : (long long)sheet.infoHeader.biHeight;
        int bytesPerPixel = sheet.infoHeader.biBitCount / 8;
        // The reserved header words are kept but never used by the reader: they choose a
        // cell here, so the fuzzer steers the cutting without changing what is read.
        WORD a = sheet.fileHeader.bfReserved1, b = sheet.fileHeader.bfReserved2;
        extractBitmapTemplated(&cell, &sheet, 1 + (a & 0xFF), 1 + (a >> 8), b & 0xF, (b >> 4) & 0xF,
                               b >> 8);
        // The whole sheet as one cell is the sheet; its last pixel is the last bytes.
        size_t total = (size_t)(width * bytesPerPixel * rows);
        if (extractBitmapTemplated(&cell, &sheet, (int)width, (int)rows, 0, 0, 0) &&
            memcmp(cell.buffer, sheet.buffer, total) != 0)
            result = LOADER_INCONSISTENT;
        if (extractBitmapTemplated(&cell, &sheet, 1, 1, 0, (int)(width - 1), (int)(rows - 1)) &&
            memcmp(cell.buffer, sheet.buffer + total - bytesPerPixel, bytesPerPixel) != 0)
            result = LOADER_INCONSISTENT;
        // Cells just past the edges are refused.
        if (extractBitmapTemplated(&cell, &sheet, 1, 1, 0, (int)width, 0) ||
            extractBitmapTemplated(&cell, &sheet, 1, 1, 0, 0, (int)rows))
            result = LOADER_INCONSISTENT;
        extractBitmapTemplated(&cell, &sheet, 8, 8, 1, 1, 1);
        // Turned over twice the picture is as read.
        std::string before((const char*)sheet.buffer, total);
        int rowLength = (int)(width * bytesPerPixel);
        if (!flipBitmap(sheet.buffer, rowLength, (int)rows) ||
            !flipBitmap(sheet.buffer, rowLength, (int)rows) ||
            memcmp(before.data(), sheet.buffer, total) != 0)
            result = LOADER_INCONSISTENT;
        // A second load into the same record lets go of the first picture.
        loadBitmapFile(&sheet, "Fuzzed.bmp");
    }
    destroyBitmapImage(&cell);
    destroyBitmapFile(&sheet);
    return result;
}

int feedPaletteFile(const uint8_t* data, size_t size)
{
    freshLog();
    writeBytes("Fuzzed.pal", data, size);
    PALETTEENTRY table[256];
    return loadPalette("Fuzzed.pal", table);
}

// Uses a loaded graphic the way play does: a copy on the screen and off it, every animation
// stepped and drawn, every frame chosen and drawn, the box tests.
static void playGraphic(const Graphic* master)
{
    Graphic copy;
    if (cloneGraphic(master, &copy) == NULL)
        return;
    copy.x = 100;
    copy.y = 100;
    testCollisionGraphic(&copy, master);
    testCollisionGraphic(master, &copy);
    graphicOffscreen(&copy);
    for (int a = 0; a < MAX_ANIMATIONS; a++) {
        setAnimation(&copy, a);
        for (int step = 0; step < 4; step++) {
            animateGraphic(&copy);
            drawGraphic(&copy);
        }
    }
    for (int f = 0; f < MAX_FRAMES; f++) {
        setFrame(&copy, f);
        drawGraphic(&copy);
    }
    // Above and left of the screen, where objects come in and leave.
    copy.x = -100;
    copy.y = -100;
    drawGraphic(&copy);
    testCollisionGraphic(&copy, master);
    testCollisionGraphic(master, &copy);
    graphicOffscreen(&copy);
}

int feedGraphicFile(const uint8_t* data, size_t size)
{
    freshLog();
    writePiece("Fuzzed.txt", data, size, 0, 0);
    writePiece("Fuzzed.bmp", data, size, 1, 1);
    Graphic graphic;
    memset(&graphic, 0, sizeof(graphic));
    int result = loadGraphic(&graphic, "Fuzzed.txt", 0, 0);
    if (result)
        playGraphic(&graphic);
    // A graphic that failed half-way keeps the frames it had loaded.
    destroyGraphic(&graphic);
    return result;
}

int feedMasterGraphics(const uint8_t* data, size_t size)
{
    freshLog();
    writePiece("FuzzedList.txt", data, size, 0, 0);
    writePiece("Fuzzed.txt", data, size, 1, 0);
    writePiece("Fuzzed.bmp", data, size, 2, 1);
    int result = loadMasterGraphics("FuzzedList.txt");
    // Every slot, whatever count the list claimed.
    for (int i = 0; i < MAX_MASTER_GRAPHICS; i++)
        destroyGraphic(&masterGraphics[i]);
    memset(masterGraphics, 0, sizeof(masterGraphics));
    numMasterGraphics = 0;
    return result;
}

int feedEnemyFile(const uint8_t* data, size_t size)
{
    freshLog();
    writeBytes("FuzzedEnemy.txt", data, size);
    Enemy enemy;
    return loadEnemy(&enemy, "FuzzedEnemy.txt");
}

int feedMasterEnemies(const uint8_t* data, size_t size)
{
    freshLog();
    writePiece("FuzzedList.txt", data, size, 0, 0);
    writePiece("FuzzedEnemy.txt", data, size, 1, 1);
    int result = loadMasterEnemies("FuzzedList.txt");
    memset(masterEnemies, 0, sizeof(masterEnemies));
    numMasterEnemies = 0;
    return result;
}

int feedDeploymentOrders(const uint8_t* data, size_t size)
{
    freshLog();
    writeBytes("Fuzzed.dpo", data, size);
    int result = loadDeploymentOrders("Fuzzed.dpo");
    memset(deploymentOrders, 0, sizeof(deploymentOrders));
    numDeploymentOrders = 0;
    currentDeploymentOrder = 0;
    deploymentState = DEPLOY_START;
    return result;
}
