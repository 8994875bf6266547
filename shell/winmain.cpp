#include <windows.h>

#include "content/files.h"
#include "game/game.h"
#include "input/input.h"
#include "shell/errorlog.h"
#include "shell/resource.h"
#include "shell/shell.h"

HINSTANCE mainInstance = NULL;
HWND mainWindow = NULL;
int quitFlag = 0;

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PAINTSTRUCT ps;

    switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY:
        quitFlag = 1;
        PostQuitMessage(0);
        return 0;
    case WM_ACTIVATEAPP:
        // Back in front after another program had the focus.
        if (wParam)
            reacquireKeyboard();
        return 0;
    case WM_PAINT:
        // Everything is drawn through DirectDraw; just validate the window.
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    (void)hPrevInstance;
    (void)lpCmdLine;
    (void)nCmdShow;

    WNDCLASSEXA winClass;
    MSG msg;

    openErrorLog(ERROR_LOG_FILE);
    mainInstance = hInstance;

    winClass.cbSize = sizeof(WNDCLASSEXA);
    winClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    winClass.lpfnWndProc = windowProc;
    winClass.cbClsExtra = 0;
    winClass.cbWndExtra = 0;
    winClass.hInstance = hInstance;
    winClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    winClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    // The game's icon from the exe's resources; a build without them gets the stock one.
    // With hIconSm null Windows takes the small size from the same icon resource.
    HICON icon = LoadIconA(hInstance, MAKEINTRESOURCEA(STARLANE_ICON));
    winClass.hIcon = icon != NULL ? icon : LoadIconA(NULL, IDI_APPLICATION);
    winClass.lpszMenuName = NULL;
    winClass.lpszClassName = "Generic Windows Class";
    winClass.hIconSm = icon != NULL ? NULL : LoadIconA(NULL, IDI_APPLICATION);

    if (RegisterClassExA(&winClass) == 0) {
        writeError("WinMain: error registering windows class\n");
        return 1;
    }

    mainWindow =
        CreateWindowExA(0, "Generic Windows Class", "Generic Window", WS_POPUP | WS_VISIBLE, 0, 0,
                        640, 480, NULL, NULL, hInstance, NULL);
    if (mainWindow == NULL) {
        writeError("WinMain: error creating window\n");
        return 1;
    }

    if (gameInit() == 0) {
        writeError("WinMain: gameInit() error\n");
        return 1;
    }

    for (;;) {
        if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        gameMain();
    }

    if (gameShutDown() == 0)
        writeError("WinMain: gameShutDown() error\n");
    return (int)msg.wParam;
}
