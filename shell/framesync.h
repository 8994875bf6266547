// Frame pacing: sleep away what is left of each frame's budget.
#ifndef STARLANE_SHELL_FRAMESYNC_H
#define STARLANE_SHELL_FRAMESYNC_H

#include <windows.h>

extern int frameDuration; // milliseconds per frame, 1000 / rate truncated
extern DWORD frameStart;  // tick count at the start of the current frame

int initFrameSyncer(int framesPerSecond);
int startFrame();
int syncFrame();

#endif
