#include "recording.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>
#include <dinput.h>

#include "figures.h"
#include "recorder.h"
#include "content/files.h"
#include "shell/errorlog.h"

namespace {

const char* const HEADER = "# Starlane recording: start tick %lu, %d frames";
const char* const FIGURES = "# figures: ";
const char* const CUT = "# cut at frame ";
const char* const CUT_FIGURES = "# figures at the cut: ";

const struct {
    const char* name;
    int dik;
} keyNames[] = {
    {"a", DIK_A}, {"d", DIK_D},         {"w", DIK_W},
    {"s", DIK_S}, {"space", DIK_SPACE}, {"escape", DIK_ESCAPE},
};

int keyCode(const char* name)
{
    for (size_t i = 0; i < sizeof(keyNames) / sizeof(keyNames[0]); i++)
        if (strcmp(name, keyNames[i].name) == 0)
            return keyNames[i].dik;
    char* end;
    long v = strtol(name, &end, 10);
    if (*name != '\0' && *end == '\0' && v >= 0 && v <= 255)
        return (int)v;
    return -1;
}

void writeKeyName(FILE* f, int dik)
{
    for (size_t i = 0; i < sizeof(keyNames) / sizeof(keyNames[0]); i++)
        if (keyNames[i].dik == dik) {
            fprintf(f, " %s", keyNames[i].name);
            return;
        }
    fprintf(f, " %d", dik);
}

// Where `name` appears as "name": in a figures line, the number after it.
int figure(const std::string& text, const std::string& name, std::string* value)
{
    size_t at = text.find("\"" + name + "\":");
    if (at == std::string::npos)
        return 0;
    size_t from = text.find_first_not_of(' ', at + name.size() + 3);
    size_t to = text.find_first_of(",}", from);
    if (from == std::string::npos || to == std::string::npos)
        return 0;
    *value = text.substr(from, to - from);
    return 1;
}

int startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

// A "{...}" figures line that names at least the frames; "" for anything else.
std::string figuresOf(const std::string& text)
{
    std::string frames;
    if (text.size() < 2 || text[0] != '{' || text.back() != '}' || !figure(text, "frames", &frames))
        return "";
    return text;
}

// The whole file, refused past RECORDING_BYTES (a device that never ends, such as /dev/zero).
int readWhole(const char* path, const char* what, std::string* text, std::string* error)
{
    FILE* f = fopen(path, "rb");
    if (f == NULL) {
        *error = std::string("cannot read ") + what + " " + path + ": " + strerror(errno);
        return 0;
    }
    text->clear();
    char chunk[65536];
    size_t n;
    while (text->size() <= (size_t)RECORDING_BYTES && (n = fread(chunk, 1, sizeof(chunk), f)) > 0)
        text->append(chunk, n);
    int failed = ferror(f);
    fclose(f);
    if (failed) {
        *error = std::string("cannot read ") + what + " " + path;
        return 0;
    }
    if (text->size() > (size_t)RECORDING_BYTES) {
        *error = std::string(what) + " " + path + ": longer than " +
                 std::to_string(RECORDING_BYTES) + " bytes, more than any recording";
        return 0;
    }
    return 1;
}

// One line of ranges; its comment and line break already cut off.
int readRange(char* line, const std::string& where, std::vector<KeyRange>* ranges,
              std::string* error)
{
    const char* blanks = " \t\r";
    char* save;
    char* tok = strtok_r(line, blanks, &save);
    if (tok == NULL)
        return 1;
    char* tok2 = strtok_r(NULL, blanks, &save);
    if (tok2 == NULL) {
        *error = where + ": expected FIRST LAST KEY...";
        return 0;
    }
    long long first, last;
    const char* wrong = !readNumber(tok, 0, MAX_FRAMES, &first)   ? tok
                        : !readNumber(tok2, 0, MAX_FRAMES, &last) ? tok2
                                                                  : NULL;
    if (wrong != NULL) {
        *error = where + ": '" + wrong + "' is not a frame from 0 to " + std::to_string(MAX_FRAMES);
        return 0;
    }
    if (last < first) {
        *error = where + ": the range ends before it begins";
        return 0;
    }
    KeyRange r;
    r.first = (int)first;
    r.last = (int)last;
    while ((tok = strtok_r(NULL, blanks, &save)) != NULL) {
        int code = keyCode(tok);
        if (code < 0) {
            *error = where + ": unknown key '" + tok + "'";
            return 0;
        }
        r.keys.push_back(code);
    }
    ranges->push_back(std::move(r));
    return 1;
}

// "# Starlane recording: start tick T, F frames": 1 read, 0 not such a line, -1 with a number
// past its bounds.
int readHeader(const std::string& line, Recording* recording)
{
    std::string start(HEADER, strstr(HEADER, "%lu") - HEADER);
    if (!startsWith(line, start.c_str()))
        return 0;
    std::string rest = line.substr(start.size());
    size_t comma = rest.find(", ");
    size_t word = rest.rfind(" frames");
    if (comma == std::string::npos || word == std::string::npos || word < comma ||
        word + 7 != rest.size())
        return 0;
    long long tick, frames;
    if (!readNumber(rest.substr(0, comma).c_str(), 0, 0xFFFFFFFFLL, &tick) ||
        !readNumber(rest.substr(comma + 2, word - comma - 2).c_str(), 0, MAX_FRAMES, &frames))
        return -1;
    recording->startTick = (unsigned long)tick;
    recording->frames = (int)frames;
    return 1;
}

// A key script, or with `recording` a recording: the comment lines are its header, its
// figures and its cut.
int readScript(const char* path, std::vector<KeyRange>* ranges, Recording* recording,
               std::string* error)
{
    std::string text;
    if (!readWhole(path, recording ? "recording" : "key script", &text, error))
        return 0;
    std::string wholeFigures, cutFigures;
    int headed = 0;
    size_t at = 0;
    for (int lineNo = 1; at < text.size(); lineNo++) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (recording && lineNo == 1)
            headed = readHeader(line, recording);
        if (recording && startsWith(line, FIGURES))
            wholeFigures = figuresOf(line.substr(strlen(FIGURES)));
        if (recording && startsWith(line, CUT_FIGURES))
            cutFigures = figuresOf(line.substr(strlen(CUT_FIGURES)));
        if (recording && startsWith(line, CUT)) {
            size_t of = line.find(" of ");
            long long whole;
            if (of != std::string::npos &&
                readNumber(line.substr(of + 4, line.find(':', of) - of - 4).c_str(), 0, INT_MAX,
                           &whole))
                recording->cutOf = (int)whole;
        }
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.resize(hash);
        if (line.find('\0') != std::string::npos) {
            *error = std::string("key script ") + path + ":" + std::to_string(lineNo) +
                     ": a NUL character";
            return 0;
        }
        if (!readRange(&line[0], std::string("key script ") + path + ":" + std::to_string(lineNo),
                       ranges, error))
            return 0;
    }
    if (recording) {
        if (headed < 0) {
            *error = std::string("recording ") + path + ":1: the start tick is from 0 to " +
                     std::to_string(0xFFFFFFFFLL) + ", the frames from 0 to " +
                     std::to_string(MAX_FRAMES);
            return 0;
        }
        if (!headed) {
            *error = std::string("recording ") + path +
                     ": the first line does not give the start tick and frame count";
            return 0;
        }
        recording->figures = recording->cutOf >= 0 ? cutFigures : wholeFigures;
    }
    return 1;
}

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
    int frames = recorderFrames();
    int cut = recorderCutFrame();
    fprintf(f, HEADER, (unsigned long)recorderStartTick(), cut >= 0 ? cut : frames);
    fprintf(f, "\n");
    for (int i = 0; i < recorderRangeCount(); i++) {
        const RecordedRange* r = recorderRange(i);
        fprintf(f, "%d %d", r->first, r->last);
        for (int k = 0; k < 256; k++)
            if (r->keys[k / 8] & (1 << (k % 8)))
                writeKeyName(f, k);
        fprintf(f, "\n");
    }
    if (cut >= 0)
        fprintf(f,
                "%s%d of %d: the keys of later frames did not fit in memory\n"
                "%s{%s}\n",
                CUT, cut, frames, CUT_FIGURES, cutFigures.c_str());
    fprintf(f, "%s{%s}\n", FIGURES, figures.c_str());
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

int readNumber(const char* text, long long min, long long max, long long* value)
{
    if (text[0] < '0' || text[0] > '9') // no blanks or sign in front, which strtoll would take
        return 0;
    char* end;
    errno = 0;
    long long v = strtoll(text, &end, 10);
    if (*end != '\0' || errno != 0 || v < min || v > max)
        return 0;
    *value = v;
    return 1;
}

int readKeyScript(const char* path, std::vector<KeyRange>* ranges, std::string* error)
{
    return readScript(path, ranges, NULL, error);
}

int readRecording(const char* path, Recording* recording, std::string* error)
{
    recording->startTick = 0;
    recording->frames = 0;
    recording->ranges.clear();
    recording->figures.clear();
    recording->cutOf = -1;
    return readScript(path, &recording->ranges, recording, error);
}

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
        replayStart();
        recorderSetFrameHook(replayObserveFrame);
    }
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
    std::string figures = replayFigures(frames, exitCode);
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

std::string figureDifference(const std::string& recorded, const std::string& replayed)
{
    size_t at = 0;
    while ((at = recorded.find('"', at)) != std::string::npos) {
        size_t end = recorded.find('"', at + 1);
        if (end == std::string::npos)
            break;
        std::string name = recorded.substr(at + 1, end - at - 1);
        at = end + 1;
        std::string want, got;
        if (!figure(recorded, name, &want))
            continue;
        if (!figure(replayed, name, &got))
            got = "nothing";
        if (want != got)
            return name + ": recorded " + want + ", replayed " + got;
    }
    return "";
}
