// The game on the page watching a recording, as STARLANE_PLAYBACK=FILE asks (the page writes
// FILE from a game link): the recording read by the recording reader, the clock started at its
// start tick, its keys played to the game, and the window closed after its last frame as the
// replay tool closes it. The page's controls are the exported functions of watch_web.cpp.
#ifndef STARLANE_PROGRAMS_WATCH_WEB_H
#define STARLANE_PROGRAMS_WATCH_WEB_H

// After recordingStart: 1 when there is nothing to watch or the playback started; 0 with the
// reader's line on stderr after `program` when the recording is refused.
int watchStart(const char* program);

#endif
