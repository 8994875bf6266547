#include "game/statistics.h"

GameStatistics gameStatistics;
