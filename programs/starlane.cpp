// The process entry on hosts without Windows: hand over to the game's WinMain, recording
// the game when STARLANE_RECORD names a file (and on the page, playing the recording that
// STARLANE_PLAYBACK names).
#include <windows.h>

#include "record/session.h"
#ifdef __EMSCRIPTEN__
#include "programs/watch_web.h"
#endif

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    recordingStart("starlane", 1);
#ifdef __EMSCRIPTEN__
    if (!watchStart("starlane"))
        return 2;
#endif
    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    recordingFinish("starlane", exitCode);
    return exitCode;
}
