// The Graphic record: creating it, cloning it and choosing a fixed frame.
#include <string.h>

#include "graphics/graphics.h"
#include "shell/errorlog.h"

int createGraphic(Graphic* graphic, const GraphicDesc* desc, int attributes, int type)
{
    if (graphic == NULL || desc == NULL) {
        writeError("createGraphic:  null pointer(s) passed\n");
        return 0;
    }
    // Used on empty records only: surfaces held before are not released.
    memset(graphic, 0, sizeof(*graphic));
    graphic->x = desc->x;
    graphic->y = desc->y;
    graphic->xVelocity = desc->xVelocity;
    graphic->yVelocity = desc->yVelocity;
    graphic->width = desc->width;
    graphic->height = desc->height;
    graphic->bpp = desc->bpp;
    graphic->colorKey = desc->colorKey;
    graphic->boundingBox = desc->boundingBox;
    graphic->attributes = attributes;
    graphic->type = type;
    graphic->currentFrame = 0;
    graphic->currentAnimation = 0;
    graphic->visible = 1;
    return 1;
}

int setFrame(Graphic* graphic, int index)
{
    if (graphic == NULL) {
        writeError("setFrame: null pointer passed\n");
        return 0;
    }
    if (index < 0 || index >= MAX_FRAMES) {
        writeError("setFrame:  frame index out of bounds\n");
        return 0;
    }
    // A running animation would overwrite the chosen frame at the next step.
    if ((graphic->attributes & GRAPHIC_ANIMATED) && !stopAnimation(graphic)) {
        writeError("setFrame: error stopping animation\n");
        return 0;
    }
    graphic->currentFrame = index;
    return 1;
}

Graphic* cloneGraphic(const Graphic* src, Graphic* dst)
{
    if (src == NULL || dst == NULL) {
        writeError("cloneGraphic: null pointer(s) passed\n");
        return NULL;
    }
    // The copy shares the surfaces without a reference of its own and so must never release them.
    *dst = *src;
    dst->attributes |= GRAPHIC_CLONE;
    return dst;
}
