// The headless backend's own controls, for tests and the tools that run the game without a
// screen: a virtual clock, keys set by hand, a simulated close of the window, and the last
// picture presented. What the stand-in offers under every backend is in standin_hooks.h.
#ifndef STARLANE_PLATFORM_HEADLESS_H
#define STARLANE_PLATFORM_HEADLESS_H

#include <windows.h>

// Back to a fresh process: no window or class, empty queue, no faults, no record,
// no keys, no picture, live objects 0, no play watch, clock at `startTick`.
void headlessReset(DWORD startTick);

void headlessSetTicks(DWORD ticks);
void headlessAdvance(DWORD milliseconds); // a slow frame: time passes without a Sleep
DWORD headlessSleptTotal();               // milliseconds slept since the reset
DWORD headlessLastSleep();                // the last Sleep's argument (0 if none)
int headlessSleepCount();

void headlessSetKey(int dik, int down);
void headlessClearKeys();

void headlessRequestClose();  // the user closes the window
void headlessRequestExpose(); // the window needs painting

// Called at the start of every PeekMessageA, i.e. once per turn of the game loop,
// with the turn number counted from 0.
void headlessSetTurnHook(void (*hook)(int turn));

// The last picture presented (8-bit pixels and the palette they were shown through).
int headlessPresentCount();
int headlessScreenWidth();
int headlessScreenHeight();
// Copies the last picture as 24-bit RGB rows (width * 3 bytes each) into rgb; 0 if none yet.
int headlessScreenRGB(unsigned char* rgb);
int headlessDisplayMode(int* width, int* height, int* bpp); // 0 when no mode was set

#endif
