// A game recorded as it is played, as STARLANE_RECORD asks: the game's program starts it
// before WinMain and finishes it after, the replay tool too when it records.
#ifndef STARLANE_RECORD_SESSION_H
#define STARLANE_RECORD_SESSION_H

#include "record/recording.h"

// Recording the game being played when STARLANE_RECORD names a file: the recorder starts
// (watching the world after every frame when `watchFrames`), and once WinMain has returned
// the file is written beside its name and renamed into place, in the working directory when
// the name is relative. The log, the content, what is not a regular file and a name whose
// temporary file cannot be made are refused at the start, and the caller plays nothing.
// Both say on stderr what they did, after `program`, and a failure adds one line to
// "Error.txt" (recordingFinish writes a refusal's). 1 ok or nothing to do, 0 refused or failed.
int recordingStart(const char* program, int watchFrames, int ranges = RECORDING_RANGES);
int recordingFinish(const char* program, int exitCode);

#endif
