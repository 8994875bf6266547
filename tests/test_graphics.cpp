// Graphic records (create, clone, fixed frames, frame surfaces), drawing, and the collision
// and off-screen tests.
#include <string.h>

#include <string>
#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "display/display.h"
#include "tests/support/display_support.h"
#include "graphics/graphics.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"

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
    memset(&g, 0x5a, sizeof(g)); // whatever the record held before
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
    master.frames[0] = reinterpret_cast<IDirectDrawSurface7*>(&master); // never dereferenced
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

    ASSERT_EQ(setFrame(&g, 19), 1); // an empty slot is fine until it is drawn
    EXPECT_EQ(g.currentFrame, 19);
    EXPECT_EQ(animationStopped(&g), 1);
    EXPECT_EQ(g.animations[1].currentIndex, 1) << "stopped where it was";
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
        {9, 9, 1},                          // one pixel of overlap both ways
        {-9, -9, 1}, {9, -9, 1}, {0, 0, 1}, // identical boxes
        {11, 0, 0},                         // one pixel apart
        {-11, 0, 0}, {0, 11, 0}, {0, -11, 0}, {11, 11, 0},
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
        {-10, 0, 0},                           // right edge exactly 0: still on screen
        {-11, 0, 1}, {799, 0, 0}, {800, 0, 1}, // left edge exactly 800: off
        {0, -10, 0},                           // bottom edge exactly 0: still on screen
        {0, -11, 1}, {0, 599, 0}, {0, 600, 1}, // top edge exactly 600: off
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

// ---- Frame surfaces and drawing, on the headless display ----

const int KEY = 9; // colour key of the test frames

// A 5 x 3 frame: pixel (col, row) is 20 + 10 * row + col, except the colour key at (1, 1).
std::vector<unsigned char> framePixels(int shade = 0)
{
    std::vector<unsigned char> pixels;
    for (int row = 0; row < 3; row++)
        for (int col = 0; col < 5; col++)
            pixels.push_back(row == 1 && col == 1 ? KEY : 20 + 10 * row + col + shade);
    return pixels;
}

class FrameTest : public GameTest {
protected:
    Graphic g;
    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_TRUE(openGameWindow());
        writeTestPalette("palette.pal");
        ASSERT_EQ(ddInit(800, 600, 8), 1) << errorText();
        baseLive = liveObjectCount();
        GraphicDesc desc = {};
        desc.width = 5;
        desc.height = 3;
        desc.bpp = 8;
        desc.colorKey = KEY;
        desc.boundingBox = {0, 0, 5, 3};
        ASSERT_EQ(createGraphic(&g, &desc, GRAPHIC_ANIMATED, 0), 1);
    }
    void TearDown() override
    {
        ddShutDown();
        GameTest::TearDown();
    }
    // Fills the back buffer with one colour.
    void paintBackBuffer(unsigned char colour)
    {
        int pitch = 0;
        unsigned char* memory = lockBackBuffer(&pitch);
        ASSERT_NE(memory, nullptr);
        memset(memory, colour, pitch * 600);
        unlockBackBuffer();
    }
    // The back buffer's w x h pixels at (x, y), row by row.
    std::vector<unsigned char> backBufferAt(int x, int y, int w, int h)
    {
        int pitch = 0;
        unsigned char* memory = lockBackBuffer(&pitch);
        std::vector<unsigned char> out;
        if (memory == NULL)
            return out;
        for (int row = y; row < y + h; row++)
            for (int col = x; col < x + w; col++)
                out.push_back(memory[row * pitch + col]);
        unlockBackBuffer();
        return out;
    }
    std::vector<unsigned char> surfaceBytes(LPDIRECTDRAWSURFACE7 s, int w, int h)
    {
        DDSURFACEDESC2 d;
        memset(&d, 0, sizeof(d));
        d.dwSize = sizeof(d);
        std::vector<unsigned char> out;
        if (s->Lock(NULL, &d, DDLOCK_WAIT, NULL) != DD_OK)
            return out;
        for (int row = 0; row < h; row++)
            for (int col = 0; col < w; col++)
                out.push_back(((unsigned char*)d.lpSurface)[row * d.lPitch + col]);
        s->Unlock(NULL);
        return out;
    }
    int baseLive = 0;
};

TEST_F(FrameTest, LoadFrameMakesAKeyedSurfaceHoldingThePixels)
{
    std::vector<unsigned char> pixels = framePixels();
    recordEnable(1);
    ASSERT_EQ(loadFrame(&g, pixels.data(), 19), 1) << errorText();
    recordEnable(0);
    ASSERT_NE(g.frames[19], nullptr);
    EXPECT_EQ(liveObjectCount(), baseLive + 1);
    EXPECT_EQ(surfaceBytes(g.frames[19], 5, 3), pixels);
    bool created = false;
    for (int i = 0; i < recordCount(); i++)
        if (std::string(recordLine(i))
                .rfind("CreateSurface flags=0x10007 caps=0x4040 size=5x3 "
                       "backbuffers=0 key=(9,9)",
                       0) == 0)
            created = true;
    EXPECT_TRUE(created) << "a video-memory off-screen surface keyed on the graphic's colour";
    EXPECT_EQ(errorText(), "");
}

TEST_F(FrameTest, LoadFrameFailuresLeaveTheSlotAndReleaseWhatTheyMade)
{
    std::vector<unsigned char> pixels = framePixels();
    ASSERT_EQ(loadFrame(&g, pixels.data(), 0), 1);
    LPDIRECTDRAWSURFACE7 first = g.frames[0];
    int live = liveObjectCount();
    Graphic before = g;

    EXPECT_EQ(loadFrame(NULL, pixels.data(), 0), 0);
    EXPECT_EQ(loadFrame(&g, NULL, 0), 0);
    EXPECT_EQ(loadFrame(&g, pixels.data(), 20), 0);
    EXPECT_EQ(loadFrame(&g, pixels.data(), -1), 0);
    EXPECT_TRUE(faultSet("CreateSurface", 1, -1, DDERR_GENERIC));
    EXPECT_EQ(loadFrame(&g, pixels.data(), 0), 0);
    faultClearAll();
    EXPECT_TRUE(
        faultSet("Lock", 1, 1, DDERR_SURFACELOST)); // the pixel copy cannot reach the new surface
    EXPECT_EQ(loadFrame(&g, pixels.data(), 0), 0);
    faultClearAll();

    EXPECT_EQ(liveObjectCount(), live) << "the surface made for the failed copy is released";
    EXPECT_EQ(memcmp(&before, &g, sizeof(g)), 0);
    EXPECT_EQ(g.frames[0], first);
    EXPECT_EQ(errorText(), "loadFrame:  null pointer(s) passed\n"
                           "loadFrame:  null pointer(s) passed\n"
                           "loadFrame: frame index out of bounds\n"
                           "loadFrame: frame index out of bounds\n"
                           "createDDSurface:  error creating surface\n"
                           "loadFrame:  error creating new DirectDraw Surface\n"
                           "copyBitmapToSurface:  error locking surface\n"
                           "loadFrame:  error copying bitmap to the surface\n");
}

TEST_F(FrameTest, ReloadingASlotGivesUpTheReplacedSurfaceOnlyIfTheGraphicOwnsIt)
{
    std::vector<unsigned char> first = framePixels(), second = framePixels(50);
    ASSERT_EQ(loadFrame(&g, first.data(), 3), 1);
    ASSERT_EQ(loadFrame(&g, second.data(), 3), 1);
    EXPECT_EQ(liveObjectCount(), baseLive + 1) << "no surface is leaked by a second load";
    EXPECT_EQ(surfaceBytes(g.frames[3], 5, 3), second);

    Graphic clone;
    ASSERT_EQ(cloneGraphic(&g, &clone), &clone);
    ASSERT_EQ(loadFrame(&clone, first.data(), 3), 1);
    EXPECT_EQ(liveObjectCount(), baseLive + 2) << "the master's surface stays";
    EXPECT_EQ(surfaceBytes(g.frames[3], 5, 3), second);
    clone.frames[3]->Release();
}

TEST_F(FrameTest, DestroyReleasesAMastersSurfacesAndNothingOfAClone)
{
    std::vector<unsigned char> pixels = framePixels();
    for (int index : {0, 7, 19})
        ASSERT_EQ(loadFrame(&g, pixels.data(), index), 1);
    ASSERT_EQ(liveObjectCount(), baseLive + 3);

    Graphic clone;
    ASSERT_EQ(cloneGraphic(&g, &clone), &clone);
    Graphic cloneBefore = clone;
    EXPECT_EQ(destroyGraphic(&clone), 1);
    EXPECT_EQ(memcmp(&cloneBefore, &clone, sizeof(clone)), 0) << "frame pointers stay in place";
    EXPECT_EQ(liveObjectCount(), baseLive + 3);
    // The master's surfaces are still good: the clone draws.
    clone.x = 10;
    clone.y = 10;
    setFrame(&clone, 7);
    EXPECT_EQ(drawGraphic(&clone), 1);

    Graphic masterBefore = g;
    EXPECT_EQ(destroyGraphic(&g), 1);
    EXPECT_EQ(liveObjectCount(), baseLive);
    for (int i = 0; i < MAX_FRAMES; i++)
        EXPECT_EQ(g.frames[i], nullptr) << i;
    memcpy(masterBefore.frames, g.frames, sizeof(g.frames));
    EXPECT_EQ(memcmp(&masterBefore, &g, sizeof(g)), 0) << "every other field as it was";
    EXPECT_EQ(destroyGraphic(&g), 1) << "a second destroy finds nothing to release";

    EXPECT_EQ(destroyGraphic(NULL), 0);
    EXPECT_EQ(errorText(), "destroyGraphic:  null pointer passed\n");
}

TEST_F(FrameTest, DrawGraphicBlitsTheCurrentFrameWithItsColourKey)
{
    std::vector<unsigned char> pixels = framePixels(), other = framePixels(50);
    ASSERT_EQ(loadFrame(&g, pixels.data(), 0), 1);
    ASSERT_EQ(loadFrame(&g, other.data(), 4), 1);
    paintBackBuffer(200);
    g.x = 100;
    g.y = 50;
    ASSERT_EQ(setFrame(&g, 4), 1);
    ASSERT_EQ(drawGraphic(&g), 1) << errorText();
    std::vector<unsigned char> expected = other;
    expected[1 * 5 + 1] = 200; // the key pixel lets the background through
    EXPECT_EQ(backBufferAt(100, 50, 5, 3), expected);
    EXPECT_EQ(backBufferAt(99, 49, 1, 1), std::vector<unsigned char>{200});
    EXPECT_EQ(backBufferAt(105, 53, 1, 1), std::vector<unsigned char>{200});

    // Partly off the screen: the visible part is drawn.
    ASSERT_EQ(setFrame(&g, 0), 1);
    g.x = 797;
    g.y = -1;
    ASSERT_EQ(drawGraphic(&g), 1) << errorText();
    EXPECT_EQ(backBufferAt(797, 0, 3, 2), (std::vector<unsigned char>{30, 200, 32, 40, 41, 42}));
    EXPECT_EQ(errorText(), "");
}

TEST_F(FrameTest, DrawGraphicSkipsInvisibleGraphicsAndRefusesMissingFrames)
{
    paintBackBuffer(200);
    int blits = faultCallCount("Blt");
    g.visible = 0;
    g.currentFrame = 6; // empty slot: not even looked at
    EXPECT_EQ(drawGraphic(&g), 1);
    g.currentFrame = 25;
    EXPECT_EQ(drawGraphic(&g), 1);
    EXPECT_EQ(faultCallCount("Blt"), blits);
    EXPECT_EQ(errorText(), "");

    g.visible = 1;
    g.currentFrame = 6;
    EXPECT_EQ(drawGraphic(&g), 0);
    for (int wild : {MAX_FRAMES, -1, 1 << 30}) {
        g.currentFrame = wild;
        EXPECT_EQ(drawGraphic(&g), 0);
    }
    EXPECT_EQ(faultCallCount("Blt"), blits);
    EXPECT_EQ(drawGraphic(NULL), 0);
    EXPECT_EQ(errorText(), "drawGraphic:  frame to be displayed was NULL!\n"
                           "drawGraphic:  frame index out of bounds\n"
                           "drawGraphic:  frame index out of bounds\n"
                           "drawGraphic:  frame index out of bounds\n"
                           "drawGraphic: null pointer passed\n");
    EXPECT_EQ(backBufferAt(0, 0, 1, 1), std::vector<unsigned char>{200});
}

TEST_F(FrameTest, DrawGraphicReportsAFailedBlitTwice)
{
    std::vector<unsigned char> pixels = framePixels();
    ASSERT_EQ(loadFrame(&g, pixels.data(), 0), 1);
    Graphic before = g;
    EXPECT_TRUE(faultSet("Blt", 1, 1, DDERR_SURFACELOST));
    EXPECT_EQ(drawGraphic(&g), 0);
    EXPECT_EQ(memcmp(&before, &g, sizeof(g)), 0);
    EXPECT_EQ(errorText(), "drawSurfaceToBackBuffer:  blit error\n"
                           "drawGraphic:  error drawing surface\n");
}

TEST_F(FrameTest, DrawGraphicListDrawsInOrderAndStopsAtTheFirstFailure)
{
    std::vector<unsigned char> pixels = framePixels(), other = framePixels(50);
    ASSERT_EQ(loadFrame(&g, pixels.data(), 0), 1);
    ASSERT_EQ(loadFrame(&g, other.data(), 1), 1);
    Graphic a, b, hidden, empty, c;
    cloneGraphic(&g, &a);
    cloneGraphic(&g, &b);
    cloneGraphic(&g, &hidden);
    cloneGraphic(&g, &empty);
    cloneGraphic(&g, &c);
    a.x = 10;
    b.x = 12; // overlaps a: drawn after it, so on top
    setFrame(&b, 1);
    hidden.visible = 0;
    hidden.currentFrame = 9;
    empty.currentFrame = 9;
    empty.x = 40;
    c.x = 60;

    paintBackBuffer(200);
    Graphic* ok[3] = {&a, &hidden, &b};
    EXPECT_EQ(drawGraphicList(ok, 3), 1);
    EXPECT_EQ(backBufferAt(10, 0, 7, 1), (std::vector<unsigned char>{20, 21, 70, 71, 72, 73, 74}));
    EXPECT_EQ(drawGraphicList(ok, 0), 1);
    EXPECT_EQ(errorText(), "");

    Graphic* failing[3] = {&a, &empty, &c};
    EXPECT_EQ(drawGraphicList(failing, 3), 0);
    EXPECT_EQ(backBufferAt(60, 0, 1, 1), std::vector<unsigned char>{200}) << "c is not drawn";
    empty.currentFrame = MAX_FRAMES;
    EXPECT_EQ(drawGraphicList(failing, 3), 0);
    Graphic* holed[2] = {NULL, &c};
    EXPECT_EQ(drawGraphicList(holed, 2), 0);
    EXPECT_EQ(drawGraphicList(NULL, 1), 0);
    EXPECT_EQ(backBufferAt(60, 0, 1, 1), std::vector<unsigned char>{200});

    EXPECT_TRUE(faultSet("Blt", 2, 1, DDERR_GENERIC));
    Graphic* blitFails[3] = {&a, &b, &c};
    EXPECT_EQ(drawGraphicList(blitFails, 3), 0);
    EXPECT_EQ(backBufferAt(60, 0, 1, 1), std::vector<unsigned char>{200});
    EXPECT_EQ(errorText(), "processGraphic:  frame to be displayed was NULL!\n"
                           "drawGraphicList: frame index out of bounds\n"
                           "drawGraphicList: null pointer passed\n"
                           "drawGraphicList: null pointer passed\n"
                           "drawSurfaceToBackBuffer:  blit error\n"
                           "processGraphic:  error drawing surface\n");
}

} // namespace
