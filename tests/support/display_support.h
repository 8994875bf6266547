// Helpers for tests that need the display or the keyboard: a window for the
// cooperative levels, and palette files written on the spot.
#ifndef STARLANE_TESTS_DISPLAY_SUPPORT_H
#define STARLANE_TESTS_DISPLAY_SUPPORT_H

#include <string>

// Registers the game's window class and opens its window; sets mainInstance and mainWindow.
void openTestWindow();

// The palette the tests write: entry i is (i, 255 - i, i / 2, 0).
std::string testPaletteBytes();
void writeTestPalette(const std::string& path);

#endif
