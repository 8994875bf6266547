// The browser backend: the picture on an HTML canvas (through WebGL 2 where the page has it,
// else through the palette here and onto a 2D canvas), the keyboard from the page's key events
// with the touch controls and gamepads pressing the same keys, the browser's clock, and Sleep
// handing the time back to the browser.
//
// The game's loop blocks (PeekMessageA, gameMain, Sleep, round again), and a page that never
// returns to the browser neither draws nor hears keys. Built with Emscripten's ASYNCIFY, the
// Sleep at the end of each frame unwinds the wasm stack to the browser and resumes where it
// was when the time is up, so the game's code stays as it is. The JavaScript half lives in
// web/backend_web.js (canvas, WebGL, key table, pads, focus).
#include <emscripten.h>
#include <emscripten/html5.h>
#include <string.h>

#include <vector>

#include "platform/backend.h"
#include "platform/backend_web.h"
#include "platform/palette_convert.h"

extern "C" {
// web/backend_web.js
int webCanvasOpen(int width, int height); // 1 when the page has a canvas to draw on
void webCanvasClose();
void webCanvasPut(const unsigned char* rgba, int width, int height);
// 1 when WebGL drew the 8-bit picture through the palette; 0 leaves it to webCanvasPut
int webGlPresent(const unsigned char* pixels, int pitch, int width, int height,
                 const unsigned char* palette4x256);
void webPadsRead(); // the gamepads' buttons and sticks pressed or let go as keys
void webCursorShow(int show);
}

namespace {

// The keys as the page last told them, and what the game got at its last read. A key pressed
// and let go within one sleep (a quick tap, or a browser that ran the game late) still shows
// as held in the next read: its release waits until the game has seen it.
unsigned char keys[256];
unsigned char shown[256];
unsigned char unseen[256];       // pressed since the last read
unsigned char releaseLater[256]; // let go before the game saw it pressed
int modeWidth = 0, modeHeight = 0;
std::vector<unsigned char> rgba; // the picture through the palette, 4 bytes a pixel
uint32_t colours[256];
double lastYield = 0;

// A frame that overruns its budget does not sleep: without a yield now and then a slow
// machine would never see a picture or a key.
const double LONGEST_WITHOUT_YIELD_MS = 100;

// What the page measures: the upload to WebGL, or the conversion through the palette plus the
// 2D canvas upload.
int presents = 0;
double presentMsTotal = 0, presentMsMax = 0;

// The clock: `clockBase` milliseconds at the page's time `clockFrom`, going `speed` times as
// fast, standing while paused. A base below 0 is taken at the next reading: the wall clock's,
// or the one asked for (startAt).
double clockBase = -1, clockFrom = 0, startAt = -1;
int speed = 1, paused = 0;
int closeRequested = 0;
// Faster than real time the sleeps grow short, and the browser makes each last longer than
// asked: they are owed until they come to a frame of the screen's, and slept then.
const double SHORTEST_SLEEP_MS = 16;
double owed = 0;

double clockNow()
{
    double now = emscripten_get_now();
    if (clockBase < 0) {
        clockBase = startAt >= 0 ? startAt : emscripten_date_now() + now;
        clockFrom = now;
    }
    return clockBase + (paused ? 0 : (now - clockFrom) * speed);
}

void yieldToBrowser(unsigned int milliseconds)
{
    emscripten_sleep(milliseconds);
    lastYield = emscripten_get_now();
}

} // namespace

// Called from the page's key handlers (also while the game sleeps: they only write a byte).
extern "C" EMSCRIPTEN_KEEPALIVE void webSetKey(int dik, int down)
{
    if (dik <= 0 || dik >= 256)
        return;
    if (down) {
        keys[dik] = 0x80;
        unseen[dik] = 1;
        releaseLater[dik] = 0;
    } else if (unseen[dik]) {
        releaseLater[dik] = 1;
    } else {
        keys[dik] = 0;
    }
}

extern "C" EMSCRIPTEN_KEEPALIVE void webReleaseKeys()
{
    memset(keys, 0, sizeof(keys));
    memset(unseen, 0, sizeof(unseen));
    memset(releaseLater, 0, sizeof(releaseLater));
}

extern "C" EMSCRIPTEN_KEEPALIVE int webPresentCount()
{
    return presents;
}
extern "C" EMSCRIPTEN_KEEPALIVE double webPresentMsMean()
{
    return presents ? presentMsTotal / presents : 0;
}
extern "C" EMSCRIPTEN_KEEPALIVE double webPresentMsMax()
{
    return presentMsMax;
}

int backendOpenWindow(const char* title, int width, int height)
{
    (void)title;
    webReleaseKeys();
    lastYield = emscripten_get_now();
    return webCanvasOpen(width, height);
}

void backendCloseWindow()
{
    webCanvasClose();
    webReleaseKeys();
}

void backendTurn()
{
    if (emscripten_get_now() - lastYield > LONGEST_WITHOUT_YIELD_MS)
        yieldToBrowser(0);
}

// The page has no close box of its own: leaving the page ends the game with it, or the end of
// a recording being watched (webRequestClose).
int backendPollEvent()
{
    if (closeRequested) {
        closeRequested = 0;
        return BACKEND_EVENT_CLOSE;
    }
    return BACKEND_EVENT_NONE;
}

// The page's steady clock, set off by the wall clock once at the first reading: the game
// seeds its random numbers with that reading, and counting from the page's load alone
// would give nearly the same few hundred games every time.
DWORD backendTicks()
{
    return (DWORD)(unsigned long long)clockNow();
}

void backendSleep(DWORD milliseconds)
{
    while (paused)
        yieldToBrowser(50);
    if (speed == 1) {
        yieldToBrowser(milliseconds);
        return;
    }
    owed += (double)milliseconds / speed;
    if (owed >= SHORTEST_SLEEP_MS) {
        yieldToBrowser((unsigned)owed);
        owed -= (unsigned)owed;
    }
}

void webClockStartAt(DWORD firstReading)
{
    startAt = firstReading;
    clockBase = -1;
}

void webRequestClose()
{
    closeRequested = 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE void webSetPace(int newSpeed, int newPaused)
{
    if (newSpeed < 1 || newSpeed > 16)
        return;
    if (clockBase >= 0) { // on from the reading now, at the new pace
        clockBase = clockNow();
        clockFrom = emscripten_get_now();
    }
    speed = newSpeed;
    paused = newPaused != 0;
}

int backendSetDisplayMode(int width, int height, int bpp)
{
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || bpp != 8)
        return 0;
    modeWidth = width;
    modeHeight = height;
    rgba.assign((size_t)width * height * 4, 0);
    return webCanvasOpen(width, height);
}

void backendRestoreDisplayMode()
{
    modeWidth = modeHeight = 0;
}

void backendShowCursor(int show)
{
    webCursorShow(show);
}

void backendPresent(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256)
{
    double start = emscripten_get_now();
    if (!webGlPresent(pixels, pitch, width, height, palette4x256)) {
        if ((size_t)width * height * 4 > rgba.size())
            rgba.resize((size_t)width * height * 4);
        // The canvas wants R, G, B, A in memory order: on little-endian wasm, red is the low byte.
        palettePixels(palette4x256, 0x000000ffu, 0x0000ff00u, 0x00ff0000u, 0xff000000u, colours);
        paletteConvert(pixels, pitch, width, height, colours, rgba.data(), width * 4);
        webCanvasPut(rgba.data(), width, height);
    }
    double ms = emscripten_get_now() - start;
    presents++;
    presentMsTotal += ms;
    if (ms > presentMsMax)
        presentMsMax = ms;
}

// The pads are read here, once a frame, just before the game sees the keys.
const unsigned char* backendKeyState()
{
    webPadsRead();
    memcpy(shown, keys, sizeof(keys));
    for (int i = 0; i < 256; i++)
        if (releaseLater[i])
            keys[i] = releaseLater[i] = 0;
    memset(unseen, 0, sizeof(unseen));
    return shown;
}
