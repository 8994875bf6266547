// The stand-in's own interface: what the Win32, DirectDraw and DirectInput imitations
// need from a backend (SDL2 for play, headless for tests and replays), and the
// instrumentation every backend shares (fault injection, call record, live objects).
#ifndef STARLANE_PLATFORM_H
#define STARLANE_PLATFORM_H

#include <windows.h>

struct tagPALETTEENTRY;

// ---- Backend: implemented once in backend_sdl.cpp and once in backend_headless.cpp ----
enum { BACKEND_EVENT_NONE = 0, BACKEND_EVENT_CLOSE = 1, BACKEND_EVENT_EXPOSE = 2 };

int backendOpenWindow(const char* title, int width, int height);   // 1 ok, 0 failed
void backendCloseWindow();
void backendTurn();                    // once at the start of every PeekMessageA
int backendPollEvent();                // next BACKEND_EVENT_*; updates the key state
DWORD backendTicks();                  // milliseconds, wraps like GetTickCount
void backendSleep(DWORD milliseconds);
int backendSetDisplayMode(int width, int height, int bpp);          // 1 ok, 0 unsupported
void backendRestoreDisplayMode();
void backendShowCursor(int show);
// Show an 8-bit picture through a 256-entry palette (PALETTEENTRY layout: r, g, b, flags).
void backendPresent(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256);
// The keyboard as DirectInput sees it: 256 bytes, 0x80 for a key held, by DIK_ code.
const unsigned char* backendKeyState();

// ---- Screenshots ----
// Writes the picture through the palette as a PNG named starlane-NNNN.png in the working
// directory, taking the first number whose file does not exist; the name goes to `name`.
// 1 ok, 0 failed (nothing is left behind).
int writeScreenshot(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256, char* name, int nameSize);

// ---- Fault injection (tests and the fault sweep make any call fail on demand) ----
// Make the nth call (1-based, counted from now) of `call` and the count-1 calls after it
// fail with `code`; count < 0 means for ever. `call` is the API name, e.g. "RegisterClassExA",
// "CreateSurface", "Blt", "Lock", "GetDeviceState".
void faultSet(const char* call, int nth, int count, long code);
void faultClearAll();
// Called at the top of every stand-in call: counts it and returns the error code to fail
// with, or 0 to go on.
long faultCheck(const char* call);
int faultCallCount(const char* call);   // calls of `call` seen since the last faultClearAll
void faultResetCounts();

// ---- Call record (off unless a test turns it on: recording allocates) ----
void recordEnable(int on);
void recordCall(const char* format, ...);   // one line, e.g. "Blt dest=(0,0,800,600) flags=0x1000400"
int recordCount();
const char* recordLine(int index);
void recordClear();

// ---- Live objects: DirectDraw and DirectInput objects not yet released ----
void liveObjectAdd(int delta);
int liveObjectCount();

#endif
