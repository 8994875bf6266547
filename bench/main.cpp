// starlane-bench: the game's own costs on the headless backend, printed as a table.
#include <stdio.h>

#include "bench/game_setup.h"
#include "bench/report.h"

int main(int argc, char** argv)
{
    static const TableRow rows[] = {
        {"frame work at full load (gameMain - Sleep)", "BM_FrameFullLoad", "BM_FrameFloor", 250, 3},
        {"  floor: clear + each sprite memcpy'd once", "BM_FrameFloor", NULL, 0, 0},
        {"  the frame's Sleep (virtual clock)", "BM_HeadlessSleep", NULL, 0, 0},
        {"sprite blit 32x32 keyed, clipped", "BM_KeyedSpriteBlit", NULL, 1, 0},
        {"start-up: gameInit to the first flip", "BM_StartUp", NULL, 20000, 0},
    };
    if (!enterScratchContent()) {
        perror("starlane-bench: scratch copy of the content");
        return 1;
    }
    int result = benchMain(argc, argv, rows, sizeof(rows) / sizeof(rows[0]));
    leaveScratchContent();
    return result;
}
