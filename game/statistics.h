// Running totals of what happened in play, for the replay tool's report.
#ifndef STARLANE_GAME_STATISTICS_H
#define STARLANE_GAME_STATISTICS_H

struct GameStatistics {
    int enemiesDeployed;  // enemies brought into the pool
    int enemiesDestroyed; // dead enemies taken out of the pool
    int volleysFired;     // volleys of the player's weapon
    int powerUpsCreated;
    int powerUpsCollected;
};

extern GameStatistics gameStatistics; // zero at start; nothing in the game reads it

#endif
