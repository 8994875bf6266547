// The game: the world (player, enemies, weapons, AI, stars, collisions, its figures) and its
// three entry points here, called by WinMain. It may include every room of the game beneath
// it (shell, display, graphics, input, content); the tools, benchmarks and tests drive it.
#ifndef STARLANE_GAME_GAME_H
#define STARLANE_GAME_GAME_H

int gameInit();     // bring everything up; 1 ok, 0 failed (logged)
int gameMain();     // one frame
int gameShutDown(); // release everything; 1 ok, 0 if a release failed

#endif
