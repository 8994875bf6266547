// Collision-box tests: two graphics against each other, one graphic against the screen.
#include "game/constants.h"
#include "graphics/graphics.h"
#include "shell/errorlog.h"

int testCollisionGraphic(const Graphic* a, const Graphic* b)
{
    if (a == NULL || b == NULL) {
        writeError("testCollisionGraphic:  null pointer(s) passed\n");
        return 0;
    }
    RECT rectOne = {a->x + a->boundingBox.left, a->y + a->boundingBox.top,
                    a->x + a->boundingBox.right, a->y + a->boundingBox.bottom};
    RECT rectTwo = {b->x + b->boundingBox.left, b->y + b->boundingBox.top,
                    b->x + b->boundingBox.right, b->y + b->boundingBox.bottom};

    // Two strict and two non-strict comparisons: when edges touch, the result depends on which
    // box comes first, and the game's callers rely on the order they pass.
    if (rectOne.left >= rectTwo.right)
        return 0;
    if (rectOne.bottom < rectTwo.top)
        return 0;
    if (rectOne.right < rectTwo.left)
        return 0;
    if (rectOne.top < rectTwo.bottom)
        return 1;
    return 0;
}

int graphicOffscreen(const Graphic* graphic)
{
    if (graphic == NULL) {
        writeError("graphicOffscreen: null pointer passed\n");
        return 0;
    }
    // The collision box decides, not the frame: a sprite may still show a few pixels.
    if (graphic->x + graphic->boundingBox.right < 0)
        return 1;
    if (graphic->x + graphic->boundingBox.left >= screenWidth)
        return 1;
    if (graphic->y + graphic->boundingBox.bottom < 0)
        return 1;
    if (graphic->y + graphic->boundingBox.top >= screenHeight)
        return 1;
    return 0;
}
