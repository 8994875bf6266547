// Off-screen surfaces: creating them with a source colour key, filling in pixel rows,
// colour fills, locking, and blitting a whole surface onto the back buffer.
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <ddraw.h>

#include "display/display.h"
#include "shell/errorlog.h"

// What a surface was filled with, for filling it again after a loss; the pixels follow the
// record in the same allocation.
struct SurfacePixels {
    LPDIRECTDRAWSURFACE7 surface;
    int width, height, bpp;
    SurfacePixels* next;
    unsigned char* pixels;
};

// Filled while content loads and emptied as surfaces are released; searched only after a
// loss. A plain list from a plain pointer: it lives as long as the surfaces it describes,
// to the very end of the process if they do.
static SurfacePixels* keptPixels = NULL;

// Fills the shared ddsd for an off-screen surface.
static void describeSurface(int width, int height, int caps, int colorKey)
{
    memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_CKSRCBLT;
    ddsd.dwWidth = width;
    ddsd.dwHeight = height;
    ddsd.ddsCaps.dwCaps = caps | DDSCAPS_OFFSCREENPLAIN;
    ddsd.ddckCKSrcBlt.dwColorSpaceLowValue = colorKey;
    ddsd.ddckCKSrcBlt.dwColorSpaceHighValue = colorKey;
}

LPDIRECTDRAWSURFACE7 createDDSurface(int width, int height, int caps, int colorKey)
{
    LPDIRECTDRAWSURFACE7 lpddsNew = NULL;

    describeSurface(width, height, caps, colorKey);
    HRESULT result = lpdd->CreateSurface(&ddsd, &lpddsNew, NULL);

    // A driver without video memory to give (software-only DirectDraw, or a full card)
    // refuses DDSCAPS_VIDEOMEMORY; system memory does as well for the game's blits.
    if ((caps & DDSCAPS_VIDEOMEMORY) &&
        (result == DDERR_NODIRECTDRAWHW || result == DDERR_OUTOFVIDEOMEMORY)) {
        describeSurface(width, height, caps & ~DDSCAPS_VIDEOMEMORY, colorKey);
        lpddsNew = NULL;
        result = lpdd->CreateSurface(&ddsd, &lpddsNew, NULL);
    }

    if (FAILED(result)) {
        writeError("createDDSurface:  error creating surface\n");
        return NULL;
    }
    return lpddsNew;
}

int fillDDSurface(LPDIRECTDRAWSURFACE7 surface, int colour, RECT* rect)
{
    memset(&ddbltfx, 0, sizeof(ddbltfx));
    ddbltfx.dwSize = sizeof(ddbltfx);
    ddbltfx.dwFillColor = colour;
    if (FAILED(surface->Blt(rect, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &ddbltfx))) {
        writeError("fillDDSurface: blit error\n");
        return 0;
    }
    return 1;
}

unsigned char* lockSurface(LPDIRECTDRAWSURFACE7 surface, int* pitch)
{
    memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    if (surface == NULL) {
        writeError("lockSurface: null surface pointer passed\n");
        return NULL;
    }
    if (pitch == NULL) {
        writeError("lockSurface: null memory pitch pointer passed\n");
        return NULL;
    }
    if (FAILED(surface->Lock(NULL, &ddsd, DDLOCK_SURFACEMEMORYPTR | DDLOCK_WAIT, NULL))) {
        writeError("lockSurface: surface locking error\n");
        return NULL;
    }
    *pitch = ddsd.lPitch;
    return (unsigned char*)ddsd.lpSurface;
}

int unlockSurface(LPDIRECTDRAWSURFACE7 surface)
{
    if (surface == NULL) {
        writeError("unlockSurface: null surface passed\n");
        return 0;
    }
    if (FAILED(surface->Unlock(NULL))) {
        writeError("unlockSurface: unlocking error\n");
        return 0;
    }
    return 1;
}

int copyBitmapToSurface(unsigned char* pixels, LPDIRECTDRAWSURFACE7 surface, int width, int height,
                        int bpp)
{
    if (pixels == NULL || surface == NULL) {
        writeError("copyBitmapToSurface:  null pointer(s) passed\n");
        return 0;
    }

    memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    if (FAILED(surface->Lock(NULL, &ddsd, DDLOCK_SURFACEMEMORYPTR | DDLOCK_WAIT, NULL))) {
        writeError("copyBitmapToSurface:  error locking surface\n");
        return 0;
    }

    // Rows of 16- or 24-bit data are longer than the 8-bit surface's rows: each row is
    // cut at the pitch and no more rows are written than the surface has, so nothing
    // past the surface's memory is touched.
    long rowLength = width > 0 ? (long)width * (bpp >> 3) : 0;
    long copyLength = rowLength < ddsd.lPitch ? rowLength : ddsd.lPitch;
    long rows = height > 0 ? height : 0;
    if ((ddsd.dwFlags & DDSD_HEIGHT) && rows > (long)ddsd.dwHeight)
        rows = ddsd.dwHeight;

    const unsigned char* source = pixels;
    unsigned char* destination = (unsigned char*)ddsd.lpSurface;
    for (long row = 0; row < rows; row++) {
        if (copyLength > 0)
            memcpy(destination, source, copyLength);
        source += rowLength;
        destination += ddsd.lPitch;
    }

    if (FAILED(surface->Unlock(NULL))) {
        writeError("copyBitmapToSurface:  error unlocking surface\n");
        return 0;
    }
    return 1;
}

int drawSurfaceToBackBuffer(LPDIRECTDRAWSURFACE7 surface, int x, int y, int width, int height,
                            int useColorKey)
{
    RECT dest = {x, y, x + width, y + height};
    RECT source = {0, 0, width, height};
    DWORD flags = DDBLT_WAIT;
    if (useColorKey)
        flags |= DDBLT_KEYSRC;
    // Without a display (before ddInit or after a failed one) there is nothing to draw on.
    HRESULT result =
        lpddsBack != NULL ? lpddsBack->Blt(&dest, surface, &source, flags, NULL) : DDERR_GENERIC;
    // A frame surface lost with the display is restored and refilled where it stands, so
    // every clone sharing it draws again as before.
    if (result == DDERR_SURFACELOST && surface != NULL && surface->IsLost() == DDERR_SURFACELOST &&
        restoreSurface(surface))
        result = lpddsBack->Blt(&dest, surface, &source, flags, NULL);
    if (FAILED(result)) {
        writeError("drawSurfaceToBackBuffer:  blit error\n");
        return 0;
    }
    return 1;
}

static SurfacePixels* findSurfacePixels(LPDIRECTDRAWSURFACE7 surface)
{
    for (SurfacePixels* kept = keptPixels; kept != NULL; kept = kept->next)
        if (kept->surface == surface)
            return kept;
    return NULL;
}

int keepSurfacePixels(LPDIRECTDRAWSURFACE7 surface, const unsigned char* pixels, int width,
                      int height, int bpp)
{
    if (surface == NULL || pixels == NULL || width <= 0 || height <= 0 || bpp < 8)
        return 0;
    size_t bytes = (size_t)width * (size_t)(bpp >> 3) * (size_t)height;
    SurfacePixels* kept = (SurfacePixels*)malloc(sizeof(SurfacePixels) + bytes);
    if (kept == NULL)
        return 0;
    // A surface made where a released one stood replaces what that one kept.
    forgetSurfacePixels(surface);
    kept->surface = surface;
    kept->width = width;
    kept->height = height;
    kept->bpp = bpp;
    kept->pixels = (unsigned char*)(kept + 1);
    memcpy(kept->pixels, pixels, bytes);
    kept->next = keptPixels;
    keptPixels = kept;
    return 1;
}

void forgetSurfacePixels(LPDIRECTDRAWSURFACE7 surface)
{
    for (SurfacePixels** link = &keptPixels; *link != NULL; link = &(*link)->next) {
        if ((*link)->surface == surface) {
            SurfacePixels* gone = *link;
            *link = gone->next;
            free(gone);
            return;
        }
    }
}

void forgetAllSurfacePixels()
{
    while (keptPixels != NULL) {
        SurfacePixels* gone = keptPixels;
        keptPixels = gone->next;
        free(gone);
    }
}

int restoreSurface(LPDIRECTDRAWSURFACE7 surface)
{
    if (surface == NULL || FAILED(surface->Restore()))
        return 0;
    // Video memory comes back holding whatever the driver left there.
    SurfacePixels* kept = findSurfacePixels(surface);
    if (kept != NULL &&
        !copyBitmapToSurface(kept->pixels, surface, kept->width, kept->height, kept->bpp))
        return 0;
    return 1;
}
