// The software DirectDraw against the behaviours of the real one that the game relies on.
#include <string.h>

#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "platform/headless.h"
#include "platform/standin_hooks.h"
#include "platform/instrumentation.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"

namespace {

DDSURFACEDESC2 blankDesc()
{
    DDSURFACEDESC2 d;
    memset(&d, 0, sizeof(d));
    d.dwSize = sizeof(d);
    return d;
}

DDBLTFX fillFx(DWORD colour)
{
    DDBLTFX fx;
    memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    return fx;
}

class StandIn : public GameTest {
protected:
    LPDIRECTDRAW7 dd = NULL;
    LPDIRECTDRAWSURFACE7 primary = NULL;
    LPDIRECTDRAWSURFACE7 back = NULL;

    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_TRUE(openGameWindow());
        ASSERT_EQ(DirectDrawCreateEx(NULL, (LPVOID*)&dd, IID_IDirectDraw7, NULL), DD_OK);
        ASSERT_EQ(dd->SetCooperativeLevel(mainWindow, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
        ASSERT_EQ(dd->SetDisplayMode(800, 600, 8, 0, 0), DD_OK);
        DDSURFACEDESC2 d = blankDesc();
        d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        d.dwBackBufferCount = 1;
        d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        ASSERT_EQ(dd->CreateSurface(&d, &primary, NULL), DD_OK);
        DDSCAPS2 caps = {};
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    }

    LPDIRECTDRAWSURFACE7 offscreen(int width, int height, int key = -1)
    {
        DDSURFACEDESC2 d = blankDesc();
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        d.dwWidth = width;
        d.dwHeight = height;
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        if (key >= 0) {
            d.dwFlags |= DDSD_CKSRCBLT;
            d.ddckCKSrcBlt.dwColorSpaceLowValue = key;
            d.ddckCKSrcBlt.dwColorSpaceHighValue = key;
        }
        LPDIRECTDRAWSURFACE7 s = NULL;
        EXPECT_EQ(dd->CreateSurface(&d, &s, NULL), DD_OK);
        return s;
    }

    LPDIRECTDRAWCLIPPER clipTo(LPDIRECTDRAWSURFACE7 surface, const std::vector<RECT>& rects)
    {
        std::vector<unsigned char> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
        RGNDATA* data = (RGNDATA*)buffer.data();
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = (DWORD)rects.size();
        data->rdh.nRgnSize = (DWORD)(rects.size() * sizeof(RECT));
        data->rdh.rcBound = rects[0];
        memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
        LPDIRECTDRAWCLIPPER clipper = NULL;
        EXPECT_EQ(dd->CreateClipper(0, &clipper, NULL), DD_OK);
        EXPECT_EQ(clipper->SetClipList(data, 0), DD_OK);
        EXPECT_EQ(surface->SetClipper(clipper), DD_OK);
        return clipper;
    }

    // A copy of the surface's memory, padding included.
    std::vector<unsigned char> contents(LPDIRECTDRAWSURFACE7 s, int* pitch = NULL)
    {
        DDSURFACEDESC2 d = blankDesc();
        EXPECT_EQ(s->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
        std::vector<unsigned char> bytes((unsigned char*)d.lpSurface,
                                         (unsigned char*)d.lpSurface + d.lPitch * d.dwHeight);
        s->Unlock(NULL);
        if (pitch)
            *pitch = d.lPitch;
        return bytes;
    }

    // Pixel (x, y) of a surface is set to f(x, y).
    template <typename F> void paint(LPDIRECTDRAWSURFACE7 s, F f)
    {
        DDSURFACEDESC2 d = blankDesc();
        ASSERT_EQ(s->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
        for (DWORD y = 0; y < d.dwHeight; y++)
            for (DWORD x = 0; x < d.dwWidth; x++)
                ((unsigned char*)d.lpSurface)[y * d.lPitch + x] = (unsigned char)f(x, y);
        s->Unlock(NULL);
    }
};

TEST_F(StandIn, SurfacesArePaddedRowsOfPaletteIndexes)
{
    DDSURFACEDESC2 d = blankDesc();
    ASSERT_EQ(back->GetSurfaceDesc(&d), DD_OK);
    EXPECT_EQ(d.dwWidth, 800u);
    EXPECT_EQ(d.dwHeight, 600u);
    EXPECT_EQ(d.lPitch, 832);
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_TRUE(d.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);

    LPDIRECTDRAWSURFACE7 small = offscreen(5, 3);
    ASSERT_EQ(small->GetSurfaceDesc(&d), DD_OK);
    EXPECT_EQ(d.lPitch, 64);
    ddrawSetPitchAlignment(8);
    LPDIRECTDRAWSURFACE7 tight = offscreen(5, 3);
    ASSERT_EQ(tight->GetSurfaceDesc(&d), DD_OK);
    EXPECT_EQ(d.lPitch, 8);

    int width = 0, height = 0, bpp = 0;
    ASSERT_TRUE(headlessDisplayMode(&width, &height, &bpp));
    EXPECT_EQ(width * 10000 + height * 10 + bpp, 8006008);
}

TEST_F(StandIn, RefusesWhatDirectDrawRefuses)
{
    // A description without dwSize, a second primary, a stretch, a back buffer count of two.
    DDSURFACEDESC2 d = blankDesc();
    d.dwSize = 0;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = d.dwHeight = 8;
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    LPDIRECTDRAWSURFACE7 s = NULL;
    EXPECT_EQ(dd->CreateSurface(&d, &s, NULL), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s, nullptr);

    d = blankDesc();
    d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    d.dwBackBufferCount = 1;
    d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    EXPECT_EQ(dd->CreateSurface(&d, &s, NULL), DDERR_PRIMARYSURFACEALREADYEXISTS);

    LPDIRECTDRAWSURFACE7 a = offscreen(8, 8), b = offscreen(16, 16);
    EXPECT_EQ(b->Blt(NULL, a, NULL, DDBLT_WAIT, NULL), DDERR_NOSTRETCHHW);
    DDBLTFX fx = fillFx(1);
    fx.dwSize = 0;
    EXPECT_EQ(a->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
    LPDIRECTDRAWSURFACE7 c = offscreen(8, 8);
    EXPECT_EQ(c->Blt(NULL, a, NULL, DDBLT_KEYSRC, NULL), DDERR_NOCOLORKEY) << "a has no colour key";

    // Without a cooperative level nothing is made; without exclusive mode no mode is set.
    LPDIRECTDRAW7 other = NULL;
    ASSERT_EQ(DirectDrawCreateEx(NULL, (LPVOID*)&other, IID_IDirectDraw7, NULL), DD_OK);
    EXPECT_EQ(other->CreateSurface(&d, &s, NULL), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(other->SetDisplayMode(640, 480, 8, 0, 0), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(other->SetCooperativeLevel(mainWindow, DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    EXPECT_EQ(other->SetCooperativeLevel(NULL, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE),
              DDERR_INVALIDPARAMS);
    other->Release();

    LPDIRECTDRAW7 wrong = NULL;
    EXPECT_EQ(DirectDrawCreateEx(NULL, (LPVOID*)&wrong, IID_IDirectDraw7, (IUnknown*)dd),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(wrong, nullptr);
}

TEST_F(StandIn, ColourFillCoversTheRectangleOrTheWholeSurface)
{
    DDBLTFX fx = fillFx(7);
    ASSERT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    fx = fillFx(9);
    RECT r = {10, 20, 13, 22};
    ASSERT_EQ(back->Blt(&r, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);

    int pitch;
    std::vector<unsigned char> px = contents(back, &pitch);
    EXPECT_EQ(px[0], 7);
    EXPECT_EQ(px[599 * pitch + 799], 7);
    EXPECT_EQ(px[599 * pitch + 800], 0) << "the padding past the width is not part of the surface";
    EXPECT_EQ(px[20 * pitch + 10], 9);
    EXPECT_EQ(px[21 * pitch + 12], 9);
    EXPECT_EQ(px[21 * pitch + 13], 7);
    EXPECT_EQ(px[22 * pitch + 12], 7);
}

TEST_F(StandIn, ClipperTrimsDestinationAndSourceAlike)
{
    LPDIRECTDRAWSURFACE7 sprite = offscreen(32, 16);
    paint(sprite, [](int x, int y) { return 1 + x + y * 32; });
    RECT screen = {0, 0, 800, 600};
    LPDIRECTDRAWCLIPPER clipper = clipTo(back, {screen});

    RECT src = {0, 0, 32, 16};
    RECT right = {790, 100, 822, 116};
    ASSERT_EQ(back->Blt(&right, sprite, &src, DDBLT_WAIT, NULL), DD_OK);
    RECT topLeft = {-5, -3, 27, 13};
    ASSERT_EQ(back->Blt(&topLeft, sprite, &src, DDBLT_WAIT, NULL), DD_OK);

    int pitch;
    std::vector<unsigned char> px = contents(back, &pitch);
    EXPECT_EQ(px[100 * pitch + 789], 0);
    EXPECT_EQ(px[100 * pitch + 790], 1);
    EXPECT_EQ(px[100 * pitch + 799], 10);
    EXPECT_EQ(px[115 * pitch + 799], (unsigned char)(1 + 9 + 15 * 32));
    for (int x = 800; x < pitch; x++)
        ASSERT_EQ(px[100 * pitch + x], 0) << "column " << x << " is past the clip rectangle";
    EXPECT_EQ(px[0], 1 + 5 + 3 * 32) << "the source is trimmed by what left the screen";
    EXPECT_EQ(px[12 * pitch + 26], (unsigned char)(1 + 31 + 15 * 32));

    // Several rectangles: only their union is written.
    LPDIRECTDRAWSURFACE7 target = offscreen(40, 10);
    LPDIRECTDRAWCLIPPER two = clipTo(target, {RECT{0, 0, 4, 10}, RECT{30, 0, 40, 10}});
    RECT wide = {0, 0, 32, 10};
    RECT part = {0, 0, 32, 10};
    ASSERT_EQ(target->Blt(&wide, sprite, &part, DDBLT_WAIT, NULL), DD_OK);
    px = contents(target, &pitch);
    EXPECT_EQ(px[3], 4);
    EXPECT_EQ(px[4], 0);
    EXPECT_EQ(px[29], 0);
    EXPECT_EQ(px[30], 31);
    clipper->Release();
    two->Release();
}

TEST_F(StandIn, UnclippedDestinationMustLieOnTheSurface)
{
    LPDIRECTDRAWSURFACE7 sprite = offscreen(32, 16);
    paint(sprite, [](int, int) { return 5; });
    RECT src = {0, 0, 32, 16};
    RECT off = {790, 100, 822, 116};
    EXPECT_EQ(back->Blt(&off, sprite, &src, DDBLT_WAIT, NULL), DDERR_INVALIDRECT);
    RECT badSource = {0, 0, 33, 16};
    RECT inside = {0, 0, 33, 16};
    EXPECT_EQ(back->Blt(&inside, sprite, &badSource, DDBLT_WAIT, NULL), DDERR_INVALIDRECT);
    DDBLTFX fx = fillFx(3);
    RECT negative = {-1, 0, 10, 10};
    EXPECT_EQ(back->Blt(&negative, NULL, NULL, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
    std::vector<unsigned char> px = contents(back);
    for (unsigned char b : px)
        ASSERT_EQ(b, 0) << "a refused blit writes nothing";
}

TEST_F(StandIn, ColourKeyLeavesKeyPixelsOut)
{
    LPDIRECTDRAWSURFACE7 sprite = offscreen(4, 1, 0);
    paint(sprite, [](int x, int) { return x % 2 ? 0 : 20 + x; }); // 20 0 22 0
    DDBLTFX fx = fillFx(99);
    back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx);

    RECT src = {0, 0, 4, 1};
    RECT keyed = {0, 0, 4, 1};
    RECT plain = {0, 1, 4, 2};
    ASSERT_EQ(back->Blt(&keyed, sprite, &src, DDBLT_KEYSRC | DDBLT_WAIT, NULL), DD_OK);
    ASSERT_EQ(back->Blt(&plain, sprite, &src, DDBLT_WAIT, NULL), DD_OK);
    int pitch;
    std::vector<unsigned char> px = contents(back, &pitch);
    EXPECT_EQ(std::vector<int>(px.begin(), px.begin() + 4), (std::vector<int>{20, 99, 22, 99}));
    EXPECT_EQ(std::vector<int>(px.begin() + pitch, px.begin() + pitch + 4),
              (std::vector<int>{20, 0, 22, 0}));
}

TEST_F(StandIn, LockedSurfacesAreBusy)
{
    LPDIRECTDRAWSURFACE7 sprite = offscreen(8, 8, 0);
    RECT r = {0, 0, 8, 8};
    DDBLTFX fx = fillFx(1);
    DDSURFACEDESC2 d = blankDesc();

    ASSERT_EQ(back->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
    EXPECT_EQ(back->Blt(&r, sprite, &r, DDBLT_WAIT, NULL), DDERR_SURFACEBUSY);
    EXPECT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DDERR_SURFACEBUSY);
    EXPECT_EQ(primary->Flip(NULL, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    DDSURFACEDESC2 again = blankDesc();
    EXPECT_EQ(back->Lock(NULL, &again, DDLOCK_WAIT, NULL), DDERR_SURFACEBUSY);
    EXPECT_EQ(back->Unlock(NULL), DD_OK);
    EXPECT_EQ(back->Unlock(NULL), DDERR_NOTLOCKED);

    ASSERT_EQ(sprite->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
    EXPECT_EQ(back->Blt(&r, sprite, &r, DDBLT_WAIT, NULL), DDERR_SURFACEBUSY)
        << "the source is locked";
    sprite->Unlock(NULL);
    EXPECT_EQ(back->Blt(&r, sprite, &r, DDBLT_WAIT, NULL), DD_OK);

    d = blankDesc();
    d.dwSize = sizeof(d) - 4;
    EXPECT_EQ(back->Lock(NULL, &d, DDLOCK_WAIT, NULL), DDERR_INVALIDPARAMS);
}

TEST_F(StandIn, FlipExchangesMemoryAndShowsItThroughThePalette)
{
    PALETTEENTRY table[256];
    for (int i = 0; i < 256; i++)
        table[i] = PALETTEENTRY{(BYTE)i, (BYTE)(255 - i), 7, 0};
    LPDIRECTDRAWPALETTE palette = NULL;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT, table, &palette, NULL), DD_OK);
    ASSERT_EQ(primary->SetPalette(palette), DD_OK);

    DDSURFACEDESC2 d = blankDesc();
    ASSERT_EQ(primary->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
    void* frontMemory = d.lpSurface;
    primary->Unlock(NULL);
    ASSERT_EQ(back->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
    void* backMemory = d.lpSurface;
    ((unsigned char*)d.lpSurface)[2 * d.lPitch + 3] = 200;
    back->Unlock(NULL);

    int before = headlessPresentCount();
    ASSERT_EQ(primary->Flip(NULL, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(headlessPresentCount(), before + 1);
    ASSERT_EQ(back->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
    EXPECT_EQ(d.lpSurface, frontMemory);
    back->Unlock(NULL);
    ASSERT_EQ(primary->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
    EXPECT_EQ(d.lpSurface, backMemory);
    primary->Unlock(NULL);

    std::vector<unsigned char> rgb(800 * 600 * 3);
    ASSERT_TRUE(headlessScreenRGB(rgb.data()));
    const unsigned char* p = &rgb[(2 * 800 + 3) * 3];
    EXPECT_EQ(p[0] * 65536 + p[1] * 256 + p[2], 200 * 65536 + 55 * 256 + 7);
    EXPECT_EQ(rgb[0] * 65536 + rgb[1] * 256 + rgb[2], 0 * 65536 + 255 * 256 + 7);

    // Changing the primary's palette changes the picture at once.
    PALETTEENTRY red = {255, 0, 0, 0};
    ASSERT_EQ(palette->SetEntries(0, 200, 1, &red), DD_OK);
    ASSERT_TRUE(headlessScreenRGB(rgb.data()));
    EXPECT_EQ(p[0] * 65536 + p[1] * 256 + p[2], 0xFF0000);
    PALETTEENTRY got[2];
    ASSERT_EQ(palette->GetEntries(0, 199, 2, got), DD_OK);
    EXPECT_EQ(got[1].peRed * 65536 + got[1].peGreen * 256 + got[1].peBlue, 0xFF0000);
    EXPECT_EQ(got[0].peRed, 199);
    EXPECT_EQ(palette->SetEntries(0, 255, 2, got), DDERR_INVALIDPARAMS);

    LPDIRECTDRAWSURFACE7 plain = offscreen(8, 8);
    EXPECT_EQ(plain->Flip(NULL, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    palette->Release();
}

TEST_F(StandIn, ClipListComesBackAsItWasSet)
{
    LPDIRECTDRAWCLIPPER clipper = NULL;
    ASSERT_EQ(dd->CreateClipper(0, &clipper, NULL), DD_OK);
    DWORD size = 0;
    EXPECT_EQ(clipper->GetClipList(NULL, NULL, &size), DDERR_NOCLIPLIST);

    struct {
        RGNDATAHEADER rdh;
        RECT rects[2];
    } list = {{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 32, {-1, -2, 30, 40}},
              {{-1, -2, 10, 10}, {5, 5, 30, 40}}};
    ASSERT_EQ(clipper->SetClipList((LPRGNDATA)&list, 0), DD_OK);
    ASSERT_EQ(clipper->GetClipList(NULL, NULL, &size), DD_OK);
    EXPECT_EQ(size, 64u);
    unsigned char out[64];
    DWORD small = 40;
    EXPECT_EQ(clipper->GetClipList(NULL, (LPRGNDATA)out, &small), DDERR_REGIONTOOSMALL);
    ASSERT_EQ(clipper->GetClipList(NULL, (LPRGNDATA)out, &size), DD_OK);
    EXPECT_EQ(memcmp(out, &list, 64), 0);

    list.rdh.iType = 2;
    EXPECT_EQ(clipper->SetClipList((LPRGNDATA)&list, 0), DDERR_INVALIDCLIPLIST);
    list.rdh.iType = RDH_RECTANGLES;
    list.rdh.dwSize = 36;
    EXPECT_EQ(clipper->SetClipList((LPRGNDATA)&list, 0), DDERR_INVALIDCLIPLIST);
    clipper->Release();
}

TEST_F(StandIn, ReferencesKeepObjectsAliveUntilTheLastRelease)
{
    // The fixture holds the DirectDraw object, the primary and the back buffer.
    EXPECT_EQ(liveObjectCount(), 3);
    LPDIRECTDRAWPALETTE palette = NULL;
    PALETTEENTRY table[256] = {};
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT, table, &palette, NULL), DD_OK);
    ASSERT_EQ(primary->SetPalette(palette), DD_OK);
    RECT screen = {0, 0, 800, 600};
    LPDIRECTDRAWCLIPPER clipper = clipTo(back, {screen});
    LPDIRECTDRAWSURFACE7 sprite = offscreen(4, 4);
    EXPECT_EQ(liveObjectCount(), 6);

    // Released in the game's order; the surfaces still hold palette and clipper.
    EXPECT_EQ(clipper->Release(), 1u);
    EXPECT_EQ(palette->Release(), 1u);
    EXPECT_EQ(liveObjectCount(), 6);
    EXPECT_EQ(back->Release(), 1u) << "the primary still holds its back buffer";
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(liveObjectCount(), 2) << "the chain took its back buffer, palette and clipper along";
    EXPECT_EQ(sprite->Release(), 0u);
    EXPECT_EQ(dd->Release(), 0u);
    EXPECT_EQ(liveObjectCount(), 0);
    EXPECT_EQ(headlessDisplayMode(NULL, NULL, NULL), 0) << "the desktop got its mode back";

    // What a test leaves behind is freed by the reset.
    ASSERT_EQ(DirectDrawCreateEx(NULL, (LPVOID*)&dd, IID_IDirectDraw7, NULL), DD_OK);
    headlessReset(1000);
    EXPECT_EQ(liveObjectCount(), 0);
    dd = NULL;
}

TEST_F(StandIn, ReleasingThePrimaryAloneLeavesTheHeldBackBuffer)
{
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(liveObjectCount(), 2);
    EXPECT_EQ(back->Release(), 0u);
    EXPECT_EQ(liveObjectCount(), 1);
}

TEST_F(StandIn, FaultsHitTheChosenCallsOnly)
{
    DDBLTFX fx = fillFx(1);
    EXPECT_TRUE(faultSet("Blt", 2, 2, DDERR_WASSTILLDRAWING));
    EXPECT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(faultCallCount("Blt"), 4);

    EXPECT_TRUE(faultSet("CreateSurface", 1, 1, DDERR_NODIRECTDRAWHW));
    DDSURFACEDESC2 d = blankDesc();
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = d.dwHeight = 4;
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
    LPDIRECTDRAWSURFACE7 s = NULL;
    EXPECT_EQ(dd->CreateSurface(&d, &s, NULL), DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(dd->CreateSurface(&d, &s, NULL), DD_OK);

    EXPECT_TRUE(faultSet("Lock", 1, -1, DDERR_GENERIC));
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(back->Lock(NULL, &d, DDLOCK_WAIT, NULL), DDERR_GENERIC);
    faultClearAll();
    EXPECT_EQ(back->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
    back->Unlock(NULL);
}

// A name the stand-in has no call for is refused, so a misspelt fault fails its test
// instead of never firing; the names match exactly, case included.
TEST_F(StandIn, FaultsOnUnknownCallsAreRefused)
{
    for (const char* call : {"Blit", "lock", "GetTickcount", "CreateSurface7", ""})
        EXPECT_FALSE(faultSet(call, 1, -1, DDERR_GENERIC)) << call;
    EXPECT_EQ(faultCallCount("Blit"), 0);
    DDBLTFX fx = fillFx(1);
    EXPECT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DD_OK);
}

TEST_F(StandIn, RecordsTheCallsThatMatter)
{
    recordEnable(1);
    LPDIRECTDRAWSURFACE7 sprite = offscreen(32, 16, 3);
    RECT src = {0, 0, 32, 16};
    RECT dst = {10, 20, 42, 36};
    back->Blt(&dst, sprite, &src, DDBLT_KEYSRC | DDBLT_WAIT, NULL);
    primary->Flip(NULL, DDFLIP_WAIT);
    ASSERT_EQ(recordCount(), 3);
    EXPECT_STREQ(recordLine(0),
                 "CreateSurface flags=0x10007 caps=0x40 size=32x16 backbuffers=0 key=(3,3)");
    EXPECT_STREQ(recordLine(1), "Blt back dest=(10,20,42,36) src=s1(0,0,32,16) flags=0x1008000");
    EXPECT_STREQ(recordLine(2), "Flip primary flags=0x1");
}

TEST_F(StandIn, LostSurfacesRefuseUntilRestored)
{
    LPDIRECTDRAWSURFACE7 sprite = offscreen(4, 4);
    ddrawLoseSurfaces();
    DDBLTFX fx = fillFx(1);
    DDSURFACEDESC2 d = blankDesc();
    RECT r = {0, 0, 4, 4};
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(back->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DDERR_SURFACELOST);
    EXPECT_EQ(back->Lock(NULL, &d, DDLOCK_WAIT, NULL), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Flip(NULL, DDFLIP_WAIT), DDERR_SURFACELOST);

    // Restoring the primary restores its back buffer, not the other surfaces.
    ASSERT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(primary->Flip(NULL, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(back->Blt(&r, sprite, &r, DDBLT_WAIT, NULL), DDERR_SURFACELOST);
    ASSERT_EQ(sprite->Restore(), DD_OK);
    EXPECT_EQ(back->Blt(&r, sprite, &r, DDBLT_WAIT, NULL), DD_OK);
}

TEST_F(StandIn, RestoredSurfacesKeepTheirPixelsOrComeBackHoldingGarbage)
{
    for (int garbage = 0; garbage <= 1; garbage++) {
        LPDIRECTDRAWSURFACE7 sprite = offscreen(8, 8);
        DDBLTFX fx = fillFx(7);
        ASSERT_EQ(sprite->Blt(NULL, NULL, NULL, DDBLT_COLORFILL, &fx), DD_OK);
        ddrawSetRestoreGarbage(garbage);
        ddrawLoseSurfaces();
        ASSERT_EQ(sprite->Restore(), DD_OK);
        DDSURFACEDESC2 d = blankDesc();
        ASSERT_EQ(sprite->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
        int kept = 0;
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++)
                kept += ((unsigned char*)d.lpSurface)[y * d.lPitch + x] == 7;
        sprite->Unlock(NULL);
        EXPECT_EQ(kept == 64, garbage == 0)
            << "garbage mode " << garbage << ": " << kept << " kept";
        ASSERT_EQ(primary->Restore(), DD_OK);
    }
}

} // namespace
