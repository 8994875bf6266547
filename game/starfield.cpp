#include <stdlib.h>

#include "game/contract.h"
#include "display/display.h"
#include "game/world.h"

// Far stars crawl, near stars streak.
static const int starSpeed[STAR_LAYERS] = {1, 2, 7};
static const unsigned char starColour[STAR_LAYERS] = {STAR_COLOUR_FAR, STAR_COLOUR_NEAR,
                                                      STAR_COLOUR_NEAR};

int createStars()
{
    for (int layer = 0; layer < STAR_LAYERS; layer++)
        for (int i = 0; i < STARS_PER_LAYER; i++) {
            stars[layer][i].x = rand() % screenWidth;
            stars[layer][i].y = rand() % screenHeight;
        }
    return 1;
}

// Every star stays on the screen, so the plots need no clipping.
int updateStars()
{
    for (int layer = 0; layer < STAR_LAYERS; layer++)
        for (int i = 0; i < STARS_PER_LAYER; i++) {
            Star* star = &stars[layer][i];
            star->y += starSpeed[layer];
            if (star->y >= screenHeight) {
                star->y -= screenHeight; // re-enters at the top with its overshoot
                star->x = rand() % screenWidth;
            }
            plotPixel(star->x, star->y, starColour[layer], backBufferMemory, backBufferPitch);
        }
    return 1;
}
