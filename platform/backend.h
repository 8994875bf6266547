// The backend seam: what the Win32, DirectDraw and DirectInput stand-in needs from the
// machine it runs on. A backend implements these functions and nothing else; the game and
// the stand-in stay the same. Backends: backend_sdl.cpp (play), backend_headless.cpp (tests
// and replays), backend_web.cpp (an HTML canvas in a browser).
#ifndef STARLANE_PLATFORM_BACKEND_H
#define STARLANE_PLATFORM_BACKEND_H

#include <windows.h>

enum { BACKEND_EVENT_NONE = 0, BACKEND_EVENT_CLOSE = 1, BACKEND_EVENT_EXPOSE = 2 };

int backendOpenWindow(const char* title, int width, int height); // 1 ok, 0 failed
void backendCloseWindow();
void backendTurn();     // once at the start of every PeekMessageA
int backendPollEvent(); // next BACKEND_EVENT_*; updates the key state
DWORD backendTicks();   // milliseconds, wraps like GetTickCount
void backendSleep(DWORD milliseconds);
int backendSetDisplayMode(int width, int height, int bpp); // 1 ok, 0 unsupported
void backendRestoreDisplayMode();
void backendShowCursor(int show);
// Show an 8-bit picture through a 256-entry palette (PALETTEENTRY layout: r, g, b, flags).
void backendPresent(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256);
// The keyboard as DirectInput sees it (a backend may add a gamepad pressing the same keys):
// 256 bytes, 0x80 for a key held, by DIK_ code.
const unsigned char* backendKeyState();

#endif
