// The playback key source: the keys of a key script or a recording handed to the game frame by
// frame in place of the keyboard's, through the same watch over the stand-in that records.
// Each range is two events (its keys go down, they come up), so a game of F frames and R
// ranges plays in time and memory proportional to F + R, however the ranges overlap.
#ifndef STARLANE_RECORD_PLAYBACK_H
#define STARLANE_RECORD_PLAYBACK_H

#include <vector>

#include "record/recording.h"

// From the next turn of the game loop on, frame t (turn t begins it) reads the keys of every
// range holding t. Everything is set aside here: playing allocates nothing.
void playbackStart(const std::vector<KeyRange>& ranges);
void playbackStop();
int playbackActive();

// The watch's part: each turn of the game loop, each keyboard read (256 bytes, replaced).
void playbackTurn();
void playbackKeys(unsigned char* state);

#endif
