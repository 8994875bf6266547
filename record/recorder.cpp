#include "record/recorder.h"

#include <stdlib.h>
#include <string.h>

#include "record/figures.h"

namespace {

RecordedRange* ranges = NULL;
int capacity = 0;
int count = 0;
int active = 0;
int turns = 0; // turns of the game loop seen; turn t begins frame t
int haveTick = 0;
DWORD startTick = 0;
int frames = 0;
int cutFrame = -1;
GameFigures turnFigures; // as the frame being played began
GameFigures cutFigures;  // as the first frame not kept began
RecordedRange held;      // the range still growing
int holding = 0;
void (*frameHook)(int) = NULL;

int anyKey(const unsigned char* keys)
{
    for (int i = 0; i < 32; i++)
        if (keys[i])
            return 1;
    return 0;
}

// The held range is complete: keep it. A range that would not fit cut the recording when it
// began (recorderKeys), and nothing after a cut is kept, so the kept part is whole up to it.
void closeHeld()
{
    if (!holding)
        return;
    holding = 0;
    if (cutFrame >= 0 || !anyKey(held.keys))
        return;
    ranges[count++] = held;
}

} // namespace

int recorderStart(int wanted)
{
    recorderStop();
    if (wanted <= 0)
        return 0;
    // Set aside now; the pages are only touched as the game goes on.
    ranges = (RecordedRange*)malloc((size_t)wanted * sizeof(RecordedRange));
    if (ranges == NULL)
        return 0;
    capacity = wanted;
    active = 1;
    return 1;
}

void recorderStop()
{
    free(ranges);
    ranges = NULL;
    capacity = count = 0;
    active = 0;
    turns = 0;
    haveTick = 0;
    startTick = 0;
    frames = 0;
    cutFrame = -1;
    holding = 0;
    frameHook = NULL;
}

int recorderActive()
{
    return active;
}
void recorderSetFrameHook(void (*hook)(int))
{
    frameHook = hook;
}

void recorderTurn()
{
    if (!active)
        return;
    turns++;
    if (turns >= 2 && frameHook != NULL)
        frameHook(turns - 2);
    turnFigures = gameFiguresNow();
}

void recorderTick(DWORD ticks)
{
    if (!active || haveTick)
        return;
    haveTick = 1;
    startTick = ticks;
}

void recorderKeys(const unsigned char* state)
{
    if (!active || turns == 0)
        return;
    int frame = turns - 1;
    if (frame < frames)
        return; // read twice in one frame: the game had these keys already
    unsigned char keys[32];
    memset(keys, 0, sizeof(keys));
    for (int k = 0; k < 256; k++)
        if (state[k] & 0x80)
            keys[k / 8] |= (unsigned char)(1 << (k % 8));
    if (holding && held.last == frame - 1 && memcmp(held.keys, keys, sizeof(keys)) == 0) {
        held.last = frame;
    } else {
        closeHeld();
        held.first = held.last = frame;
        memcpy(held.keys, keys, sizeof(keys));
        holding = 1;
        // A replay of the frames kept ends as this frame would begin: its figures are those.
        if (cutFrame < 0 && count == capacity && anyKey(keys)) {
            cutFrame = frame;
            cutFigures = turnFigures;
        }
    }
    frames = frame + 1;
}

DWORD recorderStartTick()
{
    return startTick;
}
int recorderFrames()
{
    return frames;
}

int recorderRangeCount()
{
    closeHeld();
    return count;
}

const RecordedRange* recorderRange(int index)
{
    closeHeld();
    return index >= 0 && index < count ? &ranges[index] : NULL;
}

int recorderCutFrame()
{
    return cutFrame;
}
const GameFigures* recorderCutFigures()
{
    return cutFrame >= 0 ? &cutFigures : NULL;
}
