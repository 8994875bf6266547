#include "tests/support/testsupport.h"

#include <stdio.h>
#include <sys/wait.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/headless.h"
#include "tests/support/world_reset.h"

void resetWorld(unsigned startTick)
{
    resetGameGlobals();
    headlessReset(startTick);
}

void GameTest::SetUp()
{
    char cwd[4096];
    oldDir = getcwd(cwd, sizeof(cwd)) ? cwd : ".";
    char tmpl[] = "/tmp/starlane-test-XXXXXX";
    char* made = mkdtemp(tmpl);
    ASSERT_NE(made, nullptr);
    dir = made;
    ASSERT_EQ(chdir(dir.c_str()), 0);
    resetWorld();
}

void GameTest::TearDown()
{
    resetWorld();
    if (chdir(oldDir.c_str()) != 0)
        return;
    std::string cmd = "rm -rf '" + dir + "'";
    if (system(cmd.c_str()) != 0)
        ADD_FAILURE() << "could not remove " << dir;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

void editFile(const std::string& path, const std::string& from, const std::string& to)
{
    std::string text = readFile(path);
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << path << " has no \"" << from << "\"";
    writeFile(path, text.replace(at, from.size(), to));
}

std::string errorText()
{
    return readFile("Error.txt");
}

void copyTree(const std::string& from, const std::string& to)
{
    std::string cmd = "cp -r '" + from + "/.' '" + to + "'";
    if (system(cmd.c_str()) != 0)
        ADD_FAILURE() << "could not copy " << from;
}

std::string sourcePath(const std::string& relative)
{
    return std::string(STARLANE_SOURCE_DIR) + "/" + relative;
}

std::string commandOutput(const std::string& command)
{
    FILE* p = popen(command.c_str(), "r");
    if (p == NULL)
        return "";
    std::string out;
    char buf[4096];
    while (fgets(buf, sizeof(buf), p))
        out += buf;
    pclose(p);
    return out;
}

CommandRun runCommand(const std::string& command)
{
    CommandRun run = {-1, {}};
    FILE* p = popen(command.c_str(), "r");
    if (p == NULL)
        return run;
    char buffer[4096];
    while (fgets(buffer, sizeof(buffer), p)) {
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        run.lines.push_back(line);
    }
    int status = pclose(p);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

long statsMember(const std::string& json, const std::string& name)
{
    std::string key = "\"" + name + "\": ";
    size_t at = json.find(key);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no " << name << " in " << json;
        return -999;
    }
    return strtol(json.c_str() + at + key.size(), NULL, 10);
}

std::string shippedContentPath()
{
    return sourcePath("tests/shipped");
}
