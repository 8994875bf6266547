// One place that knows every global of the game, so each test starts from a fresh process.
// Each subsystem adds its own globals here.
#include "world_reset.h"

#include <stdio.h>
#include <string.h>

#include "display/display.h"
#include "input/input.h"
#include "shell/errorlog.h"
#include "shell/framesync.h"
#include "shell/shell.h"

void resetGameGlobals()
{
    // shell
    if (errorLog != NULL)
        fclose(errorLog);
    errorLog = NULL;
    mainInstance = NULL;
    mainWindow = NULL;
    quitFlag = 0;
    frameDuration = 0;
    frameStart = 0;

    // display (the objects themselves are freed by the stand-in's reset)
    lpdd = NULL;
    lpddsPrimary = NULL;
    lpddsBack = NULL;
    lpddPalette = NULL;
    lpddClipper = NULL;
    memset(paletteTable, 0, sizeof(paletteTable));
    memset(&ddsd, 0, sizeof(ddsd));
    memset(&ddbltfx, 0, sizeof(ddbltfx));
    // input
    lpdi = NULL;
    lpdiKeyboard = NULL;
    memset(keyState, 0, sizeof(keyState));
    keyboardFailing = 0;
}
