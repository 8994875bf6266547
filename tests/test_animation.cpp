// Animation slots: the step rule, starting and stopping, loading, and records that must be refused.
#include <limits.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "shell/errorlog.h"
#include "tests/support/testsupport.h"

namespace {

const int A = 3, B = 7, C = 11; // frame indexes that cannot be mistaken for positions

// Starts Error.txt afresh within a test.
void clearLog()
{
    closeErrorLog();
    remove("Error.txt");
}

class AnimationTest : public GameTest {
protected:
    Graphic g;
    void SetUp() override
    {
        GameTest::SetUp();
        GraphicDesc desc = {};
        desc.width = 16;
        desc.height = 16;
        desc.bpp = 8;
        ASSERT_EQ(createGraphic(&g, &desc, GRAPHIC_ANIMATED, 0), 1);
    }
    // Loads (frames...) into slot `index` and starts it.
    void play(int index, std::vector<int> frames, int delay, int flags)
    {
        ASSERT_EQ(loadAnimation(&g, index, (int)frames.size(), frames.data(), delay, flags), 1);
        ASSERT_EQ(setAnimation(&g, index), 1);
    }
    std::vector<int> steps(int index, int count)
    {
        std::vector<int> out;
        for (int i = 0; i < count; i++)
            out.push_back(updateAnimation(&g.animations[index]));
        return out;
    }
};

TEST_F(AnimationTest, LoopingSequenceHoldsEachPositionDelayPlusOneSteps)
{
    play(0, {A, B, C}, 2, ANIMATION_LOOP);
    // Position 0 is held for `delay` steps on the first pass only, then delay + 1 everywhere.
    EXPECT_EQ(steps(0, 12), (std::vector<int>{A, A, B, B, B, C, C, C, A, A, A, B}));
    EXPECT_EQ(g.animations[0].running, 1);
    EXPECT_EQ(animationStopped(&g), 0);
    EXPECT_EQ(errorText(), "");
}

TEST_F(AnimationTest, NonLoopingSequenceStopsAfterHoldingItsLastPosition)
{
    play(0, {A, B, C}, 2, 0);
    std::vector<int> got = steps(0, 8);
    EXPECT_EQ(got[5], C);
    EXPECT_EQ(g.animations[0].running, 1) << "still running after step 8";
    EXPECT_EQ(updateAnimation(&g.animations[0]), C); // step 9 stops it
    EXPECT_EQ(g.animations[0].running, 0);
    EXPECT_EQ(g.animations[0].counter, 3);
    EXPECT_EQ(g.animations[0].currentIndex, 2);
    EXPECT_EQ(animationStopped(&g), 1);
    // A stopped animation returns its entry and changes nothing.
    EXPECT_EQ(updateAnimation(&g.animations[0]), C);
    EXPECT_EQ(g.animations[0].counter, 3);
    EXPECT_EQ(animationStopped(&g), 1);
}

TEST_F(AnimationTest, ResetFlagStopsOnTheFirstEntryAndTheGraphicShowsIt)
{
    play(0, {A, B, C}, 2, ANIMATION_RESET);
    for (int step = 1; step <= 8; step++)
        ASSERT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(g.currentFrame, C);
    ASSERT_EQ(animateGraphic(&g), 1); // step 9
    EXPECT_EQ(g.currentFrame, A);
    EXPECT_EQ(animationStopped(&g), 1);
    EXPECT_EQ(g.animations[0].currentIndex, 0);
    // Stopped: later steps leave the frame alone even if someone sets it.
    g.currentFrame = 5;
    ASSERT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(g.currentFrame, 5);
}

TEST_F(AnimationTest, DelayZeroAndShortSequences)
{
    play(0, {A, B}, 0, ANIMATION_LOOP);
    EXPECT_EQ(steps(0, 4), (std::vector<int>{B, A, B, A}));

    // One entry, no flags: the first step stops it and returns the entry.
    play(1, {C}, 0, 0);
    EXPECT_EQ(updateAnimation(&g.animations[1]), C);
    EXPECT_EQ(animationStopped(&g), 1);

    // No entries behaves exactly like one: entry 0 every time, looping or not.
    int seq[MAX_ANIMATION_FRAMES] = {B};
    ASSERT_EQ(loadAnimation(&g, 2, 1, seq, 0, ANIMATION_LOOP), 1);
    ASSERT_EQ(loadAnimation(&g, 2, 0, seq, 0, ANIMATION_LOOP), 1);
    ASSERT_EQ(setAnimation(&g, 2), 1);
    EXPECT_EQ(steps(2, 3), (std::vector<int>{B, B, B}));
    ASSERT_EQ(loadAnimation(&g, 3, 1, seq, 0, 0), 1);
    ASSERT_EQ(loadAnimation(&g, 3, 0, seq, 0, 0), 1);
    ASSERT_EQ(setAnimation(&g, 3), 1);
    EXPECT_EQ(updateAnimation(&g.animations[3]), B);
    EXPECT_EQ(animationStopped(&g), 1);
    EXPECT_EQ(errorText(), "");
}

TEST_F(AnimationTest, SetAnimationShowsFromTheNextStepOnly)
{
    play(3, {A, B}, 0, ANIMATION_LOOP);
    g.currentFrame = 9;
    g.xVelocity = 2;
    g.yVelocity = -3;
    EXPECT_EQ(g.currentAnimation, 3);
    EXPECT_EQ(g.currentFrame, 9);
    ASSERT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(g.currentFrame, B);
    EXPECT_EQ(g.x, 2);
    EXPECT_EQ(g.y, -3);

    // The slot that was current keeps its state; only the new one advances.
    play(4, {C}, 5, 0);
    Animation before = g.animations[3];
    ASSERT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(memcmp(&before, &g.animations[3], sizeof(before)), 0);
    EXPECT_EQ(g.animations[4].counter, 1);

    EXPECT_EQ(setAnimation(&g, 10), 0);
    EXPECT_EQ(setAnimation(&g, -1), 0);
    EXPECT_EQ(g.currentAnimation, 4);
    EXPECT_EQ(errorText(), "setAnimation:  animation index out of bounds\n"
                           "setAnimation:  animation index out of bounds\n");
}

TEST_F(AnimationTest, WithoutTheAnimatedBitTheGraphicOnlyMoves)
{
    g.attributes = 0;
    play(0, {A, B}, 0, ANIMATION_LOOP);
    EXPECT_EQ(g.animations[0].running, 1) << "marked running without the bit";
    g.currentFrame = 1;
    g.xVelocity = -4;
    g.yVelocity = 5;
    ASSERT_EQ(animateGraphic(&g), 1);
    ASSERT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(g.x, -8);
    EXPECT_EQ(g.y, 10);
    EXPECT_EQ(g.currentFrame, 1);
    EXPECT_EQ(g.animations[0].counter, 0);
    // Nothing reads the animation slot then, so a wild slot index does no harm either.
    g.currentAnimation = 1000;
    EXPECT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(errorText(), "");
}

TEST_F(AnimationTest, LoadAnimationChecksInOrderAndKeepsThePlayState)
{
    int seq[21] = {A, B, C, A, B, C};
    EXPECT_EQ(loadAnimation(NULL, 0, 1, seq, 0, 0), 0);
    EXPECT_EQ(loadAnimation(&g, 0, 1, NULL, 0, 0), 0);
    EXPECT_EQ(loadAnimation(&g, 10, 21, seq, 0, 0), 0); // the count is tested before the slot
    EXPECT_EQ(loadAnimation(&g, 10, 1, seq, 0, 0), 0);
    EXPECT_EQ(loadAnimation(&g, -1, 1, seq, 0, 0), 0);
    EXPECT_EQ(errorText(), "loadAnimation:  null pointer(s) passed\n"
                           "loadAnimation:  null pointer(s) passed\n"
                           "loadAnimation:  numFrames exceeds max\n"
                           "loadAnimation:  animation index out of bounds\n"
                           "loadAnimation:  animation index out of bounds\n");

    // Twenty entries fit exactly.
    int full[MAX_ANIMATION_FRAMES];
    for (int i = 0; i < MAX_ANIMATION_FRAMES; i++)
        full[i] = MAX_FRAMES - 1 - i;
    ASSERT_EQ(loadAnimation(&g, 9, MAX_ANIMATION_FRAMES, full, 0, ANIMATION_LOOP), 1);
    ASSERT_EQ(setAnimation(&g, 9), 1);
    std::vector<int> got = steps(9, 20);
    EXPECT_EQ(got[18], 0);
    EXPECT_EQ(got[19], MAX_FRAMES - 1);

    // Reloading a slot changes the script, not where it is or whether it plays.
    play(1, {A, B, C, A, B}, 0, ANIMATION_LOOP);
    steps(1, 3);
    int other[2] = {C, C};
    ASSERT_EQ(loadAnimation(&g, 1, 2, other, 4, ANIMATION_RESET), 1);
    Animation& slot = g.animations[1];
    EXPECT_EQ(slot.numFrames, 2);
    EXPECT_EQ(slot.delay, 4);
    EXPECT_EQ(slot.flags, ANIMATION_RESET);
    EXPECT_EQ(slot.currentIndex, 3);
    EXPECT_EQ(slot.running, 1);
    EXPECT_EQ(slot.frameSequence[0], C);
    EXPECT_EQ(slot.frameSequence[2], C); // the old third entry
    EXPECT_EQ(slot.frameSequence[3], A);
}

TEST_F(AnimationTest, LoadAnimationRefusesSequencesThatCannotBeShown)
{
    int seq[3] = {A, MAX_FRAMES, B};
    int negative[1] = {-1};
    Animation before = g.animations[2];
    EXPECT_EQ(loadAnimation(&g, 2, -1, seq, 0, 0), 0);
    EXPECT_EQ(loadAnimation(&g, 2, 3, seq, 0, 0), 0);
    EXPECT_EQ(loadAnimation(&g, 2, 1, negative, 0, 0), 0);
    EXPECT_EQ(memcmp(&before, &g.animations[2], sizeof(before)), 0);
    EXPECT_EQ(errorText(), "loadAnimation:  negative numFrames\n"
                           "loadAnimation:  frame index out of bounds\n"
                           "loadAnimation:  frame index out of bounds\n");
    // Only the entries in use are looked at.
    EXPECT_EQ(loadAnimation(&g, 2, 1, seq, 0, 0), 1);
}

Animation record(std::vector<int> frames, int delay, int flags)
{
    Animation a = {};
    for (size_t i = 0; i < frames.size(); i++)
        a.frameSequence[i] = frames[i];
    a.numFrames = (int)frames.size();
    a.delay = delay;
    a.flags = flags;
    return a;
}

TEST_F(AnimationTest, LoadAnimationRecordCopiesTheWholeRecord)
{
    Animation a = record({A, B, C}, 2, ANIMATION_LOOP);
    a.currentIndex = 1;
    a.running = 1;
    a.counter = 2;
    a.frameSequence[7] = -99; // past numFrames: never shown, so allowed
    ASSERT_EQ(loadAnimationRecord(&g, &a, 9), 1);
    EXPECT_EQ(memcmp(&a, &g.animations[9], sizeof(a)), 0);
    EXPECT_EQ(errorText(), "");

    EXPECT_EQ(loadAnimationRecord(NULL, &a, 0), 0);
    EXPECT_EQ(loadAnimationRecord(&g, NULL, 0), 0);
    EXPECT_EQ(loadAnimationRecord(&g, &a, 10), 0);
    EXPECT_EQ(loadAnimationRecord(&g, &a, -1), 0);
    EXPECT_EQ(errorText(), "loadAnimation: null pointer(s) passed\n"
                           "loadAnimation: null pointer(s) passed\n"
                           "loadAnimation: index out of bounds\n"
                           "loadAnimation: index out of bounds\n");
}

TEST_F(AnimationTest, LoadAnimationRecordRefusesRecordsThatWouldIndexPastTheirArrays)
{
    struct Case {
        const char* what;
        Animation a;
        const char* message;
    };
    std::vector<Case> cases;
    Animation a = record({A, B}, 0, 0);
    a.numFrames = 21;
    cases.push_back({"21 frames", a, "loadAnimationRecord: numFrames out of bounds\n"});
    a.numFrames = -1;
    cases.push_back({"negative count", a, "loadAnimationRecord: numFrames out of bounds\n"});
    a = record({A, 20}, 0, 0);
    cases.push_back({"frame 20", a, "loadAnimationRecord: frame index out of bounds\n"});
    a = record({-1}, 0, 0);
    cases.push_back({"frame -1", a, "loadAnimationRecord: frame index out of bounds\n"});
    a = record({}, 0, 0);
    a.frameSequence[0] = 40; // shown even by an empty sequence
    cases.push_back({"empty, bad entry 0", a, "loadAnimationRecord: frame index out of bounds\n"});
    a = record({A, B}, 0, 0);
    a.currentIndex = 2;
    cases.push_back(
        {"position past the end", a, "loadAnimationRecord: current index out of bounds\n"});
    a.currentIndex = -1;
    cases.push_back({"negative position", a, "loadAnimationRecord: current index out of bounds\n"});
    a = record({}, 0, 0);
    a.currentIndex = 1;
    cases.push_back({"empty, position 1", a, "loadAnimationRecord: current index out of bounds\n"});

    for (const Case& c : cases) {
        clearLog();
        Animation before = g.animations[5];
        EXPECT_EQ(loadAnimationRecord(&g, &c.a, 5), 0) << c.what;
        EXPECT_EQ(memcmp(&before, &g.animations[5], sizeof(before)), 0) << c.what;
        EXPECT_EQ(errorText(), c.message) << c.what;
    }

    // The limits themselves are fine.
    std::vector<int> twenty(MAX_ANIMATION_FRAMES, MAX_FRAMES - 1);
    a = record(twenty, 0, 0);
    a.currentIndex = MAX_ANIMATION_FRAMES - 1;
    EXPECT_EQ(loadAnimationRecord(&g, &a, 5), 1);
    a = record({}, 0, 0);
    EXPECT_EQ(loadAnimationRecord(&g, &a, 5), 1);
}

TEST_F(AnimationTest, CorruptStateInARecordIsNeverUsedAsAnIndex)
{
    // Records can be changed behind the loaders' backs (a pool slot, a hand-made record).
    Animation wild = record({A, B}, 0, ANIMATION_LOOP);
    wild.running = 1;
    wild.currentIndex = MAX_ANIMATION_FRAMES;
    Animation before = wild;
    EXPECT_EQ(updateAnimation(&wild), 0);
    EXPECT_EQ(memcmp(&before, &wild, sizeof(wild)), 0);
    wild.currentIndex = 1;
    wild.numFrames = 1000; // would walk the position off the end
    before = wild;
    EXPECT_EQ(updateAnimation(&wild), 0);
    EXPECT_EQ(memcmp(&before, &wild, sizeof(wild)), 0);
    EXPECT_EQ(errorText(), "updateAnimation:  animation record out of bounds\n"
                           "updateAnimation:  animation record out of bounds\n");

    clearLog();
    play(0, {A, B}, 0, ANIMATION_LOOP);
    g.animations[0].numFrames = -3;
    g.currentFrame = 1;
    g.xVelocity = 1;
    EXPECT_EQ(animateGraphic(&g), 0);
    EXPECT_EQ(g.currentFrame, 1);
    EXPECT_EQ(g.x, 0);

    Graphic copy = g;
    copy.animations[0].numFrames = 2;
    copy.xVelocity = 1;
    for (int index : {MAX_ANIMATIONS, -1}) {
        copy.currentAnimation = index;
        Graphic saved = copy;
        EXPECT_EQ(animateGraphic(&copy), 0);
        EXPECT_EQ(stopAnimation(&copy), 0);
        EXPECT_EQ(animationStopped(&copy), 0);
        EXPECT_EQ(setFrame(&copy, 2), 0);
        EXPECT_EQ(memcmp(&saved, &copy, sizeof(copy)), 0);
    }
    std::string once = "stopAnimation: animation index out of bounds\n"
                       "animationStopped: animation index out of bounds\n"
                       "stopAnimation: animation index out of bounds\n"
                       "setFrame: error stopping animation\n";
    EXPECT_EQ(errorText(), "animateGraphic:  animation record out of bounds\n"
                           "animateGraphic:  animation index out of bounds\n" +
                               once + "animateGraphic:  animation index out of bounds\n" + once);
}

TEST_F(AnimationTest, HugeDelayHoldsThePositionWithoutOverflow)
{
    play(0, {A, B}, INT_MAX, ANIMATION_LOOP);
    g.animations[0].counter = INT_MAX - 1;
    EXPECT_EQ(updateAnimation(&g.animations[0]), A);
    EXPECT_EQ(updateAnimation(&g.animations[0]), A);
    EXPECT_EQ(g.animations[0].counter, INT_MAX);
    EXPECT_EQ(g.animations[0].currentIndex, 0);
}

TEST_F(AnimationTest, ProcessGraphicStepsEveryEntry)
{
    Graphic second = g;
    play(0, {A, B}, 0, ANIMATION_LOOP);
    g.xVelocity = 1;
    second.yVelocity = 2;
    Graphic* list[2] = {&g, &second};
    ASSERT_EQ(processGraphic(list, 2), 1);
    EXPECT_EQ(g.x, 1);
    EXPECT_EQ(g.currentFrame, B);
    EXPECT_EQ(second.y, 2);
    EXPECT_EQ(processGraphic(list, 0), 1);
    EXPECT_EQ(g.x, 1);

    // A bad entry is reported and skipped; the others still move.
    Graphic* withHole[3] = {&g, NULL, &second};
    second.currentAnimation = 11;
    EXPECT_EQ(processGraphic(withHole, 3), 0);
    EXPECT_EQ(g.x, 2);
    EXPECT_EQ(second.y, 2);
    EXPECT_EQ(processGraphic(NULL, 1), 0);
    EXPECT_EQ(errorText(), "processGraphic:  null pointer passed\n"
                           "processGraphic:  animation index out of bounds\n"
                           "processGraphic:  null pointer passed\n");
}

TEST_F(AnimationTest, NullPointersAreReportedWithTheirOwnLines)
{
    EXPECT_EQ(updateAnimation(NULL), 0);
    EXPECT_EQ(animateGraphic(NULL), 0);
    EXPECT_EQ(setAnimation(NULL, 0), 0);
    EXPECT_EQ(stopAnimation(NULL), 0);
    EXPECT_EQ(animationStopped(NULL), 0); // the same answer as for a running animation
    EXPECT_EQ(errorText(), "updateAnimation:  null pointer passed\n"
                           "animateGraphic:  null pointer passed\n"
                           "setAnimation:  null pointer passed\n"
                           "stopAnimation: null pointer passed\n"
                           "animationStopped: null pointer passed\n");
}

} // namespace
