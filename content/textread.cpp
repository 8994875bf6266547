#include "content/textread.h"

#include <ctype.h>
#include <limits.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "shell/errorlog.h"

TextPlace textPlace = {"", 0};
void (*textReadHook)(const TextFile* text, int kind, int value, const char* name) = NULL;
void (*nameFixHook)(const char* written, const char* found, int fixes) = NULL;

// The innermost open text file.
static TextFile* textCurrent = NULL;

struct KeptFile {
    std::string name;
    std::vector<TextValue> values;
    size_t recordStart; // the value of the last record letter read
};
static std::vector<KeptFile> keptFiles;
static int keepingPlaces = 0;

void keepTextPlaces(int on)
{
    if (on)
        keptFiles.clear();
    keepingPlaces = on;
}

// The reading of a file starts afresh: what an earlier reading kept goes.
static void keepFile(TextFile* text)
{
    size_t i = 0;
    while (i < keptFiles.size() && keptFiles[i].name != text->name)
        i++;
    if (i == keptFiles.size())
        keptFiles.push_back({text->name, {}, 0});
    keptFiles[i].values.clear();
    keptFiles[i].recordStart = 0;
    text->kept = (int)i + 1;
}

static void keepValue(const TextFile* text, int value)
{
    if (text->kept == 0 || text->kept > (int)keptFiles.size())
        return;
    keptFiles[text->kept - 1].values.push_back({text->field != NULL ? text->field : "",
                                                text->record, text->naming, text->valueLine,
                                                value});
}

void nameField(TextFile* text, const char* field, int record)
{
    text->field = field;
    text->record = record;
    text->naming++;
}

void nameRecord(TextFile* text, const char* field, int record)
{
    nameField(text, field, record);
    if (text->kept == 0 || text->kept > (int)keptFiles.size())
        return;
    KeptFile& kept = keptFiles[text->kept - 1];
    for (size_t i = kept.recordStart; i < kept.values.size(); i++) {
        kept.values[i].field = field;
        kept.values[i].record = record;
        kept.values[i].naming = text->naming;
    }
}

static const KeptFile* keptFile(const char* file)
{
    for (const KeptFile& kept : keptFiles)
        if (kept.name == file)
            return &kept;
    return NULL;
}

int textValuesOf(const char* file, const TextValue** values)
{
    const KeptFile* kept = keptFile(file);
    *values = kept != NULL && !kept->values.empty() ? kept->values.data() : NULL;
    return kept != NULL ? (int)kept->values.size() : 0;
}

int textFieldPlace(const char* file, const char* field, int record, int nth, TextValue* found)
{
    const KeptFile* kept = keptFile(file);
    if (kept == NULL)
        return 0;
    int last = 0;
    for (const TextValue& v : kept->values)
        if (v.record == record && strcmp(v.field, field) == 0)
            last = v.naming;
    for (const TextValue& v : kept->values)
        if (last != 0 && v.naming == last && nth-- == 0) {
            *found = v;
            return 1;
        }
    return 0;
}

static int sameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return 0;
    for (size_t i = 0; i < a.size(); i++)
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i]))
            return 0;
    return 1;
}

// Whether a name, with '/' between its parts, reaches outside the folder it is read from: it
// is absolute (from the root or a drive) or climbs above its start with "..".
static int leavesFolder(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return 1;
    if (path.size() >= 2 && path[1] == ':' && isalpha((unsigned char)path[0]))
        return 1;
    int depth = 0;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == ".." && --depth < 0)
            return 1;
        if (part != ".." && part != "." && !part.empty())
            depth++;
        start = end + 1;
    }
    return 0;
}

// The folders are searched only for a name that does not open as written, so content written
// with the exact names costs the game nothing. When names are watched (the checker), every
// part is compared with the folder's own spelling, so that a letter case that a forgiving
// file system accepts is reported on every system alike.
int resolveContentName(const char* name, char* out, int size)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string path = name;
    int fixes = 0;
    for (char& c : path)
        if (c == '\\') {
            c = '/';
            fixes |= NAME_FIX_BACKSLASH;
        }
    if (nameFixHook != NULL && leavesFolder(path))
        fixes |= NAME_LEAVES_FOLDER;
    if (!path.empty() && (nameFixHook != NULL || !fs::exists(path, ec))) {
        std::string found = path[0] == '/' ? "/" : "";
        size_t start = path[0] == '/' ? 1 : 0;
        while (start <= path.size()) {
            size_t end = path.find('/', start);
            if (end == std::string::npos)
                end = path.size();
            std::string part = path.substr(start, end - start), other;
            int exact = part.empty() || part == "." || part == "..";
            fs::directory_iterator it(found.empty() ? "." : found, ec), last;
            for (; !exact && !ec && it != last; it.increment(ec)) {
                std::string entry = it->path().filename().string();
                if (entry == part)
                    exact = 1;
                else if (other.empty() && sameIgnoringCase(entry, part))
                    other = entry;
            }
            ec.clear();
            if (!exact && !other.empty()) {
                part = other;
                fixes |= NAME_FIX_CASE;
            }
            found += part;
            if (end < path.size())
                found += '/';
            start = end + 1;
        }
        path = found;
    }
    if ((int)path.size() >= size)
        return 0;
    memcpy(out, path.c_str(), path.size() + 1);
    if (fixes != 0 && nameFixHook != NULL)
        nameFixHook(name, out, fixes);
    return 1;
}

static void placeAt(const TextFile* text, int line)
{
    if (strcmp(textPlace.file, text->name) != 0)
        strcpy(textPlace.file, text->name);
    textPlace.line = line;
}

int openTextFile(TextFile* text, const char* name)
{
    memset(text, 0, sizeof(*text));
    text->ahead = TEXT_NOTHING_AHEAD;
    if (name == NULL || !resolveContentName(name, text->name, TEXT_PATH_SIZE))
        return 0;
    text->file = fopen(text->name, "rb");
    if (text->file == NULL)
        return 0;
    text->line = 1;
    if (keepingPlaces)
        keepFile(text);
    text->outer = textCurrent;
    textCurrent = text;
    placeAt(text, 1);
    unsigned char head[3];
    if (fread(head, 1, 3, text->file) == 3 && head[0] == 0xEF && head[1] == 0xBB &&
        head[2] == 0xBF) {
        writeError("openTextFile: file begins with a byte-order mark\n");
        closeTextFile(text);
        return 0;
    }
    rewind(text->file);
    return 1;
}

int closeTextFile(TextFile* text)
{
    if (text->file == NULL)
        return 1;
    int result = fclose(text->file) == 0;
    text->file = NULL;
    // Files close innermost first; the place goes back to where the outer one was read.
    if (textCurrent == text) {
        textCurrent = text->outer;
        if (textCurrent != NULL)
            placeAt(textCurrent, textCurrent->valueLine > 0 ? textCurrent->valueLine : 1);
    }
    return result;
}

// One character, CR LF taken as LF.
static int nextChar(TextFile* text)
{
    int c;
    if (text->ahead != TEXT_NOTHING_AHEAD) {
        c = text->ahead;
        text->ahead = TEXT_NOTHING_AHEAD;
    } else {
        c = fgetc(text->file);
        if (c == '\r') {
            int after = fgetc(text->file);
            if (after == '\n')
                c = '\n';
            else if (after != EOF)
                ungetc(after, text->file);
        }
    }
    if (c == '\n')
        text->line++;
    if (c != EOF)
        text->last = c;
    return c;
}

// Where the end of the file stands: on its last line, also when that line ends with a newline.
static int endLine(const TextFile* text)
{
    return text->last == '\n' && text->line > 1 ? text->line - 1 : text->line;
}

static void giveBack(TextFile* text, int c)
{
    if (c == EOF)
        return;
    if (c == '\n')
        text->line--;
    text->ahead = c;
}

int skipSpace(TextFile* text)
{
    int c;
    while ((c = nextChar(text)) != EOF && isspace(c))
        ;
    giveBack(text, c);
    return 1;
}

int readInt(TextFile* text, int* value)
{
    skipSpace(text);
    int start = text->line;
    int c = nextChar(text);
    int negative = c == '-';
    if (c == '-' || c == '+')
        c = nextChar(text);
    if (c == EOF || !isdigit(c)) {
        giveBack(text, c);
        // The place of a missing number is where something else stands instead.
        placeAt(text, c == EOF ? endLine(text) : start);
        return 0;
    }
    // Every digit is taken, however many: the number ends where the digits end.
    long long magnitude = 0;
    long long limit = negative ? -(long long)INT_MIN : INT_MAX;
    int tooLarge = 0;
    for (; c != EOF && isdigit(c); c = nextChar(text)) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            tooLarge = 1;
            magnitude = limit;
        }
    }
    giveBack(text, c);
    text->valueLine = start;
    placeAt(text, start);
    if (tooLarge) {
        writeError("readInt: number out of the range of an int\n");
        return 0;
    }
    *value = (int)(negative ? -magnitude : magnitude);
    keepValue(text, *value);
    if (textReadHook != NULL)
        textReadHook(text, TEXT_READ_INT, *value, NULL);
    return 1;
}

int readName(TextFile* text, char* name, int maxLength)
{
    skipSpace(text);
    int start = text->line;
    int length = 0, c = EOF;
    while (length < maxLength && (c = nextChar(text)) != EOF && !isspace(c))
        name[length++] = (char)c;
    if (length < maxLength)
        giveBack(text, c);
    name[length] = '\0';
    if (length == 0)
        return 0;
    text->valueLine = start;
    placeAt(text, start);
    keepValue(text, 0);
    if (textReadHook != NULL)
        textReadHook(text, TEXT_READ_NAME, 0, name);
    return 1;
}

int readRecordLetter(TextFile* text)
{
    int start = text->line;
    int c = nextChar(text);
    if (c == EOF)
        start = endLine(text);
    text->valueLine = start;
    placeAt(text, start);
    nameField(text, NULL, 0);
    if (text->kept != 0 && text->kept <= (int)keptFiles.size()) {
        keptFiles[text->kept - 1].recordStart = keptFiles[text->kept - 1].values.size();
        keepValue(text, c);
    }
    if (textReadHook != NULL)
        textReadHook(text, TEXT_READ_LETTER, c, NULL);
    return c;
}

int discardLine(TextFile* text)
{
    int c;
    while ((c = nextChar(text)) != EOF)
        if (c == '\n')
            return 1;
    placeAt(text, endLine(text));
    return 0;
}
