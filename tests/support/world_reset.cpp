// One place that knows every global of the game, so each test starts from a fresh process.
// Each subsystem adds its own globals here.
#include "world_reset.h"

#include <stdio.h>

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
}
