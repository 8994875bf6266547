// Key scripts and recordings, read and written in one place.
//
// A key script holds lines "FIRST LAST KEY...": the keys held in frames FIRST to LAST (both
// included), keys named a d w s space escape or given as DirectInput key numbers; '#' starts
// a comment. A recording is a key script made while a game was played, between two comment
// lines: the first gives the start tick and the frame count, the last the game's figures
// (the replay tool's --stats members without the timings and the allocation count). A game
// cut where the recorder's memory ran out says so in a line of its own, with the figures of
// the frames kept.
#ifndef STARLANE_RECORD_RECORDING_H
#define STARLANE_RECORD_RECORDING_H

#include <string>
#include <vector>

// The longest game the replay tool plays or a recording may claim: about 19 days of play.
const int MAX_FRAMES = 100000000;
// The longest key script or recording read: the recorder's every range (below) on a line of
// 128 bytes. A file past it is refused before it is parsed.
const int RECORDING_BYTES = 32 << 20;

struct KeyRange {
    int first, last;       // 0 <= first <= last <= MAX_FRAMES
    std::vector<int> keys; // DirectInput key codes
};

struct Recording {
    unsigned long startTick;
    int frames;
    std::vector<KeyRange> ranges;
    // "{...}" to compare with a replay of `frames` frames: the whole game's, or when the
    // recording was cut, those of the frames kept; "" when the file holds none.
    std::string figures;
    int cutOf; // the frames of the whole game when the recording was cut; -1 when whole
};

// 1 ok; 0 with a one-line reason in `error`, with the line number where a line is at fault.
int readKeyScript(const char* path, std::vector<KeyRange>* ranges, std::string* error);
int readRecording(const char* path, Recording* recording, std::string* error);

// A whole decimal number from min to max, as options and the lines of a key script give
// them: 1 ok, 0 for anything else (a sign, other characters, a number past the bounds).
int readNumber(const char* text, long long min, long long max, long long* value);

// Room for this many changes of the keys held: at a change every 5th frame, over 6 hours.
// A longer game is recorded up to where the room ran out, and the file says so.
const int RECORDING_RANGES = 1 << 18;

// Recording the game being played when STARLANE_RECORD names a file: the recorder starts
// (watching the world after every frame when `watchFrames`), and once WinMain has returned
// the file is written beside its name and renamed into place, in the working directory when
// the name is relative. The log, the content, what is not a regular file and a name whose
// temporary file cannot be made are refused at the start, and the caller plays nothing.
// Both say on stderr what they did, after `program`, and a failure adds one line to
// "Error.txt" (recordingFinish writes a refusal's). 1 ok or nothing to do, 0 refused or failed.
int recordingStart(const char* program, int watchFrames, int ranges = RECORDING_RANGES);
int recordingFinish(const char* program, int exitCode);

// The first member of the recorded figures whose value differs in the replayed ones (a
// --stats line), as "NAME: recorded A, replayed B"; "" when all are equal.
std::string figureDifference(const std::string& recorded, const std::string& replayed);

#endif
