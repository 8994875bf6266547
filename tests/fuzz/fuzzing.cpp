#include "tests/fuzz/fuzzing.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

static char workDir[] = "/tmp/starlane-fuzz-XXXXXX";
static char startDir[PATH_MAX];

static void removeWorkDir()
{
    if (chdir(startDir) != 0)
        return;
    std::string command = std::string("rm -rf '") + workDir + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", workDir);
}

// Inputs run in the working directory, so a crash would write its artifact there, where it is
// removed with the directory: unless told otherwise, artifacts go to the starting directory.
static void keepArtifactsHere(int* argc, char*** argv)
{
    for (int i = 1; i < *argc; i++)
        if (strncmp((*argv)[i], "-artifact_prefix=", 17) == 0)
            return;
    static std::string prefix;
    prefix = std::string("-artifact_prefix=") + startDir + "/";
    char** args = (char**)calloc((size_t)*argc + 2, sizeof(char*));
    if (args == NULL)
        return;
    memcpy(args, *argv, (size_t)*argc * sizeof(char*));
    args[*argc] = (char*)prefix.c_str();
    *argc += 1;
    *argv = args; // lives as long as the process, like the original
}

void fuzzStart(int* argc, char*** argv, int level)
{
    if (getcwd(startDir, sizeof(startDir)) == NULL || mkdtemp(workDir) == NULL) {
        perror("fuzz working directory");
        exit(1);
    }
    keepArtifactsHere(argc, argv);
    atexit(removeWorkDir);
    if (chdir(workDir) != 0 || !loaderWorldUp(STARLANE_SOURCE_DIR "/data", level)) {
        fprintf(stderr, "could not set up the world in %s (see Error.txt there)\n", workDir);
        exit(1);
    }
    if (chdir(startDir) != 0)
        exit(1);
}

void fuzzRun(int (*feed)(const uint8_t*, size_t), const uint8_t* data, size_t size)
{
    if (chdir(workDir) != 0)
        abort();
    if (feed(data, size) == LOADER_INCONSISTENT) {
        fprintf(stderr, "what was loaded contradicts itself\n");
        abort();
    }
    int left = loaderObjectsLeft();
    if (left != 0) {
        fprintf(stderr, "%d DirectDraw object(s) left behind by this input\n", left);
        abort();
    }
    if (chdir(startDir) != 0)
        abort();
}
