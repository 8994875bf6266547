// The game's figures, which the replay tool and the recorder gather as they watch the world
// frame by frame.
#ifndef STARLANE_RECORD_FIGURES_H
#define STARLANE_RECORD_FIGURES_H

#include <string>

void replayStart();                 // before the game starts
void replayObserveFrame(int frame); // after each frame; must not allocate
std::string replayGameStats();      // extra JSON members, each starting with ", "
// The game's figures as JSON members without the braces: frames, exit code, the size of
// Error.txt in the working directory, then replayGameStats(). A recording keeps them and the
// replay tool prints them, so that the two can be compared member by member.
std::string replayFigures(int frames, int exitCode);

#endif
