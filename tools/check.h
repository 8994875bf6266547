// starlane-check: the content scan (positions, every problem, what the game tolerates but a
// modder would not want) and the report it shares with the runs of the game's own loaders.
#ifndef STARLANE_TOOLS_CHECK_H
#define STARLANE_TOOLS_CHECK_H

#include <string>
#include <vector>

struct Problem {
    std::string file;   // relative to the content folder
    int line;
    std::string text;
};

struct ListEntry {
    std::string name;   // as the game reads it (at most 50 characters)
    int line;
};

struct ScanResult {
    std::vector<Problem> errors;        // the game refuses these
    std::vector<Problem> warnings;      // the game takes these
    std::vector<std::string> refused;   // files whose reading ends in an error
    std::vector<ListEntry> graphics;    // the names the master lists give, in order
    std::vector<ListEntry> enemies;
    std::vector<std::string> files;     // every file named, in reading order (sorts the report)
    int numOrders;
};

ScanResult scanContent(const std::string& dir);   // reads DIR by the game's reading rules
int lineOfOffset(const std::string& text, long offset);   // 1-based; past the last newline is the last line

#endif
