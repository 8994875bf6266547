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
    // Screen-space edges in 64 bits: a box read from a content file may hold any int, and
    // adding the position must not overflow.
    long long oneLeft = (long long)a->x + a->boundingBox.left;
    long long oneTop = (long long)a->y + a->boundingBox.top;
    long long oneRight = (long long)a->x + a->boundingBox.right;
    long long oneBottom = (long long)a->y + a->boundingBox.bottom;
    long long twoLeft = (long long)b->x + b->boundingBox.left;
    long long twoTop = (long long)b->y + b->boundingBox.top;
    long long twoRight = (long long)b->x + b->boundingBox.right;
    long long twoBottom = (long long)b->y + b->boundingBox.bottom;

    // Two strict and two non-strict comparisons: when edges touch, the result depends on which
    // box comes first, and the game's callers rely on the order they pass.
    if (oneLeft >= twoRight)
        return 0;
    if (oneBottom < twoTop)
        return 0;
    if (oneRight < twoLeft)
        return 0;
    if (oneTop < twoBottom)
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
    if ((long long)graphic->x + graphic->boundingBox.right < 0)
        return 1;
    if ((long long)graphic->x + graphic->boundingBox.left >= screenWidth)
        return 1;
    if ((long long)graphic->y + graphic->boundingBox.bottom < 0)
        return 1;
    if ((long long)graphic->y + graphic->boundingBox.top >= screenHeight)
        return 1;
    return 0;
}
