// starlane-replay: runs the real game on the headless backend from a content folder,
// with a key script, and writes screenshots and timing statistics.
//
//   starlane-replay [--data DIR] [--frames N] [--keys FILE] [--start-tick T]
//                   [--shot F:PATH.png]... [--stats] [--checksums N] [--lose F]
//
// --checksums N prints a checksum of the picture of every Nth frame (0, N, 2N, ...), one
// line each after the game ends: "checksum FRAME XXXXXXXX" (FNV-1a over the RGB picture).
// --lose F takes the display away just before frame F, as switching to another program does:
// every surface is lost, and a restored one comes back holding garbage.
#include <errno.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "alloc_count.h"
#include "headless.h"
#include "replay_stats.h"


namespace {

struct KeyRange {
    int first, last;
    std::vector<int> keys;
};

struct Shot {
    int frame;
    std::string path;
};

std::vector<KeyRange> keyRanges;
std::vector<Shot> shots;
int maxFrames = 600;
int framesRun = 0;
int closeRequested = 0;
std::vector<double> workUs;
std::vector<unsigned char> rgb;
struct timespec lastTurnEnd;
int shotFailures = 0;
int checksumEvery = 0;
int loseAt = -1;
std::vector<std::pair<int, unsigned>> checksums;

double nowUs()
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

int keyCode(const char* name)
{
    static const struct { const char* name; int dik; } names[] = {
        {"a", 0x1E}, {"d", 0x20}, {"w", 0x11}, {"s", 0x1F}, {"space", 0x39}, {"escape", 0x01},
    };
    for (size_t i = 0; i < sizeof(names) / sizeof(names[0]); i++)
        if (strcmp(name, names[i].name) == 0)
            return names[i].dik;
    char* end;
    long v = strtol(name, &end, 10);
    if (*name != '\0' && *end == '\0' && v >= 0 && v <= 255)
        return (int)v;
    return -1;
}

int loadKeyScript(const char* path, std::string* error)
{
    FILE* f = fopen(path, "r");
    if (f == NULL) {
        *error = std::string("cannot read key script ") + path + ": " + strerror(errno);
        return 0;
    }
    char line[1024];
    int lineNo = 0;
    while (fgets(line, sizeof(line), f)) {
        lineNo++;
        char* hash = strchr(line, '#');
        if (hash) *hash = '\0';
        char* tok = strtok(line, " \t\r\n");
        if (tok == NULL) continue;
        KeyRange r;
        char* end;
        r.first = (int)strtol(tok, &end, 10);
        char* tok2 = strtok(NULL, " \t\r\n");
        long last = tok2 ? strtol(tok2, &end, 10) : -1;
        if (*end != '\0' || tok2 == NULL || r.first < 0 || last < r.first) {
            *error = std::string("key script ") + path + ":" + std::to_string(lineNo) +
                     ": expected FIRST LAST KEY...";
            fclose(f);
            return 0;
        }
        r.last = (int)last;
        while ((tok = strtok(NULL, " \t\r\n")) != NULL) {
            int code = keyCode(tok);
            if (code < 0) {
                *error = std::string("key script ") + path + ":" + std::to_string(lineNo) +
                         ": unknown key '" + tok + "'";
                fclose(f);
                return 0;
            }
            r.keys.push_back(code);
        }
        keyRanges.push_back(r);
    }
    fclose(f);
    return 1;
}

int writePng(const char* path, const unsigned char* pixels, int width, int height)
{
    FILE* f = fopen(path, "wb");
    if (f == NULL) return 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png ? png_create_info_struct(png) : NULL;
    if (png == NULL || info == NULL || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        return 0;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++)
        png_write_row(png, (png_const_bytep)(pixels + (size_t)y * width * 3));
    png_write_end(png, NULL);
    png_destroy_write_struct(&png, &info);
    return fclose(f) == 0;
}

void takeShots(int frame)
{
    for (size_t i = 0; i < shots.size(); i++) {
        if (shots[i].frame != frame) continue;
        int w = headlessScreenWidth(), h = headlessScreenHeight();
        if (headlessPresentCount() == 0 || w <= 0 || h <= 0) {
            printf("no picture for frame %d\n", frame);
            continue;
        }
        rgb.resize((size_t)w * h * 3);
        headlessScreenRGB(rgb.data());
        if (!writePng(shots[i].path.c_str(), rgb.data(), w, h)) {
            fprintf(stderr, "starlane-replay: cannot write %s\n", shots[i].path.c_str());
            shotFailures++;
        }
    }
}

void takeChecksum(int frame)
{
    if (checksumEvery <= 0 || frame % checksumEvery != 0 || headlessPresentCount() == 0) return;
    rgb.resize((size_t)headlessScreenWidth() * headlessScreenHeight() * 3);
    if (!headlessScreenRGB(rgb.data())) return;
    unsigned h = 2166136261u;
    for (unsigned char c : rgb) h = (h ^ c) * 16777619u;
    checksums.push_back(std::make_pair(frame, h));
}

// Called at the start of every turn of the game loop; turn t begins frame t.
void onTurn(int turn)
{
    countingAllocations = 0;
    double start = nowUs();
    if (turn > 0 && turn <= maxFrames && !closeRequested) {
        double last = lastTurnEnd.tv_sec * 1e6 + lastTurnEnd.tv_nsec / 1e3;
        workUs.push_back(start - last);
        framesRun = turn;
        replayObserveFrame(turn - 1);
        takeShots(turn - 1);
        takeChecksum(turn - 1);
    }
    if (turn >= maxFrames && !closeRequested) {
        // Still running after N frames: close the window as a user would.
        closeRequested = 1;
        headlessRequestClose();
    }
    if (turn == loseAt) {
        headlessSetRestoreGarbage(1);
        headlessLoseSurfaces();
    }
    headlessClearKeys();
    for (size_t i = 0; i < keyRanges.size(); i++)
        if (turn >= keyRanges[i].first && turn <= keyRanges[i].last)
            for (size_t k = 0; k < keyRanges[i].keys.size(); k++)
                headlessSetKey(keyRanges[i].keys[k], 1);
    clock_gettime(CLOCK_MONOTONIC, &lastTurnEnd);
    countingAllocations = 1;
}

int usage(const char* message)
{
    fprintf(stderr, "starlane-replay: %s (usage: starlane-replay [--data DIR] [--frames N] "
                    "[--keys FILE] [--start-tick T] [--shot F:PATH.png]... [--stats] [--checksums N] "
                    "[--lose F])\n", message);
    return 2;
}

int parseInt(const char* s, long long min, long long max, long long* out)
{
    char* end;
    errno = 0;
    long long v = strtoll(s, &end, 10);
    if (*s == '\0' || *end != '\0' || errno != 0 || v < min || v > max) return 0;
    *out = v;
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const char* dataDir = "data";
    const char* keysFile = NULL;
    long long startTick = 1000;
    int stats = 0;

    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        int hasValue = i + 1 < argc;
        long long v;
        if (strcmp(a, "--stats") == 0) {
            stats = 1;
        } else if (strcmp(a, "--data") == 0 && hasValue) {
            dataDir = argv[++i];
        } else if (strcmp(a, "--frames") == 0 && hasValue) {
            if (!parseInt(argv[++i], 0, 100000000, &v)) return usage("bad --frames value");
            maxFrames = (int)v;
        } else if (strcmp(a, "--keys") == 0 && hasValue) {
            keysFile = argv[++i];
        } else if (strcmp(a, "--start-tick") == 0 && hasValue) {
            if (!parseInt(argv[++i], 0, 0xFFFFFFFFLL, &v)) return usage("bad --start-tick value");
            startTick = v;
        } else if (strcmp(a, "--checksums") == 0 && hasValue) {
            if (!parseInt(argv[++i], 1, 100000000, &v)) return usage("bad --checksums value");
            checksumEvery = (int)v;
        } else if (strcmp(a, "--lose") == 0 && hasValue) {
            if (!parseInt(argv[++i], 0, 100000000, &v)) return usage("bad --lose value");
            loseAt = (int)v;
        } else if (strcmp(a, "--shot") == 0 && hasValue) {
            const char* value = argv[++i];
            const char* colon = strchr(value, ':');
            if (colon == NULL || colon[1] == '\0') return usage("bad --shot value, expected F:PATH.png");
            std::string frame(value, colon - value);
            if (!parseInt(frame.c_str(), 0, 100000000, &v)) return usage("bad --shot frame");
            Shot s;
            s.frame = (int)v;
            s.path = colon + 1;
            // Paths are relative to where the tool was started, not to the content folder.
            if (s.path[0] != '/') {
                char cwd[4096];
                if (getcwd(cwd, sizeof(cwd))) s.path = std::string(cwd) + "/" + s.path;
            }
            shots.push_back(s);
        } else {
            return usage((std::string("unknown or incomplete option ") + a).c_str());
        }
    }

    if (keysFile) {
        std::string error;
        if (!loadKeyScript(keysFile, &error)) {
            fprintf(stderr, "starlane-replay: %s\n", error.c_str());
            return 2;
        }
    }
    if (chdir(dataDir) != 0) {
        fprintf(stderr, "starlane-replay: cannot enter content folder %s: %s\n", dataDir, strerror(errno));
        return 2;
    }

    workUs.reserve((size_t)maxFrames + 2);
    if (checksumEvery > 0) checksums.reserve((size_t)maxFrames / checksumEvery + 2);
    rgb.reserve(800 * 600 * 3);
    headlessReset((DWORD)startTick);
    headlessSetTurnHook(onTurn);
    replayStart();

    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    countingAllocations = 0;

    if (stats) {
        std::vector<double> sorted = workUs;
        std::sort(sorted.begin(), sorted.end());
        double mean = 0, p99 = 0, mx = 0;
        if (!sorted.empty()) {
            for (double w : sorted) mean += w;
            mean /= sorted.size();
            p99 = sorted[std::min(sorted.size() - 1, (size_t)(sorted.size() * 0.99))];
            mx = sorted.back();
        }
        struct stat st;
        long logBytes = stat("Error.txt", &st) == 0 ? (long)st.st_size : 0;
        printf("{\"frames\": %d, \"exit_code\": %d, \"work_us_mean\": %.1f, \"work_us_p99\": %.1f, "
               "\"work_us_max\": %.1f, \"allocations_after_start\": %ld, \"error_log_bytes\": %ld%s}\n",
               framesRun, exitCode, mean, p99, mx,
               ALLOCATIONS_COUNTED ? (long)allocationCount : -1L, logBytes,
               replayGameStats().c_str());
    }
    for (size_t i = 0; i < checksums.size(); i++)
        printf("checksum %d %08x\n", checksums[i].first, checksums[i].second);
    return shotFailures ? 2 : exitCode;
}
