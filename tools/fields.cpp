// The meaning of each value of the content files, and where each stands.
#include "tools/fields.h"

#include <limits.h>
#include <string.h>

#include <map>

#include "content/content.h"
#include "content/textread.h"
#include "game/constants.h"
#include "game/records.h"
#include "graphics/graphics.h"

namespace {

const long long LIMIT = CONTENT_COORDINATE_LIMIT;

const FieldInfo table[] = {
    // An enemy (Enemies/*.txt), as loadEnemy reads it.
    {"graphic", 0, "graphic", "master graphic", 0, FIELD_TO_GRAPHICS},
    {"enemyID", 0, "enemy identifier", "number", INT_MIN, INT_MAX},
    {"speed", 0, "speed across", "pixels per frame", 0, LIMIT},
    {"speed", 1, "speed down", "pixels per frame", 0, LIMIT},
    {"state", 0, "life state", "state", INT_MIN, INT_MAX},
    {"weaponState", 0, "weapon state", "state", INT_MIN, INT_MAX},
    {"discharges", 0, "shot descriptions", "count", 0, MAX_DISCHARGE_DESCS},
    {"discharge", 0, "shot graphic", "master graphic", 0, FIELD_TO_GRAPHICS},
    {"discharge", 1, "shot attributes", "flags", INT_MIN, INT_MAX},
    {"discharge", 2, "shot x offset", "pixels", -LIMIT, LIMIT},
    {"discharge", 3, "shot y offset", "pixels", -LIMIT, LIMIT},
    {"discharge", 4, "shot x velocity", "pixels per frame", -LIMIT, LIMIT},
    {"discharge", 5, "shot y velocity", "pixels per frame", -LIMIT, LIMIT},
    {"discharge", 6, "shot damage", "health points", INT_MIN, INT_MAX},
    {"timers", 0, "timer delays", "count", INT_MIN, INT_MAX},
    {"timer", 0, "timer", "index", 0, MAX_TIMERS - 1},
    {"timer", 1, "timer delay", "frames", INT_MIN, INT_MAX},
    {"aiState", 0, "AI state", "state", INT_MIN, INT_MAX},
    {"routine", 0, "AI routine", "routine", 0, NUM_AI_CALLBACKS - 1},
    // A graphic description (Graphics/*.txt), as loadGraphic reads it.
    {"size", 0, "frame width", "pixels", 1, CONTENT_MAX_FRAME_SIDE},
    {"size", 1, "frame height", "pixels", 1, CONTENT_MAX_FRAME_SIDE},
    {"size", 2, "bits per pixel", "bits", 8, 8},
    {"size", 3, "colour key", "palette entry", 0, 255},
    {"boundingBox", 0, "box left", "pixels", -LIMIT, LIMIT},
    {"boundingBox", 1, "box top", "pixels", -LIMIT, LIMIT},
    {"boundingBox", 2, "box right", "pixels", -LIMIT, LIMIT},
    {"boundingBox", 3, "box bottom", "pixels", -LIMIT, LIMIT},
    {"attributes", 0, "attributes", "flags", INT_MIN, INT_MAX},
    {"type", 0, "type", "number", INT_MIN, INT_MAX},
    {"frame", 1, "frame", "index", 0, MAX_FRAMES - 1},
    {"frame", 2, "sheet column", "cells", 0, INT_MAX},
    {"frame", 3, "sheet row", "cells", 0, INT_MAX},
    {"frame", 4, "border", "pixels", 0, INT_MAX},
    {"animation", 1, "animation", "index", 0, MAX_ANIMATIONS - 1},
    {"animation", 2, "animation flags", "flags (1 loops)", INT_MIN, INT_MAX},
    {"animation", 3, "animation delay", "frames held, less one", INT_MIN, INT_MAX},
    {"animation", 4, "animation length", "frames", 0, MAX_ANIMATION_FRAMES},
    {"frameSequence", 0, "frame shown", "frame index", 0, MAX_FRAMES - 1},
    // The deployment orders (DeploymentOrders/DeploymentOrder1.dpo).
    {"order", 1, "enemy", "master enemy", 0, FIELD_TO_ENEMIES},
    {"order", 2, "delay", "seconds after the order before", 0, 0}, // the scheduler's: below
    {"order", 3, "x", "pixels", -LIMIT, LIMIT},
    {"order", 4, "y", "pixels", -LIMIT, LIMIT},
    // The master lists.
    {"count", 0, "count", "entries", 0, INT_MAX},
};

} // namespace

const FieldInfo* fieldInfo(const std::string& field, int nth)
{
    // A frame sequence's values are all frames; the others have a row each.
    if (field == "frameSequence")
        nth = 0;
    // The scheduler counts delay * framesPerSecond frames in an int.
    static FieldInfo delay = {"order",
                              2,
                              "delay",
                              "seconds after the order before",
                              -(INT_MAX / framesPerSecond),
                              INT_MAX / framesPerSecond};
    if (field == "order" && nth == 2)
        return &delay;
    for (const FieldInfo& f : table)
        if (field == f.field && nth == f.nth)
            return &f;
    return NULL;
}

std::vector<PlacedValue> placedValues(const std::string& file, const std::string& text)
{
    // Where each line starts, and its words' columns.
    std::vector<size_t> starts = {0};
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] == '\n')
            starts.push_back(i + 1);
    auto words = [&](int line) {
        std::vector<std::pair<size_t, size_t>> out; // start, length within the text
        if (line < 1 || line > (int)starts.size())
            return out;
        size_t i = starts[line - 1];
        size_t end = line < (int)starts.size() ? starts[line] : text.size();
        while (i < end) {
            while (i < end && strchr(" \t\r\n\v\f", text[i]) != NULL)
                i++;
            size_t b = i;
            while (i < end && strchr(" \t\r\n\v\f", text[i]) == NULL)
                i++;
            if (i > b)
                out.push_back({b, i - b});
        }
        return out;
    };
    std::vector<PlacedValue> out;
    const TextValue* values = NULL;
    int n = textValuesOf(file.c_str(), &values);
    std::map<int, int> onLine;                     // values read so far on each line
    std::map<std::pair<std::string, int>, int> in; // values so far of each field and naming
    for (int k = 0; k < n; k++) {
        const TextValue& v = values[k];
        PlacedValue p;
        p.line = v.line;
        p.field = v.field;
        p.record = v.record;
        p.nth = in[{p.field, v.naming}]++;
        std::vector<std::pair<size_t, size_t>> w = words(v.line);
        int at = onLine[v.line]++;
        p.column = at < (int)w.size() ? (int)(w[at].first - starts[v.line - 1]) + 1 : 0;
        p.text = at < (int)w.size() ? text.substr(w[at].first, w[at].second) : "";
        p.info = fieldInfo(p.field, p.nth);
        out.push_back(p);
    }
    return out;
}
