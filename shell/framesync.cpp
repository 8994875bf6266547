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
    if (remaining > 0)
        Sleep((DWORD)remaining);
    return 1;
}
