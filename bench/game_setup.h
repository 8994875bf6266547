// The game brought up for measuring on a scratch copy of the real content (the game
// writes its Error.txt there), and its pools filled to capacity.
#ifndef STARLANE_BENCH_GAME_SETUP_H
#define STARLANE_BENCH_GAME_SETUP_H

int enterScratchContent();  // copy data/ into a new temp dir and make it current; 1 ok
void leaveScratchContent(); // back to where we were; the copy is removed

// After gameInit: 100 shots, 15 enemies and 10 power-ups put in through the game's own
// operations, placed so that a frame neither empties a pool nor logs anything; 1 ok.
int fillPools();

long errorLogBytes(); // size of ./Error.txt, 0 when missing

#endif
