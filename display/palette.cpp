// The palette file: 256 PALETTEENTRY records (red, green, blue, flags), no header.
#include <stdio.h>

#include <windows.h>
#include <ddraw.h>

#include "display/display.h"
#include "shell/errorlog.h"

int loadPalette(const char* fileName, PALETTEENTRY* table)
{
    if (table == NULL) {
        writeError("loadPalette:  null pointer passed\n");
        return 0;
    }
    FILE* file = fopen(fileName, "rb");
    if (file == NULL) {
        writeError("loadPalette: error opening file\n");
        return 0;
    }
    if (fread(table, sizeof(PALETTEENTRY), 256, file) < 256) {
        writeError("loadPalette: error reading palette from file\n");
        fclose(file);
        return 0;
    }
    fclose(file);
    return 1;
}

int savePalette(const char* fileName, const PALETTEENTRY* table)
{
    if (table == NULL) {
        writeError("savePalette: NULL pointer passed\n");
        return 0;
    }
    FILE* file = fopen(fileName, "wb");
    if (file == NULL) {
        writeError("savePalette: error opening file\n");
        return 0;
    }
    if (fwrite(table, sizeof(PALETTEENTRY), 256, file) < 256) {
        writeError("savePalette: error writing palette to disk\n");
        fclose(file);
        return 0;
    }
    // A full disk may only show when the buffered data is written out.
    if (fclose(file) != 0) {
        writeError("savePalette: error writing palette to disk\n");
        return 0;
    }
    return 1;
}

int setPalette(PALETTEENTRY* table)
{
    if (lpddPalette == NULL || FAILED(lpddPalette->SetEntries(0, 0, 256, table))) {
        writeError("setPalette: error setting entries\n");
        return 0;
    }
    return 1;
}
