// The record room's one watch over the stand-in (platform/play_watch.h): the playback's keys go
// to the game, then the recorder keeps what the game read. Playback and recorder each answer
// only while they are on, so the watch is set once, by whoever starts either of them.
#ifndef STARLANE_RECORD_WATCH_H
#define STARLANE_RECORD_WATCH_H

void watchOn(); // sets the watch on the stand-in (again after headlessReset)

#endif
