// The process entry on hosts without Windows: hand over to the game's WinMain.
#include <windows.h>

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    return WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
}
