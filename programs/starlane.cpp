// The process entry on hosts without Windows: hand over to the game's WinMain, recording
// the game when STARLANE_RECORD names a file.
#include <windows.h>

#include "record/session.h"

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    recordingStart("starlane", 1);
    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    recordingFinish("starlane", exitCode);
    return exitCode;
}
