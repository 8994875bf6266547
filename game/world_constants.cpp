#include "game/constants.h"

int screenWidth = 800;
int screenHeight = 600;
int screenBpp = 8;
int framesPerSecond = 60;
