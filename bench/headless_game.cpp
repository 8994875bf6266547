#include "headless_game.h"

#include "game/game.h"
#include "game_setup.h"
#include "headless.h"
#include "shell/errorlog.h"
#include "shell/shell.h"
#include "world_reset.h"

int prepareGame(unsigned startTick)
{
    resetGameGlobals();
    headlessReset(startTick);
    openErrorLog("Error.txt");
    return openGameWindow();
}

int startGame(unsigned startTick)
{
    return prepareGame(startTick) && gameInit();
}

void stopGame()
{
    gameShutDown();
}
