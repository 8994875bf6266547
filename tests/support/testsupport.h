// Shared test helpers: a fresh world for every test, a scratch working directory,
// and readers for the files the game writes.
#ifndef STARLANE_TESTS_SUPPORT_H
#define STARLANE_TESTS_SUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Every game and platform global back to its state at process start (clock at startTick).
void resetWorld(unsigned startTick = 1000);

// Runs the test in a new empty directory (removed afterwards) and resets the world.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string dir;
    std::string oldDir;
};

std::string readFile(const std::string& path); // "" when missing
void writeFile(const std::string& path, const std::string& content);
// Replaces the first `from` in the file by `to`; a test failure when the file has no `from`.
void editFile(const std::string& path, const std::string& from, const std::string& to);
std::string errorText();                                       // contents of ./Error.txt
void copyTree(const std::string& from, const std::string& to); // cp -r
std::string sourcePath(const std::string& relative);           // path inside the source tree
// The tests' own copy of the content as shipped: tests that put faults into known lines work on
// it, so that a modder's data/ cannot break them.
std::string shippedContentPath();
std::string commandOutput(const std::string& command); // what a shell command prints

// A shell command's standard output, line by line without the newlines, and its exit code
// (-1 when it did not exit by itself).
struct CommandRun {
    int exitCode;
    std::vector<std::string> lines;
};
CommandRun runCommand(const std::string& command);
long statsMember(const std::string& json, const std::string& name); // a number of --stats

#endif
