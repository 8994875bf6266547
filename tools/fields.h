// What each value of a content file is: its field as the loaders name it, what it is called,
// its unit and the range the loaders take. One table for every tool that shows a value's
// meaning (the studio's hover, its forms and its timeline); the bounds are the loaders' own
// constants, so the table cannot say other than they do.
#ifndef STARLANE_TOOLS_FIELDS_H
#define STARLANE_TOOLS_FIELDS_H

#include <string>
#include <vector>

// Bounds that are the folder's own: the graphics and enemies its lists load.
#define FIELD_TO_GRAPHICS (-1) // the highest master graphic index
#define FIELD_TO_ENEMIES (-2)  // the highest master enemy index

struct FieldInfo {
    const char* field; // as the loader names it (textread.h nameField, nameRecord)
    int nth;           // the value's place in its record or field, from 0
    const char* name;  // what a person calls it
    const char* unit;
    long long min, max; // max may be FIELD_TO_GRAPHICS or FIELD_TO_ENEMIES
};

// The table's row for the nth value of `field`; NULL when the value is not a number the
// loaders bound (a name, a record letter).
const FieldInfo* fieldInfo(const std::string& field, int nth);

// A value of a content file, where it stands and what it is.
struct PlacedValue {
    int line, column;  // from 1; the column in bytes
    std::string field; // the loader's name
    int record, nth;   // which record of that field, which of its values
    std::string text;  // as written
    const FieldInfo* info;
};

// Every value the loaders read from `file` (its name as the lists give it) in the last reading,
// with its column found in `text`, the file's bytes: the nth value read on a line is the nth
// word of that line.
std::vector<PlacedValue> placedValues(const std::string& file, const std::string& text);

#endif
