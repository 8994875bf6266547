#include "bench/game_setup.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>

#include "game/ai.h"
#include "game/collisions.h"
#include "game/enemies.h"
#include "game/weapons.h"
#include "game/world.h"
#include "shell/errorlog.h"

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

// Fills every pool through the game's own operations. Nothing collides and nothing leaves
// the screen within a frame, no enemy's fire timer runs out and the player holds no key,
// so the frame keeps the pools full and logs nothing.
int fillPools()
{
    // 60 of the player's shots flying up below the enemies, 40 enemy shots falling
    // above the ship: every player's shot is tested against all 15 enemies.
    for (int i = 0; i < 60; i++) {
        DischargeDesc shot = {1, DISCHARGE_IMPACT_ANIMATION, 0, 0, 0, -10, 10};
        int at[2] = {20 + (i % 30) * 25, 300 + (i / 30) * 40};
        if (!createDischarge(&shot, OWNER_PLAYER, at))
            return 0;
    }
    static const DischargeDesc enemyShots[3] = {
        {8, DISCHARGE_ANIMATED | DISCHARGE_IMPACT_ANIMATION, 0, 0, 0, 5, 6},
        {9, DISCHARGE_IMPACT_FRAME, 0, 0, 0, 7, 6},
        {10, DISCHARGE_ANIMATED | DISCHARGE_IMPACT_ANIMATION, 0, 0, 1, 4, 8},
    };
    for (int i = 0; i < 40; i++) {
        int at[2] = {20 + (i % 20) * 38, 390 + (i / 20) * 30};
        if (!createDischarge(&enemyShots[i % 3], OWNER_ENEMY, at))
            return 0;
    }
    // 15 enemies of every kind in three rows, wandering.
    for (int i = 0; i < MAX_ENEMIES; i++) {
        int at[2] = {40 + (i % 5) * 150, 30 + (i / 5) * 70};
        if (!deployEnemy(i % numMasterEnemies, at))
            return 0;
        Enemy* enemy = enemies[i];
        enemy->aiState = AI_WANDER;
        enemy->destX = at[0] + (i % 2 ? AI_WANDER_X : -AI_WANDER_X);
        enemy->destY = at[1] + AI_WANDER_Y;
        enemy->ySpeed = AI_WANDER_SPEED;
        enemy->timers[0].active = 1;
        enemy->timers[0].count = 0;
    }
    // 10 power-ups drifting down on the left and right, clear of the ship.
    for (int i = 0; i < MAX_POWERUPS; i++) {
        int at[2] = {i < 5 ? 30 + i * 40 : 560 + (i - 5) * 40, 460};
        if (!createPowerUp(at))
            return 0;
    }
    return numActiveDischarges == MAX_DISCHARGES && numActiveEnemies == MAX_ENEMIES &&
           numActivePowerUps == MAX_POWERUPS;
}

long errorLogBytes()
{
    if (errorLog != NULL)
        fflush(errorLog);
    struct stat st;
    return stat("Error.txt", &st) == 0 ? (long)st.st_size : 0;
}
