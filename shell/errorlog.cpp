#include "shell/errorlog.h"

FILE* errorLog = NULL;

// The log's buffer is ours, not the C library's: the library would allocate its own at
// the first line, and the first failure may well come in the middle of play.
static char logBuffer[BUFSIZ];

static FILE* openLog(const char* name)
{
    FILE* f = fopen(name, "w");
    if (f != NULL)
        setvbuf(f, logBuffer, _IOFBF, sizeof(logBuffer));
    return f;
}

int openErrorLog(const char* name)
{
    if (errorLog != NULL) {
        fclose(errorLog);
        errorLog = NULL;
    }
    errorLog = openLog(name);
    return errorLog != NULL ? 1 : 0;
}

int writeError(const char* message)
{
    if (errorLog == NULL) {
        errorLog = openLog("Error.txt");
        if (errorLog == NULL)
            return 0;
    }
    // Written as plain text, never as a format: a stray '%' in a message can do no harm.
    fputs(message, errorLog);
    fflush(errorLog);
    return 1;
}

int closeErrorLog()
{
    if (errorLog == NULL)
        return 1;
    int result = fclose(errorLog);
    errorLog = NULL;
    return result == 0 ? 1 : 0;
}
