// The game's three entry points, called by WinMain.
#ifndef STARLANE_GAME_GAME_H
#define STARLANE_GAME_GAME_H

int gameInit();     // bring everything up; 1 ok, 0 failed (logged)
int gameMain();     // one frame
int gameShutDown(); // release everything; 1 ok, 0 if a release failed

#endif
