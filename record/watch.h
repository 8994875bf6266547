// The record room's one watch over the stand-in (platform/play_watch.h): the playback's keys go
// to the game, then the recorder keeps what the game read. It is set while either is on.
#ifndef STARLANE_RECORD_WATCH_H
#define STARLANE_RECORD_WATCH_H

void watchUpdate(); // after the recorder or the playback started or stopped

#endif
