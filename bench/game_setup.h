// The game brought up for measuring on the headless backend, on a scratch copy of the
// real content (the game writes its Error.txt there).
#ifndef STARLANE_BENCH_GAME_SETUP_H
#define STARLANE_BENCH_GAME_SETUP_H

int enterScratchContent();   // copy data/ into a new temp dir and make it current; 1 ok
void leaveScratchContent();  // back to where we were; the copy is removed

// A fresh process's state, then what WinMain does before gameInit (error log, window);
// 1 when that much is up.
int prepareGame(unsigned startTick);
int startGame(unsigned startTick);   // prepareGame and gameInit; 1 ok
void stopGame();                     // gameShutDown

long errorLogBytes();                // size of ./Error.txt, 0 when missing

#endif
