// The folder's picture sources made into files in memory, and compared with those on disk.
#include "tools/sheets.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tools/colors.h"
#include "tools/sheet.h"
#include "tools/source_text.h"

namespace fs = std::filesystem;

int buildSources(const fs::path& dataDir, std::vector<SourceOutput>& outputs,
                 std::vector<std::string>& errors)
{
    Palette pal;
    if (!loadColours(dataDir / "palette.colors", pal, errors))
        return 0;
    outputs.push_back({dataDir / "palette.pal", dataDir / "palette.colors", paletteFile(pal)});
    std::vector<fs::path> sheets;
    std::error_code ec;
    for (fs::directory_iterator it(dataDir / "Graphics", ec), end; !ec && it != end;
         it.increment(ec))
        if (it->path().extension() == ".sheet")
            sheets.push_back(it->path());
    if (ec) {
        errors.push_back((dataDir / "Graphics").string() + ": cannot list (" + ec.message() + ")");
        return 0;
    }
    std::sort(sheets.begin(), sheets.end());
    int ok = 1;
    long long pixelsLeft = SHEETS_MAX_PIXEL_BYTES;
    for (const fs::path& s : sheets) {
        std::vector<uint8_t> bmp;
        fs::path target = s;
        target.replace_extension(".bmp");
        if (!buildSheet(s, pal, bmp, errors, &pixelsLeft)) {
            ok = 0;
            if (pixelsLeft < 0)
                break;
            continue;
        }
        outputs.push_back({target, s, bmp});
    }
    return ok;
}

void compareSources(const fs::path& dataDir, const std::vector<SourceOutput>& outputs,
                    std::vector<std::string>& problems)
{
    std::error_code ec;
    for (const SourceOutput& o : outputs) {
        std::string disk;
        std::string problem;
        if (!readSource(o.path, disk, problem) && problem == "cannot read") {
            problems.push_back(o.path.string() + ": missing (run mkcontent build)");
            continue;
        }
        if (disk.size() == o.bytes.size() &&
            std::equal(o.bytes.begin(), o.bytes.end(), disk.begin(),
                       [](uint8_t a, char b) { return a == (uint8_t)b; }))
            continue;
        // Only a file that differs is stale: a fresh checkout gives the files any order in time.
        int older = fs::last_write_time(o.path, ec) < fs::last_write_time(o.source, ec) && !ec;
        problems.push_back(o.path.string() +
                           (older ? ": older than its source " + o.source.filename().string()
                                  : std::string(": differs from its source")) +
                           " (run mkcontent build)");
    }
    // A sheet picture without a source could not be rebuilt.
    for (fs::directory_iterator it(dataDir / "Graphics", ec), end; !ec && it != end;
         it.increment(ec)) {
        fs::path source = it->path();
        source.replace_extension(".sheet");
        if (it->path().extension() == ".bmp" && !fs::exists(source, ec))
            problems.push_back(it->path().string() + ": no .sheet source beside it");
    }
}
