// The display: device start-up and shutdown, the back buffer, off-screen surfaces and
// blits, the palette file.
#include <string.h>

#include <string>
#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "display/display.h"
#include "tests/support/display_support.h"
#include "platform/headless.h"
#include "platform/standin_hooks.h"
#include "platform/instrumentation.h"
#include "shell/errorlog.h"
#include "shell/shell.h"
#include "tests/support/testsupport.h"

namespace {

class Display : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_TRUE(openGameWindow());
        writeTestPalette("palette.pal");
    }

    void up() { ASSERT_EQ(ddInit(800, 600, 8), 1) << errorText(); }

    // The back buffer's bytes, padding included.
    std::vector<unsigned char> backBuffer(int* pitchOut = NULL)
    {
        int pitch = 0;
        unsigned char* memory = lockBackBuffer(&pitch);
        EXPECT_NE(memory, nullptr);
        std::vector<unsigned char> bytes(memory, memory + pitch * 600);
        unlockBackBuffer();
        if (pitchOut)
            *pitchOut = pitch;
        return bytes;
    }

    std::vector<unsigned char> surfaceBytes(LPDIRECTDRAWSURFACE7 s)
    {
        DDSURFACEDESC2 d;
        memset(&d, 0, sizeof(d));
        d.dwSize = sizeof(d);
        EXPECT_EQ(s->Lock(NULL, &d, DDLOCK_WAIT, NULL), DD_OK);
        std::vector<unsigned char> bytes((unsigned char*)d.lpSurface,
                                         (unsigned char*)d.lpSurface + d.lPitch * d.dwHeight);
        s->Unlock(NULL);
        return bytes;
    }

    std::vector<RECT> clipRects(LPDIRECTDRAWCLIPPER clipper, RGNDATAHEADER* header)
    {
        DWORD size = 0;
        EXPECT_EQ(clipper->GetClipList(NULL, NULL, &size), DD_OK);
        std::vector<unsigned char> buffer(size);
        EXPECT_EQ(clipper->GetClipList(NULL, (LPRGNDATA)buffer.data(), &size), DD_OK);
        memcpy(header, buffer.data(), sizeof(RGNDATAHEADER));
        const RECT* rects = (const RECT*)(buffer.data() + sizeof(RGNDATAHEADER));
        return std::vector<RECT>(rects, rects + header->nCount);
    }
};

std::string rectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

TEST_F(Display, InitTakesTheScreenWithTheRequestedSettings)
{
    recordEnable(1);
    up();
    EXPECT_EQ(errorText(), "");
    std::vector<std::string> lines;
    for (int i = 0; i < recordCount(); i++)
        lines.push_back(recordLine(i));
    std::vector<std::string> expected = {
        "DirectDrawCreateEx",
        "SetCooperativeLevel flags=0x53",
        "SetDisplayMode 800x600x8 refresh=0 flags=0x0",
        "CreateSurface flags=0x21 caps=0x218 size=0x0 backbuffers=1 key=(0,0)",
        "CreatePalette flags=0x4",
        "SetPalette primary",
        "CreateClipper flags=0x0",
        "SetClipList count=1 bound=(0,0,800,600)",
        "SetClipper back",
    };
    EXPECT_EQ(lines, expected);

    // The palette holds the file's colours.
    PALETTEENTRY live[256];
    ASSERT_EQ(lpddPalette->GetEntries(0, 0, 256, live), DD_OK);
    EXPECT_EQ(memcmp(live, testPaletteBytes().data(), 1024), 0);
    EXPECT_EQ(memcmp(paletteTable, testPaletteBytes().data(), 1024), 0);

    int pitch = 0;
    backBuffer(&pitch);
    EXPECT_EQ(pitch, 832);
    ddShutDown();
    EXPECT_EQ(liveObjectCount(), 0);
}

TEST_F(Display, MissingPaletteStopsAfterTheBackBufferAndShutdownReleasesTheRest)
{
    remove("palette.pal");
    EXPECT_EQ(ddInit(800, 600, 8), 0);
    EXPECT_EQ(errorText(), "loadPalette: error opening file\nddInit: error loading palette\n");
    EXPECT_NE(lpdd, nullptr);
    EXPECT_NE(lpddsPrimary, nullptr);
    EXPECT_NE(lpddsBack, nullptr);
    EXPECT_EQ(lpddPalette, nullptr);
    EXPECT_EQ(lpddClipper, nullptr);
    EXPECT_EQ(liveObjectCount(), 3);

    EXPECT_EQ(ddShutDown(), 1);
    EXPECT_EQ(liveObjectCount(), 0);
    EXPECT_EQ(lpdd, nullptr);
    EXPECT_EQ(lpddsPrimary, nullptr);
    EXPECT_EQ(lpddsBack, nullptr);
    EXPECT_EQ(ddShutDown(), 1);
    EXPECT_EQ(liveObjectCount(), 0);
}

TEST_F(Display, EachFailingStepOfInitLeavesItsChainOfMessages)
{
    struct Case {
        const char* call;
        int nth;
        const char* log;
    };
    const Case cases[] = {
        {"DirectDrawCreateEx", 1, "ddInit: error creating main DirectDraw interface\n"},
        {"SetCooperativeLevel", 1, "ddInit: error setting DirectDraw cooperation level\n"},
        {"SetDisplayMode", 1, "ddInit: error setting display mode\n"},
        {"CreateSurface", 1, "ddInit: error creating primary surface\n"},
        {"GetAttachedSurface", 1, "ddInit: error querying for back buffer\n"},
        {"CreatePalette", 1, "ddInit: error creating the DirectDraw Palette\n"},
        {"SetPalette", 1, "ddInit: error attaching palette to the primary surface\n"},
        {"CreateClipper", 1,
         "ddAttachClipper:  error creating DirectDraw clipper\nddInit: error attaching clipper to "
         "back buffer\n"},
        {"SetClipList", 1,
         "ddAttachClipper:  error setting clip list\nddInit: error attaching clipper to back "
         "buffer\n"},
        {"SetClipper", 1,
         "ddAttachClipper:  error attaching clipper to surface\nddInit: error attaching clipper to "
         "back buffer\n"},
    };
    for (const Case& c : cases) {
        resetWorld();
        ASSERT_TRUE(openGameWindow());
        openErrorLog("Error.txt");
        EXPECT_TRUE(faultSet(c.call, c.nth, 1, DDERR_GENERIC));
        EXPECT_EQ(ddInit(800, 600, 8), 0) << c.call;
        EXPECT_EQ(errorText(), c.log) << c.call;
        EXPECT_EQ(lpddClipper, nullptr) << c.call;
        // Whatever was made is released by the shutdown, the failed clipper by ddAttachClipper.
        ddShutDown();
        EXPECT_EQ(liveObjectCount(), 0) << c.call;
    }
}

TEST_F(Display, ClipperCoversTheScreenWhateverModeWasAskedFor)
{
    ASSERT_EQ(ddInit(640, 480, 8), 1) << errorText();
    RGNDATAHEADER header;
    std::vector<RECT> rects = clipRects(lpddClipper, &header);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rectText(rects[0]), "(0,0,800,600)");
    EXPECT_EQ(rectText(header.rcBound), "(0,0,800,600)");
}

TEST_F(Display, ClipListOfSeveralRectanglesAndItsBound)
{
    up();
    RECT rects[3] = {{0, 0, 10, 10}, {5, -5, 20, 8}, {-3, 2, 4, 30}};
    LPDIRECTDRAWSURFACE7 target = createDDSurface(16, 16, 0, 0);
    ASSERT_NE(target, nullptr);
    LPDIRECTDRAWCLIPPER clipper = ddAttachClipper(target, 3, rects);
    ASSERT_NE(clipper, nullptr);
    RGNDATAHEADER header;
    std::vector<RECT> got = clipRects(clipper, &header);
    EXPECT_EQ(rectText(header.rcBound), "(-3,-5,20,30)");
    EXPECT_EQ(header.nCount, 3u);
    EXPECT_EQ(header.nRgnSize, 48u);
    EXPECT_EQ(header.dwSize, 32u);
    EXPECT_EQ(header.iType, (DWORD)RDH_RECTANGLES);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(rectText(got[1]), "(5,-5,20,8)");
    EXPECT_EQ(rectText(got[2]), "(-3,2,4,30)");

    // Caller and surface each hold the clipper.
    int live = liveObjectCount();
    clipper->Release();
    EXPECT_EQ(liveObjectCount(), live);
    target->Release();
    EXPECT_EQ(liveObjectCount(), live - 2);

    // Nothing to clip to: refused before anything is made.
    EXPECT_EQ(ddAttachClipper(lpddsBack, 0, rects), nullptr);
    EXPECT_EQ(ddAttachClipper(lpddsBack, 1, NULL), nullptr);
    EXPECT_EQ(liveObjectCount(), live - 2);
}

TEST_F(Display, PlotPixelWritesRowTimesPitchPlusColumn)
{
    std::vector<unsigned char> buffer(832 * 3, 0);
    EXPECT_EQ(plotPixel(3, 2, 255, buffer.data(), 832), 1);
    for (size_t i = 0; i < buffer.size(); i++)
        ASSERT_EQ(buffer[i], i == 1667 ? 255 : 0) << "offset " << i;
}

TEST_F(Display, BackBufferLockUnlockAndTheirFailures)
{
    int pitch = 0;
    EXPECT_EQ(lockBackBuffer(&pitch), nullptr);
    EXPECT_EQ(unlockBackBuffer(), 0);
    EXPECT_EQ(errorText(),
              "lockBackBuffer:  back buffer was NULL\nlockBackBuffer:  back buffer was NULL\n");

    up();
    openErrorLog("Error.txt");
    EXPECT_EQ(lockBackBuffer(NULL), nullptr);
    EXPECT_EQ(errorText(), "lockBackBuffer:  null pointer passed\n");
    unsigned char* memory = lockBackBuffer(&pitch);
    ASSERT_NE(memory, nullptr) << "the failed call left the back buffer unlocked";
    EXPECT_EQ(pitch, 832);
    plotPixel(799, 599, 42, memory, pitch);
    EXPECT_EQ(unlockBackBuffer(), 1);
    EXPECT_EQ(backBuffer()[599 * 832 + 799], 42);

    openErrorLog("Error.txt");
    EXPECT_EQ(unlockBackBuffer(), 0);
    EXPECT_TRUE(
        faultSet("Lock", 1, 2, DDERR_SURFACELOST)); // lost, and still lost after the restore
    EXPECT_EQ(lockBackBuffer(&pitch), nullptr);
    EXPECT_EQ(errorText(), "lockBackBuffer:  unlocking error\nlockBackBuffer:  locking error\n");
}

TEST_F(Display, ClearFillsTheWholeBackBufferWithColourZero)
{
    up();
    recordEnable(1);
    LPDIRECTDRAWSURFACE7 s = createDDSurface(8, 8, 0, 0);
    ASSERT_EQ(fillDDSurface(lpddsBack, 77, NULL), 1);
    EXPECT_EQ(backBuffer()[599 * 832 + 799], 77);
    recordClear();
    EXPECT_EQ(clearBackBuffer(), 1);
    EXPECT_STREQ(recordLine(0), "Blt back dest=(0,0,800,600) flags=0x1000400 fill=0");
    std::vector<unsigned char> px = backBuffer();
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            ASSERT_EQ(px[y * 832 + x], 0) << x << "," << y;

    RECT r = {2, 2, 4, 4};
    ASSERT_EQ(fillDDSurface(s, 5, &r), 1);
    std::vector<unsigned char> sb = surfaceBytes(s);
    EXPECT_EQ(sb[2 * 64 + 3], 5);
    EXPECT_EQ(sb[2 * 64 + 4], 0);

    EXPECT_TRUE(faultSet("Blt", 1, 2, DDERR_GENERIC));
    EXPECT_EQ(clearBackBuffer(), 0);
    EXPECT_EQ(fillDDSurface(s, 5, NULL), 0);
    EXPECT_EQ(errorText(), "clearBackBuffer: blit error\nfillDDSurface: blit error\n");
    s->Release();
}

TEST_F(Display, FlipShowsTheBackBufferThroughThePalette)
{
    up();
    fillDDSurface(lpddsBack, 3, NULL);
    EXPECT_EQ(flipSurfaces(), 1);
    std::vector<unsigned char> rgb(800 * 600 * 3);
    ASSERT_TRUE(headlessScreenRGB(rgb.data()));
    EXPECT_EQ(rgb[0] * 65536 + rgb[1] * 256 + rgb[2], 3 * 65536 + 252 * 256 + 1);
}

TEST_F(Display, FlipRecoversLostSurfacesAndGivesUpAfterABound)
{
    up();
    ddrawLoseSurfaces();
    fillDDSurface(lpddsBack, 9, NULL);
    EXPECT_EQ(errorText(), "fillDDSurface: blit error\n");
    int presented = headlessPresentCount();
    EXPECT_EQ(flipSurfaces(), 1);
    EXPECT_EQ(headlessPresentCount(), presented + 1);
    EXPECT_EQ(faultCallCount("Flip"), 2);
    EXPECT_EQ(clearBackBuffer(), 1) << "the back buffer came back with the primary";

    // A screen that stays away: a bounded number of tries, no log line, the frame goes on.
    openErrorLog("Error.txt");
    faultResetCounts();
    EXPECT_TRUE(faultSet("Flip", 1, -1, DDERR_SURFACELOST));
    EXPECT_EQ(flipSurfaces(), 0);
    EXPECT_EQ(faultCallCount("Flip"), 3);
    faultClearAll();
    ddrawLoseSurfaces();
    EXPECT_TRUE(faultSet("Restore", 1, -1, DDERR_WRONGMODE));
    EXPECT_EQ(flipSurfaces(), 0);
    EXPECT_EQ(faultCallCount("Flip"), 3);
    EXPECT_EQ(errorText(), "");

    // The palette goes back on with the surfaces.
    faultClearAll();
    recordEnable(1);
    EXPECT_EQ(flipSurfaces(), 1);
    EXPECT_STREQ(recordLine(1), "Restore primary");
    EXPECT_STREQ(recordLine(2), "SetPalette primary");
}

TEST_F(Display, CreateSurfaceAsksForAnOffscreenSurfaceWithAColourKey)
{
    up();
    recordEnable(1);
    LPDIRECTDRAWSURFACE7 s = createDDSurface(32, 16, DDSCAPS_VIDEOMEMORY, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(recordLine(0),
                 "CreateSurface flags=0x10007 caps=0x4040 size=32x16 backbuffers=0 key=(5,5)");
    s->Release();

    // Without video memory to give, system memory does; only a second refusal is logged.
    recordClear();
    EXPECT_TRUE(faultSet("CreateSurface", 1, 1, DDERR_NODIRECTDRAWHW));
    s = createDDSurface(32, 16, DDSCAPS_VIDEOMEMORY, 5);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(recordCount(), 1);
    EXPECT_STREQ(recordLine(0),
                 "CreateSurface flags=0x10007 caps=0x40 size=32x16 backbuffers=0 key=(5,5)");
    EXPECT_EQ(errorText(), "");
    s->Release();

    int before = faultCallCount("CreateSurface");
    EXPECT_TRUE(faultSet("CreateSurface", 1, 2, DDERR_OUTOFVIDEOMEMORY));
    EXPECT_EQ(createDDSurface(32, 16, DDSCAPS_VIDEOMEMORY, 5), nullptr);
    EXPECT_EQ(faultCallCount("CreateSurface"), before + 2);
    EXPECT_TRUE(faultSet("CreateSurface", 1, 1, DDERR_INVALIDPARAMS));
    EXPECT_EQ(createDDSurface(32, 16, DDSCAPS_VIDEOMEMORY, 5), nullptr);
    EXPECT_EQ(faultCallCount("CreateSurface"), before + 3) << "no second try for other refusals";
    EXPECT_EQ(
        errorText(),
        "createDDSurface:  error creating surface\ncreateDDSurface:  error creating surface\n");
}

TEST_F(Display, LockAndUnlockSurfaceChecksTheirArguments)
{
    up();
    LPDIRECTDRAWSURFACE7 s = createDDSurface(8, 8, 0, 0);
    int pitch = 0;
    EXPECT_EQ(lockSurface(NULL, &pitch), nullptr);
    EXPECT_EQ(lockSurface(s, NULL), nullptr);
    EXPECT_EQ(unlockSurface(NULL), 0);
    EXPECT_EQ(unlockSurface(s), 0) << "not locked";
    unsigned char* memory = lockSurface(s, &pitch);
    ASSERT_NE(memory, nullptr) << "the failed calls left it unlocked";
    EXPECT_EQ(pitch, 64);
    EXPECT_EQ(lockSurface(s, &pitch), nullptr) << "already locked";
    EXPECT_EQ(unlockSurface(s), 1);
    EXPECT_EQ(errorText(), "lockSurface: null surface pointer passed\n"
                           "lockSurface: null memory pitch pointer passed\n"
                           "unlockSurface: null surface passed\n"
                           "unlockSurface: unlocking error\n"
                           "lockSurface: surface locking error\n");
    s->Release();
}

TEST_F(Display, CopyBitmapFollowsThePitchAndStaysInsideTheSurface)
{
    up();
    ddrawSetPitchAlignment(8);
    LPDIRECTDRAWSURFACE7 s = createDDSurface(5, 3, 0, 0);
    ASSERT_NE(s, nullptr);
    fillDDSurface(s, 0xEE, NULL);
    int pitch = 0;
    lockSurface(s, &pitch);
    unlockSurface(s);
    ASSERT_EQ(pitch, 8);
    // Padding bytes the copy must not touch.
    unsigned char* memory = lockSurface(s, &pitch);
    memset(memory, 0xEE, 24);
    unlockSurface(s);

    unsigned char pixels[45];
    for (int i = 0; i < 45; i++)
        pixels[i] = (unsigned char)i;
    ASSERT_EQ(copyBitmapToSurface(pixels, s, 5, 3, 8), 1);
    std::vector<unsigned char> got = surfaceBytes(s);
    std::vector<unsigned char> want = {0,  1,  2,  3,  4,  0xEE, 0xEE, 0xEE,
                                       5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                                       10, 11, 12, 13, 14, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(got, want);

    // 24-bit rows (15 bytes) on the 8-byte pitch: each row is cut at the pitch; rows
    // beyond the surface's three are not written (the sanitizer would see them).
    ASSERT_EQ(copyBitmapToSurface(pixels, s, 5, 3, 24), 1);
    got = surfaceBytes(s);
    EXPECT_EQ(got[0], 0);
    EXPECT_EQ(got[7], 7);
    EXPECT_EQ(got[8], 15);
    EXPECT_EQ(got[16], 30);
    EXPECT_EQ(got[23], 37);
    ASSERT_EQ(copyBitmapToSurface(pixels, s, 1, 9, 8), 1);
    EXPECT_EQ(surfaceBytes(s)[16], 2);

    EXPECT_EQ(errorText(), "");
    EXPECT_EQ(copyBitmapToSurface(NULL, s, 5, 3, 8), 0);
    EXPECT_EQ(copyBitmapToSurface(pixels, NULL, 5, 3, 8), 0);
    EXPECT_TRUE(faultSet("Lock", 1, 1, DDERR_SURFACELOST));
    EXPECT_EQ(copyBitmapToSurface(pixels, s, 5, 3, 8), 0);
    EXPECT_TRUE(faultSet("Unlock", 1, 1, DDERR_GENERIC));
    EXPECT_EQ(copyBitmapToSurface(pixels, s, 5, 3, 8), 0);
    EXPECT_EQ(errorText(), "copyBitmapToSurface:  null pointer(s) passed\n"
                           "copyBitmapToSurface:  null pointer(s) passed\n"
                           "copyBitmapToSurface:  error locking surface\n"
                           "copyBitmapToSurface:  error unlocking surface\n");
    s->Release();
}

TEST_F(Display, SpriteAtTheRightEdgeDrawsItsVisibleColumnsOnly)
{
    up();
    LPDIRECTDRAWSURFACE7 sprite = createDDSurface(32, 16, DDSCAPS_VIDEOMEMORY, 0);
    ASSERT_NE(sprite, nullptr);
    unsigned char pixels[32 * 16];
    for (int i = 0; i < 32 * 16; i++)
        pixels[i] =
            (i % 32) % 4 == 1 ? 0 : (unsigned char)(100 + i % 32); // column 1, 5, 9: the key
    copyBitmapToSurface(pixels, sprite, 32, 16, 8);
    fillDDSurface(lpddsBack, 7, NULL);

    recordEnable(1);
    ASSERT_EQ(drawSurfaceToBackBuffer(sprite, 790, 100, 32, 16, 1), 1);
    EXPECT_STREQ(recordLine(0),
                 "Blt back dest=(790,100,822,116) src=s1(0,0,32,16) flags=0x1008000");
    std::vector<unsigned char> px = backBuffer();
    EXPECT_EQ(px[100 * 832 + 789], 7);
    EXPECT_EQ(px[100 * 832 + 790], 100);
    EXPECT_EQ(px[100 * 832 + 791], 7) << "key pixels are left out";
    EXPECT_EQ(px[115 * 832 + 798], 108);
    EXPECT_EQ(px[115 * 832 + 799], 7);
    EXPECT_EQ(px[116 * 832 + 790], 7);
    for (int x = 800; x < 832; x++)
        ASSERT_EQ(px[100 * 832 + x], 0) << "column " << x;

    // Without the key every pixel is copied, the key's included.
    ASSERT_EQ(drawSurfaceToBackBuffer(sprite, 0, 0, 32, 16, 0), 1);
    px = backBuffer();
    for (int x = 0; x < 32; x++)
        ASSERT_EQ(px[x], pixels[x]) << "column " << x;

    int pitch;
    lockBackBuffer(&pitch);
    EXPECT_EQ(drawSurfaceToBackBuffer(sprite, 0, 0, 32, 16, 1), 0) << "the back buffer is locked";
    EXPECT_EQ(errorText(), "drawSurfaceToBackBuffer:  blit error\n");
    unlockBackBuffer();
    sprite->Release();
}

TEST_F(Display, PaletteFilesOfOneKilobyte)
{
    PALETTEENTRY table[256];
    std::string bytes = testPaletteBytes();
    bytes[0] = 10;
    bytes[1] = 20;
    bytes[2] = 30;
    bytes[3] = 0;
    writeFile("exact.pal", bytes);
    ASSERT_EQ(loadPalette("exact.pal", table), 1);
    EXPECT_EQ(table[0].peRed, 10);
    EXPECT_EQ(table[0].peGreen, 20);
    EXPECT_EQ(table[0].peBlue, 30);
    EXPECT_EQ(table[0].peFlags, 0);
    EXPECT_EQ(memcmp(table, bytes.data(), 1024), 0);

    std::string twice = bytes + std::string(1024, '\x55');
    writeFile("long.pal", twice);
    memset(table, 0, sizeof(table));
    ASSERT_EQ(loadPalette("long.pal", table), 1);
    EXPECT_EQ(memcmp(table, bytes.data(), 1024), 0);
    EXPECT_EQ(errorText(), "");

    writeFile("short.pal", bytes.substr(0, 1023));
    memset(table, 0, sizeof(table));
    EXPECT_EQ(loadPalette("short.pal", table), 0);
    EXPECT_EQ(memcmp(table, bytes.data(), 255 * 4), 0) << "the whole entries read stay";
    writeFile("empty.pal", "");
    EXPECT_EQ(loadPalette("empty.pal", table), 0);
    EXPECT_EQ(loadPalette("missing.pal", table), 0);
    EXPECT_EQ(loadPalette("exact.pal", NULL), 0);
    EXPECT_EQ(errorText(), "loadPalette: error reading palette from file\n"
                           "loadPalette: error reading palette from file\n"
                           "loadPalette: error opening file\n"
                           "loadPalette:  null pointer passed\n");
}

TEST_F(Display, SavedPaletteLoadsBackTheSame)
{
    PALETTEENTRY table[256], back[256];
    for (int i = 0; i < 256; i++)
        table[i] = PALETTEENTRY{(BYTE)(i * 3), (BYTE)(i * 5), (BYTE)(255 - i), (BYTE)(i & 1)};
    ASSERT_EQ(savePalette("saved.pal", table), 1);
    EXPECT_EQ(readFile("saved.pal").size(), 1024u);
    ASSERT_EQ(loadPalette("saved.pal", back), 1);
    EXPECT_EQ(memcmp(table, back, sizeof(table)), 0);
    EXPECT_EQ(errorText(), "");

    EXPECT_EQ(savePalette("saved.pal", NULL), 0);
    EXPECT_EQ(savePalette("no-such-dir/saved.pal", table), 0);
    EXPECT_EQ(savePalette("/dev/full", table), 0)
        << "a full disk shows when the data is written out";
    EXPECT_EQ(errorText(), "savePalette: NULL pointer passed\n"
                           "savePalette: error opening file\n"
                           "savePalette: error writing palette to disk\n");
}

TEST_F(Display, SetPaletteChangesTheLiveColoursNotTheTable)
{
    PALETTEENTRY grey[256];
    for (int i = 0; i < 256; i++)
        grey[i] = PALETTEENTRY{(BYTE)i, (BYTE)i, (BYTE)i, 0};
    EXPECT_EQ(setPalette(grey), 0) << "no display yet";
    EXPECT_EQ(errorText(), "setPalette: error setting entries\n");

    up();
    ASSERT_EQ(setPalette(grey), 1);
    PALETTEENTRY live[256];
    lpddPalette->GetEntries(0, 0, 256, live);
    EXPECT_EQ(memcmp(live, grey, sizeof(grey)), 0);
    EXPECT_EQ(memcmp(paletteTable, testPaletteBytes().data(), 1024), 0);
    EXPECT_TRUE(faultSet("SetEntries", 1, 1, DDERR_GENERIC));
    EXPECT_EQ(setPalette(grey), 0);
    EXPECT_EQ(errorText(),
              "setPalette: error setting entries\nsetPalette: error setting entries\n");
}

} // namespace
