#include "bench/headless_game.h"

#include "game/game.h"
#include "bench/game_setup.h"
#include "platform/headless.h"
#include "shell/errorlog.h"
#include "shell/shell.h"
#include "tests/support/world_reset.h"

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
