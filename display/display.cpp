// The DirectDraw device: exclusive full screen, a flipping primary surface with one
// back buffer, the palette on the primary and a clipper on the back buffer.
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <ddraw.h>

#include "content/files.h"
#include "display/display.h"
#include "game/constants.h"
#include "shell/errorlog.h"
#include "shell/shell.h"

LPDIRECTDRAW7 lpdd = NULL;
LPDIRECTDRAWSURFACE7 lpddsPrimary = NULL;
LPDIRECTDRAWSURFACE7 lpddsBack = NULL;
LPDIRECTDRAWPALETTE lpddPalette = NULL;
LPDIRECTDRAWCLIPPER lpddClipper = NULL;
PALETTEENTRY paletteTable[256];
DDSURFACEDESC2 ddsd;
DDBLTFX ddbltfx;

// A flip that fails because the surfaces were lost (another program took the screen)
// gets the surfaces and the palette back; after this many failed attempts the frame
// gives up rather than hang the game.
static const int FLIP_ATTEMPTS = 3;

int ddInit(int width, int height, int bpp)
{
    if (FAILED(DirectDrawCreateEx(NULL, (LPVOID*)&lpdd, IID_IDirectDraw7, NULL))) {
        writeError("ddInit: error creating main DirectDraw interface\n");
        return 0;
    }
    if (FAILED(lpdd->SetCooperativeLevel(mainWindow, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                         DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX))) {
        writeError("ddInit: error setting DirectDraw cooperation level\n");
        return 0;
    }
    if (FAILED(lpdd->SetDisplayMode(width, height, bpp, 0, 0))) {
        writeError("ddInit: error setting display mode\n");
        return 0;
    }

    memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.dwBackBufferCount = 1;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (FAILED(lpdd->CreateSurface(&ddsd, &lpddsPrimary, NULL))) {
        writeError("ddInit: error creating primary surface\n");
        return 0;
    }

    ddsd.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
    if (FAILED(lpddsPrimary->GetAttachedSurface(&ddsd.ddsCaps, &lpddsBack))) {
        writeError("ddInit: error querying for back buffer\n");
        return 0;
    }

    if (!loadPalette(PALETTE_FILE, paletteTable)) {
        writeError("ddInit: error loading palette\n");
        return 0;
    }
    if (FAILED(lpdd->CreatePalette(DDPCAPS_8BIT, paletteTable, &lpddPalette, NULL))) {
        writeError("ddInit: error creating the DirectDraw Palette\n");
        return 0;
    }
    if (FAILED(lpddsPrimary->SetPalette(lpddPalette))) {
        writeError("ddInit: error attaching palette to the primary surface\n");
        return 0;
    }

    // The clipper covers the screen the game draws for, whatever mode was asked for.
    RECT screenRect = {0, 0, screenWidth, screenHeight};
    lpddClipper = ddAttachClipper(lpddsBack, 1, &screenRect);
    if (lpddClipper == NULL) {
        writeError("ddInit: error attaching clipper to back buffer\n");
        return 0;
    }
    return 1;
}

int ddShutDown()
{
    if (lpddClipper != NULL) {
        lpddClipper->Release();
        lpddClipper = NULL;
    }
    if (lpddPalette != NULL) {
        lpddPalette->Release();
        lpddPalette = NULL;
    }
    if (lpddsBack != NULL) {
        lpddsBack->Release();
        lpddsBack = NULL;
    }
    if (lpddsPrimary != NULL) {
        lpddsPrimary->Release();
        lpddsPrimary = NULL;
    }
    if (lpdd != NULL) {
        lpdd->Release();
        lpdd = NULL;
    }
    return 1;
}

LPDIRECTDRAWCLIPPER ddAttachClipper(LPDIRECTDRAWSURFACE7 surface, int numRects, RECT* rects)
{
    LPDIRECTDRAWCLIPPER lpddclipper = NULL;

    // Nothing to clip to: refuse before creating anything (the caller reports it).
    if (surface == NULL || rects == NULL || numRects < 1)
        return NULL;

    if (FAILED(lpdd->CreateClipper(0, &lpddclipper, NULL))) {
        writeError("ddAttachClipper:  error creating DirectDraw clipper\n");
        return NULL;
    }

    LPRGNDATA regionData = (LPRGNDATA)malloc(sizeof(RGNDATAHEADER) + numRects * sizeof(RECT));
    if (regionData == NULL) {
        writeError("ddAttachClipper:  memory allocation error\n");
        lpddclipper->Release();
        return NULL;
    }

    memcpy(regionData->Buffer, rects, numRects * sizeof(RECT));
    regionData->rdh.dwSize = sizeof(RGNDATAHEADER);
    regionData->rdh.iType = RDH_RECTANGLES;
    regionData->rdh.nCount = numRects;
    regionData->rdh.nRgnSize = numRects * sizeof(RECT);

    regionData->rdh.rcBound = rects[0];
    for (int i = 1; i < numRects; i++) {
        if (rects[i].left < regionData->rdh.rcBound.left)
            regionData->rdh.rcBound.left = rects[i].left;
        if (rects[i].top < regionData->rdh.rcBound.top)
            regionData->rdh.rcBound.top = rects[i].top;
        if (rects[i].right > regionData->rdh.rcBound.right)
            regionData->rdh.rcBound.right = rects[i].right;
        if (rects[i].bottom > regionData->rdh.rcBound.bottom)
            regionData->rdh.rcBound.bottom = rects[i].bottom;
    }

    if (FAILED(lpddclipper->SetClipList(regionData, 0))) {
        writeError("ddAttachClipper:  error setting clip list\n");
        free(regionData);
        lpddclipper->Release();
        return NULL;
    }
    if (FAILED(surface->SetClipper(lpddclipper))) {
        writeError("ddAttachClipper:  error attaching clipper to surface\n");
        free(regionData);
        lpddclipper->Release();
        return NULL;
    }

    // The clipper keeps its own copy of the list.
    free(regionData);
    return lpddclipper;
}

// After the display was taken away (another program went full screen), the primary and its
// back buffer come back with Restore, and the palette is put on again.
static int restoreScreen()
{
    if (lpddsPrimary == NULL || FAILED(lpddsPrimary->Restore()))
        return 0;
    if (lpddPalette != NULL)
        lpddsPrimary->SetPalette(lpddPalette);
    return 1;
}

int flipSurfaces()
{
    if (lpddsPrimary == NULL)
        return 0;
    for (int attempt = 0; attempt < FLIP_ATTEMPTS; attempt++) {
        HRESULT result = lpddsPrimary->Flip(NULL, DDFLIP_WAIT);
        if (SUCCEEDED(result))
            return 1;
        if (result == DDERR_SURFACELOST)
            restoreScreen();
    }
    // Not shown this frame; the next frame tries again. No log line: a screen taken
    // away for minutes would otherwise fill the log at the frame rate.
    return 0;
}

int clearBackBuffer()
{
    memset(&ddbltfx, 0, sizeof(ddbltfx));
    ddbltfx.dwSize = sizeof(ddbltfx);
    ddbltfx.dwFillColor = 0;
    HRESULT result = lpddsBack != NULL
                         ? lpddsBack->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &ddbltfx)
                         : DDERR_GENERIC;
    // The first call of a frame to find the screen lost brings it back.
    if (result == DDERR_SURFACELOST && restoreScreen())
        result = lpddsBack->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &ddbltfx);
    if (FAILED(result)) {
        writeError("clearBackBuffer: blit error\n");
        return 0;
    }
    return 1;
}

unsigned char* lockBackBuffer(int* pitch)
{
    if (lpddsBack == NULL) {
        writeError("lockBackBuffer:  back buffer was NULL\n");
        return NULL;
    }
    memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    if (pitch == NULL) {
        writeError("lockBackBuffer:  null pointer passed\n");
        return NULL;
    }
    HRESULT result = lpddsBack->Lock(NULL, &ddsd, DDLOCK_SURFACEMEMORYPTR | DDLOCK_WAIT, NULL);
    // A frame whose unlock failed left the buffer locked, and every later frame would find it
    // so: let go of that lock and take it again.
    if (result == DDERR_SURFACEBUSY && SUCCEEDED(lpddsBack->Unlock(NULL)))
        result = lpddsBack->Lock(NULL, &ddsd, DDLOCK_SURFACEMEMORYPTR | DDLOCK_WAIT, NULL);
    if (result == DDERR_SURFACELOST && restoreScreen())
        result = lpddsBack->Lock(NULL, &ddsd, DDLOCK_SURFACEMEMORYPTR | DDLOCK_WAIT, NULL);
    if (FAILED(result)) {
        writeError("lockBackBuffer:  locking error\n");
        return NULL;
    }
    *pitch = ddsd.lPitch;
    return (unsigned char*)ddsd.lpSurface;
}

int unlockBackBuffer()
{
    if (lpddsBack == NULL) {
        writeError("lockBackBuffer:  back buffer was NULL\n");
        return 0;
    }
    if (FAILED(lpddsBack->Unlock(NULL))) {
        writeError("lockBackBuffer:  unlocking error\n");
        return 0;
    }
    return 1;
}

int plotPixel(int x, int y, unsigned char colour, unsigned char* buffer, int pitch)
{
    buffer[y * pitch + x] = colour;
    return 1;
}
