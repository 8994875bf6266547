#include "programs/watch_web.h"

#include <emscripten.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include <windows.h>
#include <dinput.h>

#include "platform/backend_web.h"
#include "platform/play_watch.h"
#include "record/playback.h"
#include "record/recording.h"
#include "record/watch.h"

namespace {

// The record room's watch, and ours around it: the turns counted to close the window where the
// replay tool would, the keys the game last read kept for the page to show.
const PlayWatch* recordWatch = NULL;
int turns = 0;
int lastTurn = -1; // the turn that closes the window: the recording's frame count
unsigned char shownKeys[256];

void tick(DWORD ticks)
{
    recordWatch->tick(ticks);
}

void keys(unsigned char* state)
{
    recordWatch->keys(state);
    memcpy(shownKeys, state, sizeof(shownKeys));
}

void turn()
{
    recordWatch->turn();
    if (playbackActive() && turns == lastTurn)
        webRequestClose();
    turns++;
}

const PlayWatch watching = {tick, keys, turn};

} // namespace

int watchStart(const char* program)
{
    const char* path = getenv("STARLANE_PLAYBACK");
    if (path == NULL || path[0] == '\0')
        return 1;
    Recording recording;
    std::string error;
    if (!readRecording(path, &recording, &error)) {
        fprintf(stderr, "%s: cannot play the recording: %s\n", program, error.c_str());
        return 0;
    }
    webClockStartAt((DWORD)recording.startTick);
    playbackStart(recording.ranges);
    lastTurn = recording.frames;
    watchOn();
    recordWatch = playWatch();
    setPlayWatch(&watching);
    fprintf(stderr, "%s: playing the recording %s, %d frames\n", program, path, recording.frames);
    return 1;
}

// The page's controls while it watches: the frames begun, the recording's length (0: none),
// the keys the game read last, and taking over.
extern "C" EMSCRIPTEN_KEEPALIVE int watchFrame()
{
    return turns;
}
extern "C" EMSCRIPTEN_KEEPALIVE int watchFrames()
{
    return recordWatch != NULL && playbackActive() ? lastTurn : 0;
}
// Bits 0 to 5: a d w s space escape held; bit 6: some other key.
extern "C" EMSCRIPTEN_KEEPALIVE int watchKeys()
{
    const int named[] = {DIK_A, DIK_D, DIK_W, DIK_S, DIK_SPACE, DIK_ESCAPE};
    int bits = 0;
    for (int k = 0; k < 256; k++) {
        if (!(shownKeys[k] & 0x80))
            continue;
        int bit = 6;
        for (int i = 0; i < 6; i++)
            if (named[i] == k)
                bit = i;
        bits |= 1 << bit;
    }
    return bits;
}
// The recording's keys stop here: from the next keyboard read on, the page's keys play, from
// this very state of the game, and the recorder goes on recording them.
extern "C" EMSCRIPTEN_KEEPALIVE void watchTakeOver()
{
    playbackStop();
    webSetPace(1, 0);
}
