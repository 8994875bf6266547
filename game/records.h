// The records of play: timers, weapons and their shots, the player, enemies and power-ups,
// with their state values and the capacities of the object pools.
#ifndef STARLANE_GAME_RECORDS_H
#define STARLANE_GAME_RECORDS_H

#include "graphics/graphics.h"

// Capacities of the world's tables
#define MAX_MASTER_GRAPHICS 20
#define MAX_MASTER_ENEMIES 20
#define MAX_DISCHARGES 100
#define MAX_ENEMIES 15
#define MAX_POWERUPS 10
#define MAX_DEPLOYMENT_ORDERS 50
#define MAX_DISCHARGE_DESCS 5 // shot descriptions per weapon
#define MAX_TIMERS 5          // timers per player or enemy
#define MAX_WEAPONS 5         // weapons carried by the player

// Life states of the player and the enemies
#define ALIVE 1
#define DYING 2 // death animation playing
#define DEAD 3

// Who fired a shot
#define OWNER_PLAYER 0
#define OWNER_ENEMY 1

// Discharge attribute bits
#define DISCHARGE_ANIMATED 1         // plays animation 0 in flight, else shows frame 0
#define DISCHARGE_IMPACT_ANIMATION 2 // plays animation 1 on impact
#define DISCHARGE_IMPACT_FRAME 4     // shows frame 1 on impact, when bit 2 is clear

// Discharge states
#define DISCHARGE_SPENT 0
#define DISCHARGE_FLYING 1
#define DISCHARGE_IMPACTING 2

// Weapon cycle states
#define WEAPON_IDLE 0
#define WEAPON_CLOSING 1
#define WEAPON_ARMED 2
#define WEAPON_OPENING 3

// Enemy AI states
#define AI_INIT 0
#define AI_ENTER 1
#define AI_WANDER 2
#define AI_FIRE 3

// Deployment scheduler states
#define DEPLOY_START 0
#define DEPLOY_RUNNING 1
#define DEPLOY_DONE 2

// Power-up kinds; the kind is also the animation the power-up plays
#define POWERUP_EMPTY 0
#define POWERUP_HEALTH 1 // the only kind with an effect
#define POWERUP_INERT 2

// AI routines known to the enemy description files
#define NUM_AI_CALLBACKS 2

struct Timer {
    int active; // nonzero while counting
    int delay;  // threshold in frames
    int count;  // frames counted
};

struct DischargeDesc {
    int graphicID;  // master graphic the shot wears
    int attributes; // DISCHARGE_ bits
    int xOffset;
    int yOffset;
    int xVelocity;
    int yVelocity;
    int damage;
};

struct Weapon {
    int state; // WEAPON_ state, used by the player's cycle only
    DischargeDesc descs[MAX_DISCHARGE_DESCS];
    int numDischarges; // leading descs a volley uses
};

struct Discharge {
    Graphic graphic;
    int dischargeAttributes;
    int damage;
    int state; // DISCHARGE_ state
    int owner; // OWNER_PLAYER, anything else is an enemy's shot
};

struct Player {
    Graphic graphic;
    int state;
    int currentWeapon;
    int leftKey;
    int rightKey;
    int upKey;
    int downKey;
    int fireKey;
    int health;
    Timer timers[MAX_TIMERS]; // 0 closes the weapon, 1 paces the volleys
    Weapon weapons[MAX_WEAPONS];
};

struct Enemy;
typedef int (*AICallback)(Enemy* enemy);

struct Enemy {
    int enemyID;
    Graphic graphic;
    int state;
    Weapon weapon;
    int aiState;
    int destX;
    int destY;
    int xSpeed; // magnitudes, stepped toward the destination
    int ySpeed;
    AICallback aiCallback;    // null: the enemy has no AI
    Timer timers[MAX_TIMERS]; // 0 is the fire timer
    int health;
};

struct PowerUp {
    int kind; // POWERUP_ kind
    Graphic graphic;
    int collected;
};

// Owned by the gameplay modules, filled in by the loaders.
extern Player player;
extern AICallback aiCallbacks[NUM_AI_CALLBACKS]; // by callback function ID; entry 0 is none
extern int deploymentState;
extern int currentDeploymentOrder;
extern int numDeploymentOrders;
extern Timer deploymentTimer;

#endif
