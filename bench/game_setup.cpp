#include "game_setup.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>

#include "game/game.h"
#include "headless.h"
#include "shell/errorlog.h"
#include "shell/shell.h"
#include "world_reset.h"

namespace {
std::string scratch, home;
}

int enterScratchContent()
{
    char cwd[4096];
    char dir[] = "/tmp/starlane-bench-XXXXXX";
    if (getcwd(cwd, sizeof(cwd)) == NULL || mkdtemp(dir) == NULL)
        return 0;
    home = cwd;
    scratch = dir;
    std::error_code error;
    std::filesystem::copy(std::string(STARLANE_SOURCE_DIR) + "/data", scratch,
                          std::filesystem::copy_options::recursive, error);
    return !error && chdir(dir) == 0;
}

void leaveScratchContent()
{
    if (scratch.empty() || chdir(home.c_str()) != 0)
        return;
    std::error_code error;
    std::filesystem::remove_all(scratch, error);
    scratch.clear();
}

int prepareGame(unsigned startTick)
{
    resetGameGlobals();
    headlessReset(startTick);
    openErrorLog("Error.txt");
    mainInstance = GetModuleHandleA(NULL);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = mainInstance;
    wc.lpszClassName = "Generic Windows Class";
    if (RegisterClassExA(&wc) == 0)
        return 0;
    mainWindow = CreateWindowExA(0, "Generic Windows Class", "Generic Window", WS_POPUP | WS_VISIBLE, 0,
                                 0, 640, 480, NULL, NULL, mainInstance, NULL);
    return mainWindow != NULL;
}

int startGame(unsigned startTick)
{
    return prepareGame(startTick) && gameInit();
}

void stopGame()
{
    gameShutDown();
}

long errorLogBytes()
{
    if (errorLog != NULL)
        fflush(errorLog);
    struct stat st;
    return stat("Error.txt", &st) == 0 ? (long)st.st_size : 0;
}
