// starlane-bench-present: what showing a frame costs on the SDL2 backend. The palette
// conversion into the streaming texture (lock, convert, unlock) of a full-load game frame
// and of noise, beside a plain copy of as many bytes as the 32-bit picture has; and a
// whole Flip, the renderer's copy and present included (no vsync).
//
// Runs the game on a scratch copy of the content, on SDL's dummy video driver (software
// renderer) unless SDL_VIDEODRIVER names another.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "platform/backend_sdl.h"
#include "display/display.h"
#include "game/game.h"
#include "bench/game_setup.h"
#include "bench/report.h"
#include "shell/errorlog.h"
#include "shell/shell.h"

namespace {

const int WIDTH = 800, HEIGHT = 600;
int displayUp = 0;
const unsigned char* gamePicture = NULL; // the primary surface's memory
int gamePitch = 0;
std::vector<unsigned char> noise;

// The game started on the real content with its pools full and one frame played:
// both surfaces of the flip chain then hold that frame's picture.
int bringUpGame()
{
    if (displayUp)
        return 1;
    openErrorLog("Error.txt");
    if (!openGameWindow() || !gameInit() || !fillPools() || !gameMain())
        return 0;
    int backPitch;
    unsigned char* back = lockBackBuffer(&backPitch);
    if (back == NULL)
        return 0;
    memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    if (FAILED(lpddsPrimary->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL)))
        return 0;
    gamePicture = (const unsigned char*)ddsd.lpSurface;
    gamePitch = ddsd.lPitch;
    for (int y = 0; y < HEIGHT; y++)
        memcpy(back + (size_t)y * backPitch, gamePicture + (size_t)y * gamePitch, WIDTH);
    lpddsPrimary->Unlock(NULL); // the memory stays put; only flips move it
    unlockBackBuffer();
    // Noise: every pixel its own palette entry, the worst case for any lookup table.
    noise.resize((size_t)gamePitch * HEIGHT);
    srand(1);
    for (unsigned char& pixel : noise)
        pixel = (unsigned char)(rand() >> 7);
    displayUp = 1;
    return 1;
}

void convert(benchmark::State& state, const unsigned char* pixels)
{
    const unsigned char* palette = (const unsigned char*)paletteTable;
    for (auto _ : state) {
        if (!backendConvertPicture(pixels, gamePitch, WIDTH, HEIGHT, palette)) {
            state.SkipWithError("no texture to convert into");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * WIDTH * HEIGHT * 4);
}

void BM_PresentConversion(benchmark::State& state)
{
    if (!bringUpGame()) {
        state.SkipWithError("the game did not come up (see Error.txt)");
        return;
    }
    convert(state, gamePicture);
}
BENCHMARK(BM_PresentConversion)->Unit(benchmark::kMicrosecond);

void BM_PresentConversionNoise(benchmark::State& state)
{
    if (!bringUpGame()) {
        state.SkipWithError("the game did not come up (see Error.txt)");
        return;
    }
    convert(state, noise.data());
}
BENCHMARK(BM_PresentConversionNoise)->Unit(benchmark::kMicrosecond);

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
    if (!bringUpGame()) {
        state.SkipWithError("the game did not come up (see Error.txt)");
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
        {"presentation: palette conversion (SDL2)", "BM_PresentConversion", "BM_TrueColourMemcpy",
         350, 2},
        {"  the same, a picture of noise (worst case)", "BM_PresentConversionNoise",
         "BM_TrueColourMemcpy", 350, 2},
        {"  floor: memcpy of the 1.92 MB picture", "BM_TrueColourMemcpy", NULL, 0, 0},
        {"  whole Flip, dummy software renderer", "BM_WholeFlip", "BM_TrueColourMemcpy", 0, 0},
    };
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!enterScratchContent()) {
        perror("starlane-bench-present: scratch copy of the content");
        return 1;
    }
    int result = benchMain(argc, argv, rows, sizeof(rows) / sizeof(rows[0]));
    if (displayUp)
        gameShutDown();
    leaveScratchContent();
    return result;
}
