#include "record/figures.h"

#include <stdio.h>
#include <sys/stat.h>

#include "content/files.h"
#include "game/records.h"
#include "game/statistics.h"
#include "game/world.h"

// Events (deployments, kills, volleys, power-ups) are counted by the game itself in
// gameStatistics, since an object can come and go within one frame; the peaks and the
// player's condition are read from the world after every frame.
static int peakDischarges;
static int peakEnemies;
static int peakPowerUps;

void figuresStart()
{
    peakDischarges = 0;
    peakEnemies = 0;
    peakPowerUps = 0;
}

void figuresObserveFrame(int frame)
{
    (void)frame;
    if (numActiveDischarges > peakDischarges)
        peakDischarges = numActiveDischarges;
    if (numActiveEnemies > peakEnemies)
        peakEnemies = numActiveEnemies;
    if (numActivePowerUps > peakPowerUps)
        peakPowerUps = numActivePowerUps;
}

GameFigures gameFiguresNow()
{
    GameFigures f;
    f.enemiesDeployed = gameStatistics.enemiesDeployed;
    f.enemiesDestroyed = gameStatistics.enemiesDestroyed;
    f.volleysFired = gameStatistics.volleysFired;
    f.powerUpsCreated = gameStatistics.powerUpsCreated;
    f.powerUpsCollected = gameStatistics.powerUpsCollected;
    f.playerHealth = player.health;
    f.playerState = player.state;
    f.peakDischarges = peakDischarges;
    f.peakEnemies = peakEnemies;
    f.peakPowerUps = peakPowerUps;
    return f;
}

std::string gameFiguresText(const GameFigures& f)
{
    char text[512];
    snprintf(text, sizeof(text),
             ", \"enemies_deployed\": %d, \"enemies_destroyed\": %d, \"volleys_fired\": %d"
             ", \"powerups_created\": %d, \"powerups_collected\": %d"
             ", \"player_health\": %d, \"player_state\": %d"
             ", \"peak_discharges\": %d, \"peak_enemies\": %d, \"peak_powerups\": %d",
             f.enemiesDeployed, f.enemiesDestroyed, f.volleysFired, f.powerUpsCreated,
             f.powerUpsCollected, f.playerHealth, f.playerState, f.peakDischarges, f.peakEnemies,
             f.peakPowerUps);
    return std::string(text);
}

std::string gameFiguresNowText()
{
    return gameFiguresText(gameFiguresNow());
}

std::string figuresText(int frames, int exitCode)
{
    struct stat st;
    long logBytes = stat(ERROR_LOG_FILE, &st) == 0 ? (long)st.st_size : 0;
    char text[128];
    snprintf(text, sizeof(text), "\"frames\": %d, \"exit_code\": %d, \"error_log_bytes\": %ld",
             frames, exitCode, logBytes);
    return text + gameFiguresNowText();
}
