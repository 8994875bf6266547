// A 32 x 32 colour-keyed sprite blitted onto the back buffer through its clipper, as the
// game draws every sprite.
#include <benchmark/benchmark.h>

#include <windows.h>
#include <ddraw.h>

#include "display/display.h"
#include "bench/game_setup.h"
#include "bench/headless_game.h"

namespace {

void BM_KeyedSpriteBlit(benchmark::State& state)
{
    LPDIRECTDRAWSURFACE7 sprite = NULL;
    if (startGame(1000))
        sprite = createDDSurface(32, 32, DDSCAPS_VIDEOMEMORY, 0);
    if (sprite == NULL) {
        state.SkipWithError("no display or no surface (see Error.txt)");
        stopGame();
        return;
    }
    // A ship-like sprite: about a third of it transparent.
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
    if (errorLogBytes() != 0)
        state.SkipWithError("a blit failed (see Error.txt)");
    stopGame();
}
BENCHMARK(BM_KeyedSpriteBlit)->Unit(benchmark::kNanosecond);

} // namespace
