#include "shell/errorlog.h"

#include <string.h>

#include "content/files.h"

FILE* errorLog = NULL;
void (*errorLogSink)(const char* message) = NULL;

// A failure that repeats in every frame (a lock or a blit that keeps failing) would grow the
// log without end: gigabytes in an hour with full pools. Once the messages would pass
// ERROR_LOG_LIMIT bytes, one last line says so and everything after it is dropped.
static const char* const logFull = "writeError: error log full, later messages dropped\n";
static size_t errorLogBytes = 0;

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
    if (errorLogSink != NULL)
        return 1;
    if (errorLog != NULL) {
        fclose(errorLog);
        errorLog = NULL;
    }
    errorLog = openLog(name);
    errorLogBytes = 0;
    return errorLog != NULL ? 1 : 0;
}

int writeError(const char* message)
{
    if (errorLogSink != NULL) {
        errorLogSink(message);
        return 1;
    }
    if (errorLog == NULL) {
        errorLog = openLog(ERROR_LOG_FILE);
        if (errorLog == NULL)
            return 0;
        errorLogBytes = 0;
    }
    if (errorLogBytes >= ERROR_LOG_LIMIT)
        return 0;
    size_t length = strlen(message);
    if (errorLogBytes + length > ERROR_LOG_LIMIT - strlen(logFull)) {
        fputs(logFull, errorLog);
        fflush(errorLog);
        errorLogBytes = ERROR_LOG_LIMIT;
        return 0;
    }
    // Written as plain text, never as a format: a stray '%' in a message can do no harm.
    fputs(message, errorLog);
    fflush(errorLog);
    errorLogBytes += length;
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
