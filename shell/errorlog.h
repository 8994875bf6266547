// The error log "Error.txt": one line per failure, flushed at once.
#ifndef STARLANE_SHELL_ERRORLOG_H
#define STARLANE_SHELL_ERRORLOG_H

#include <stdio.h>

#define ERROR_LOG_LIMIT 65536 // bytes of messages a run keeps, the closing line included

extern FILE* errorLog; // the open log, or null
// When set, every message goes here instead of a file and no log file is opened: the content
// checker keeps the game's lines in memory.
extern void (*errorLogSink)(const char* message);

int openErrorLog(const char* name); // (re)open and truncate; 1 ok, 0 failed
// Appends verbatim and flushes; opens "Error.txt" if needed; 0 past the limit.
int writeError(const char* message);
int closeErrorLog(); // 1 ok, 0 if the close failed

#endif
