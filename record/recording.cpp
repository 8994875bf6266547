#include "recording.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <dinput.h>

#include "figures.h"
#include "recorder.h"

namespace {

const char* const HEADER = "# Starlane recording: start tick %lu, %d frames";
const char* const FIGURES = "# figures: ";

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

std::string recordedPath;

} // namespace

int readKeyScript(const char* path, std::vector<KeyRange>* ranges, std::string* error)
{
    FILE* f = fopen(path, "r");
    if (f == NULL) {
        *error = std::string("cannot read key script ") + path + ": " + strerror(errno);
        return 0;
    }
    char line[4096];
    int lineNo = 0;
    while (fgets(line, sizeof(line), f)) {
        lineNo++;
        char* hash = strchr(line, '#');
        if (hash)
            *hash = '\0';
        char* tok = strtok(line, " \t\r\n");
        if (tok == NULL)
            continue;
        KeyRange r;
        char* end;
        r.first = (int)strtol(tok, &end, 10);
        char* tok2 = strtok(NULL, " \t\r\n");
        long last = tok2 ? strtol(tok2, &end, 10) : -1;
        if (*end != '\0' || tok2 == NULL || r.first < 0 || last < r.first) {
            *error = std::string("key script ") + path + ":" + std::to_string(lineNo) +
                     ": expected FIRST LAST KEY...";
            fclose(f);
            return 0;
        }
        r.last = (int)last;
        while ((tok = strtok(NULL, " \t\r\n")) != NULL) {
            int code = keyCode(tok);
            if (code < 0) {
                *error = std::string("key script ") + path + ":" + std::to_string(lineNo) +
                         ": unknown key '" + tok + "'";
                fclose(f);
                return 0;
            }
            r.keys.push_back(code);
        }
        ranges->push_back(r);
    }
    fclose(f);
    return 1;
}

int readRecording(const char* path, Recording* recording, std::string* error)
{
    recording->ranges.clear();
    recording->figures.clear();
    if (!readKeyScript(path, &recording->ranges, error))
        return 0;
    FILE* f = fopen(path, "r");
    if (f == NULL) {
        *error = std::string("cannot read recording ") + path + ": " + strerror(errno);
        return 0;
    }
    char line[4096];
    int headed = 0;
    if (fgets(line, sizeof(line), f) &&
        sscanf(line, HEADER, &recording->startTick, &recording->frames) == 2 &&
        recording->frames >= 0)
        headed = 1;
    while (fgets(line, sizeof(line), f))
        if (strncmp(line, FIGURES, strlen(FIGURES)) == 0)
            recording->figures =
                std::string(line + strlen(FIGURES), strcspn(line + strlen(FIGURES), "\r\n"));
    fclose(f);
    if (!headed) {
        *error = std::string("recording ") + path +
                 ": the first line does not give the start tick and frame count";
        return 0;
    }
    return 1;
}

int recordingStart(const char* program, int watchFrames, int ranges)
{
    const char* path = getenv("STARLANE_RECORD");
    if (path == NULL || path[0] == '\0')
        return 1;
    recordedPath = path;
    if (!recorderStart(ranges)) {
        fprintf(stderr, "%s: no memory to record the game into %s\n", program, path);
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
    if (!recorderActive())
        return 1;
    const char* path = recordedPath.c_str();
    int frames = recorderFrames();
    int cut = recorderCutFrame();
    std::string figures = replayFigures(frames, exitCode);

    FILE* f = fopen(path, "w");
    if (f == NULL) {
        fprintf(stderr, "%s: cannot write the recording %s: %s\n", program, path, strerror(errno));
        recorderStop();
        return 0;
    }
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
                "# cut at frame %d of %d: the keys of later frames did not fit in memory; "
                "the figures are the whole game's\n",
                cut, frames);
    fprintf(f, "%s{%s}\n", FIGURES, figures.c_str());
    int ok = ferror(f) == 0;
    ok = fclose(f) == 0 && ok;
    if (!ok)
        fprintf(stderr, "%s: cannot write the recording %s\n", program, path);
    else if (cut >= 0)
        fprintf(stderr, "%s: recording of %d frames written to %s, CUT at frame %d (memory full)\n",
                program, frames, path, cut);
    else
        fprintf(stderr, "%s: recording of %d frames written to %s\n", program, frames, path);
    recorderStop();
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
