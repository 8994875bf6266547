// The content checker: the game's own start-up, then each of its loaders on its own, read
// through the one reader; every line they log is placed at the file and line the reader was
// at. The checker adds only what the game does not check: warnings about the records the game
// loaded, placed through the reader's record of where each value stood.
#include "check.h"
#include "sheets.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "content/content.h"
#include "content/files.h"
#include "content/textread.h"
#include "display/display.h"
#include "game/contract.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "headless.h"
#include "shell/errorlog.h"
#include "shell/shell.h"

namespace {

const int FAR_OFF_SCREEN = 300;            // pixels above or below the screen counted as far
const int FIRE_DELAY_NEVER = 60 * 60 * 60; // frames: an hour of play

struct Place {
    std::string file; // "" when no content file was being read
    int line;
};

struct Logged {
    std::string text; // without its newline
    Place at;
    int step; // 0: the game; 1.. : one loader run each
};

struct Entry {
    std::string name;
    int line;
};

int step = 0;
std::vector<Logged> logged;
std::vector<std::string> fileOrder; // files in the order they were first read
std::vector<Logged> warnings;
std::set<std::string> warned; // each warning's place and text, to give it once

// ---- Where the values of a loaded record stood, as the reader kept them ----

// The line of the nth value of the last record `field` of `file`; 0 if it was not read.
int fieldLine(const std::string& file, const char* field, int record = 0, int nth = 0)
{
    TextValue v;
    return textFieldPlace(file.c_str(), field, record, nth, &v) ? v.line : 0;
}

// The first value of a field; 0 when it was not read.
int fieldValue(const std::string& file, const char* field, int* value)
{
    TextValue v;
    if (!textFieldPlace(file.c_str(), field, 0, 0, &v))
        return 0;
    *value = v.value;
    return 1;
}

// 1 when a master list was read and its count says it holds nothing: an empty list, not one
// that could not be read.
int listHoldsNone(const char* list)
{
    int count = 0;
    return fieldValue(list, "count", &count) && count <= 0;
}

Place here()
{
    return {textPlace.file, textPlace.line};
}

void noteFile(const std::string& file)
{
    if (!file.empty() && std::find(fileOrder.begin(), fileOrder.end(), file) == fileOrder.end())
        fileOrder.push_back(file);
}

// Each warning once: the game's run and the loaders' runs read the same names.
void warn(const Place& at, const std::string& text)
{
    if (!warned.insert(at.file + ":" + std::to_string(at.line) + ": " + text).second)
        return;
    noteFile(at.file);
    warnings.push_back({text, at, -1});
}

void onLog(const char* message)
{
    Logged entry;
    entry.text = message;
    while (!entry.text.empty() && entry.text.back() == '\n')
        entry.text.pop_back();
    entry.at = here();
    entry.step = step;
    // Lines logged before any text was read are about the palette; a player that cannot be
    // made lacks the ship graphic.
    if (entry.at.file.empty() &&
        (entry.text.rfind("loadPalette:", 0) == 0 || entry.text.rfind("ddInit:", 0) == 0))
        entry.at = {PALETTE_FILE, 1};
    if (entry.text.rfind("initPlayer:", 0) == 0)
        entry.at = {GRAPHICS_LIST, std::max(1, fieldLine(GRAPHICS_LIST, "count"))};
    // The outer lines of a failed start-up continue the chain of the line before them.
    if (entry.at.file.empty() && !logged.empty() && logged.back().step == step &&
        (entry.text.rfind("gameInit:", 0) == 0 || entry.text.rfind("WinMain:", 0) == 0))
        entry.at = logged.back().at;
    noteFile(entry.at.file);
    logged.push_back(entry);
}

void onRead(const TextFile* text, int, int, const char*)
{
    noteFile(text->name);
}

void onNameFix(const char* written, const char* found, int fixes)
{
    std::string w = written, f = found;
    if (fixes & NAME_FIX_BACKSLASH)
        warn(here(), w + " separates folders with '\\'; write '/', which every system reads");
    if (fixes & NAME_FIX_CASE)
        warn(here(), w + " is found only as " + f + "; write the name in the same letter case");
    // A name that finds no file the game can read is refused by the game itself.
    std::error_code ec;
    if ((fixes & NAME_LEAVES_FOLDER) && std::filesystem::is_regular_file(f, ec))
        warn(here(), w + " leaves the content folder, so the content plays only on this machine; "
                         "name the file from inside the folder");
}

// The names a master list gives, read as its loader reads them, without following them.
std::vector<Entry> listNames(const char* list, int max)
{
    std::vector<Entry> names;
    TextFile text;
    void (*hook)(const TextFile*, int, int, const char*) = textReadHook;
    textReadHook = NULL;
    int count = 0, countLine = 1;
    if (openTextFile(&text, list)) {
        nameField(&text, "count", 0); // until its loader reads it again
        int counted = readInt(&text, &count);
        if (counted)
            countLine = text.valueLine;
        if (counted && discardLine(&text))
            for (int i = 0; i < count && i < max; i++) {
                char name[CONTENT_NAME_LENGTH + 1];
                if (!readName(&text, name, CONTENT_NAME_LENGTH))
                    break;
                names.push_back({name, text.valueLine});
                if (!discardLine(&text))
                    break;
            }
        // Names after the count are never read: say so for those that name a file.
        int read = (int)names.size();
        if (read == count || read == max) {
            char name[CONTENT_NAME_LENGTH + 1];
            while (readName(&text, name, CONTENT_NAME_LENGTH)) {
                char path[TEXT_PATH_SIZE];
                FILE* probe =
                    resolveContentName(name, path, sizeof(path)) ? fopen(path, "rb") : NULL;
                if (probe != NULL) {
                    fclose(probe);
                    warn({list, text.valueLine},
                         std::string(name) + " is never read: the count on line " +
                             std::to_string(countLine) + " says " + std::to_string(count));
                }
                if (!discardLine(&text))
                    break;
            }
        }
        closeTextFile(&text);
    }
    textReadHook = hook;
    return names;
}

// Each turn of the game's loop: what a frame logs is about no place in the content, and the
// window closes after the first frame.
void closeAfterFirstFrame(int turn)
{
    textPlace.file[0] = '\0';
    if (turn == 1)
        headlessRequestClose();
}

int runGame()
{
    step = 0;
    headlessReset(1000);
    headlessSetTurnHook(closeAfterFirstFrame);
    int result = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    return result;
}

void restartAt(const char* file, int line)
{
    snprintf(textPlace.file, sizeof(textPlace.file), "%s", file);
    textPlace.line = line;
    step++;
}

// Each loader on its own, so that a refused file does not hide the ones after it. An entry
// whose list could not be read at all is not followed: its lines would be consequences only.
// 1 when the deployment orders loaded.
int runLoaders(std::vector<Entry>& graphicNames, std::vector<int>& graphicLoaded,
               std::vector<Entry>& enemyNames, std::vector<int>& enemyLoaded)
{
    if (lpdd == NULL) {
        openGameWindow();
        restartAt("", 0);
        ddInit(screenWidth, screenHeight, screenBpp); // the palette's lines are the game's already
    }

    destroyMasterGraphics();
    memset(masterGraphics, 0, sizeof(masterGraphics));
    numMasterGraphics = 0;
    keepTextPlaces(1); // the warnings stand on these readings
    restartAt("", 0);
    graphicNames = listNames(GRAPHICS_LIST, MAX_MASTER_GRAPHICS);
    graphicLoaded.assign(graphicNames.size(), 1);
    if (!loadMasterGraphics(GRAPHICS_LIST)) {
        // The frame memory is counted again over the entries, as the list counts it.
        contentFrameBytes = 0;
        for (size_t i = 0; i < graphicNames.size(); i++) {
            destroyGraphic(&masterGraphics[i]);
            memset(&masterGraphics[i], 0, sizeof(Graphic));
            restartAt(GRAPHICS_LIST, graphicNames[i].line);
            graphicLoaded[i] = loadGraphic(&masterGraphics[i], graphicNames[i].name.c_str(), 0, 0);
        }
        numMasterGraphics = (int)graphicNames.size();
    }

    memset(masterEnemies, 0, sizeof(masterEnemies));
    numMasterEnemies = 0;
    restartAt("", 0);
    enemyNames = listNames(ENEMIES_LIST, MAX_MASTER_ENEMIES);
    int enemiesListed = !enemyNames.empty() || listHoldsNone(ENEMIES_LIST);
    if (graphicNames.empty() && numMasterGraphics <= 0 && !listHoldsNone(GRAPHICS_LIST)) {
        enemyNames.clear();
        enemiesListed = 0;
    }
    enemyLoaded.assign(enemyNames.size(), 1);
    if (enemiesListed && !loadMasterEnemies(ENEMIES_LIST)) {
        for (size_t i = 0; i < enemyNames.size(); i++) {
            restartAt(ENEMIES_LIST, enemyNames[i].line);
            enemyLoaded[i] = loadEnemy(&masterEnemies[i], enemyNames[i].name.c_str());
        }
        numMasterEnemies = (int)enemyNames.size();
    }

    restartAt("", 0);
    numDeploymentOrders = 0;
    return enemiesListed && loadDeploymentOrders(ORDERS_FILE);
}

// ---- Warnings on the loaded records ----

std::string str(long long v)
{
    return std::to_string(v);
}

int animationDefined(const Graphic& g, int a)
{
    return g.animations[a].numFrames > 0;
}

struct Need {
    std::string who;
    std::vector<int> frames, animations;
    int mustStop; // the game waits for these animations to end
};

struct GraphicUse {
    int used;
    int frameShown[MAX_FRAMES];
};

void lacks(const Graphic& g, const std::string& file, const Need& need, const Place& at)
{
    for (int f : need.frames)
        if (g.frames[f] == NULL)
            warn(at, need.who + " needs frame " + str(f) + ", which " + file + " does not load");
    for (int a : need.animations) {
        if (!animationDefined(g, a))
            warn(at,
                 need.who + " needs animation " + str(a) + ", which " + file + " does not define");
        else if (need.mustStop && (g.animations[a].flags & ANIMATION_LOOP))
            warn({file, fieldLine(file, "animation", a)}, need.who + " waits for animation " +
                                                              str(a) + " of " + file +
                                                              " to end, but it loops");
    }
    if (!need.animations.empty() && !(g.attributes & GRAPHIC_ANIMATED))
        warn({file, fieldLine(file, "attributes")},
             need.who + " plays animations, but " + file + " lacks attribute 4 (animated)");
}

void use(GraphicUse& u, const std::vector<int>& frames)
{
    u.used = 1;
    for (int f : frames)
        u.frameShown[f] = 1;
}

void checkRecords(const std::vector<Entry>& graphicNames, const std::vector<int>& complete,
                  const std::vector<Entry>& enemyNames, const std::vector<int>& enemyLoaded,
                  int ordersRead)
{
    std::vector<GraphicUse> uses(graphicNames.size(), GraphicUse());

    struct Role {
        int graphic;
        Need need;
    };
    const Role roles[] = {
        {GRAPHIC_SHIP,
         {"the player's ship",
          {SHIP_FRAME_LEVEL, SHIP_FRAME_TILTED, SHIP_FRAME_FIRING, SHIP_FRAME_RECOIL,
           SHIP_FRAME_RECOIL_FLASH},
          {SHIP_ANIMATION_OPEN, SHIP_ANIMATION_CLOSE, SHIP_ANIMATION_DEATH},
          1}},
        {GRAPHIC_PLAYER_SHOT, {"the player's shot", {0}, {SHOT_ANIMATION_IMPACT}, 1}},
        {GRAPHIC_POWERUP, {"the power-up", {}, {}, 0}},
        {GRAPHIC_OVERLAY, {"the overlay", {}, {OVERLAY_ANIMATION}, 0}},
    };
    // A list that could not be read at all has said so; its empty roles are consequences.
    int listed = !graphicNames.empty() || listHoldsNone(GRAPHICS_LIST);
    for (Role role : listed ? std::vector<Role>(roles, roles + 4) : std::vector<Role>()) {
        if (role.graphic == GRAPHIC_POWERUP)
            for (int kind = 0; kind < NUM_POWERUP_KINDS; kind++)
                role.need.animations.push_back(POWERUP_ANIMATION_FIRST + kind);
        if (role.graphic >= (int)graphicNames.size()) {
            warn({GRAPHICS_LIST, std::max(1, fieldLine(GRAPHICS_LIST, "count"))},
                 "graphic " + str(role.graphic) + ", " + role.need.who +
                     ", is missing: the list must hold at least " + str(NUM_GRAPHIC_ROLES) +
                     " graphics");
            continue;
        }
        if (!complete[role.graphic])
            continue;
        const std::string& file = graphicNames[role.graphic].name;
        use(uses[role.graphic], role.need.frames);
        lacks(masterGraphics[role.graphic], file, role.need, {file, fieldLine(file, "end")});
    }

    int enemiesKnown = 1;
    for (size_t i = 0; i < enemyNames.size(); i++) {
        const Enemy& e = masterEnemies[i];
        const std::string& file = enemyNames[i].name;
        int graphicID = -1, routine = -1;
        if (!enemyLoaded[i] || !fieldValue(file, "graphic", &graphicID) ||
            !fieldValue(file, "routine", &routine)) {
            enemiesKnown = 0;
            continue;
        }
        Place routineAt = {file, fieldLine(file, "routine")};
        if (graphicID >= 0 && graphicID < (int)graphicNames.size() && complete[graphicID]) {
            Need driven = {"AI routine 1",
                           {ENEMY_FRAME_LEVEL, ENEMY_FRAME_FLICKER, ENEMY_FRAME_FIRING},
                           {ENEMY_ANIMATION_DEATH},
                           1};
            use(uses[graphicID], routine == 1 ? driven.frames : std::vector<int>{0});
            if (routine == 1)
                lacks(masterGraphics[graphicID], graphicNames[graphicID].name, driven, routineAt);
        }
        if (e.state != ALIVE)
            warn({file, fieldLine(file, "state")},
                 "life state " + str(e.state) + ": enemies start alive (1); " +
                     (e.state == DEAD ? "a dead one leaves at once"
                                      : "in any other state it never dies"));
        if (e.aiState < AI_INIT || e.aiState > AI_FIRE)
            warn({file, fieldLine(file, "aiState")},
                 "AI state " + str(e.aiState) +
                     " does nothing; the routine knows 0 to 3 (0 flies in)");
        if (routine == 0)
            warn(routineAt,
                 "AI routine 0: the enemy never moves, fires or dies, and never leaves the pool");
        else if (e.weapon.numDischarges > 0 && e.timers[0].delay <= 0)
            warn(routineAt, "timer 0, the fire timer, has delay " + str(e.timers[0].delay) +
                                ": the enemy fires every second frame");
        else if (e.weapon.numDischarges > 0 && e.timers[0].delay > FIRE_DELAY_NEVER)
            warn(routineAt, "timer 0, the fire timer, has delay " + str(e.timers[0].delay) +
                                " frames, more than an hour: the enemy never fires in a real game");
        for (int s = 0; s < e.weapon.numDischarges; s++) {
            const DischargeDesc& d = e.weapon.descs[s];
            Place at = {file, fieldLine(file, "discharge", s)};
            if (d.attributes &
                ~(DISCHARGE_ANIMATED | DISCHARGE_IMPACT_ANIMATION | DISCHARGE_IMPACT_FRAME))
                warn(at,
                     "shot attributes " + str(d.attributes) + ": only 1, 2 and 4 mean anything");
            if (d.xVelocity == 0 && d.yVelocity == 0)
                warn(at, "the shot does not move: it stays until it hits the ship");
            if (d.damage < 0)
                warn(at, "negative damage heals the ship");
            if (d.graphicID < 0 || d.graphicID >= (int)graphicNames.size() ||
                !complete[d.graphicID])
                continue;
            Need shot = {"the shot", {}, {}, 0};
            if (d.attributes & DISCHARGE_ANIMATED)
                shot.animations.push_back(SHOT_ANIMATION_FLIGHT);
            else
                shot.frames.push_back(SHOT_FRAME_FLIGHT);
            const Graphic& g = masterGraphics[d.graphicID];
            const std::string& gfile = graphicNames[d.graphicID].name;
            lacks(g, gfile, shot, at);
            if (d.attributes & DISCHARGE_IMPACT_ANIMATION) {
                lacks(g, gfile, {"the shot's impact", {}, {SHOT_ANIMATION_IMPACT}, 1}, at);
            } else if (d.attributes & DISCHARGE_IMPACT_FRAME) {
                shot.frames.push_back(SHOT_FRAME_IMPACT);
                lacks(g, gfile, {"the shot's impact", {SHOT_FRAME_IMPACT}, {}, 0}, at);
            }
            use(uses[d.graphicID], shot.frames);
        }
    }

    for (size_t i = 0; i < graphicNames.size(); i++) {
        if (!complete[i])
            continue;
        const Graphic& g = masterGraphics[i];
        const std::string& file = graphicNames[i].name;
        RECT box = g.boundingBox;
        if (box.left < 0 || box.top < 0 || box.right > g.width || box.bottom > g.height)
            warn({file, fieldLine(file, "boundingBox")},
                 "the bounding box (" + str(box.left) + ", " + str(box.top) + ")-(" +
                     str(box.right) + ", " + str(box.bottom) + ") reaches outside the " +
                     str(g.width) + " x " + str(g.height) + " frame");
        else if (box.left >= box.right || box.top >= box.bottom)
            warn({file, fieldLine(file, "boundingBox")},
                 "the bounding box is empty: left must be below right and top below bottom");
        // An empty line is read as a comment letter: the line after it goes too.
        const TextValue* values = NULL;
        for (int k = 0, n = textValuesOf(file.c_str(), &values); k < n; k++) {
            const TextValue& v = values[k];
            if (v.record == '\n' && strcmp(v.field, "skipped") == 0)
                warn({file, v.line}, "empty line: the game drops the line after it (line " +
                                         str(v.line + 1) + ") too");
        }
        if (!enemiesKnown)
            continue;
        if (!uses[i].used) {
            warn({GRAPHICS_LIST, graphicNames[i].line},
                 "graphic " + str(i) + " (" + file +
                     ") is used by nothing: no fixed role, enemy or shot names it");
            continue;
        }
        int shown[MAX_FRAMES] = {1}; // frame 0 shows until anything else is chosen
        for (int f = 0; f < MAX_FRAMES; f++)
            shown[f] = shown[f] || uses[i].frameShown[f];
        for (int a = 0; a < MAX_ANIMATIONS; a++) {
            const Animation& anim = g.animations[a];
            int told[MAX_FRAMES] = {0};
            for (int k = 0; k < anim.numFrames; k++) {
                int f = anim.frameSequence[k];
                shown[f] = 1;
                if (g.frames[f] == NULL && !told[f]) {
                    told[f] = 1;
                    warn({file, fieldLine(file, "frameSequence", a, k)},
                         "animation " + str(a) + " shows frame " + str(f) +
                             ", which no f record loads: nothing is drawn and "
                             "the game logs an error every frame");
                }
            }
        }
        std::vector<int> unshown;
        for (int f = 0; f < MAX_FRAMES; f++)
            if (g.frames[f] != NULL && !shown[f])
                unshown.push_back(f);
        if (!unshown.empty()) {
            std::string list = str(unshown[0]);
            for (size_t k = 1; k < unshown.size(); k++)
                list += (k + 1 == unshown.size() ? " and " : ", ") + str(unshown[k]);
            warn({file, fieldLine(file, "frame", unshown[0])},
                 (unshown.size() == 1 ? "frame " + list + " is" : "frames " + list + " are") +
                     " shown by no animation and by nothing the game sets directly");
        }
    }

    // The stars are drawn in fixed palette entries on a screen cleared to entry 0.
    unsigned char palette[1024];
    FILE* file = fopen(PALETTE_FILE, "rb");
    if (file != NULL) {
        if (fread(palette, 1, sizeof(palette), file) == sizeof(palette))
            for (int colour : {STAR_COLOUR_FAR, STAR_COLOUR_NEAR})
                if (memcmp(palette + colour * 4, palette, 3) == 0)
                    warn({PALETTE_FILE, 1},
                         "entry " + str(colour) +
                             " colours stars but is the colour of the "
                             "empty screen (entry 0), so those stars are invisible");
        fclose(file);
    }

    // Orders: where each enemy comes in, and which enemies never do.
    std::vector<int> deployed(enemyNames.size(), 0);
    for (int k = 0; k < ordersRead && fieldLine(ORDERS_FILE, "order", k) != 0; k++) {
        const DeploymentOrder& o = deploymentOrders[k];
        if (o.enemyIndex < 0 || o.enemyIndex >= (int)enemyNames.size())
            continue;
        deployed[o.enemyIndex] = 1;
        const Graphic& g = masterEnemies[o.enemyIndex].graphic;
        Place at = {ORDERS_FILE, fieldLine(ORDERS_FILE, "order", k)};
        if (o.x + g.boundingBox.right <= 0 || o.x + g.boundingBox.left >= screenWidth)
            warn(at, "x " + str(o.x) +
                         " puts the enemy beside the screen; it flies in straight down and is "
                         "never seen there");
        else if (o.y + g.boundingBox.bottom < -FAR_OFF_SCREEN ||
                 o.y + g.boundingBox.top >= screenHeight + FAR_OFF_SCREEN)
            warn(at, "y " + str(o.y) + " puts the enemy more than " + str(FAR_OFF_SCREEN) +
                         " pixels " + (o.y < 0 ? "above" : "below") + " the screen");
    }
    if (ordersRead == 0)
        warn({ORDERS_FILE, std::max(1, fieldLine(ORDERS_FILE, "end"))},
             "no deployment order: no enemy ever comes");
    if (ordersRead >= 0)
        for (size_t i = 0; i < enemyNames.size(); i++)
            if (!deployed[i])
                warn({ENEMIES_LIST, enemyNames[i].line}, "enemy " + str(i) + " (" +
                                                             enemyNames[i].name +
                                                             ") is named by no deployment order");
}

std::string showPath(const std::string& dir, const std::string& file)
{
    return dir == "." || (!file.empty() && file[0] == '/') ? file : dir + "/" + file;
}

void resetChecker()
{
    step = 0;
    logged.clear();
    keepTextPlaces(0);
    fileOrder.clear();
    warnings.clear();
    warned.clear();
    textPlace.file[0] = '\0';
    textPlace.line = 0;
}

// The game reads its content from its working directory: go there, with a fresh checker.
int enterContent(const std::string& dir, std::filesystem::path* cwd)
{
    std::error_code ec;
    *cwd = std::filesystem::current_path(ec);
    std::filesystem::current_path(dir, ec);
    if (ec)
        return 0;
    resetChecker();
    return 1;
}

} // namespace

int checkContent(const std::string& dir, const std::string& shown, CheckReport* report)
{
    std::error_code ec;
    std::filesystem::path cwd;
    if (!enterContent(dir, &cwd))
        return 0;
    *report = CheckReport();
    errorLogSink = onLog;
    textReadHook = onRead;
    nameFixHook = onNameFix;

    keepTextPlaces(1);
    report->started = runGame() == 0;
    if (!report->started)
        freeMemory(); // a failed start-up leaves the pools as they were
    std::vector<Entry> graphicNames, enemyNames;
    std::vector<int> graphicLoaded, enemyLoaded;
    int ordersLoaded = runLoaders(graphicNames, graphicLoaded, enemyNames, enemyLoaded);
    int gameOrders = ordersLoaded ? numDeploymentOrders : -1;
    textReadHook = NULL;
    nameFixHook = NULL;
    checkRecords(graphicNames, graphicLoaded, enemyNames, enemyLoaded, gameOrders);
    errorLogSink = NULL;
    destroyMasterGraphics();
    ddShutDown();
    headlessReset(0);
    std::filesystem::current_path(cwd, ec);
    if (ec)
        return 0;

    // The game's lines first, as Error.txt would hold them, each at its place.
    std::set<std::string> seen;
    for (const Logged& l : logged) {
        if (l.step != 0)
            continue;
        report->gameLines++;
        std::string at =
            l.at.file.empty() ? "" : showPath(shown, l.at.file) + ":" + str(l.at.line) + ": ";
        if (l.at.file.empty())
            report->lines.push_back(showPath(shown, ERROR_LOG_FILE) + ":" + str(report->gameLines) +
                                    ": " + l.text);
        else
            report->lines.push_back(at + "Error.txt: " + l.text);
        seen.insert(at + l.text);
    }
    // Then the loaders' and the warnings, by file in reading order, and by line.
    struct Line {
        size_t rank;
        int line;
        std::string text;
    };
    std::vector<Line> rest;
    auto rankOf = [](const std::string& file) {
        return (size_t)(std::find(fileOrder.begin(), fileOrder.end(), file) - fileOrder.begin());
    };
    for (const Logged& l : logged) {
        if (l.step == 0)
            continue;
        std::string at =
            l.at.file.empty() ? "" : showPath(shown, l.at.file) + ":" + str(l.at.line) + ": ";
        if (!seen.insert(at + l.text).second)
            continue;
        if (l.at.file.empty())
            rest.push_back(
                {fileOrder.size(), 0, showPath(shown, ERROR_LOG_FILE) + ":1: loader: " + l.text});
        else
            rest.push_back({rankOf(l.at.file), l.at.line, at + "loader: " + l.text});
    }
    for (const Logged& w : warnings)
        rest.push_back(
            {rankOf(w.at.file), w.at.line,
             showPath(shown, w.at.file) + ":" + str(w.at.line) + ": warning: " + w.text});
    std::stable_sort(rest.begin(), rest.end(), [](const Line& a, const Line& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.line < b.line;
    });
    for (const Line& l : rest)
        report->lines.push_back(l.text);
    // The picture sources, where the folder has them, through the content builder's reader.
    if (std::filesystem::exists(std::filesystem::path(dir) / "palette.colors", ec)) {
        std::vector<SourceOutput> outputs;
        std::vector<std::string> sourceLines;
        buildSources(dir, outputs, sourceLines);
        compareSources(dir, outputs, sourceLines);
        for (const std::string& l : sourceLines)
            report->lines.push_back(l);
    }
    report->warnings = (int)warnings.size();
    report->graphics = (int)graphicNames.size();
    report->enemies = (int)enemyNames.size();
    report->orders = gameOrders < 0 ? 0 : gameOrders;
    return 1;
}

namespace {

const char* roleName(int graphic)
{
    switch (graphic) {
    case GRAPHIC_SHIP: return "the player's ship";
    case GRAPHIC_PLAYER_SHOT: return "the player's shot";
    case GRAPHIC_POWERUP: return "the power-up";
    case GRAPHIC_OVERLAY: return "the overlay";
    default: return "";
    }
}

// Prints the listing, then the lines the loaders logged, and sets *ok when everything loaded.
void printListing(const LoadedContent& loaded, void* ok)
{
    const std::vector<std::string>& graphicNames = loaded.graphics;
    const std::vector<std::string>& enemyNames = loaded.enemies;
    printf("Master graphics (" GRAPHICS_LIST "):\n");
    for (size_t i = 0; i < graphicNames.size(); i++) {
        const Graphic& g = masterGraphics[i];
        const char* role = roleName((int)i);
        const char* what = loaded.graphicLoaded[i] ? role : "(refused)";
        if (*what)
            printf("  %2zu  %-28s %s\n", i, graphicNames[i].c_str(), what);
        else
            printf("  %2zu  %s\n", i, graphicNames[i].c_str());
        if (!loaded.graphicLoaded[i])
            continue;
        std::string frames, animations;
        for (int f = 0; f < MAX_FRAMES; f++)
            if (g.frames[f] != NULL)
                frames += (frames.empty() ? "" : " ") + str(f);
        printf("      %d x %d pixels, box (%ld, %ld)-(%ld, %ld), frames %s\n", g.width, g.height,
               (long)g.boundingBox.left, (long)g.boundingBox.top, (long)g.boundingBox.right,
               (long)g.boundingBox.bottom, frames.empty() ? "none" : frames.c_str());
        for (int a = 0; a < MAX_ANIMATIONS; a++) {
            const Animation& anim = g.animations[a];
            if (anim.numFrames <= 0)
                continue;
            std::string sequence;
            for (int k = 0; k < anim.numFrames; k++)
                sequence += " " + str(anim.frameSequence[k]);
            printf("      animation %d:%s (%s, every %d frames)\n", a, sequence.c_str(),
                   (anim.flags & ANIMATION_LOOP) ? "loops" : "plays once", anim.delay + 1);
        }
    }
    printf("Enemies (" ENEMIES_LIST "):\n");
    for (size_t i = 0; i < enemyNames.size(); i++) {
        const Enemy& e = masterEnemies[i];
        if (!loaded.enemyLoaded[i]) {
            printf("  %2zu  %-28s (refused)\n", i, enemyNames[i].c_str());
            continue;
        }
        int graphicID = -1, routine = -1;
        fieldValue(enemyNames[i], "graphic", &graphicID);
        fieldValue(enemyNames[i], "routine", &routine);
        printf("  %2zu  %-28s graphic %d (%s), speed %d %d, AI routine %d, fire timer delay %d\n",
               i, enemyNames[i].c_str(), graphicID,
               graphicID >= 0 && graphicID < (int)graphicNames.size()
                   ? graphicNames[graphicID].c_str()
                   : "?",
               e.xSpeed, e.ySpeed, routine, e.timers[0].delay);
        for (int s = 0; s < e.weapon.numDischarges; s++) {
            const DischargeDesc& d = e.weapon.descs[s];
            printf("      shot: graphic %d (%s), attributes %d, from (%d, %d), velocity (%d, %d), "
                   "damage %d\n",
                   d.graphicID,
                   d.graphicID < (int)graphicNames.size() ? graphicNames[d.graphicID].c_str() : "?",
                   d.attributes, d.xOffset, d.yOffset, d.xVelocity, d.yVelocity, d.damage);
        }
    }
    std::set<std::string> told;
    for (const Logged& l : logged) {
        std::string line = l.at.file + ":" + str(l.at.line) + ": " + l.text;
        if (told.insert(line).second)
            fprintf(stderr, "%s\n", line.c_str());
    }
    // The listing stands when every graphic and enemy loaded; the orders are not listed.
    *(int*)ok = !graphicNames.empty() &&
                std::count(loaded.graphicLoaded.begin(), loaded.graphicLoaded.end(), 0) == 0 &&
                std::count(loaded.enemyLoaded.begin(), loaded.enemyLoaded.end(), 0) == 0;
}

} // namespace

int listContent(const std::string& dir)
{
    int ok = 0;
    return withLoadedContent(dir, printListing, &ok) && ok;
}

int withLoadedContent(const std::string& dir, void (*use)(const LoadedContent&, void*), void* user)
{
    std::error_code ec;
    std::filesystem::path cwd;
    if (!enterContent(dir, &cwd))
        return 0;
    errorLogSink = onLog;
    textReadHook = onRead;
    headlessReset(1000);
    std::vector<Entry> graphicNames, enemyNames;
    LoadedContent loaded;
    runLoaders(graphicNames, loaded.graphicLoaded, enemyNames, loaded.enemyLoaded);
    textReadHook = NULL;
    errorLogSink = NULL;
    for (const Entry& e : graphicNames)
        loaded.graphics.push_back(e.name);
    for (const Entry& e : enemyNames)
        loaded.enemies.push_back(e.name);
    use(loaded, user);
    destroyMasterGraphics();
    ddShutDown();
    headlessReset(0);
    std::filesystem::current_path(cwd, ec);
    return !ec;
}

const char* graphicRoleName(int graphic)
{
    return roleName(graphic);
}
