// An hour of play, 216,000 frames at 60 a second, through WinMain on the headless backend with
// keys drawn from a fixed seed: once on the real content, and once on a copy whose enemy shots do
// no damage and whose script keeps the enemy pool full. After every frame the pools must hold
// their own records (counts within capacity, every record still in its pool, none twice), the
// game must not touch the heap after start-up, and the run must end cleanly with an empty log.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <dinput.h>

#include "game/records.h"
#include "game/world.h"
#include "platform/headless.h"
#include "platform/instrumentation.h"
#include "programs/alloc_count.h"
#include "tests/support/testsupport.h"


namespace {

// An hour at 60 frames a second; the sanitizer build, some twenty times slower, plays a
// quarter of it so that the suite stays within CI's time.
#if ALLOCATIONS_COUNTED
const int SOAK_FRAMES = 216000;
#else
const int SOAK_FRAMES = 54000;
#endif

// ---- What the turn hook sees ----

struct PoolView {
    void** slots;
    const int* count;
    int capacity;
    std::vector<void*> records; // the pool's records at start-up, sorted
    int peak;
    long fullFrames;
};

PoolView pools[3];
int badFrame = -1; // first frame after which an invariant failed
std::string badWhat;
int framesRun = 0;
int closeRequested = 0;
unsigned keySeed = 0;
int holdLeft = 0;
unsigned heldKeys = 0;
int playerDeadAt = -1;

const int controlKeys[5] = {DIK_A, DIK_D, DIK_W, DIK_S, DIK_SPACE};

unsigned nextRandom()
{
    // xorshift32: the game's own generator is left alone.
    keySeed ^= keySeed << 13;
    keySeed ^= keySeed >> 17;
    keySeed ^= keySeed << 5;
    return keySeed;
}

void fail(int frame, const std::string& what)
{
    if (badFrame < 0) {
        badFrame = frame;
        badWhat = what;
    }
}

void snapshotPools()
{
    pools[0].slots = (void**)discharges;
    pools[0].count = &numActiveDischarges;
    pools[0].capacity = MAX_DISCHARGES;
    pools[1].slots = (void**)enemies;
    pools[1].count = &numActiveEnemies;
    pools[1].capacity = MAX_ENEMIES;
    pools[2].slots = (void**)powerUps;
    pools[2].count = &numActivePowerUps;
    pools[2].capacity = MAX_POWERUPS;
    for (PoolView& p : pools) {
        p.records.assign(p.slots, p.slots + p.capacity);
        std::sort(p.records.begin(), p.records.end());
        p.peak = 0;
        p.fullFrames = 0;
        if (p.records[0] == NULL ||
            std::adjacent_find(p.records.begin(), p.records.end()) != p.records.end())
            fail(0, "a pool does not start with distinct records");
    }
}

void checkPools(int frame)
{
    void* sorted[MAX_DISCHARGES];
    for (PoolView& p : pools) {
        int n = *p.count;
        if (n < 0 || n > p.capacity)
            fail(frame, "a count left its pool's capacity");
        if (n > p.peak)
            p.peak = n;
        if (n == p.capacity)
            p.fullFrames++;
        // The same records as at start-up, each once: none lost, none shared, none foreign.
        memcpy(sorted, p.slots, p.capacity * sizeof(void*));
        std::sort(sorted, sorted + p.capacity);
        if (!std::equal(sorted, sorted + p.capacity, p.records.begin()))
            fail(frame, "a pool's records changed");
    }
}

void soakTurn(int turn)
{
    countingAllocations = 0;
    if (turn == 0)
        snapshotPools();
    else if (!closeRequested) {
        framesRun = turn;
        checkPools(turn - 1);
        if (playerDeadAt < 0 && player.state == DEAD)
            playerDeadAt = turn - 1;
    }
    if (turn >= SOAK_FRAMES && !closeRequested) {
        closeRequested = 1;
        headlessRequestClose();
    }
    // Hold a random set of the five controls for a random 1 to 60 frames.
    if (holdLeft == 0) {
        holdLeft = 1 + nextRandom() % 60;
        heldKeys = nextRandom();
    }
    holdLeft--;
    for (int k = 0; k < 5; k++)
        headlessSetKey(controlKeys[k], !closeRequested && (heldKeys >> (k * 3) & 1));
    countingAllocations = 1;
}

class Soak : public GameTest {
protected:
    void play(const char* name)
    {
        badFrame = -1;
        badWhat.clear();
        framesRun = 0;
        closeRequested = 0;
        keySeed = 20240611;
        holdLeft = 0;
        playerDeadAt = -1;
#if ALLOCATIONS_COUNTED
        // The count must see what the game asks of the heap.
        countingAllocations = 1;
        void* volatile probe = malloc(16);
        countingAllocations = 0;
        free(probe);
        ASSERT_EQ(allocationCount, 1) << "allocations are not counted";
#endif
        allocationCount = 0;
        headlessSetTurnHook(soakTurn);

        auto start = std::chrono::steady_clock::now();
        int exitCode = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWNORMAL);
        countingAllocations = 0;
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(errorText(), "");
        EXPECT_EQ(framesRun, SOAK_FRAMES);
        EXPECT_EQ(badFrame, -1) << badWhat << " after frame " << badFrame;
        EXPECT_EQ(liveObjectCount(), 0);
#if ALLOCATIONS_COUNTED
        EXPECT_EQ(allocationCount, 0) << "heap allocations after start-up";
#endif
        printf("soak %s: %d frames in %.1f s; peak discharges %d, enemies %d (full in %ld frames), "
               "power-ups %d; ship destroyed after frame %d; allocations after start %ld%s\n",
               name, framesRun, seconds, pools[0].peak, pools[1].peak, pools[1].fullFrames,
               pools[2].peak, playerDeadAt, (long)allocationCount,
               ALLOCATIONS_COUNTED ? "" : " (not counted under the sanitizer)");
    }
};

TEST_F(Soak, AnHourOnTheRealContent)
{
    copyTree(sourcePath("data"), ".");
    play("real content");
}

// The enemy files listed in the master list, with every shot's damage (the last of its seven
// values) set to 0.
void makeShotsHarmless()
{
    std::ifstream list("Enemies/MasterEnemies.txt");
    int count = 0;
    list >> count;
    list.ignore(1 << 16, '\n');
    for (int i = 0; i < count; i++) {
        std::string name;
        list >> name;
        list.ignore(1 << 16, '\n');
        std::istringstream in(readFile(name));
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
        ASSERT_GT(lines.size(), 6u) << name;
        int shots = atoi(lines[5].c_str());
        std::string out;
        for (size_t j = 0; j < lines.size(); j++) {
            if (j >= 6 && j < 6 + (size_t)shots) {
                int v[7], end = 0, damageAt = 0;
                ASSERT_EQ(sscanf(lines[j].c_str(), "%d %d %d %d %d %d %n%d%n", &v[0], &v[1], &v[2],
                                 &v[3], &v[4], &v[5], &damageAt, &v[6], &end),
                          7)
                    << name << ": " << lines[j];
                lines[j] = lines[j].substr(0, damageAt) + "0" + lines[j].substr(end);
            }
            out += lines[j] + (j + 1 < lines.size() ? "\n" : "");
        }
        writeFile(name, out);
    }
}

TEST_F(Soak, AnHourWithTheEnemyPoolFull)
{
    copyTree(sourcePath("data"), ".");
    makeShotsHarmless();
    // Fifty orders, all due at once: the first fifteen fill the pool in as many frames, and each
    // later one waits for a place, so the pool stays full as long as orders are left.
    int kinds = 0;
    std::ifstream list("Enemies/MasterEnemies.txt");
    list >> kinds;
    ASSERT_GT(kinds, 0);
    std::string script;
    for (int i = 0; i < MAX_DEPLOYMENT_ORDERS; i++)
        script +=
            "o " + std::to_string(i % kinds) + " 0 " + std::to_string(20 + i * 53 % 720) + " -40\n";
    writeFile("DeploymentOrders/DeploymentOrder1.dpo", script + "e\n");
    play("full enemy pool");
    EXPECT_GT(pools[1].fullFrames, SOAK_FRAMES * 9L / 10) << "the enemy pool stayed full";
}

} // namespace
