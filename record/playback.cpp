#include "record/playback.h"

#include <string.h>

#include <algorithm>


namespace {

struct KeyEvent {
    int frame; // from this frame on
    int key;
    int change; // +1 down, -1 up
};

std::vector<KeyEvent> events; // by frame
size_t nextEvent = 0;
int held[256]; // how many ranges under way hold each key
int active = 0;
int turns = 0;

} // namespace

void playbackStart(const std::vector<KeyRange>& ranges)
{
    events.clear();
    for (const KeyRange& r : ranges)
        for (int key : r.keys) {
            if (key < 0 || key > 255)
                continue;
            events.push_back({r.first, key, +1});
            events.push_back({r.last + 1, key, -1});
        }
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.frame < b.frame; });
    nextEvent = 0;
    memset(held, 0, sizeof(held));
    turns = 0;
    active = 1;
}

void playbackStop()
{
    active = 0;
    events.clear();
}

int playbackActive()
{
    return active;
}

void playbackTurn()
{
    if (active)
        turns++;
}

void playbackKeys(unsigned char* state)
{
    if (!active)
        return;
    int frame = turns - 1; // before the first turn: no keys
    while (nextEvent < events.size() && events[nextEvent].frame <= frame) {
        held[events[nextEvent].key] += events[nextEvent].change;
        nextEvent++;
    }
    for (int k = 0; k < 256; k++)
        state[k] = held[k] > 0 ? 0x80 : 0;
}
