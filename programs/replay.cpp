// starlane-replay: runs the real game on the headless backend from a content folder,
// with a key script, and writes screenshots and timing statistics.
//
//   starlane-replay [--data DIR] [--frames N] [--keys FILE] [--start-tick T]
//                   [--shot F:PATH.png]... [--stats] [--checksums N] [--lose F]
//   starlane-replay --recording FILE [--data DIR] [--shot F:PATH.png]... [--checksums N]
//
// --checksums N prints a checksum of the picture of every Nth frame (0, N, 2N, ...), one
// line each after the game ends: "checksum FRAME XXXXXXXX" (FNV-1a over the RGB picture).
// --lose F takes the display away just before frame F, as switching to another program does:
// every surface is lost, and a restored one comes back holding garbage.
//
// --recording FILE plays a recorded game (start tick, frames and keys from the file) and prints
// its figures; a recording cut where the recorder's memory ran out plays the frames it holds.
//
// Exit codes: with --recording 0 the figures equal the recorded ones, 3 one differs, 4 the
// recording holds no figures to compare; without it the game's own; 2 a bad option, a key
// script or recording refused (with the line at fault), a content folder, screenshot or
// STARLANE_RECORD name that cannot be used.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "programs/alloc_count.h"
#include "record/figures.h"
#include "platform/headless.h"
#include "record/playback.h"
#include "platform/standin_hooks.h"
#include "platform/png_write.h"
#include "record/recording.h"
#include "record/session.h"
#include "record/watch.h"

namespace {

struct Shot {
    int frame;
    std::string path;
};

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

void takeShots(int frame)
{
    for (size_t i = 0; i < shots.size(); i++) {
        if (shots[i].frame != frame)
            continue;
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
    if (checksumEvery <= 0 || frame % checksumEvery != 0 || headlessPresentCount() == 0)
        return;
    rgb.resize((size_t)headlessScreenWidth() * headlessScreenHeight() * 3);
    if (!headlessScreenRGB(rgb.data()))
        return;
    unsigned h = 2166136261u;
    for (unsigned char c : rgb)
        h = (h ^ c) * 16777619u;
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
        figuresObserveFrame(turn - 1);
        takeShots(turn - 1);
        takeChecksum(turn - 1);
    }
    if (turn >= maxFrames && !closeRequested) {
        // Still running after N frames: close the window as a user would.
        closeRequested = 1;
        headlessRequestClose();
    }
    if (turn == loseAt) {
        ddrawSetRestoreGarbage(1);
        ddrawLoseSurfaces();
    }
    clock_gettime(CLOCK_MONOTONIC, &lastTurnEnd);
    countingAllocations = 1;
}

int usage(const char* message)
{
    fprintf(stderr,
            "starlane-replay: %s (usage: starlane-replay [--data DIR] [--frames N] "
            "[--keys FILE] [--start-tick T] [--shot F:PATH.png]... [--stats] [--checksums N] "
            "[--lose F]; "
            "or starlane-replay --recording FILE [--data DIR] [--shot F:PATH.png]... [--checksums "
            "N])\n",
            message);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const char* dataDir = "data";
    const char* keysFile = NULL;
    const char* recordingFile = NULL;
    int scriptOptions = 0; // --frames, --keys, --start-tick: a recording brings its own
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
            if (!readNumber(argv[++i], 0, MAX_GAME_FRAMES, &v))
                return usage("bad --frames value");
            maxFrames = (int)v;
            scriptOptions = 1;
        } else if (strcmp(a, "--keys") == 0 && hasValue) {
            keysFile = argv[++i];
            scriptOptions = 1;
        } else if (strcmp(a, "--recording") == 0 && hasValue) {
            recordingFile = argv[++i];
        } else if (strcmp(a, "--start-tick") == 0 && hasValue) {
            if (!readNumber(argv[++i], 0, 0xFFFFFFFFLL, &v))
                return usage("bad --start-tick value");
            startTick = v;
            scriptOptions = 1;
        } else if (strcmp(a, "--checksums") == 0 && hasValue) {
            if (!readNumber(argv[++i], 1, MAX_GAME_FRAMES, &v))
                return usage("bad --checksums value");
            checksumEvery = (int)v;
        } else if (strcmp(a, "--lose") == 0 && hasValue) {
            if (!readNumber(argv[++i], 0, MAX_GAME_FRAMES, &v))
                return usage("bad --lose value");
            loseAt = (int)v;
        } else if (strcmp(a, "--shot") == 0 && hasValue) {
            const char* value = argv[++i];
            const char* colon = strchr(value, ':');
            if (colon == NULL || colon[1] == '\0')
                return usage("bad --shot value, expected F:PATH.png");
            std::string frame(value, colon - value);
            if (!readNumber(frame.c_str(), 0, MAX_GAME_FRAMES, &v))
                return usage("bad --shot frame");
            Shot s;
            s.frame = (int)v;
            s.path = colon + 1;
            // Paths are relative to where the tool was started, not to the content folder.
            if (s.path[0] != '/') {
                char cwd[4096];
                if (getcwd(cwd, sizeof(cwd)))
                    s.path = std::string(cwd) + "/" + s.path;
            }
            shots.push_back(s);
        } else {
            return usage((std::string("unknown or incomplete option ") + a).c_str());
        }
    }

    if (recordingFile && scriptOptions)
        return usage("--recording brings its own frames, keys and start tick");
    Recording recording;
    std::vector<KeyRange> keyRanges;
    std::string error;
    if (recordingFile) {
        if (!readRecording(recordingFile, &recording, &error)) {
            fprintf(stderr, "starlane-replay: %s\n", error.c_str());
            return 2;
        }
        keyRanges.swap(recording.ranges);
        maxFrames = recording.frames;
        startTick = (long long)recording.startTick;
        stats = 1;
    } else if (keysFile && !readKeyScript(keysFile, &keyRanges, &error)) {
        fprintf(stderr, "starlane-replay: %s\n", error.c_str());
        return 2;
    }
    if (chdir(dataDir) != 0) {
        fprintf(stderr, "starlane-replay: cannot enter content folder %s: %s\n", dataDir,
                strerror(errno));
        return 2;
    }

    workUs.reserve((size_t)maxFrames + 2);
    if (checksumEvery > 0)
        checksums.reserve((size_t)maxFrames / checksumEvery + 2);
    rgb.reserve(800 * 600 * 3);
    headlessReset((DWORD)startTick);
    headlessSetTurnHook(onTurn);
    figuresStart();
    // The keys reach the game as a recording's keys were taken from it, at each keyboard read.
    playbackStart(keyRanges);
    watchOn();
    std::vector<KeyRange>().swap(keyRanges); // the playback keeps them as its own events
    // STARLANE_RECORD records here as in the game, which shows what recording costs in play;
    // a recording refused is said in Error.txt, and nothing is played.
    if (!recordingStart("starlane-replay", 0)) {
        recordingFinish("starlane-replay", 2);
        return 2;
    }

    int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
    countingAllocations = 0;
    recordingFinish("starlane-replay", exitCode);

    int differs = 0;
    if (stats) {
        std::vector<double> sorted = workUs;
        std::sort(sorted.begin(), sorted.end());
        double mean = 0, p99 = 0, mx = 0;
        if (!sorted.empty()) {
            for (double w : sorted)
                mean += w;
            mean /= sorted.size();
            p99 = sorted[std::min(sorted.size() - 1, (size_t)(sorted.size() * 0.99))];
            mx = sorted.back();
        }
        char timings[256];
        snprintf(timings, sizeof(timings),
                 ", \"work_us_mean\": %.1f, \"work_us_p99\": %.1f, \"work_us_max\": %.1f, "
                 "\"allocations_after_start\": %ld}",
                 mean, p99, mx, ALLOCATIONS_COUNTED ? (long)allocationCount : -1L);
        std::string line = "{" + figuresText(framesRun, exitCode) + timings;
        printf("%s\n", line.c_str());
        if (recordingFile) {
            std::string difference = figureDifference(recording.figures, line);
            differs = recording.figures.empty() ? 4 : difference.empty() ? 0 : 3;
            if (recording.cutOf >= 0)
                fprintf(stderr,
                        "starlane-replay: the recording was cut at frame %d of %d, where the "
                        "recorder's memory ran out: the %d frames it holds are compared\n",
                        recording.frames, recording.cutOf, recording.frames);
            if (recording.figures.empty())
                fprintf(stderr,
                        "starlane-replay: nothing to compare: the recording holds no figures "
                        "(its \"# figures:\" line is missing or malformed)\n");
            else if (differs)
                fprintf(stderr, "starlane-replay: the replay differs from the recording, %s\n",
                        difference.c_str());
            else
                fprintf(stderr, "starlane-replay: the replay equals the recording (%d frames)\n",
                        framesRun);
        }
    }
    for (size_t i = 0; i < checksums.size(); i++)
        printf("checksum %d %08x\n", checksums[i].first, checksums[i].second);
    if (shotFailures)
        return 2;
    if (recordingFile)
        return differs;
    return exitCode;
}
