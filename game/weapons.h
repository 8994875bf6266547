// Weapons and their shots: firing a volley, adding one shot to the pool, a shot's impact.
#ifndef STARLANE_GAME_WEAPONS_H
#define STARLANE_GAME_WEAPONS_H

#include "game/records.h"

int fireWeapon(const Weapon* weapon, int x, int y, int owner); // one shot per desc; 1, 0 if null
int createDischarge(const DischargeDesc* desc, int owner, const int* parentLoc); // 1 if added
int impactDischarge(Discharge* discharge); // stop the shot and start its impact; 1, 0 if null

#endif
