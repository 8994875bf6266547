// One place that knows every global of the game, so each test starts from a fresh process.
// Each subsystem adds its own globals here.
#include "tests/support/world_reset.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "display/display.h"
#include "game/ai.h"
#include "game/records.h"
#include "game/statistics.h"
#include "game/world.h"
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
    forgetAllSurfacePixels();
    // input
    lpdi = NULL;
    lpdiKeyboard = NULL;
    memset(keyState, 0, sizeof(keyState));
    keyboardFailing = 0;

    // gameplay
    player = Player();
    aiCallbacks[0] = NULL;
    aiCallbacks[1] = runZorvikAI;
    deploymentState = DEPLOY_START;
    currentDeploymentOrder = 0;
    numDeploymentOrders = 0;
    deploymentTimer = Timer();
    gameStatistics = GameStatistics();
    srand(1); // the generator as a new process has it

    // world: the pool records go back to the allocator, the tables to zero
    freeMemory();
    memset(masterGraphics, 0, sizeof(masterGraphics));
    numMasterGraphics = 0;
    memset(masterEnemies, 0, sizeof(masterEnemies));
    numMasterEnemies = 0;
    numActiveDischarges = 0;
    numActiveEnemies = 0;
    numActivePowerUps = 0;
    memset(deploymentOrders, 0, sizeof(deploymentOrders));
    memset(stars, 0, sizeof(stars));
    memset(&overlayGraphic, 0, sizeof(overlayGraphic));
    backBufferMemory = NULL;
    backBufferPitch = 0;
}
