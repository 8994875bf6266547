#include "game/game.h"

// The world arrives with the display, content and gameplay; until then a frame does nothing.
int gameInit()
{
    return 1;
}

int gameMain()
{
    return 1;
}

int gameShutDown()
{
    return 1;
}
