// starlane-check: checks a content folder for the game and reports every problem as
// FILE:LINE: message on standard output, then a summary line on standard error; exits 0 when
// there is no problem, 1 otherwise, 2 on a usage mistake.
//
//   starlane-check [DIR]          (DIR defaults to the current folder)
//   starlane-check --list [DIR]   every master graphic and every enemy, as the game loads them
//
// Lines marked "Error.txt:" are what the game itself logs on starting from DIR; "loader:"
// lines come from each loader run on its own, so that a refused file hides none after it;
// "warning:" lines are what the game takes but a modder would not want.
#include <stdio.h>
#include <string.h>

#include <string>

#include "tools/check.h"
#include "tools/listing.h"

static int usage()
{
    fprintf(stderr,
            "usage: starlane-check [--list] [DIR]   (checks or lists the content folder DIR, "
            "by default the current one)\n");
    return 2;
}

int main(int argc, char** argv)
{
    int list = argc > 1 && strcmp(argv[1], "--list") == 0;
    int first = list ? 2 : 1;
    if (argc > first + 1 || (argc == first + 1 && argv[first][0] == '-'))
        return usage();
    std::string dir = argc == first + 1 ? argv[first] : ".";
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();

    if (list) {
        int ok = listContent(dir);
        if (!ok)
            fprintf(stderr,
                    "starlane-check: %s: the content does not load; run starlane-check %s\n",
                    dir.c_str(), dir.c_str());
        return ok ? 0 : 1;
    }
    CheckReport report;
    if (!checkContent(dir, dir, &report)) {
        printf("%s: error: cannot enter the content folder\n", dir.c_str());
        return 1;
    }
    for (const std::string& line : report.lines)
        printf("%s\n", line.c_str());
    size_t problems = report.lines.size();
    if (problems == 0) {
        fprintf(stderr, "starlane-check: %s: clean (%d graphics, %d enemies, %d orders)\n",
                dir.c_str(), report.graphics, report.enemies, report.orders);
        return 0;
    }
    fprintf(stderr, "starlane-check: %s: %zu problem%s (%d warning%s); %s\n", dir.c_str(), problems,
            problems == 1 ? "" : "s", report.warnings, report.warnings == 1 ? "" : "s",
            report.started
                ? (report.gameLines ? "the game starts but logs errors" : "the game starts")
                : "the game stops at start-up");
    return 1;
}
