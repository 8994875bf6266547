// The headless backend: no window system, a virtual clock that moves only when
// something sleeps or a test advances it, keys set by tests or a key script, and
// the last presented picture kept for screenshots.
#include <string.h>

#include <vector>

#include "platform/headless.h"
#include "platform/standin_hooks.h"
#include "platform/backend.h"
#include "platform/com_object.h"
#include "platform/instrumentation.h"
#include "platform/play_watch.h"

namespace {

DWORD ticks = 1000;
DWORD sleptTotal = 0;
DWORD lastSleep = 0;
int sleepCount = 0;
unsigned char keys[256];
int closeRequested = 0;
int exposeRequested = 0;
int windowOpen = 0;
void (*turnHook)(int) = NULL;
int turn = 0;

int modeWidth = 0, modeHeight = 0, modeBpp = 0;
std::vector<unsigned char> screen; // last picture, 8-bit, width * height
unsigned char screenPalette[1024];
int presentCount = 0;
int screenWidth_ = 0, screenHeight_ = 0;

} // namespace

void headlessReset(DWORD startTick)
{
    ticks = startTick;
    sleptTotal = 0;
    lastSleep = 0;
    sleepCount = 0;
    memset(keys, 0, sizeof(keys));
    closeRequested = 0;
    exposeRequested = 0;
    windowOpen = 0;
    turnHook = NULL;
    turn = 0;
    modeWidth = modeHeight = modeBpp = 0;
    presentCount = 0;
    screenWidth_ = screenHeight_ = 0;
    faultClearAll();
    recordEnable(0);
    recordClear();
    deleteLiveObjects();
    ddrawReset();
    setPlayWatch(NULL);
    win32Reset();
}

void headlessSetTicks(DWORD t)
{
    ticks = t;
}
void headlessAdvance(DWORD ms)
{
    ticks += ms;
}
DWORD headlessSleptTotal()
{
    return sleptTotal;
}
DWORD headlessLastSleep()
{
    return lastSleep;
}
int headlessSleepCount()
{
    return sleepCount;
}

void headlessSetKey(int dik, int down)
{
    if (dik >= 0 && dik < 256)
        keys[dik] = down ? 0x80 : 0;
}

void headlessClearKeys()
{
    memset(keys, 0, sizeof(keys));
}
void headlessRequestClose()
{
    closeRequested = 1;
}
void headlessRequestExpose()
{
    exposeRequested = 1;
}
void headlessSetTurnHook(void (*hook)(int))
{
    turnHook = hook;
}
int headlessPresentCount()
{
    return presentCount;
}
int headlessScreenWidth()
{
    return screenWidth_;
}
int headlessScreenHeight()
{
    return screenHeight_;
}

int headlessScreenRGB(unsigned char* rgb)
{
    if (presentCount == 0)
        return 0;
    int n = screenWidth_ * screenHeight_;
    for (int i = 0; i < n; i++) {
        const unsigned char* entry = &screenPalette[screen[i] * 4];
        rgb[i * 3 + 0] = entry[0];
        rgb[i * 3 + 1] = entry[1];
        rgb[i * 3 + 2] = entry[2];
    }
    return 1;
}

int headlessDisplayMode(int* width, int* height, int* bpp)
{
    if (modeWidth == 0)
        return 0;
    if (width)
        *width = modeWidth;
    if (height)
        *height = modeHeight;
    if (bpp)
        *bpp = modeBpp;
    return 1;
}

int backendOpenWindow(const char* title, int width, int height)
{
    (void)title;
    (void)width;
    (void)height;
    windowOpen = 1;
    return 1;
}

void backendCloseWindow()
{
    windowOpen = 0;
}

void backendTurn()
{
    if (turnHook)
        turnHook(turn);
    turn++;
}

int backendPollEvent()
{
    if (closeRequested && windowOpen) {
        closeRequested = 0;
        return BACKEND_EVENT_CLOSE;
    }
    if (exposeRequested && windowOpen) {
        exposeRequested = 0;
        return BACKEND_EVENT_EXPOSE;
    }
    return BACKEND_EVENT_NONE;
}

DWORD backendTicks()
{
    return ticks;
}

void backendSleep(DWORD ms)
{
    ticks += ms;
    sleptTotal += ms;
    lastSleep = ms;
    sleepCount++;
}

int backendSetDisplayMode(int width, int height, int bpp)
{
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || bpp != 8)
        return 0;
    modeWidth = width;
    modeHeight = height;
    modeBpp = bpp;
    screen.assign((size_t)width * height, 0);
    return 1;
}

void backendRestoreDisplayMode()
{
    modeWidth = modeHeight = modeBpp = 0;
}
void backendShowCursor(int show)
{
    (void)show;
}

void backendPresent(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256)
{
    if ((size_t)width * height > screen.size())
        screen.resize((size_t)width * height);
    for (int y = 0; y < height; y++)
        memcpy(&screen[(size_t)y * width], pixels + (size_t)y * pitch, width);
    memcpy(screenPalette, palette4x256, sizeof(screenPalette));
    screenWidth_ = width;
    screenHeight_ = height;
    presentCount++;
}

const unsigned char* backendKeyState()
{
    return keys;
}
