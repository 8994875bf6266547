// Start-up on the real content: gameInit and the first frame, up to its flip (the frame's
// Sleep is virtual on the headless backend).
#include <benchmark/benchmark.h>


#include "game/game.h"
#include "bench/game_setup.h"
#include "bench/headless_game.h"
#include "platform/headless.h"
#include "bench/report.h"

namespace {

void BM_StartUp(benchmark::State& state)
{
    int failed = 0;
    for (auto _ : state) {
        if (!prepareGame(1000)) {
            failed = 1;
            break;
        }
        double start = threadCpuSeconds();
        int ok = gameInit() && gameMain() && headlessPresentCount() == 1;
        double end = threadCpuSeconds();
        state.SetIterationTime(end - start);
        stopGame();
        if (!ok) {
            failed = 1;
            break;
        }
    }
    if (failed || errorLogBytes() != 0)
        state.SkipWithError("start-up failed (see Error.txt)");
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
