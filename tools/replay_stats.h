// Game statistics the replay tool gathers as it watches the world, frame by frame.
#ifndef STARLANE_TOOLS_REPLAY_STATS_H
#define STARLANE_TOOLS_REPLAY_STATS_H

#include <string>

void replayStart();                 // before the game starts
void replayObserveFrame(int frame); // after each frame; must not allocate
std::string replayGameStats();      // extra JSON members, each starting with ", "

#endif
