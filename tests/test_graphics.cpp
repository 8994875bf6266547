// Graphic records (create, clone, fixed frames) and the collision and off-screen tests.
#include <string.h>

#include "graphics/graphics.h"
#include "shell/errorlog.h"
#include "testsupport.h"

namespace {

GraphicDesc describe(int x, int y, RECT box)
{
    GraphicDesc desc = {};
    desc.x = x;
    desc.y = y;
    desc.width = 32;
    desc.height = 32;
    desc.bpp = 8;
    desc.boundingBox = box;
    return desc;
}

Graphic boxAt(int x, int y, RECT box)
{
    Graphic g;
    GraphicDesc desc = describe(x, y, box);
    createGraphic(&g, &desc, 0, 0);
    return g;
}

using GraphicRecordTest = GameTest;

TEST_F(GraphicRecordTest, CreateGraphicStartsFromAFreshRecord)
{
    Graphic g;
    memset(&g, 0x5a, sizeof(g));   // whatever the record held before
    GraphicDesc desc = {1, 2, 3, 4, 5, 6, 8, 9, {10, 11, 12, 13}};
    ASSERT_EQ(createGraphic(&g, &desc, GRAPHIC_ANIMATED | 0x100, 77), 1);
    EXPECT_EQ(memcmp(&g, &desc, sizeof(desc)), 0) << "the twelve head fields, velocity included";
    EXPECT_EQ(g.attributes, GRAPHIC_ANIMATED | 0x100);
    EXPECT_EQ(g.type, 77);
    EXPECT_EQ(g.visible, 1);
    EXPECT_EQ(g.currentFrame, 0);
    EXPECT_EQ(g.currentAnimation, 0);
    for (int i = 0; i < MAX_FRAMES; i++)
        EXPECT_EQ(g.frames[i], nullptr) << i;
    Animation empty = {};
    for (int i = 0; i < MAX_ANIMATIONS; i++)
        EXPECT_EQ(memcmp(&g.animations[i], &empty, sizeof(empty)), 0) << i;

    Graphic before = g;
    EXPECT_EQ(createGraphic(NULL, &desc, 0, 0), 0);
    EXPECT_EQ(createGraphic(&g, NULL, 0, 0), 0);
    EXPECT_EQ(memcmp(&before, &g, sizeof(g)), 0);
    EXPECT_EQ(errorText(), "createGraphic:  null pointer(s) passed\n"
                           "createGraphic:  null pointer(s) passed\n");
}

TEST_F(GraphicRecordTest, CloneSharesEverythingAndIsMarked)
{
    Graphic master = boxAt(5, 6, {1, 2, 3, 4});
    master.attributes = GRAPHIC_ANIMATED;
    master.frames[0] = reinterpret_cast<IDirectDrawSurface7*>(&master);   // never dereferenced
    int seq[2] = {0, 1};
    ASSERT_EQ(loadAnimation(&master, 2, 2, seq, 3, ANIMATION_LOOP), 1);
    Graphic masterBefore = master;

    Graphic slot;
    memset(&slot, 0x33, sizeof(slot));
    EXPECT_EQ(cloneGraphic(&master, &slot), &slot);
    EXPECT_EQ(slot.attributes, GRAPHIC_ANIMATED | GRAPHIC_CLONE);
    EXPECT_EQ(memcmp(&master, &masterBefore, sizeof(master)), 0) << "the source is not changed";
    Graphic expected = master;
    expected.attributes |= GRAPHIC_CLONE;
    EXPECT_EQ(memcmp(&expected, &slot, sizeof(slot)), 0);

    // A clone of a clone is again a clone of the same surfaces.
    Graphic second;
    EXPECT_EQ(cloneGraphic(&slot, &second), &second);
    EXPECT_EQ(second.attributes, GRAPHIC_ANIMATED | GRAPHIC_CLONE);
    EXPECT_EQ(second.frames[0], master.frames[0]);

    EXPECT_EQ(cloneGraphic(NULL, &slot), nullptr);
    EXPECT_EQ(cloneGraphic(&master, NULL), nullptr);
    EXPECT_EQ(errorText(), "cloneGraphic: null pointer(s) passed\n"
                           "cloneGraphic: null pointer(s) passed\n");
}

TEST_F(GraphicRecordTest, SetFrameStopsTheRunningAnimationOfAnAnimatedGraphicOnly)
{
    Graphic g = boxAt(0, 0, {0, 0, 32, 32});
    g.attributes = GRAPHIC_ANIMATED;
    int seq[3] = {4, 5, 6};
    ASSERT_EQ(loadAnimation(&g, 1, 3, seq, 0, ANIMATION_LOOP), 1);
    ASSERT_EQ(setAnimation(&g, 1), 1);
    ASSERT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(g.currentFrame, 5);

    ASSERT_EQ(setFrame(&g, 19), 1);   // an empty slot is fine until it is drawn
    EXPECT_EQ(g.currentFrame, 19);
    EXPECT_EQ(animationStopped(&g), 1);
    for (int i = 0; i < 4; i++)
        ASSERT_EQ(animateGraphic(&g), 1);
    EXPECT_EQ(g.currentFrame, 19) << "a stopped animation no longer moves the frame";

    // Without the bit the animations are left alone.
    Graphic plain = boxAt(0, 0, {0, 0, 32, 32});
    ASSERT_EQ(loadAnimation(&plain, 0, 3, seq, 0, ANIMATION_LOOP), 1);
    ASSERT_EQ(setAnimation(&plain, 0), 1);
    Animation before = plain.animations[0];
    ASSERT_EQ(setFrame(&plain, 2), 1);
    EXPECT_EQ(plain.currentFrame, 2);
    EXPECT_EQ(memcmp(&before, &plain.animations[0], sizeof(before)), 0);
    EXPECT_EQ(errorText(), "");

    EXPECT_EQ(setFrame(&g, 20), 0);
    EXPECT_EQ(setFrame(&g, -1), 0);
    EXPECT_EQ(setFrame(NULL, 0), 0);
    EXPECT_EQ(g.currentFrame, 19);
    EXPECT_EQ(errorText(), "setFrame:  frame index out of bounds\n"
                           "setFrame:  frame index out of bounds\n"
                           "setFrame: null pointer passed\n");
}

using CollisionTest = GameTest;

TEST_F(CollisionTest, TouchingEdgesCollideOnlyWhenTheFirstBoxLeads)
{
    RECT box = {0, 0, 10, 10};
    Graphic a = boxAt(0, 0, box);
    Graphic right = boxAt(10, 0, box);
    EXPECT_EQ(testCollisionGraphic(&a, &right), 1) << "a's right edge 10 >= b's left edge 10";
    EXPECT_EQ(testCollisionGraphic(&right, &a), 0) << "b's left edge 10 >= a's right edge 10";

    Graphic below = boxAt(0, 10, box);
    EXPECT_EQ(testCollisionGraphic(&a, &below), 1) << "a's bottom 10 >= b's top 10";
    EXPECT_EQ(testCollisionGraphic(&below, &a), 0) << "b's top 10 is not < a's bottom 10";

    // Corner to corner: both touching rules at once.
    Graphic corner = boxAt(10, 10, box);
    EXPECT_EQ(testCollisionGraphic(&a, &corner), 1);
    EXPECT_EQ(testCollisionGraphic(&corner, &a), 0);
}

TEST_F(CollisionTest, OverlapGapAndIdentityDoNotDependOnOrder)
{
    RECT box = {0, 0, 10, 10};
    Graphic a = boxAt(0, 0, box);
    struct Case {
        int x, y, expected;
    } cases[] = {
        {9, 9, 1},     // one pixel of overlap both ways
        {-9, -9, 1},
        {9, -9, 1},
        {0, 0, 1},     // identical boxes
        {11, 0, 0},    // one pixel apart
        {-11, 0, 0},
        {0, 11, 0},
        {0, -11, 0},
        {11, 11, 0},
    };
    for (const Case& c : cases) {
        Graphic b = boxAt(c.x, c.y, box);
        EXPECT_EQ(testCollisionGraphic(&a, &b), c.expected) << c.x << "," << c.y;
        EXPECT_EQ(testCollisionGraphic(&b, &a), c.expected) << c.x << "," << c.y << " reversed";
    }

    // Boxes are relative to the position; frames and visibility do not matter.
    Graphic ship = boxAt(100, 100, {8, 8, 24, 24});
    ship.visible = 0;
    Graphic shot = boxAt(124, 110, {0, 0, 4, 4});
    EXPECT_EQ(testCollisionGraphic(&ship, &shot), 1);
    shot.x = 125;
    EXPECT_EQ(testCollisionGraphic(&ship, &shot), 0);
    shot.x = 110;
    shot.y = 96;
    EXPECT_EQ(testCollisionGraphic(&ship, &shot), 0) << "shot bottom 100 is above ship top 108";
    EXPECT_EQ(errorText(), "");

    EXPECT_EQ(testCollisionGraphic(NULL, &a), 0);
    EXPECT_EQ(testCollisionGraphic(&a, NULL), 0);
    EXPECT_EQ(errorText(), "testCollisionGraphic:  null pointer(s) passed\n"
                           "testCollisionGraphic:  null pointer(s) passed\n");
}

TEST_F(CollisionTest, OffscreenUsesTheBoxAndTheScreenEdges)
{
    RECT box = {0, 0, 10, 10};
    struct Case {
        int x, y, expected;
    } cases[] = {
        {-10, 0, 0},   // right edge exactly 0: still on screen
        {-11, 0, 1},
        {799, 0, 0},
        {800, 0, 1},   // left edge exactly 800: off
        {0, -10, 0},   // bottom edge exactly 0: still on screen
        {0, -11, 1},
        {0, 599, 0},
        {0, 600, 1},   // top edge exactly 600: off
    };
    for (const Case& c : cases) {
        Graphic g = boxAt(c.x, c.y, box);
        EXPECT_EQ(graphicOffscreen(&g), c.expected) << c.x << "," << c.y;
    }

    // The box, not the 32 x 32 frame, decides.
    Graphic g = boxAt(-20, 0, {8, 8, 24, 24});
    EXPECT_EQ(graphicOffscreen(&g), 0) << "right edge 4";
    g.x = -25;
    EXPECT_EQ(graphicOffscreen(&g), 1) << "right edge -1";
    g.x = 800 - 8;
    EXPECT_EQ(graphicOffscreen(&g), 1) << "left edge 800, frame pixels still at 792..799";
    g.x = 0;
    g.y = 600 - 8;
    EXPECT_EQ(graphicOffscreen(&g), 1);
    g.y = 600 - 9;
    EXPECT_EQ(graphicOffscreen(&g), 0);
    EXPECT_EQ(errorText(), "");

    EXPECT_EQ(graphicOffscreen(NULL), 0);
    EXPECT_EQ(errorText(), "graphicOffscreen: null pointer passed\n");
}

}  // namespace
