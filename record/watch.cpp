#include "record/watch.h"

#include "platform/play_watch.h"
#include "record/playback.h"
#include "record/recorder.h"

namespace {

void tick(DWORD ticks)
{
    recorderTick(ticks);
}

void keys(unsigned char* state)
{
    playbackKeys(state);
    recorderKeys(state);
}

void turn()
{
    playbackTurn();
    recorderTurn();
}

const PlayWatch watch = {tick, keys, turn};

} // namespace

void watchOn()
{
    setPlayWatch(&watch);
}
