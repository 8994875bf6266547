// Until the world arrives: bring up the display and the keyboard and show a field of
// dots drifting down the screen in palette colours; Escape quits.
#include <stdlib.h>

#include <windows.h>

#include "display/display.h"
#include "game/constants.h"
#include "game/game.h"
#include "input/input.h"
#include "shell/errorlog.h"
#include "shell/framesync.h"
#include "shell/shell.h"

static int frameCount = 0;

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
    frameCount = 0;
    return 1;
}

int gameMain()
{
    startFrame();
    if (quitFlag)
        return 0;
    clearBackBuffer();
    readKeyboard();
    if (keyDown(DIK_ESCAPE))
        PostQuitMessage(0);

    int pitch;
    unsigned char* buffer = lockBackBuffer(&pitch);
    if (buffer == NULL) {
        writeError("gameMain: error locking back buffer\n");
        return 0;
    }
    // 300 dots in three speeds, spread by a fixed hash of their number.
    for (int i = 0; i < 300; i++) {
        int x = (i * 7919) % screenWidth;
        int y = ((i * 104729) % screenHeight + frameCount * (1 + i % 3)) % screenHeight;
        plotPixel(x, y, (unsigned char)(i % 255 + 1), buffer, pitch);
    }
    if (!unlockBackBuffer()) {
        writeError("gameMain:  error unlocking back buffer\n");
        return 0;
    }
    flipSurfaces();
    frameCount++;
    syncFrame();
    return 1;
}

int gameShutDown()
{
    int result = 1;
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
