// The game started and stopped on the headless backend, as from a fresh process.
#ifndef STARLANE_BENCH_HEADLESS_GAME_H
#define STARLANE_BENCH_HEADLESS_GAME_H

int prepareGame(unsigned startTick); // fresh globals and platform, then openGameWindow; 1 ok
int startGame(unsigned startTick);   // prepareGame and gameInit; 1 ok
void stopGame();                     // gameShutDown

#endif
