// The SDL2 backend: a real window, the real millisecond clock, the keyboard mapped to
// DirectInput key codes, and 8-bit pictures shown through the palette.
//
// Environment (the game itself has no configuration):
//   STARLANE_WINDOWED=1         a resizable window instead of desktop full screen
//   STARLANE_SCALE=fit|integer|stretch   4:3 letterboxed (default), whole multiples, fill
//   STARLANE_VSYNC=1            present in step with the display
//   STARLANE_TIMING=FILE:N      note the time of each of the first N presents (microseconds),
//                               close the window after the Nth and write them to FILE
// Alt+Enter toggles full screen while playing; F12 writes the picture on the screen to
// starlane-NNNN.png in the working directory (the key never reaches the game).
// Game controllers, plugged in before or during play, press the keyboard's keys: the d-pad
// and the left stick W A S D, the south face button and the right shoulder Space, Back
// (Select, View) Escape, so the game, and a recording, cannot tell them from the keyboard.
// Where OpenGL is drawn by the CPU (Mesa's llvmpipe, as under Xvfb) it presents through
// SDL's software renderer instead, unless SDL_RENDER_DRIVER says otherwise.
#include <SDL.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <windows.h>
#include <dinput.h>

#include "platform/backend_sdl.h"
#include "platform/palette_convert.h"
#include "platform/backend.h"
#include "platform/screenshot.h"

namespace {

SDL_Window* window = NULL;
SDL_Renderer* renderer = NULL;
SDL_Texture* texture = NULL;
int textureWidth = 0, textureHeight = 0;
Uint32 redMask, greenMask, blueMask, alphaMask; // of the texture's pixel format
unsigned char keys[256];                        // the keyboard's
unsigned char keysHeld[256]; // the keyboard's and the game controllers', as the game sees them
int fullscreen = 0;
int windowedWidth = 0, windowedHeight = 0; // the window's size before full screen

// The picture on the screen, for F12: the front buffer keeps it until the next present.
const unsigned char* shownPixels = NULL;
int shownPitch = 0;
unsigned char shownPalette[1024];

// Pacing measurement: present times kept in memory, written once when done.
Uint64* timing = NULL;
int timingWanted = 0, timingCount = 0, timingDone = 0;
char timingFile[1024];

void timingSetUp()
{
    const char* v = getenv("STARLANE_TIMING");
    const char* colon = v ? strrchr(v, ':') : NULL;
    if (colon == NULL || (size_t)(colon - v) >= sizeof(timingFile))
        return;
    memcpy(timingFile, v, colon - v);
    timingFile[colon - v] = '\0';
    timingWanted = atoi(colon + 1);
    if (timingWanted > 0)
        timing = (Uint64*)calloc((size_t)timingWanted, sizeof(Uint64));
}

void timingNote()
{
    if (timing == NULL || timingCount >= timingWanted)
        return;
    timing[timingCount++] = SDL_GetPerformanceCounter() * 1000000 / SDL_GetPerformanceFrequency();
    if (timingCount < timingWanted)
        return;
    FILE* f = fopen(timingFile, "w");
    if (f != NULL) {
        for (int i = 0; i < timingCount; i++)
            fprintf(f, "%llu\n", (unsigned long long)timing[i]);
        fclose(f);
    }
    timingDone = 1; // the next poll closes the window
}

struct KeyMap {
    SDL_Scancode scancode;
    unsigned char dik;
};

// Every SDL scancode that has a DirectInput key code.
const KeyMap keyMap[] = {
#define KEY(dik, sdl, web) {SDL_SCANCODE_##sdl, DIK_##dik},
#include "platform/keys.def"
#undef KEY
};

// Game controllers: the keys each control presses, and the stick's dead zone (about a
// quarter of its travel, so that a resting or worn stick steers nothing).
const int MAX_PADS = 4;
const int STICK_DEAD_ZONE = 8000;
SDL_GameController* pads[MAX_PADS];

const struct {
    SDL_GameControllerButton button;
    unsigned char dik;
} padButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, DIK_W},   {SDL_CONTROLLER_BUTTON_DPAD_DOWN, DIK_S},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, DIK_A}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, DIK_D},
    {SDL_CONTROLLER_BUTTON_A, DIK_SPACE},     {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, DIK_SPACE},
    {SDL_CONTROLLER_BUTTON_BACK, DIK_ESCAPE},
};

void padAdded(int deviceIndex)
{
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (int i = 0; i < MAX_PADS; i++)
        if (pads[i] != NULL && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[i])) == id)
            return; // open already
    for (int i = 0; i < MAX_PADS; i++)
        if (pads[i] == NULL) {
            pads[i] = SDL_GameControllerOpen(deviceIndex);
            return;
        }
}

// Every controller plugged in, while there is a free slot.
void padsOpen()
{
    for (int i = 0; i < SDL_NumJoysticks(); i++)
        if (SDL_IsGameController(i))
            padAdded(i);
}

// Unplugged: its keys are no longer held, since the keys are read from the pads still open.
// A controller that found every slot taken takes the one freed.
void padRemoved(SDL_JoystickID id)
{
    for (int i = 0; i < MAX_PADS; i++)
        if (pads[i] != NULL &&
            SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[i])) == id) {
            SDL_GameControllerClose(pads[i]);
            pads[i] = NULL;
            padsOpen();
        }
}

void padsClose()
{
    for (int i = 0; i < MAX_PADS; i++)
        if (pads[i] != NULL) {
            SDL_GameControllerClose(pads[i]);
            pads[i] = NULL;
        }
}

void padPress(SDL_GameController* pad, unsigned char* held)
{
    for (size_t b = 0; b < sizeof(padButtons) / sizeof(padButtons[0]); b++)
        if (SDL_GameControllerGetButton(pad, padButtons[b].button))
            held[padButtons[b].dik] = 0x80;
    int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    if (x < -STICK_DEAD_ZONE)
        held[DIK_A] = 0x80;
    if (x > STICK_DEAD_ZONE)
        held[DIK_D] = 0x80;
    if (y < -STICK_DEAD_ZONE)
        held[DIK_W] = 0x80;
    if (y > STICK_DEAD_ZONE)
        held[DIK_S] = 0x80;
}

unsigned char dikFor(SDL_Scancode sc)
{
    for (size_t i = 0; i < sizeof(keyMap) / sizeof(keyMap[0]); i++)
        if (keyMap[i].scancode == sc)
            return keyMap[i].dik;
    return 0;
}

int envFlag(const char* name)
{
    const char* v = getenv(name);
    return v != NULL && v[0] != '\0' && strcmp(v, "0") != 0;
}

const char* scaleMode()
{
    const char* v = getenv("STARLANE_SCALE");
    return v != NULL ? v : "fit";
}

void applyScaling(int width, int height)
{
    if (renderer == NULL)
        return;
    if (strcmp(scaleMode(), "stretch") == 0) {
        SDL_RenderSetLogicalSize(renderer, 0, 0);
        SDL_RenderSetIntegerScale(renderer, SDL_FALSE);
        return;
    }
    SDL_RenderSetLogicalSize(renderer, width, height);
    SDL_RenderSetIntegerScale(renderer, strcmp(scaleMode(), "integer") == 0 ? SDL_TRUE : SDL_FALSE);
}

// Full screen covers the desktop even where no window manager honours the request; leaving
// it gives back the window as it was (the game's size unless the player resized it).
void setFullscreen(int on)
{
    if (window == NULL)
        return;
    if (on && !fullscreen)
        SDL_GetWindowSize(window, &windowedWidth, &windowedHeight);
    fullscreen = on;
    if (on) {
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(window), &desktop) == 0) {
            SDL_SetWindowSize(window, desktop.w, desktop.h);
            SDL_SetWindowPosition(window, 0, 0);
        }
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowSize(window, windowedWidth > 0 ? windowedWidth : 800,
                      windowedHeight > 0 ? windowedHeight : 600);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void saveScreenshot()
{
    char name[64];
    if (shownPixels == NULL)
        return;
    if (writeScreenshot(shownPixels, shownPitch, textureWidth, textureHeight, shownPalette, name,
                        (int)sizeof(name)))
        fprintf(stderr, "starlane: wrote %s\n", name);
    else
        fprintf(stderr, "starlane: could not write a screenshot\n");
}

// The window's own pixel format where the renderer takes textures in it, so that showing
// the texture is a plain copy (SDL's software renderer converts every pixel otherwise).
Uint32 textureFormat()
{
    Uint32 wanted = SDL_GetWindowPixelFormat(window);
    SDL_RendererInfo info;
    if (SDL_PIXELTYPE(wanted) == SDL_PIXELTYPE_PACKED32 &&
        SDL_PIXELLAYOUT(wanted) == SDL_PACKEDLAYOUT_8888 &&
        SDL_GetRendererInfo(renderer, &info) == 0)
        for (Uint32 i = 0; i < info.num_texture_formats; i++)
            if (info.texture_formats[i] == wanted)
                return wanted;
    return SDL_PIXELFORMAT_ARGB8888;
}

// Whether the renderer just made draws through an OpenGL that Mesa rasterises in software.
int softwareOpenGL()
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || strncmp(info.name, "opengl", 6) != 0)
        return 0;
    typedef const unsigned char* (*GetString)(unsigned int);
    GetString getString = (GetString)SDL_GL_GetProcAddress("glGetString");
    const char* name = getString ? (const char*)getString(0x1F01 /* GL_RENDERER */) : NULL;
    return name != NULL && (strstr(name, "llvmpipe") != NULL || strstr(name, "softpipe") != NULL ||
                            strstr(name, "Software Rasterizer") != NULL);
}

} // namespace

int backendOpenWindow(const char* title, int width, int height)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_Init(SDL_INIT_VIDEO) != 0)
        return 0;
    // Without controllers the keyboard still plays. Pads plugged in later arrive as events.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0 ||
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0)
        padsOpen();
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    Uint32 flags = envFlag("STARLANE_WINDOWED") ? SDL_WINDOW_RESIZABLE : SDL_WINDOW_BORDERLESS;
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                              flags);
    if (window == NULL)
        return 0;
    renderer =
        SDL_CreateRenderer(window, -1, envFlag("STARLANE_VSYNC") ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (renderer != NULL && getenv("SDL_RENDER_DRIVER") == NULL && softwareOpenGL()) {
        // OpenGL drawn by the CPU (Xvfb, a virtual machine without 3D) spends several
        // times more of it on every frame than SDL's own software renderer does on an
        // X11 framebuffer: use that. SDL_RENDER_DRIVER chooses otherwise.
        SDL_DestroyRenderer(renderer);
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (renderer == NULL) {
        SDL_DestroyWindow(window);
        window = NULL;
        return 0;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    memset(keys, 0, sizeof(keys));
    timingSetUp();
    return 1;
}

void backendCloseWindow()
{
    if (texture)
        SDL_DestroyTexture(texture);
    if (renderer)
        SDL_DestroyRenderer(renderer);
    if (window)
        SDL_DestroyWindow(window);
    texture = NULL;
    renderer = NULL;
    window = NULL;
    padsClose();
    shownPixels = NULL;
    free(timing);
    timing = NULL;
}

void backendTurn() {}

int backendPollEvent()
{
    if (timingDone == 1) {
        timingDone = 2;
        return BACKEND_EVENT_CLOSE;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT: return BACKEND_EVENT_CLOSE;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                return BACKEND_EVENT_CLOSE;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
                return BACKEND_EVENT_EXPOSE;
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                memset(keys, 0, sizeof(keys)); // no key stays stuck down
            break;
        case SDL_CONTROLLERDEVICEADDED: padAdded(e.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED: padRemoved(e.cdevice.which); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_RETURN &&
                (e.key.keysym.mod & KMOD_ALT) && !e.key.repeat) {
                setFullscreen(!fullscreen);
                break;
            }
            if (e.key.keysym.scancode == SDL_SCANCODE_F12) {
                if (e.type == SDL_KEYDOWN && !e.key.repeat)
                    saveScreenshot();
                break;
            }
            unsigned char dik = dikFor(e.key.keysym.scancode);
            if (dik != 0)
                keys[dik] = e.type == SDL_KEYDOWN ? 0x80 : 0;
            break;
        }
        default: break;
        }
    }
    return BACKEND_EVENT_NONE;
}

// Milliseconds since the machine started, as GetTickCount counts them. The game seeds its
// random numbers with the first reading, so counting from the program's own start (as
// SDL_GetTicks does) would give nearly the same few hundred games every time.
DWORD backendTicks()
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (DWORD)((unsigned long long)t.tv_sec * 1000u + (unsigned long long)t.tv_nsec / 1000000u);
}

void backendSleep(DWORD ms)
{
    SDL_Delay(ms);
}

int backendSetDisplayMode(int width, int height, int bpp)
{
    if (window == NULL || bpp != 8 || width <= 0 || height <= 0)
        return 0;
    if (texture)
        SDL_DestroyTexture(texture);
    Uint32 format = textureFormat();
    int bits;
    texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture == NULL ||
        !SDL_PixelFormatEnumToMasks(format, &bits, &redMask, &greenMask, &blueMask, &alphaMask))
        return 0;
    textureWidth = width;
    textureHeight = height;
    shownPixels = NULL;
    if (envFlag("STARLANE_WINDOWED")) {
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowSize(window, width, height);
        windowedWidth = width;
        windowedHeight = height;
        setFullscreen(0);
    } else {
        setFullscreen(1);
    }
    applyScaling(width, height);
    return 1;
}

void backendRestoreDisplayMode()
{
    shownPixels = NULL;
    setFullscreen(0);
}

void backendShowCursor(int show)
{
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

int backendConvertPicture(const unsigned char* pixels, int pitch, int width, int height,
                          const unsigned char* palette4x256)
{
    if (texture == NULL || width != textureWidth || height != textureHeight)
        return 0;
    Uint32 colours[256];
    palettePixels(palette4x256, redMask, greenMask, blueMask, alphaMask, colours);
    void* dst;
    int dstPitch;
    if (SDL_LockTexture(texture, NULL, &dst, &dstPitch) != 0)
        return 0;
    paletteConvert(pixels, pitch, width, height, colours, (unsigned char*)dst, dstPitch);
    SDL_UnlockTexture(texture);
    return 1;
}

void backendPresent(const unsigned char* pixels, int pitch, int width, int height,
                    const unsigned char* palette4x256)
{
    if (!backendConvertPicture(pixels, pitch, width, height, palette4x256))
        return;
    shownPixels = pixels;
    shownPitch = pitch;
    memcpy(shownPalette, palette4x256, sizeof(shownPalette));
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, NULL, NULL);
    SDL_RenderPresent(renderer);
    timingNote();
}

const unsigned char* backendKeyState()
{
    memcpy(keysHeld, keys, sizeof(keysHeld));
    for (int i = 0; i < MAX_PADS; i++)
        if (pads[i] != NULL)
            padPress(pads[i], keysHeld);
    return keysHeld;
}
