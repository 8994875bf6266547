// One frame of the game at full load (100 shots, 15 enemies, 10 power-ups, 150 stars) on
// the headless backend, and the floor of the memory work such a frame cannot avoid:
// clearing the back buffer once and copying each drawn sprite's pixels once.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "game/game.h"
#include "game/world.h"
#include "bench/game_setup.h"
#include "bench/headless_game.h"
#include "platform/headless.h"
#include "bench/report.h"

namespace {

const unsigned RANDOM_SEED = 4242;

// Everything a frame changes, so each measured frame starts from the same full world.
struct SavedWorld {
    Discharge discharges[MAX_DISCHARGES];
    Enemy enemies[MAX_ENEMIES];
    PowerUp powerUps[MAX_POWERUPS];
    int numDischarges, numEnemies, numPowerUps;
    Player player;
    Star stars[STAR_LAYERS][STARS_PER_LAYER];
    Graphic overlay;
    int deploymentState, currentDeploymentOrder;
    Timer deploymentTimer;
};

SavedWorld saved;

void saveWorld()
{
    for (int i = 0; i < MAX_DISCHARGES; i++)
        saved.discharges[i] = *discharges[i];
    for (int i = 0; i < MAX_ENEMIES; i++)
        saved.enemies[i] = *enemies[i];
    for (int i = 0; i < MAX_POWERUPS; i++)
        saved.powerUps[i] = *powerUps[i];
    saved.numDischarges = numActiveDischarges;
    saved.numEnemies = numActiveEnemies;
    saved.numPowerUps = numActivePowerUps;
    saved.player = player;
    memcpy(saved.stars, stars, sizeof(stars));
    saved.overlay = overlayGraphic;
    saved.deploymentState = deploymentState;
    saved.currentDeploymentOrder = currentDeploymentOrder;
    saved.deploymentTimer = deploymentTimer;
}

void restoreWorld()
{
    for (int i = 0; i < MAX_DISCHARGES; i++)
        *discharges[i] = saved.discharges[i];
    for (int i = 0; i < MAX_ENEMIES; i++)
        *enemies[i] = saved.enemies[i];
    for (int i = 0; i < MAX_POWERUPS; i++)
        *powerUps[i] = saved.powerUps[i];
    numActiveDischarges = saved.numDischarges;
    numActiveEnemies = saved.numEnemies;
    numActivePowerUps = saved.numPowerUps;
    player = saved.player;
    memcpy(stars, saved.stars, sizeof(stars));
    overlayGraphic = saved.overlay;
    deploymentState = saved.deploymentState;
    currentDeploymentOrder = saved.currentDeploymentOrder;
    deploymentTimer = saved.deploymentTimer;
    srand(RANDOM_SEED);
}

int fullWorld()
{
    if (!startGame(1000) || !fillPools())
        return 0;
    saveWorld();
    return 1;
}

int poolsFull()
{
    return numActiveDischarges == MAX_DISCHARGES && numActiveEnemies == MAX_ENEMIES &&
           numActivePowerUps == MAX_POWERUPS;
}

void BM_FrameFullLoad(benchmark::State& state)
{
    if (!fullWorld()) {
        state.SkipWithError("the full world could not be set up (see Error.txt)");
        stopGame();
        return;
    }
    int sleepsBefore = headlessSleepCount();
    int notFull = 0;
    for (auto _ : state) {
        restoreWorld();
        double start = threadCpuSeconds();
        gameMain();
        double end = threadCpuSeconds();
        state.SetIterationTime(end - start);
        notFull += !poolsFull();
    }
    // Every frame ended in its (virtual) Sleep, and the world stayed full and quiet.
    if (headlessSleepCount() - sleepsBefore != (int)state.iterations())
        state.SkipWithError("a frame did not reach its Sleep");
    else if (notFull)
        state.SkipWithError("a frame emptied a pool");
    else if (errorLogBytes() != 0)
        state.SkipWithError("the frame wrote to Error.txt");
    stopGame();
}
BENCHMARK(BM_FrameFullLoad)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same frame's unavoidable memory work: one clear, and each sprite the frame draws
// copied once, row by row, into a buffer as large as the back buffer.
void BM_FrameFloor(benchmark::State& state)
{
    if (!fullWorld()) {
        state.SkipWithError("the full world could not be set up (see Error.txt)");
        stopGame();
        return;
    }
    struct Sprite {
        int x, y, width, height;
    };
    std::vector<Sprite> sprites;
    auto add = [&](const Graphic& g) {
        if (g.visible)
            sprites.push_back(Sprite{g.x, g.y, g.width, g.height});
    };
    for (int i = 0; i < numActiveDischarges; i++)
        add(discharges[i]->graphic);
    for (int i = 0; i < numActiveEnemies; i++)
        add(enemies[i]->graphic);
    for (int i = 0; i < numActivePowerUps; i++)
        add(powerUps[i]->graphic);
    add(player.graphic);
    add(overlayGraphic);
    stopGame();

    const int width = 800, height = 600;
    std::vector<unsigned char> screen((size_t)width * height);
    std::vector<std::vector<unsigned char>> pixels;
    for (const Sprite& s : sprites)
        pixels.emplace_back((size_t)s.width * s.height, (unsigned char)7);
    for (auto _ : state) {
        memset(screen.data(), 0, screen.size());
        for (size_t i = 0; i < sprites.size(); i++) {
            const Sprite& s = sprites[i];
            int x0 = s.x < 0 ? 0 : s.x, x1 = s.x + s.width > width ? width : s.x + s.width;
            int y0 = s.y < 0 ? 0 : s.y, y1 = s.y + s.height > height ? height : s.y + s.height;
            for (int y = y0; y < y1 && x0 < x1; y++)
                memcpy(&screen[(size_t)y * width + x0],
                       &pixels[i][(size_t)(y - s.y) * s.width + (x0 - s.x)], x1 - x0);
        }
        benchmark::ClobberMemory();
    }
    state.counters["sprites"] = (double)sprites.size();
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMicrosecond);

// The frame's Sleep on the headless backend only moves a virtual clock.
void BM_HeadlessSleep(benchmark::State& state)
{
    DWORD before = headlessSleptTotal();
    for (auto _ : state)
        Sleep(16);
    if (headlessSleptTotal() - before != (DWORD)(16 * state.iterations()))
        state.SkipWithError("Sleep did not go through the virtual clock");
}
BENCHMARK(BM_HeadlessSleep)->Unit(benchmark::kNanosecond);

} // namespace
