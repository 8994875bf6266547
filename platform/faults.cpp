// Instrumentation shared by every backend: failures on demand and a record of calls (the
// count of live objects is kept by com_object.cpp).
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "platform/instrumentation.h"

namespace {

// Every call of the stand-in that asks faultCheck, by its API name.
const char* const KNOWN_CALLS[] = {
    // Win32
    "RegisterClassExA",
    "CreateWindowExA",
    "DestroyWindow",
    "PeekMessageA",
    "PostMessageA",
    "LoadIconA",
    "LoadCursorA",
    "GetStockObject",
    "ShowCursor",
    "GetTickCount",
    "Sleep",
    // DirectDraw
    "DirectDrawCreateEx",
    "SetCooperativeLevel",
    "SetDisplayMode",
    "CreateSurface",
    "CreatePalette",
    "CreateClipper",
    "GetAttachedSurface",
    "GetSurfaceDesc",
    "Blt",
    "Flip",
    "Lock",
    "Unlock",
    "IsLost",
    "Restore",
    "SetClipper",
    "SetPalette",
    "GetEntries",
    "SetEntries",
    "GetClipList",
    "SetClipList",
    // DirectInput
    "DirectInput8Create",
    "CreateDevice",
    "SetDataFormat",
    "Acquire",
    "Unacquire",
    "GetDeviceState",
};

bool knownCall(const char* call)
{
    for (const char* known : KNOWN_CALLS)
        if (strcmp(known, call) == 0)
            return true;
    return false;
}

struct Fault {
    char call[48];
    int from; // fail calls numbered from..from+count-1 (count < 0: for ever)
    int count;
    long code;
};

struct Counter {
    char call[48];
    int calls;
};

// Fixed tables: checking a call never allocates, so play stays allocation-free.
Fault faults[32];
int numFaults = 0;
Counter counters[160];
int numCounters = 0;

int recording = 0;
std::vector<std::string> records;

Counter* counterFor(const char* call)
{
    for (int i = 0; i < numCounters; i++)
        if (strcmp(counters[i].call, call) == 0)
            return &counters[i];
    if (numCounters == (int)(sizeof(counters) / sizeof(counters[0])))
        return NULL;
    Counter* c = &counters[numCounters++];
    snprintf(c->call, sizeof(c->call), "%s", call);
    c->calls = 0;
    return c;
}

} // namespace

int faultSet(const char* call, int nth, int count, long code)
{
    if (!knownCall(call) || numFaults == (int)(sizeof(faults) / sizeof(faults[0])))
        return 0;
    Counter* c = counterFor(call);
    Fault* f = &faults[numFaults++];
    snprintf(f->call, sizeof(f->call), "%s", call);
    f->from = (c ? c->calls : 0) + nth;
    f->count = count;
    f->code = code;
    return 1;
}

void faultClearAll()
{
    numFaults = 0;
    numCounters = 0;
}

void faultResetCounts()
{
    for (int i = 0; i < numCounters; i++)
        counters[i].calls = 0;
}

long faultCheck(const char* call)
{
    Counter* c = counterFor(call);
    if (c == NULL)
        return 0;
    int n = ++c->calls;
    for (int i = 0; i < numFaults; i++) {
        Fault* f = &faults[i];
        if (strcmp(f->call, call) != 0 || n < f->from)
            continue;
        if (f->count < 0 || n < f->from + f->count)
            return f->code;
    }
    return 0;
}

int faultCallCount(const char* call)
{
    for (int i = 0; i < numCounters; i++)
        if (strcmp(counters[i].call, call) == 0)
            return counters[i].calls;
    return 0;
}

const char* faultCallName(int index)
{
    if (index < 0 || index >= numCounters)
        return NULL;
    return counters[index].call;
}

void recordEnable(int on)
{
    recording = on;
}

void recordCall(const char* format, ...)
{
    if (!recording)
        return;
    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    records.push_back(line);
}

int recordCount()
{
    return (int)records.size();
}

const char* recordLine(int index)
{
    if (index < 0 || index >= (int)records.size())
        return "";
    return records[index].c_str();
}

void recordClear()
{
    records.clear();
}
