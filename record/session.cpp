// What STARLANE_RECORD asks of a game: the file it may be recorded into, the recorder started
// with the game and the watch set, and the file written beside its name and renamed into place
// once the game has ended.
#include "record/session.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "content/files.h"
#include "record/figures.h"
#include "record/recorder.h"
#include "record/recording.h"
#include "record/watch.h"
#include "shell/errorlog.h"

namespace {

// What the game reads from its working directory, and its log: never recorded over.
const char* const GAME_FILES[] = {ERROR_LOG_FILE, PALETTE_FILE};
const char* const CONTENT_FOLDERS[] = {GRAPHICS_FOLDER, ENEMIES_FOLDER, ORDERS_FOLDER};

int sameFile(const struct stat& a, const char* path)
{
    struct stat b;
    return stat(path, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The folder's real path ending in '/'; "" when it does not exist.
std::string realFolder(const std::string& folder)
{
    char real[PATH_MAX];
    if (realpath(folder.c_str(), real) == NULL)
        return "";
    return strcmp(real, "/") == 0 ? "/" : std::string(real) + "/";
}

// Whether `path` is the log or content of the game in the working directory, by name in any
// letter case or as the same file or folder reached another way (a link, "../data/...").
int isGameFile(const std::string& path)
{
    std::string name = path.substr(path.rfind('/') + 1); // npos + 1 is 0
    std::string inner = realFolder(folderOf(path)), base = realFolder(".");
    if (inner.empty() || base.empty())
        return 0;
    struct stat target;
    int exists = stat(path.c_str(), &target) == 0;
    for (const char* file : GAME_FILES)
        if ((inner == base && strcasecmp(name.c_str(), file) == 0) ||
            (exists && sameFile(target, file)))
            return 1;
    for (const char* content : CONTENT_FOLDERS) {
        std::string under = base + content + "/", real = realFolder(content);
        if (strncasecmp(inner.c_str(), under.c_str(), under.size()) == 0 ||
            (!real.empty() && inner.compare(0, real.size(), real) == 0))
            return 1;
    }
    return 0;
}

std::string recordedPath;
const char* refusal = NULL; // the line for the log when the game has ended

// Where the recording is written before it is renamed into place: a file of this process's own.
std::string temporaryOf(const char* path)
{
    return std::string(path) + "." + std::to_string(getpid()) + ".part";
}

// Refuses a file the recording must not replace, or cannot: 0 with `refusal` set. The
// temporary file is made and taken away again, so that a name the system refuses (too long,
// a full or read-only disk) is said now rather than when the game has been played.
int mayRecordInto(const char* program, const char* path)
{
    if (isGameFile(path)) {
        fprintf(stderr, "%s: will not record into %s: it is the game's log or content\n", program,
                path);
        refusal = "recordingStart: recording refused over the log or the content\n";
        return 0;
    }
    std::string folder = folderOf(path);
    struct stat st;
    const char* why = NULL;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        why = "no such folder";
    else if (access(folder.c_str(), W_OK | X_OK) != 0)
        why = "the folder is not writable";
    else if (stat(path, &st) == 0 && !S_ISREG(st.st_mode))
        why = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
    if (why == NULL) {
        std::string temporary = temporaryOf(path);
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0)
            why = strerror(errno);
        else {
            close(fd);
            unlink(temporary.c_str());
            return 1;
        }
    }
    fprintf(stderr, "%s: cannot record into %s: %s\n", program, path, why);
    refusal = "recordingStart: error opening the recording file\n";
    return 0;
}

// The recording written beside its name and renamed into place, so that the name holds the
// old file or the whole new one, never a part; 1 ok, 0 with the reason in `why`.
int writeRecording(const char* path, const std::string& figures, const std::string& cutFigures,
                   std::string* why)
{
    struct stat st;
    if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
        *why = "it is not a regular file";
        return 0;
    }
    // A new file of this process's own (never an old one, a link or a FIFO), made as fopen
    // makes one: the system applies the umask.
    std::string temporary = temporaryOf(path);
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        *why = strerror(errno);
        return 0;
    }
    FILE* f = fdopen(fd, "w");
    if (f == NULL) {
        *why = strerror(errno);
        close(fd);
        unlink(temporary.c_str());
        return 0;
    }
    printRecording(f, figures, cutFigures);
    errno = 0;
    int ok = fflush(f) == 0 && ferror(f) == 0 && fsync(fd) == 0;
    *why = errno != 0 ? strerror(errno) : "the disk refused it";
    ok = fclose(f) == 0 && ok;
    if (ok && rename(temporary.c_str(), path) != 0) {
        *why = strerror(errno);
        ok = 0;
    }
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}

} // namespace

int recordingStart(const char* program, int watchFrames, int ranges)
{
    refusal = NULL;
    const char* path = getenv("STARLANE_RECORD");
    if (path == NULL || path[0] == '\0')
        return 1;
    recordedPath = path;
    if (!mayRecordInto(program, path))
        return 0;
    if (!recorderStart(ranges)) {
        fprintf(stderr, "%s: no memory to record the game into %s\n", program, path);
        refusal = "recordingStart: memory allocation error\n";
        return 0;
    }
    if (watchFrames) {
        figuresStart();
        recorderSetFrameHook(figuresObserveFrame);
    }
    watchOn();
    fprintf(stderr, "%s: recording the game into %s\n", program, path);
    return 1;
}

int recordingFinish(const char* program, int exitCode)
{
    // The game emptied its log when it started: only now can the line stay there.
    if (refusal != NULL) {
        writeError(refusal);
        refusal = NULL;
        return 0;
    }
    if (!recorderActive())
        return 1;
    const char* path = recordedPath.c_str();
    int frames = recorderFrames();
    int cut = recorderCutFrame();
    std::string figures = figuresText(frames, exitCode);
    std::string cutFigures;
    if (const GameFigures* atCut = recorderCutFigures())
        cutFigures = "\"frames\": " + std::to_string(cut) + gameFiguresText(*atCut);
    std::string why;
    int ok = writeRecording(path, figures, cutFigures, &why);
    recorderStop();
    if (!ok) {
        fprintf(stderr, "%s: cannot write the recording %s: %s\n", program, path, why.c_str());
        writeError("recordingFinish: error writing the recording\n");
    } else if (cut >= 0)
        fprintf(stderr, "%s: recording of %d frames written to %s, CUT at frame %d (memory full)\n",
                program, frames, path, cut);
    else
        fprintf(stderr, "%s: recording of %d frames written to %s\n", program, frames, path);
    return ok;
}
