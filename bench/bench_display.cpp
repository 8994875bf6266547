// What presenting and drawing cost on the stand-in: a whole frame shown through the SDL
// backend (palette lookup, texture upload, present; no vsync), a plain copy of as many
// bytes as the 32-bit picture has, and a colour-keyed sprite blit through the clipper.
//
// Runs in a scratch directory with its own palette. Without a display it picks SDL's
// dummy video driver (software renderer); set SDL_VIDEODRIVER to measure another.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "display/display.h"
#include "shell/shell.h"

namespace {

int displayUp = 0;

// The game's own start-up of the display, once for all benchmarks.
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
    mainWindow = CreateWindowExA(0, "Bench Window Class", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                 NULL, NULL, mainInstance, NULL);
    if (mainWindow == NULL || !ddInit(800, 600, 8))
        return 0;
    displayUp = 1;
    return 1;
}

void BM_FlipFrame(benchmark::State& state)
{
    if (!bringUpDisplay()) {
        state.SkipWithError("display did not come up (see Error.txt)");
        return;
    }
    int pitch;
    unsigned char* memory = lockBackBuffer(&pitch);
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            memory[y * pitch + x] = (unsigned char)(x ^ y);
    unlockBackBuffer();
    for (auto _ : state)
        flipSurfaces();
    state.SetBytesProcessed(state.iterations() * 800 * 600);
}
BENCHMARK(BM_FlipFrame)->Unit(benchmark::kMicrosecond);

void BM_MemcpyTrueColourFrame(benchmark::State& state)
{
    const size_t bytes = 800 * 600 * 4;
    std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_MemcpyTrueColourFrame)->Unit(benchmark::kMicrosecond);

void BM_KeyedSpriteBlit(benchmark::State& state)
{
    if (!bringUpDisplay()) {
        state.SkipWithError("display did not come up (see Error.txt)");
        return;
    }
    LPDIRECTDRAWSURFACE7 sprite = createDDSurface(32, 32, DDSCAPS_VIDEOMEMORY, 0);
    unsigned char pixels[32 * 32];
    for (int i = 0; i < 32 * 32; i++)
        pixels[i] = (i % 32 + i / 32) % 3 == 0 ? 0 : (unsigned char)(i & 255);
    copyBitmapToSurface(pixels, sprite, 32, 32, 8);
    // Positions across the screen, the last partly off its right edge.
    const int xs[4] = {0, 300, 600, 790};
    int n = 0;
    for (auto _ : state) {
        drawSurfaceToBackBuffer(sprite, xs[n & 3], 100 + (n & 7) * 50, 32, 32, 1);
        n++;
    }
    sprite->Release();
}
BENCHMARK(BM_KeyedSpriteBlit)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char** argv)
{
    if (getenv("DISPLAY") == NULL && getenv("WAYLAND_DISPLAY") == NULL)
        setenv("SDL_VIDEODRIVER", "dummy", 0);
    char dir[] = "/tmp/starlane-bench-XXXXXX";
    if (mkdtemp(dir) == NULL || chdir(dir) != 0) {
        perror("scratch directory");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    ddShutDown();
    benchmark::Shutdown();
    unlink("palette.pal");
    unlink("Error.txt");
    if (chdir("/") == 0)
        rmdir(dir);
    return 0;
}
