// Drawing a graphic's current frame onto the back buffer with its colour key.
#include <ddraw.h>

#include "display/display.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

int drawGraphic(Graphic* graphic)
{
    if (graphic == NULL) {
        writeError("drawGraphic: null pointer passed\n");
        return 0;
    }
    if (graphic->visible == 0)
        return 1;
    if (graphic->currentFrame < 0 || graphic->currentFrame >= MAX_FRAMES) {
        writeError("drawGraphic:  frame index out of bounds\n");
        return 0;
    }
    IDirectDrawSurface7* frame = graphic->frames[graphic->currentFrame];
    if (frame == NULL) {
        writeError("drawGraphic:  frame to be displayed was NULL!\n");
        return 0;
    }
    if (!drawSurfaceToBackBuffer(frame, graphic->x, graphic->y, graphic->width, graphic->height,
                                 1)) {
        writeError("drawGraphic:  error drawing surface\n");
        return 0;
    }
    return 1;
}

int drawGraphicList(Graphic** graphics, int count)
{
    if (graphics == NULL) {
        writeError("drawGraphicList: null pointer passed\n");
        return 0;
    }
    // The first failure ends the list: later entries are not drawn.
    for (int i = 0; i < count; i++) {
        Graphic* graphic = graphics[i];
        if (graphic == NULL) {
            writeError("drawGraphicList: null pointer passed\n");
            return 0;
        }
        if (graphic->visible == 0)
            continue;
        if (graphic->currentFrame < 0 || graphic->currentFrame >= MAX_FRAMES) {
            writeError("drawGraphicList: frame index out of bounds\n");
            return 0;
        }
        IDirectDrawSurface7* frame = graphic->frames[graphic->currentFrame];
        if (frame == NULL) {
            writeError("processGraphic:  frame to be displayed was NULL!\n");
            return 0;
        }
        if (!drawSurfaceToBackBuffer(frame, graphic->x, graphic->y, graphic->width, graphic->height,
                                     1)) {
            writeError("processGraphic:  error drawing surface\n");
            return 0;
        }
    }
    return 1;
}
