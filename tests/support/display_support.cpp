#include "display_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "shell/shell.h"
#include "testsupport.h"

void openTestWindow()
{
    mainInstance = GetModuleHandleA(NULL);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = mainInstance;
    wc.lpszClassName = "Test Window Class";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    mainWindow = CreateWindowExA(0, "Test Window Class", "Test", WS_POPUP | WS_VISIBLE, 0, 0, 640,
                                 480, NULL, NULL, mainInstance, NULL);
    ASSERT_NE(mainWindow, nullptr);
}

std::string testPaletteBytes()
{
    std::string bytes;
    for (int i = 0; i < 256; i++) {
        bytes += (char)i;
        bytes += (char)(255 - i);
        bytes += (char)(i / 2);
        bytes += (char)0;
    }
    return bytes;
}

void writeTestPalette(const std::string& path)
{
    writeFile(path, testPaletteBytes());
}
