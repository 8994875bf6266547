// The passes over every live object (collisions, movement, drawing, clean-up) and power-ups.
#ifndef STARLANE_GAME_COLLISIONS_H
#define STARLANE_GAME_COLLISIONS_H

#include "game/records.h"

#define RAM_DAMAGE 10 // health the player loses per overlapping enemy and frame
#define POWERUP_HEALTH_GAIN 50

int detectCollisions();     // shots against ships, enemies and power-ups against the player
int animateObjects();       // move and animate the player and every live object
int drawObjects();          // draw every live object, the player last
int applyPowerUp(int kind); // effect of a collected power-up on the player
int createPowerUp(const int* point); // power-up at (x, y); 1 if added
int removeDeadObjects();             // take finished objects out of their pools

#endif
