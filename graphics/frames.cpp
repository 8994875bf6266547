// Frame surfaces of a Graphic: filling a slot and releasing what a master owns.
#include <ddraw.h>

#include "display/display.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

int destroyGraphic(Graphic* graphic)
{
    if (graphic == NULL) {
        writeError("destroyGraphic:  null pointer passed\n");
        return 0;
    }
    // A clone's surfaces belong to its master.
    if (graphic->attributes & GRAPHIC_CLONE)
        return 1;
    for (int i = 0; i < MAX_FRAMES; i++) {
        if (graphic->frames[i] != NULL) {
            forgetSurfacePixels(graphic->frames[i]);
            graphic->frames[i]->Release();
            graphic->frames[i] = NULL;
        }
    }
    return 1;
}

int loadFrame(Graphic* graphic, unsigned char* pixels, int index)
{
    if (graphic == NULL || pixels == NULL) {
        writeError("loadFrame:  null pointer(s) passed\n");
        return 0;
    }
    if (index < 0 || index >= MAX_FRAMES) {
        writeError("loadFrame: frame index out of bounds\n");
        return 0;
    }
    LPDIRECTDRAWSURFACE7 surface =
        createDDSurface(graphic->width, graphic->height, DDSCAPS_VIDEOMEMORY, graphic->colorKey);
    if (surface == NULL) {
        writeError("loadFrame:  error creating new DirectDraw Surface\n");
        return 0;
    }
    if (!copyBitmapToSurface(pixels, surface, graphic->width, graphic->height, graphic->bpp)) {
        writeError("loadFrame:  error copying bitmap to the surface\n");
        surface->Release();
        return 0;
    }
    // Kept so that the frame can be drawn again after the display lost it; without the copy
    // (no memory for it) the frame still draws until then.
    keepSurfacePixels(surface, pixels, graphic->width, graphic->height, graphic->bpp);
    // A master that loads a slot twice gives up the surface it replaces; a clone's old surface
    // belongs to its master and stays.
    IDirectDrawSurface7* old = graphic->frames[index];
    graphic->frames[index] = surface;
    if (old != NULL && old != surface && !(graphic->attributes & GRAPHIC_CLONE)) {
        forgetSurfacePixels(old);
        old->Release();
    }
    return 1;
}
