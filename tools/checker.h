// What the check (check.cpp) and its warnings (warn_*.cpp) share inside the toolkit: where a
// value of a loaded record stood, the one way to warn, and what the loaders read. A new warning
// goes into the warn_*.cpp of what it looks at: roles, enemies, graphics, palette, orders or
// the folder's names.
#ifndef STARLANE_TOOLS_CHECKER_H
#define STARLANE_TOOLS_CHECKER_H

#include <string>
#include <vector>

#include "graphics/graphics.h"

struct Place {
    std::string file; // "" when no content file was being read
    int line;
};

// A name a master list gives, at its line.
struct Entry {
    std::string name;
    int line;
};

// A name read from a content file (a list's entry, a description's sheet), at its line.
struct NameRead {
    std::string file;
    int line;
    std::string name;
};

// The line of the nth value of the last record `field` of `file`; 0 if it was not read.
int fieldLine(const std::string& file, const char* field, int record = 0, int nth = 0);
// The first value of a field; 0 when it was not read.
int fieldValue(const std::string& file, const char* field, int* value);
// 1 when a master list was read and its count says it holds nothing: an empty list, not one
// that could not be read.
int listHoldsNone(const char* list);
// Each warning once, at its place: the game's run and the loaders' runs read the same names.
void warn(const Place& at, const std::string& text);

inline std::string str(long long v)
{
    return std::to_string(v);
}

inline int animationDefined(const Graphic& g, int a)
{
    return g.animations[a].numFrames > 0;
}

// What a use of a graphic asks of it.
struct Need {
    std::string who;
    std::vector<int> frames, animations;
    int mustStop; // the game waits for these animations to end
};

// The frames of a graphic that something shows.
struct GraphicUse {
    int used;
    int frameShown[MAX_FRAMES];
};

// What the loaders read, and what the warnings learn of it as they go: the roles and the
// enemies note the frames they use, which the graphics' warnings then read.
struct ContentRead {
    const std::vector<Entry>& graphicNames;
    const std::vector<int>& complete; // each graphic loaded
    const std::vector<Entry>& enemyNames;
    const std::vector<int>& enemyLoaded;
    int ordersRead; // -1 when the orders did not load
    std::vector<GraphicUse> uses;
    int enemiesKnown; // every enemy's graphic and routine were read
};

// Warns at `at` about each frame or animation of `need` that `g` (the graphic of `file`) lacks.
void warnLacks(const Graphic& g, const std::string& file, const Need& need, const Place& at);
void useFrames(GraphicUse& u, const std::vector<int>& frames);

// In this order, since each learns what the next needs.
void warnRoles(ContentRead& c);
void warnEnemies(ContentRead& c);
void warnGraphics(ContentRead& c);
void warnPalette();
void warnOrders(ContentRead& c);
// The folder's names that Windows cannot hold; `names` every name the loaders read, in order.
void warnNames(const std::vector<NameRead>& names);
// Files no list names (warn_unread.cpp): warned, and each read by its loader after
// `readAt(file)` starts a run of its own; `read` are the files the loaders read.
void warnUnread(const std::vector<std::string>& read, void (*readAt)(const char* file));

#endif
