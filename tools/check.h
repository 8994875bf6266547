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

struct LoadedContent {
    std::vector<std::string> graphics, enemies;
    std::vector<int> graphicLoaded, enemyLoaded;
    std::vector<std::string> lines; // what the loaders logged, "FILE:LINE: text", each once
};
// Loads the content folder `dir` as the listing does and calls `use` while the game's records
// (masterGraphics, masterEnemies) hold it: the master lists' names in order, and whether each
// loaded. 0 when the folder cannot be entered.
int withLoadedContent(const std::string& dir, void (*use)(const LoadedContent&, void*), void* user);

#endif
