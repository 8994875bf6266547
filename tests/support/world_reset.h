// Puts every global of the game back to its value at process start.
#ifndef STARLANE_TESTS_WORLD_RESET_H
#define STARLANE_TESTS_WORLD_RESET_H

void resetGameGlobals();

#endif
