// Where a recorder or a playback takes part in a game on the stand-in: the stand-in calls the
// watch at its three points, every clock reading, every keyboard read and every turn of the
// game loop. record/ sets it; nothing is called while none is set, and headlessReset unsets it.
#ifndef STARLANE_PLATFORM_PLAY_WATCH_H
#define STARLANE_PLATFORM_PLAY_WATCH_H

#include <windows.h>

struct PlayWatch {
    void (*tick)(DWORD ticks);          // GetTickCount's reading (the first seeds the game)
    void (*keys)(unsigned char* state); // the 256 bytes GetDeviceState hands the game; may change
    void (*turn)();                     // PeekMessageA: a frame ended, the next begins
};

void setPlayWatch(const PlayWatch* watch); // NULL: none
const PlayWatch* playWatch();

#endif
