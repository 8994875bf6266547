// Test and replay hooks of the headless backend: a virtual clock, keys set by hand,
// a simulated close of the window, and the last picture presented.
#ifndef STARLANE_PLATFORM_HEADLESS_H
#define STARLANE_PLATFORM_HEADLESS_H

#include <windows.h>

// Back to a fresh process: no window or class, empty queue, no faults, no record,
// no keys, no picture, live objects 0, no recorder, clock at `startTick`.
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
int headlessCursorShown();                                  // ShowCursor's display counter >= 0

// DirectDraw: rows of new surfaces are padded to a multiple of `bytes` (64 by default;
// a test may pick e.g. 8 to get a known pitch). Every live surface becomes lost, as after
// a mode switch: Blt, Lock, Flip answer DDERR_SURFACELOST until Restore.
void headlessSetPitchAlignment(int bytes);
void headlessLoseSurfaces();
// On: a restored surface comes back holding garbage, as video memory may after a real loss;
// off (the default): it keeps its pixels.
void headlessSetRestoreGarbage(int on);

// DirectInput: every acquired keyboard loses its acquisition; GetDeviceState answers
// DIERR_INPUTLOST until the device is acquired again.
void headlessLoseKeyboard();

// DirectDraw's settings back to default; part of headlessReset, which also deletes the
// objects a test left behind (com_object.h).
void ddrawReset();

// Win32 state of the stand-in (windows, classes, queue); part of headlessReset.
void win32Reset();
int win32WindowCount();
int win32QueueLength();

#endif
