// starlane-check: checks a content folder for the game and reports every problem as
// FILE:LINE: message, then exits 0 when there is none and 1 otherwise.
//
//   starlane-check [DIR]       (DIR defaults to the current folder)
//
// Three readings of the folder make the report:
//   1. The game itself, started on the folder on the headless backend (WinMain, start-up and
//      one frame). What it writes to "Error.txt" is reported as "Error.txt: ..." lines, each
//      at the place in the content the game was reading when it wrote the line.
//   2. The game's loaders, each on its own: the palette, every graphic, every enemy and the
//      deployment orders, so that a refused file does not hide the ones after it. Their
//      lines are reported as "loader: ..." (those the game already wrote are not repeated).
//   3. The scan (check_scan.cpp), which knows the line of every value, says in plain words
//      why a file is refused ("error: ...") and finds what the game takes without complaint
//      but a modder would not want ("warning: ...").
// The verdict is the game's: if the scan and the loaders ever disagree about a file, that is
// reported too, as a problem of the checker.
//
// The places come from following the game's files: fopen and fclose are wrapped at link time
// (-Wl,--wrap), so the checker knows which text file the game has open and where it is in it
// when a line is logged. The log itself goes to a memory stream, never into the folder.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include "check.h"
#include "content/content.h"
#include "display/display.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "headless.h"
#include "shell/errorlog.h"
#include "shell/shell.h"

namespace {

const char* const GRAPHICS_LIST = "Graphics/MasterGraphics.txt";
const char* const ENEMIES_LIST = "Enemies/MasterEnemies.txt";
const char* const ORDERS_FILE = "DeploymentOrders/DeploymentOrder1.dpo";
const char* const PALETTE_FILE = "palette.pal";

struct Logged {
    std::string text;   // the line as the game wrote it, without its newline
    std::string file;   // "" when the game was reading no content file
    int line;
    int step;           // 0: the game; 1.. : one loader run each
};

struct OpenFile {
    FILE* file;
    std::string name;
};

bool following = false;              // the game's files are followed only while it runs
std::vector<OpenFile> openFiles;     // text files the game has open, innermost last
std::map<std::string, long> closedAt;   // where the game was in a file when it closed it
std::vector<Logged> logged;
int step = 0;
std::map<int, std::set<std::string>> openedInStep;   // text files each run opened
FILE* memoryLog = NULL;
// Where a run of one list entry was named: its loader's lines about a file it cannot open go there.
std::string entryFile;
int entryLine = 0;
const ScanResult* scan = NULL;

std::string fileText(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int lineIn(const std::string& name, long offset)
{
    return lineOfOffset(fileText(name), offset);
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

// The file a loader's own line is about when it writes it after closing its files.
const char* homeFile(const std::string& text)
{
    if (startsWith(text, "loadMasterGraphics:")) return GRAPHICS_LIST;
    if (startsWith(text, "loadMasterEnemies:")) return ENEMIES_LIST;
    if (startsWith(text, "loadDeploymentOrders:")) return ORDERS_FILE;
    if (startsWith(text, "loadPalette:") || startsWith(text, "ddInit:")) return PALETTE_FILE;
    return NULL;
}

void locate(Logged& entry)
{
    entry.file = "";
    entry.line = 0;
    if (!openFiles.empty()) {
        const OpenFile& top = openFiles.back();
        long offset = ftell(top.file);
        // The record letter is read with fgetc: the position is already one past it.
        if (entry.text.find("unknown identifier read") != std::string::npos && offset > 0)
            offset--;
        entry.file = top.name;
        entry.line = lineIn(top.name, offset);
        return;
    }
    if (!entryFile.empty()) {
        entry.file = entryFile;
        entry.line = entryLine;
        return;
    }
    if (const char* home = homeFile(entry.text)) {
        entry.file = home;
        std::map<std::string, long>::iterator at = closedAt.find(home);
        entry.line = at != closedAt.end() && strcmp(home, PALETTE_FILE) != 0 ? lineIn(home, at->second) : 1;
        return;
    }
    // The outer lines of a failed start-up continue the chain of the line before them.
    if ((startsWith(entry.text, "gameInit:") || startsWith(entry.text, "WinMain:")) && !logged.empty() &&
        logged.back().step == entry.step) {
        entry.file = logged.back().file;
        entry.line = logged.back().line;
        return;
    }
    if (startsWith(entry.text, "initPlayer:") && scan != NULL && !scan->graphics.empty()) {
        entry.file = GRAPHICS_LIST;
        entry.line = scan->graphics[0].line;
    }
}

// Every line the game logs arrives here, one write per line (the log is flushed after each).
ssize_t logWrite(void*, const char* buffer, size_t size)
{
    Logged entry;
    entry.text.assign(buffer, size);
    while (!entry.text.empty() && entry.text.back() == '\n')
        entry.text.pop_back();
    entry.step = step;
    locate(entry);
    logged.push_back(entry);
    return (ssize_t)size;
}

FILE* openMemoryLog()
{
    cookie_io_functions_t io = {NULL, logWrite, NULL, NULL};
    FILE* f = fopencookie(NULL, "w", io);
    if (f != NULL)
        setvbuf(f, NULL, _IOFBF, 1 << 16);
    return f;
}

} // namespace

extern "C" FILE* __real_fopen(const char* name, const char* mode);
extern "C" int __real_fclose(FILE* file);

extern "C" FILE* __wrap_fopen(const char* name, const char* mode)
{
    if (following && name != NULL && strcmp(name, "Error.txt") == 0)
        return memoryLog;
    FILE* file = __real_fopen(name, mode);
    if (following && file != NULL && mode != NULL && strchr(mode, 'b') == NULL) {
        openFiles.push_back({file, name});
        openedInStep[step].insert(name);
    }
    return file;
}

extern "C" int __wrap_fclose(FILE* file)
{
    if (file != NULL && file == memoryLog)
        return 0;   // the game's log stays with the checker
    for (size_t i = openFiles.size(); i-- > 0;) {
        if (openFiles[i].file == file) {
            closedAt[openFiles[i].name] = ftell(file);
            openFiles.erase(openFiles.begin() + (long)i);
            break;
        }
    }
    return __real_fclose(file);
}

namespace {

const int FRAMES_TO_RUN = 1;

// The window closes after the first frame, as a player closing it would close it.
void closeAfterFirstFrame(int turn)
{
    if (turn == FRAMES_TO_RUN)
        headlessRequestClose();
}

// 1. The game, started on the folder: what "Error.txt" would hold. Returns WinMain's result.
int runGame()
{
    step = 0;
    headlessReset(1000);
    headlessSetTurnHook(closeAfterFirstFrame);
    return WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
}

// 2. Each loader on its own, on a display that can make frames.
void runLoaders(const ScanResult& found)
{
    if (lpdd == NULL) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "Starlane Check";
        RegisterClassExA(&wc);
        mainWindow = CreateWindowExA(0, "Starlane Check", "Starlane Check", WS_POPUP, 0, 0, 800, 600, NULL,
                                     NULL, wc.hInstance, NULL);
        step++;
        ddInit(screenWidth, screenHeight, screenBpp);   // the palette's lines are the game's already
    }

    destroyMasterGraphics();
    memset(masterGraphics, 0, sizeof(masterGraphics));
    numMasterGraphics = 0;
    step++;
    if (!loadMasterGraphics(GRAPHICS_LIST)) {
        // The list stops at the first refused graphic: the others are loaded one by one.
        int count = (int)std::min<size_t>(found.graphics.size(), MAX_MASTER_GRAPHICS);
        for (int i = 0; i < count; i++) {
            destroyGraphic(&masterGraphics[i]);
            memset(&masterGraphics[i], 0, sizeof(Graphic));
            step++;
            entryFile = GRAPHICS_LIST;
            entryLine = found.graphics[i].line;
            loadGraphic(&masterGraphics[i], found.graphics[i].name.c_str(), 0, 0);
        }
        entryFile = "";
        numMasterGraphics = count;
    }

    memset(masterEnemies, 0, sizeof(masterEnemies));
    numMasterEnemies = 0;
    step++;
    if (!loadMasterEnemies(ENEMIES_LIST)) {
        int count = (int)std::min<size_t>(found.enemies.size(), MAX_MASTER_ENEMIES);
        for (int i = 0; i < count; i++) {
            step++;
            entryFile = ENEMIES_LIST;
            entryLine = found.enemies[i].line;
            loadEnemy(&masterEnemies[i], found.enemies[i].name.c_str());
        }
        entryFile = "";
        numMasterEnemies = count;
    }

    step++;
    loadDeploymentOrders(ORDERS_FILE);
}

std::string showPath(const std::string& dir, const std::string& file)
{
    return dir == "." ? file : dir + "/" + file;
}

int usage()
{
    fprintf(stderr, "usage: starlane-check [DIR]   (checks the content folder DIR, by default the current one)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && argv[1][0] == '-'))
        return usage();
    std::string dir = argc == 2 ? argv[1] : ".";
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();

    char here[4096];
    if (getcwd(here, sizeof(here)) == NULL || chdir(dir.c_str()) != 0) {
        printf("%s: error: cannot enter the content folder\n", dir.c_str());
        return 1;
    }
    if (chdir(here) != 0)
        return 1;
    ScanResult found = scanContent(dir);
    scan = &found;
    if (chdir(dir.c_str()) != 0)
        return 1;

    memoryLog = openMemoryLog();
    if (memoryLog == NULL) {
        fprintf(stderr, "starlane-check: cannot make the memory log\n");
        return 1;
    }
    following = true;
    int started = runGame() == 0;
    if (!started)
        freeMemory();   // a failed start-up leaves the pools as they were
    runLoaders(found);
    following = false;
    destroyMasterGraphics();
    ddShutDown();
    headlessReset(0);

    // ---- The report ----
    std::vector<std::string> lines;
    std::set<std::string> seen;
    int gameLines = 0;
    std::set<std::string> refusedByGame;
    int lastStep = -1;
    for (size_t i = 0; i < logged.size(); i++) {
        const Logged& l = logged[i];
        bool innermost = l.step != lastStep;
        lastStep = l.step;
        if (innermost && !l.file.empty())
            refusedByGame.insert(l.file);
        std::string at = l.file.empty() ? "" : showPath(dir, l.file) + ":" + std::to_string(l.line) + ": ";
        std::string key = at + l.text;
        if (l.step == 0) {
            gameLines++;
            // A line logged while the game read no content file has its place in Error.txt.
            if (l.file.empty())
                lines.push_back(showPath(dir, "Error.txt") + ":" + std::to_string(gameLines) + ": " + l.text);
            else
                lines.push_back(at + "Error.txt: " + l.text);
            seen.insert(key);
        }
    }

    // Everything else by file, in the order the game reads them, and line.
    struct Entry {
        size_t rank;
        int line;
        std::string text;
    };
    std::vector<Entry> rest;
    auto rankOf = [&](const std::string& file) {
        std::vector<std::string>::const_iterator it = std::find(found.files.begin(), found.files.end(), file);
        return (size_t)(it - found.files.begin());
    };
    for (const Problem& p : found.errors)
        rest.push_back({rankOf(p.file), p.line, showPath(dir, p.file) + ":" + std::to_string(p.line) + ": error: " + p.text});
    for (const Logged& l : logged) {
        if (l.step == 0)
            continue;
        std::string at = l.file.empty() ? "" : showPath(dir, l.file) + ":" + std::to_string(l.line) + ": ";
        if (!seen.insert(at + l.text).second)
            continue;
        if (l.file.empty())
            rest.push_back({found.files.size(), 0, showPath(dir, "Error.txt") + ":1: loader: " + l.text});
        else
            rest.push_back({rankOf(l.file), l.line, at + "loader: " + l.text});
    }
    for (const Problem& p : found.warnings)
        rest.push_back({rankOf(p.file), p.line, showPath(dir, p.file) + ":" + std::to_string(p.line) + ": warning: " + p.text});

    // The game decides; a scan that reads a file otherwise is the checker's fault, and said so.
    // A run that logged nothing about any file took every file it opened.
    std::set<std::string> takenByGame;
    for (const auto& run : openedInStep) {
        bool failed = false;
        for (const Logged& l : logged)
            failed = failed || (l.step == run.first && !l.file.empty());
        if (!failed)
            takenByGame.insert(run.second.begin(), run.second.end());
    }
    std::set<std::string> refusedByScan(found.refused.begin(), found.refused.end());
    for (const std::string& file : refusedByGame)
        if (!refusedByScan.count(file))
            rest.push_back({rankOf(file), 1, showPath(dir, file) + ":1: error: the game refuses this file, "
                                             "but starlane-check found no reason; the game's lines above are right"});
    for (const std::string& file : refusedByScan)
        if (takenByGame.count(file))
            rest.push_back({rankOf(file), 1, showPath(dir, file) + ":1: error: starlane-check refuses this file, "
                                             "but the game loads it; please report this"});

    std::stable_sort(rest.begin(), rest.end(), [](const Entry& a, const Entry& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.line < b.line;
    });
    for (const Entry& e : rest)
        lines.push_back(e.text);
    for (const std::string& l : lines)
        printf("%s\n", l.c_str());

    size_t warnings = found.warnings.size();
    size_t problems = lines.size();
    if (problems == 0) {
        fprintf(stderr, "starlane-check: %s: clean (%zu graphics, %zu enemies, %d orders)\n", dir.c_str(),
                found.graphics.size(), found.enemies.size(), found.numOrders);
        return 0;
    }
    fprintf(stderr, "starlane-check: %s: %zu problem%s (%zu warning%s); %s\n", dir.c_str(), problems,
            problems == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s",
            started ? (gameLines ? "the game starts but logs errors" : "the game starts")
                    : "the game stops at start-up");
    return 1;
}
