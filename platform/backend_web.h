// The web backend's own controls beside the seam, for the game's program on the page: the
// clock started at a chosen reading (a recording's start tick), and the window closed as a
// person leaving would close it. The page sets the pace (webSetPace) while a recording plays.
#ifndef STARLANE_PLATFORM_BACKEND_WEB_H
#define STARLANE_PLATFORM_BACKEND_WEB_H

#include <windows.h>

void webClockStartAt(DWORD firstReading); // the clock's next reading is this, on from there
void webRequestClose();                   // the next poll of events closes the window

extern "C" {
// Time passes `speed` times as fast (1, 2, 4...); paused, the clock stands and Sleep waits.
// The game is decided frame by frame, so the pace changes nothing but how soon it is seen.
void webSetPace(int speed, int paused);
}

#endif
