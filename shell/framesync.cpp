#include "shell/framesync.h"

int frameDuration = 0;
DWORD frameStart = 0;

int initFrameSyncer(int framesPerSecond)
{
    frameDuration = (int)(1000u / (unsigned)framesPerSecond);
    return 1;
}

int startFrame()
{
    frameStart = GetTickCount();
    return 1;
}

int syncFrame()
{
    // Unsigned difference: right even when the tick counter wrapped in between.
    DWORD elapsed = GetTickCount() - frameStart;
    LONG remaining = (LONG)((DWORD)frameDuration - elapsed);
    // Only a clock that went back since the frame's start leaves more than the budget: a
    // reading that jumped must not put the game to sleep for hours.
    if (remaining > frameDuration)
        remaining = frameDuration;
    if (remaining > 0)
        Sleep((DWORD)remaining);
    return 1;
}
