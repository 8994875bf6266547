// Program entry, the window and its message loop.
#ifndef STARLANE_SHELL_SHELL_H
#define STARLANE_SHELL_SHELL_H

#include <windows.h>

extern HINSTANCE mainInstance; // the instance handle WinMain was given
extern HWND mainWindow;        // the one window
extern int quitFlag;           // raised on WM_DESTROY; frames then return at once

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The game's window as WinMain makes it, for the tools, benchmarks and tests that run the game
// in parts (WinMain makes its own): sets mainInstance and mainWindow; 1 ok.
int openGameWindow();

#endif
