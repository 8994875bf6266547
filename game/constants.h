// Screen geometry and frame rate: fixed values that nothing changes.
#ifndef STARLANE_GAME_CONSTANTS_H
#define STARLANE_GAME_CONSTANTS_H

extern int screenWidth;     // 800
extern int screenHeight;    // 600
extern int screenBpp;       // 8
extern int framesPerSecond; // 60

#endif
