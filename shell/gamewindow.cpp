#include <windows.h>

#include "shell/shell.h"

int openGameWindow()
{
    mainInstance = GetModuleHandleA(NULL);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = mainInstance;
    wc.lpszClassName = "Generic Windows Class";
    // Only what the stand-in and DirectDraw need: no icon, cursor or brush to fail. A second window of a run finds the class registered by the first.
    RegisterClassExA(&wc);
    mainWindow =
        CreateWindowExA(0, "Generic Windows Class", "Generic Window", WS_POPUP | WS_VISIBLE, 0, 0,
                        640, 480, NULL, NULL, mainInstance, NULL);
    return mainWindow != NULL;
}
