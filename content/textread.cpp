#include "content/textread.h"

int discardLine(FILE* file)
{
    int c;
    while ((c = fgetc(file)) != EOF)
        if (c == '\n')
            return 1;
    return 0;
}
