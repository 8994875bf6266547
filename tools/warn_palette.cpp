// Warnings about the palette: the stars' fixed colours against the empty screen's.
#include <stdio.h>

#include <string.h>

#include <string>
#include <vector>

#include "content/files.h"
#include "game/contract.h"
#include "game/world.h"
#include "graphics/graphics.h"
#include "tools/checker.h"

void warnPalette()
{
    // The stars are drawn in fixed palette entries on a screen cleared to entry 0.
    unsigned char palette[1024];
    FILE* file = fopen(PALETTE_FILE, "rb");
    if (file != NULL) {
        if (fread(palette, 1, sizeof(palette), file) == sizeof(palette))
            for (int colour : {STAR_COLOUR_FAR, STAR_COLOUR_NEAR})
                if (memcmp(palette + colour * 4, palette, 3) == 0)
                    warn({PALETTE_FILE, 1},
                         "entry " + str(colour) +
                             " colours stars but is the colour of the "
                             "empty screen (entry 0), so those stars are invisible");
        fclose(file);
    }
}
