// The content checker: the game's own start-up, then each of its loaders on its own, read
// through the one reader; every line they log is placed at the file and line the reader was
// at. The checker adds only what the game does not check: warnings about the records the game
// loaded, placed through the reader's record of where each value stood.
#include "tools/check.h"
#include "tools/checker.h"
#include "tools/sheets.h"

#include <stdio.h>
#include <stdlib.h>
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
#include "game/records.h"
#include "game/statistics.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "platform/headless.h"
#include "input/input.h"
#include "shell/errorlog.h"
#include "shell/framesync.h"
#include "shell/shell.h"

namespace {

struct Logged {
    std::string text; // without its newline
    Place at;
    int step; // 0: the game; 1.. : one loader run each
};

int step = 0;
std::vector<Logged> logged;
std::vector<std::string> fileOrder; // files in the order they were first read
std::vector<Logged> warnings;
std::set<std::string> warned;    // each warning's place and text, to give it once
std::vector<NameRead> namesRead; // every name the game and the loaders read, first reading kept
std::set<std::string> namesSeen;
std::set<int> unreadRuns;           // the loaders' runs on files no list names: warnings only
std::vector<std::string> pastCount; // names a list gives after its count: warned already

Place here()
{
    return {textPlace.file, textPlace.line};
}

void noteFile(const std::string& file)
{
    if (!file.empty() && std::find(fileOrder.begin(), fileOrder.end(), file) == fileOrder.end())
        fileOrder.push_back(file);
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

void onRead(const TextFile* text, int kind, int, const char* name)
{
    noteFile(text->name);
    if (kind == TEXT_READ_NAME &&
        namesSeen.insert(std::string(text->name) + ":" + str(text->valueLine) + ":" + name).second)
        namesRead.push_back({text->name, text->valueLine, name});
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
                    pastCount.push_back(name);
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

// The game's records as a new process has them: the studio checks again and again in one
// process, and a run must not see what the one before it left (its closed window, its graphics).
void freshGame()
{
    quitFlag = 0;
    frameDuration = 0;
    frameStart = 0;
    memset(keyState, 0, sizeof(keyState));
    player = Player();
    deploymentState = DEPLOY_START;
    currentDeploymentOrder = 0;
    numDeploymentOrders = 0;
    deploymentTimer = Timer();
    gameStatistics = GameStatistics();
    srand(1);
    freeMemory();
    memset(masterGraphics, 0, sizeof(masterGraphics));
    numMasterGraphics = 0;
    memset(masterEnemies, 0, sizeof(masterEnemies));
    numMasterEnemies = 0;
    memset(deploymentOrders, 0, sizeof(deploymentOrders));
    memset(&overlayGraphic, 0, sizeof(overlayGraphic));
}

int runGame()
{
    step = 0;
    freshGame();
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

// The warnings on the records the loaders left, in the order they learn from each other.
void checkRecords(const std::vector<Entry>& graphicNames, const std::vector<int>& complete,
                  const std::vector<Entry>& enemyNames, const std::vector<int>& enemyLoaded,
                  int ordersRead)
{
    ContentRead c = {graphicNames,
                     complete,
                     enemyNames,
                     enemyLoaded,
                     ordersRead,
                     std::vector<GraphicUse>(graphicNames.size(), GraphicUse()),
                     1};
    warnRoles(c);
    warnEnemies(c);
    warnGraphics(c);
    warnPalette();
    warnOrders(c);
    warnNames(namesRead);
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
    namesRead.clear();
    namesSeen.clear();
    unreadRuns.clear();
    pastCount.clear();
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

// ---- Where the values of a loaded record stood, as the reader kept them ----

// The line of the nth value of the last record `field` of `file`; 0 if it was not read.
int fieldLine(const std::string& file, const char* field, int record, int nth)
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

// Each warning once: the game's run and the loaders' runs read the same names.
void warn(const Place& at, const std::string& text)
{
    if (!warned.insert(at.file + ":" + std::to_string(at.line) + ": " + text).second)
        return;
    noteFile(at.file);
    warnings.push_back({text, at, -1});
}

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
    // Only when the game starts: a refused list leaves every file it names unread.
    std::vector<std::string> read = fileOrder;
    read.insert(read.end(), pastCount.begin(), pastCount.end());
    if (report->started)
        warnUnread(read, [](const char* file) {
            restartAt(file, 1);
            unreadRuns.insert(step);
        });
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
    int unreadLines = 0;
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
        else if (unreadRuns.count(l.step)) {
            rest.push_back({rankOf(l.at.file), l.at.line, at + "warning: loader: " + l.text});
            unreadLines++;
        } else
            rest.push_back({rankOf(l.at.file), l.at.line, at + "loader: " + l.text});
    }
    // A warning at line 0 is about the file itself (its name), not a line of it.
    for (const Logged& w : warnings)
        rest.push_back({rankOf(w.at.file), w.at.line,
                        showPath(shown, w.at.file) + (w.at.line ? ":" + str(w.at.line) : "") +
                            ": warning: " + w.text});
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
        // Named inside the folder as every other line is, so that a place opens its file.
        std::string prefix = (std::filesystem::path(dir) / "").string();
        for (const std::string& l : sourceLines)
            report->lines.push_back(l.compare(0, prefix.size(), prefix) == 0
                                        ? showPath(shown, l.substr(prefix.size()))
                                        : l);
    }
    report->warnings = (int)warnings.size() + unreadLines;
    report->graphics = (int)graphicNames.size();
    report->enemies = (int)enemyNames.size();
    report->orders = gameOrders < 0 ? 0 : gameOrders;
    return 1;
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
    std::set<std::string> told;
    for (const Logged& l : logged) {
        std::string line = l.at.file + ":" + str(l.at.line) + ": " + l.text;
        if (told.insert(line).second)
            loaded.lines.push_back(line);
    }
    use(loaded, user);
    destroyMasterGraphics();
    ddShutDown();
    headlessReset(0);
    std::filesystem::current_path(cwd, ec);
    return !ec;
}
