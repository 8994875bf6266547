#include "shell/errorlog.h"

FILE* errorLog = NULL;

int openErrorLog(const char* name)
{
    if (errorLog != NULL) {
        fclose(errorLog);
        errorLog = NULL;
    }
    errorLog = fopen(name, "w");
    return errorLog != NULL ? 1 : 0;
}

int writeError(const char* message)
{
    if (errorLog == NULL) {
        errorLog = fopen("Error.txt", "w");
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
