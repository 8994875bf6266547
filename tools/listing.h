// The listing: every master graphic and every enemy of a content folder as the game loaded
// them, walked once into plain records, then written as the lines of starlane-check --list or
// as the JSON the studio draws from.
#ifndef STARLANE_TOOLS_LISTING_H
#define STARLANE_TOOLS_LISTING_H

#include <string>
#include <vector>

#include "tools/check.h"

struct ListedAnimation {
    int index;
    std::vector<int> frames;
    int delay, loops;
};

struct ListedGraphic {
    int index;
    std::string file;
    const char* role; // "" for a graphic without a fixed role
    int loaded;
    int width, height, colorKey, attributes;
    int box[4]; // left, top, right, bottom
    std::vector<int> frames;
    std::vector<ListedAnimation> animations;
};

struct ListedShot {
    int graphic, attributes, xOffset, yOffset, xVelocity, yVelocity, damage;
};

struct ListedEnemy {
    int index;
    std::string file;
    int loaded;
    int graphic, routine; // -1 when not read
    int xSpeed, ySpeed, fireDelay;
    std::vector<ListedShot> shots;
};

struct Listing {
    std::vector<ListedGraphic> graphics;
    std::vector<ListedEnemy> enemies;
    int complete; // every graphic and enemy loaded (the orders are not listed)
};

// The fixed role of master graphic `graphic` ("the player's ship", ...); "" for none.
const char* graphicRoleName(int graphic);

// The walk, while the game's records (masterGraphics, masterEnemies) hold `loaded`.
Listing listingOf(const LoadedContent& loaded);
// starlane-check --list's lines.
std::string listingText(const Listing& listing);
// JSON members "graphics":[...],"enemies":[...] (the enemies by name); `extra` adds members
// of its own to each loaded graphic's object (each after a comma), NULL for none.
std::string listingJson(const Listing& listing, std::string (*extra)(const ListedGraphic&));
std::string jsonString(const std::string& s);

// Prints the listing of the content folder `dir`, then the lines its loaders logged on
// standard error; 0 when the content does not load whole.
int listContent(const std::string& dir);

#endif
