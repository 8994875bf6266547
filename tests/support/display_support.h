// Helpers for tests that need the display: palette files written on the spot (the window
// comes from the shell's openGameWindow).
#ifndef STARLANE_TESTS_DISPLAY_SUPPORT_H
#define STARLANE_TESTS_DISPLAY_SUPPORT_H

#include <string>

// The palette the tests write: entry i is (i, 255 - i, i / 2, 0).
std::string testPaletteBytes();
void writeTestPalette(const std::string& path);

#endif
