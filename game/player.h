// The player's ship: key flags, start-up and the per-frame update with the weapon cycle.
#ifndef STARLANE_GAME_PLAYER_H
#define STARLANE_GAME_PLAYER_H

#include "game/records.h"

#define PLAYER_SPEED 4         // pixels per frame and key
#define PLAYER_CLOSE_DELAY 120 // frames the weapon stays open after the last volley
#define PLAYER_REFIRE_DELAY 5  // frames between volleys

// Player player;  (declared in game/records.h)

int processInput(); // key snapshot to the player's key flags; Escape posts the quit message
int initPlayer();   // the ship from master graphic 0, its weapon, health 100; 1 ok, 0 failed
int updatePlayer(); // life state, movement, clamps, timers, one step of the weapon cycle

#endif
