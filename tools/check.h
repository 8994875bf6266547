// The content checker's work, shared by starlane-check and mkcontent check: the game and its
// own loaders run on a content folder, every line they log put at the FILE:LINE the reader was
// at, and the warnings about what the game takes but a modder would not want.
#ifndef STARLANE_TOOLS_CHECK_H
#define STARLANE_TOOLS_CHECK_H

#include <string>
#include <vector>

struct CheckReport {
    std::vector<std::string> lines; // every problem, "FILE:LINE: ..." with FILE under the folder
    int started;                    // the game got through its start-up
    int gameLines;                  // lines the game itself would write to Error.txt
    int warnings;
    int graphics, enemies, orders; // what the lists and the orders hold
};

// Checks the content folder `dir` (the working directory is left as it was); `shown` is the
// folder's name as the lines give it. 0 when the folder cannot be entered.
int checkContent(const std::string& dir, const std::string& shown, CheckReport* report);

// Prints every master graphic (role, size, frames, animations) and every enemy (graphic,
// weapon, routine) of the content folder; 0 when the content does not load.
int listContent(const std::string& dir);

// The fixed role of master graphic `graphic` as the listing names it ("the player's ship", ...);
// "" for a graphic without one.
const char* graphicRoleName(int graphic);

struct LoadedContent {
    std::vector<std::string> graphics, enemies;
    std::vector<int> graphicLoaded, enemyLoaded;
};
// Loads the content folder `dir` as the listing does and calls `use` while the game's records
// (masterGraphics, masterEnemies) hold it: the master lists' names in order, and whether each
// loaded. 0 when the folder cannot be entered.
int withLoadedContent(const std::string& dir, void (*use)(const LoadedContent&, void*), void* user);

#endif
