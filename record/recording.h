// Key scripts and recordings, read and written in one place.
//
// A key script holds lines "FIRST LAST KEY...": the keys held in frames FIRST to LAST (both
// included), keys named a d w s space escape or given as DirectInput key numbers; '#' starts
// a comment. A recording is a key script made while a game was played, between two comment
// lines: the first gives the start tick and the frame count, the last the game's figures
// (the replay tool's --stats members without the timings and the allocation count).
#ifndef STARLANE_RECORD_RECORDING_H
#define STARLANE_RECORD_RECORDING_H

#include <string>
#include <vector>

struct KeyRange {
    int first, last;
    std::vector<int> keys; // DirectInput key codes
};

struct Recording {
    unsigned long startTick;
    int frames;
    std::vector<KeyRange> ranges;
    std::string figures; // "{...}" as recorded; "" when the game's end was not recorded
};

// 1 ok; 0 with a one-line reason in `error`.
int readKeyScript(const char* path, std::vector<KeyRange>* ranges, std::string* error);
int readRecording(const char* path, Recording* recording, std::string* error);

// Room for this many changes of the keys held: at a change every 5th frame, over 6 hours.
// A longer game is recorded up to where the room ran out, and the file says so.
const int RECORDING_RANGES = 1 << 18;

// Recording the game being played when STARLANE_RECORD names a file: the recorder starts
// (watching the world after every frame when `watchFrames`), and once WinMain has returned
// the file is written, in the working directory when the name is relative. Both say on
// stderr what they did, after `program`. 1 ok or nothing to do, 0 failed.
int recordingStart(const char* program, int watchFrames, int ranges = RECORDING_RANGES);
int recordingFinish(const char* program, int exitCode);

// The first member of the recorded figures whose value differs in the replayed ones (a
// --stats line), as "NAME: recorded A, replayed B"; "" when all are equal.
std::string figureDifference(const std::string& recorded, const std::string& replayed);

#endif
