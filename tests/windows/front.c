/* front.exe CLASS: brings the top-level window of that class back to the front, as a
   player clicking the game's minimised window would: restore it, then give it the focus.
   Exit 0 when the window was found, 1 when there is none. Built by smoke.sh. */
#include <windows.h>

int main(int argc, char** argv)
{
    HWND window = argc > 1 ? FindWindowA(argv[1], NULL) : NULL;
    if (window == NULL)
        return 1;
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return 0;
}
