// The one reader of the content's text formats. The game's loaders, the content checker and
// the content builder all read through it, so they cannot read a file differently.
//
// Values are read as the C library's scanf reads "%d" and "%50s" (blanks and line breaks before
// them skipped, an optional sign, decimal digits), record letters as a plain character read,
// and the rest of a line is dropped up to and including its newline. Files are read the same on
// every system: opened in binary, CR LF is taken as one line break. A number that does not fit
// an int and a byte-order mark are refused with their own line in the log.
#ifndef STARLANE_CONTENT_TEXTREAD_H
#define STARLANE_CONTENT_TEXTREAD_H

#include <stdio.h>

#define TEXT_PATH_SIZE 512 // longest path a content name resolves to, with its terminator

struct TextFile {
    FILE* file;
    char name[TEXT_PATH_SIZE]; // the path as opened
    int line;                  // line of the next character, from 1
    int valueLine;             // line on which the last value read began
    int ahead;                 // a character given back, or TEXT_NOTHING_AHEAD
    int last;                  // the character read last
    TextFile* outer;           // the text file that was being read when this one was opened
    const char* field;         // what the values read next are, as the loader named it
    int record;                // and of which record
    int naming;                // namings so far in this reading
    int kept;                  // 1 + the index of its kept places; 0 when none are kept
};

#define TEXT_NOTHING_AHEAD (-2)

// Where the reading was: the file and line of the value read last. When a file closes, the
// place goes back to the value last read in the file that named it.
struct TextPlace {
    char file[TEXT_PATH_SIZE]; // "" before anything was read
    int line;
};
extern TextPlace textPlace;

// What resolving a name had to forgive; other tools are not so forgiving.
#define NAME_FIX_BACKSLASH 1 // '\' taken as a folder separator
#define NAME_FIX_CASE 2      // found only when letter case is ignored
// Not forgiven but followed: an absolute name, or one whose ".." climbs out of the folder,
// names a file that only this machine has there.
#define NAME_LEAVES_FOLDER 4
// Called, when set, for every name that needed a fix or leaves the folder (the checker warns
// about them).
extern void (*nameFixHook)(const char* written, const char* found, int fixes);

// Called, when set, after every number, name and record letter read (`value` the number or
// the letter): the checker learns from it where each record of a file stands.
#define TEXT_READ_INT 0
#define TEXT_READ_NAME 1
#define TEXT_READ_LETTER 2
extern void (*textReadHook)(const TextFile* text, int kind, int value, const char* name);

// Where each value stood, for the tools that point at one (the checker, the studio's markers).
// The loaders name what they read: every value read after nameField() belongs to that field of
// that record (a frame's, an animation's, a shot's or an order's number; 0 in a file's head).
// A record letter begins a record that has no name yet; nameRecord() names it from its letter
// on. While places are kept, the reader notes every value with its line and its name, and a
// file opened again starts afresh; the game keeps none, and naming costs it a few stores.
struct TextValue {
    const char* field; // "" when the loader named none
    int record;
    int naming; // which naming of the reading it fell under, from 1
    int line;
    int value; // the number or the letter; 0 for a name
};
void nameField(TextFile* text, const char* field, int record);
void nameRecord(TextFile* text, const char* field, int record);
void keepTextPlaces(int on); // 1: keep from now on, afresh; 0: no more (what was kept stays)
// The values of the last reading of `file` (the path as opened), in the order read.
int textValuesOf(const char* file, const TextValue** values);
// The nth value of the last record so named in the last reading of `file`; 0 when none.
int textFieldPlace(const char* file, const char* field, int record, int nth, TextValue* found);

// A name from a content file as a path of this system: '\' separates folders, and a part that
// matches no file exactly matches the first one whose name differs only in letter case.
// Returns 0 when the result does not fit `size`.
int resolveContentName(const char* name, char* out, int size);

int openTextFile(TextFile* text, const char* name); // 1 ok; 0 missing, unreadable or with a BOM
int closeTextFile(TextFile* text);                  // 1 ok
int readInt(TextFile* text, int* value);            // "%d"; 0 when none or beyond an int
int readName(TextFile* text, char* name, int maxLength); // "%<maxLength>s"; holds maxLength + 1
int readRecordLetter(TextFile* text);                    // next character as it stands, or EOF
int skipSpace(TextFile* text);                           // blanks and line breaks; always 1
int discardLine(TextFile* text); // through the next newline; 0 when the file ends first

#endif
