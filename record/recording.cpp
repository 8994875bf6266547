#include "record/recording.h"

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

#include "record/figures.h"
#include "record/recorder.h"
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
    const char* wrong = !readNumber(tok, 0, MAX_GAME_FRAMES, &first)   ? tok
                        : !readNumber(tok2, 0, MAX_GAME_FRAMES, &last) ? tok2
                                                                       : NULL;
    if (wrong != NULL) {
        *error =
            where + ": '" + wrong + "' is not a frame from 0 to " + std::to_string(MAX_GAME_FRAMES);
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
        !readNumber(rest.substr(comma + 2, word - comma - 2).c_str(), 0, MAX_GAME_FRAMES, &frames))
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
                     std::to_string(MAX_GAME_FRAMES);
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

void printRecording(FILE* f, const std::string& figures, const std::string& cutFigures)
{
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
