// mkcontent: builds Starlane's palette and sprite sheets from their text sources and checks
// that the checked-in content is what those sources make.
//
//   mkcontent build DATA_DIR   rewrite DATA_DIR/palette.pal and every
//                              DATA_DIR/Graphics/<name>.bmp from its source
//   mkcontent check DATA_DIR   the content checker's verdict on DATA_DIR (starlane-check): the
//                              game's loaders on its content files, and the sources rebuilt in
//                              memory and compared with the files on disk; one line per
//                              problem, exit 1 on any
//   mkcontent icon|icon-check|icon-web DATA_DIR OUT_DIR   the program's icon (tools/icon.cpp)
//
// The source formats are described in sheets.h.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/check.h"
#include "tools/sheets.h"
#include "tools/icon.h"

namespace fs = std::filesystem;

static int build(const fs::path& dataDir)
{
    std::vector<SourceOutput> outputs;
    std::vector<std::string> errors;
    if (!buildSources(dataDir, outputs, errors)) {
        for (const std::string& e : errors)
            fprintf(stderr, "%s\n", e.c_str());
        return 1;
    }
    for (const SourceOutput& o : outputs) {
        std::ofstream out(o.path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(o.bytes.data()), (std::streamsize)o.bytes.size());
        if (!out) {
            fprintf(stderr, "%s: cannot write\n", o.path.string().c_str());
            return 1;
        }
        printf("wrote %s (%zu bytes)\n", o.path.string().c_str(), o.bytes.size());
    }
    return 0;
}

static int check(const std::string& dataDir)
{
    CheckReport report;
    if (!checkContent(dataDir, dataDir, &report)) {
        printf("%s: error: cannot enter the content folder\n", dataDir.c_str());
        return 1;
    }
    for (const std::string& line : report.lines)
        printf("%s\n", line.c_str());
    if (!report.lines.empty())
        return 1;
    printf("mkcontent: the sources make the files on disk; %d graphics, %d enemies, %d orders read "
           "cleanly\n",
           report.graphics, report.enemies, report.orders);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && isIconCommand(argv[1]))
        return iconCommand(argv[1], argv[2], argv[3]);
    if (argc != 3 || (std::string(argv[1]) != "build" && std::string(argv[1]) != "check")) {
        fprintf(stderr, "usage: mkcontent build|check DATA_DIR\n");
        return 2;
    }
    return std::string(argv[1]) == "build" ? build(argv[2]) : check(argv[2]);
}
