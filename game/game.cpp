#include "game/contract.h"
#include "game/game.h"

#include <stdlib.h>
#include <windows.h>

#include "content/content.h"
#include "content/files.h"
#include "display/display.h"
#include "game/collisions.h"
#include "game/enemies.h"
#include "game/player.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "shell/errorlog.h"
#include "shell/framesync.h"
#include "shell/shell.h"

// Brings the system up in a fixed order; stops at the first failure and takes nothing down.
int gameInit()
{
    srand(GetTickCount());

    if (!ddInit(screenWidth, screenHeight, screenBpp)) {
        writeError("gameInit: error initializing DirectDraw\n");
        return 0;
    }
    if (!diInit()) {
        writeError("gameInit: error initializing DirectInput\n");
        return 0;
    }
    if (!initKeyboard()) {
        writeError("gameInit: error initializing the keyboard\n");
        return 0;
    }
    if (!initFrameSyncer(framesPerSecond)) {
        writeError("gameInit: error initializing frame syncer\n");
        return 0;
    }
    ShowCursor(FALSE);
    if (!allocateMemory()) {
        writeError("gameInit: error in allocateMemory\n");
        return 0;
    }
    if (!createStars()) {
        writeError("gameInit: error creating stars\n");
        return 0;
    }
    if (!loadMasterGraphics(GRAPHICS_LIST)) {
        writeError("gameInit: error loading master graphics\n");
        return 0;
    }
    if (!loadMasterEnemies(ENEMIES_LIST)) {
        writeError("gameInit: error loading master enemies\n");
        return 0;
    }
    if (!initPlayer()) {
        writeError("gameInit: error in initPlayer\n");
        return 0;
    }
    if (!loadDeploymentOrders(ORDERS_FILE)) {
        writeError("gameInit: error loading deployment orders\n");
        return 0;
    }
    // With fewer than six master graphics this copies an empty, invisible record.
    cloneGraphic(&masterGraphics[GRAPHIC_OVERLAY], &overlayGraphic);
    overlayGraphic.x = OVERLAY_X;
    overlayGraphic.y = OVERLAY_Y;
    setAnimation(&overlayGraphic, OVERLAY_ANIMATION);
    return 1;
}

// One frame. Only a failed lock or unlock ends it early; every other failure has logged itself.
int gameMain()
{
    startFrame();
    if (quitFlag)
        return 0;

    clearBackBuffer();
    readKeyboard();
    processInput();
    detectCollisions(); // on the positions drawn last frame
    processDeploymentOrders();
    runEnemyAI();
    updatePlayer();
    animateObjects();
    animateGraphic(&overlayGraphic);
    removeDeadObjects();

    // A frame that cannot reach the back buffer (the screen is away: the game minimised,
    // another program in front) ends here but still sleeps out its budget, so waiting for the
    // screen to come back costs what a normal frame does, not a whole core.
    backBufferMemory = lockBackBuffer(&backBufferPitch);
    if (backBufferMemory == NULL) {
        writeError("gameMain: error locking back buffer\n");
        syncFrame();
        return 0;
    }
    updateStars(); // under every sprite
    if (!unlockBackBuffer()) {
        writeError("gameMain:  error unlocking back buffer\n");
        syncFrame();
        return 0;
    }

    drawObjects();
    drawGraphic(&overlayGraphic); // over everything
    flipSurfaces();
    syncFrame();
    return 1;
}

// Every release runs whatever the earlier ones returned.
int gameShutDown()
{
    int result = 1;

    freeMemory();
    destroyMasterGraphics();
    if (!releaseKeyboard()) {
        writeError("gameShutDown: error releasing the keyboard\n");
        result = 0;
    }
    if (!diShutDown()) {
        writeError("gameShutDown:  error shutting down DirectInput\n");
        result = 0;
    }
    if (!ddShutDown()) {
        writeError("gameShutDown:  error shutting down DirectDraw\n");
        result = 0;
    }
    return result;
}
