#include "headless_game.h"

#include "game/game.h"
#include "game_setup.h"
#include "headless.h"
#include "world_reset.h"

int prepareGame(unsigned startTick)
{
    resetGameGlobals();
    headlessReset(startTick);
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
