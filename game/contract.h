// What the game's code asks of the content by number: the master graphics with fixed roles,
// the frames and animations it selects itself, and the palette entries of the stars. The
// game, the content checker and the modding guide's tables all take them from here.
#ifndef STARLANE_GAME_CONTRACT_H
#define STARLANE_GAME_CONTRACT_H

// Master graphics with fixed roles (their place in the master graphics list).
#define GRAPHIC_SHIP 0
#define GRAPHIC_PLAYER_SHOT 1
#define GRAPHIC_POWERUP 4
#define GRAPHIC_OVERLAY 5
#define NUM_GRAPHIC_ROLES 6 // a list shorter than this leaves a role empty

// The player's ship.
#define SHIP_FRAME_LEVEL 0        // idle, shown three times in four
#define SHIP_FRAME_TILTED 1       // idle, the other time
#define SHIP_FRAME_FIRING 2       // the frame a volley leaves in
#define SHIP_FRAME_RECOIL 3       // armed, three times in four
#define SHIP_FRAME_RECOIL_FLASH 4 // armed, the other time
#define SHIP_ANIMATION_OPEN 0     // guns opening; waited for
#define SHIP_ANIMATION_CLOSE 1    // guns closing; waited for
#define SHIP_ANIMATION_DEATH 2    // waited for

// Shots: frame or animation in flight, frame or animation on impact.
#define SHOT_FRAME_FLIGHT 0
#define SHOT_FRAME_IMPACT 1
#define SHOT_ANIMATION_FLIGHT 0
#define SHOT_ANIMATION_IMPACT 1 // waited for

// Enemies driven by AI routine 1.
#define ENEMY_FRAME_LEVEL 0   // cruising, three times in four
#define ENEMY_FRAME_FLICKER 1 // cruising, the other time
#define ENEMY_FRAME_FIRING 2
#define ENEMY_ANIMATION_DEATH 0 // waited for

// The power-up plays the animation of its kind.
#define POWERUP_ANIMATION_FIRST 0
#define NUM_POWERUP_KINDS 3

// The overlay plays this animation for ever.
#define OVERLAY_ANIMATION 0

// Palette entries of the stars, far layer first.
#define STAR_COLOUR_FAR 172
#define STAR_COLOUR_NEAR 255

#endif
