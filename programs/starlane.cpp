// The process entry on hosts without Windows: hand over to the game's WinMain, recording
// the game when STARLANE_RECORD names a file it can be written into (and on the page, playing
// the recording that STARLANE_PLAYBACK names).
#include <windows.h>

#include "record/session.h"
#ifdef __EMSCRIPTEN__
#include "programs/watch_web.h"
#endif

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    // A recording that cannot be made is refused before anything is played: the log and
    // stderr say why, and the game does not start.
    if (!recordingStart("starlane", 1)) {
        recordingFinish("starlane", 1);
        return 1;
    }
#ifdef __EMSCRIPTEN__
    if (!watchStart("starlane"))
        return 2;
#endif
    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    recordingFinish("starlane", exitCode);
    return exitCode;
}
