// What tests and tools see of the stand-in beyond the Win32/DirectX calls: failures on
// demand, a record of calls and a count of live objects. Shared by every backend
// (faults.cpp); the stand-in's calls report here.
#ifndef STARLANE_PLATFORM_INSTRUMENTATION_H
#define STARLANE_PLATFORM_INSTRUMENTATION_H

// ---- Fault injection (tests and the fault sweep make any call fail on demand) ----
// Make the nth call (1-based, counted from now) of `call` and the count-1 calls after it
// fail with `code`; count < 0 means for ever. `call` is the API name, e.g. "RegisterClassExA",
// "CreateSurface", "Blt", "Lock", "GetDeviceState". Returns 1, or 0 and sets nothing when
// the stand-in has no call of that name (a misspelt name would otherwise never fire) or
// the table of faults is full.
int faultSet(const char* call, int nth, int count, long code);
void faultClearAll();
// Called at the top of every stand-in call: counts it and returns the error code to fail
// with, or 0 to go on. `call` must be one of the names faultSet knows.
long faultCheck(const char* call);
int faultCallCount(const char* call); // calls of `call` seen since the last faultClearAll
// The index-th call name seen (in order of first call), or null.
const char* faultCallName(int index);
void faultResetCounts();

// ---- Call record (off unless a test turns it on: recording allocates) ----
void recordEnable(int on);
void recordCall(const char* format, ...); // one line, e.g. "Blt dest=(0,0,800,600) flags=0x1000400"
int recordCount();
const char* recordLine(int index);
void recordClear();

// ---- Live objects: DirectDraw and DirectInput objects not yet released (com_object.cpp) ----
int liveObjectCount();

#endif
