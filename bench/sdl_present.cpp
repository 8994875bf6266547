// starlane-bench-present: what showing a frame costs on the SDL2 backend. The palette
// conversion into the streaming texture (lock, convert, unlock) beside a plain copy of
// as many bytes as the 32-bit picture has; and a whole Flip, the renderer's copy and
// present included (no vsync).
//
// Runs in a scratch directory with its own palette, on SDL's dummy video driver (software
// renderer) unless SDL_VIDEODRIVER names another.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "backend_sdl.h"
#include "display/display.h"
#include "report.h"
#include "shell/shell.h"

namespace {

const int WIDTH = 800, HEIGHT = 600;
int displayUp = 0;

// The game's own start-up of the display, once for all benchmarks, with a back buffer
// of noise: every pixel its own palette entry, the worst case for any lookup table.
int bringUpDisplay()
{
    if (displayUp)
        return 1;
    PALETTEENTRY table[256];
    for (int i = 0; i < 256; i++)
        table[i] = PALETTEENTRY{(BYTE)i, (BYTE)(255 - i), (BYTE)(i * 7), 0};
    if (!savePalette("palette.pal", table))
        return 0;
    mainInstance = GetModuleHandleA(NULL);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = mainInstance;
    wc.lpszClassName = "Bench Window Class";
    if (!RegisterClassExA(&wc))
        return 0;
    mainWindow = CreateWindowExA(0, "Bench Window Class", "bench", WS_POPUP | WS_VISIBLE, 0, 0, WIDTH,
                                 HEIGHT, NULL, NULL, mainInstance, NULL);
    if (mainWindow == NULL || !ddInit(WIDTH, HEIGHT, 8))
        return 0;
    int pitch;
    unsigned char* memory = lockBackBuffer(&pitch);
    if (memory == NULL)
        return 0;
    srand(1);
    for (int y = 0; y < HEIGHT; y++)
        for (int x = 0; x < WIDTH; x++)
            memory[y * pitch + x] = (unsigned char)(rand() >> 7);
    unlockBackBuffer();
    displayUp = 1;
    return 1;
}

void BM_PresentConversion(benchmark::State& state)
{
    if (!bringUpDisplay()) {
        state.SkipWithError("display did not come up (see Error.txt)");
        return;
    }
    int pitch;
    const unsigned char* pixels = lockBackBuffer(&pitch);
    unlockBackBuffer();   // the memory stays put; nothing draws on it meanwhile
    const unsigned char* palette = (const unsigned char*)paletteTable;
    for (auto _ : state) {
        if (!backendConvertPicture(pixels, pitch, WIDTH, HEIGHT, palette)) {
            state.SkipWithError("no texture to convert into");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * WIDTH * HEIGHT * 4);
}
BENCHMARK(BM_PresentConversion)->Unit(benchmark::kMicrosecond);

void BM_TrueColourMemcpy(benchmark::State& state)
{
    const size_t bytes = (size_t)WIDTH * HEIGHT * 4;
    std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_TrueColourMemcpy)->Unit(benchmark::kMicrosecond);

void BM_WholeFlip(benchmark::State& state)
{
    if (!bringUpDisplay()) {
        state.SkipWithError("display did not come up (see Error.txt)");
        return;
    }
    for (auto _ : state)
        flipSurfaces();
    state.SetBytesProcessed(state.iterations() * WIDTH * HEIGHT * 4);
}
BENCHMARK(BM_WholeFlip)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    static const TableRow rows[] = {
        {"presentation: palette conversion (SDL2)", "BM_PresentConversion", "BM_TrueColourMemcpy", 350, 2},
        {"  floor: memcpy of the 1.92 MB picture", "BM_TrueColourMemcpy", NULL, 0, 0},
        {"  whole Flip, dummy software renderer", "BM_WholeFlip", "BM_TrueColourMemcpy", 0, 0},
    };
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    char dir[] = "/tmp/starlane-bench-XXXXXX";
    if (mkdtemp(dir) == NULL || chdir(dir) != 0) {
        perror("starlane-bench-present: scratch directory");
        return 1;
    }
    int result = benchMain(argc, argv, rows, sizeof(rows) / sizeof(rows[0]));
    ddShutDown();
    unlink("palette.pal");
    unlink("Error.txt");
    if (chdir("/") == 0)
        rmdir(dir);
    return result;
}
