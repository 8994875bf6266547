// The game's figures, which the replay tool and the recorder gather as they watch the world
// frame by frame.
#ifndef STARLANE_RECORD_FIGURES_H
#define STARLANE_RECORD_FIGURES_H

#include <string>

// What the game did so far, as plain numbers: taken in play without allocating.
struct GameFigures {
    int enemiesDeployed, enemiesDestroyed, volleysFired, powerUpsCreated, powerUpsCollected;
    int playerHealth, playerState;
    int peakDischarges, peakEnemies, peakPowerUps;
};

void figuresStart();                 // before the game starts
void figuresObserveFrame(int frame); // after each frame; must not allocate
GameFigures gameFiguresNow();
std::string gameFiguresText(const GameFigures& figures); // JSON members, each after ", "
std::string gameFiguresNowText();                        // gameFiguresText(gameFiguresNow())
// The game's figures as JSON members without the braces: frames, exit code, the size of
// Error.txt in the working directory, then gameFiguresNowText(). A recording keeps them and the
// replay tool prints them, so that the two can be compared member by member.
std::string figuresText(int frames, int exitCode);

#endif
