// The recorder: what a game needs to be played again exactly, the clock's first reading
// (the game seeds its random numbers with it) and the keys the keyboard device handed to
// the game in every frame. It keeps them in memory set aside when it starts, so that
// recording neither allocates nor writes a file during play; recording.cpp turns them into a
// recording file when the game has ended.
#ifndef STARLANE_RECORD_RECORDER_H
#define STARLANE_RECORD_RECORDER_H

#include <windows.h>

#include "record/figures.h"

// Frames first..last (both included) in which the same keys were held: bit k of keys is
// DirectInput key code k. Frames without any key held have no range.
struct RecordedRange {
    int first;
    int last;
    unsigned char keys[32];
};

// Room for `capacity` ranges; 1 ok, 0 without memory. Starting again begins a new recording.
int recorderStart(int capacity);
void recorderStop(); // frees the memory; nothing is recorded
int recorderActive();
// Called after every frame with its number (as the replay tool watches the world).
void recorderSetFrameHook(void (*hook)(int frame));

// The watch's part (watch.h): each turn of the game loop (PeekMessageA) begins a frame, the
// first GetTickCount reading is the start tick, every successful GetDeviceState is the keys.
void recorderTurn();
void recorderTick(DWORD ticks);
void recorderKeys(const unsigned char* state256);

// The recording so far (reading it closes the range being held).
DWORD recorderStartTick();
int recorderFrames(); // 1 + the last frame that read the keyboard
int recorderRangeCount();
const RecordedRange* recorderRange(int index);
int recorderCutFrame(); // -1: whole; else the first frame not kept
// The game's figures as the first frame not kept began (a replay of the kept frames ends
// there); NULL when whole.
const GameFigures* recorderCutFigures();

#endif
