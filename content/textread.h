// Line handling shared by the content loaders.
#ifndef STARLANE_CONTENT_TEXTREAD_H
#define STARLANE_CONTENT_TEXTREAD_H

#include <stdio.h>

// Reads up to and including the next newline; 0 when the file ends first.
int discardLine(FILE* file);

#endif
