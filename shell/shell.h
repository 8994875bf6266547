// The shell: the program's entry, the window and its message loop (here), the frame pacing
// (framesync.h), the error log Error.txt (errorlog.h) and the exe's resource ids (resource.h).
// It includes only the Win32 API and game/game.h, which WinMain starts; every room of the game
// writes to its log, and the tools, benchmarks and tests bring the window up through it.
#ifndef STARLANE_SHELL_SHELL_H
#define STARLANE_SHELL_SHELL_H

#include <windows.h>

extern HINSTANCE mainInstance; // the instance handle WinMain was given
extern HWND mainWindow;        // the one window
extern int quitFlag;           // raised on WM_DESTROY; frames then return at once

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

#endif
