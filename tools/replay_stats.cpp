#include "replay_stats.h"

// The world has nothing to report yet.
void replayStart() {}
void replayObserveFrame(int frame) { (void)frame; }
std::string replayGameStats() { return std::string(); }
