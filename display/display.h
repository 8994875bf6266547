// The display: the DirectDraw device in exclusive full-screen mode, a flipping primary
// surface with one back buffer, the palette and the back buffer's clipper; off-screen
// surfaces and blits; the palette file. It includes DirectDraw, the shell's window and log
// and the screen's size (game/constants.h); graphics/ and game/ draw through it.
#ifndef STARLANE_DISPLAY_DISPLAY_H
#define STARLANE_DISPLAY_DISPLAY_H

#include <windows.h>
#include <ddraw.h>

extern LPDIRECTDRAW7 lpdd;                // the DirectDraw object
extern LPDIRECTDRAWSURFACE7 lpddsPrimary; // head of the flip chain
extern LPDIRECTDRAWSURFACE7 lpddsBack;    // the back buffer: every blit and pixel write
extern LPDIRECTDRAWPALETTE lpddPalette;   // attached to the primary surface
extern LPDIRECTDRAWCLIPPER lpddClipper;   // attached to the back buffer
extern PALETTEENTRY paletteTable[256];    // as loaded from "palette.pal"
extern DDSURFACEDESC2 ddsd;               // shared by every surface creation and lock
extern DDBLTFX ddbltfx;                   // shared by every colour fill

// Device and back buffer
int ddInit(int width, int height, int bpp);
int ddShutDown();
LPDIRECTDRAWCLIPPER ddAttachClipper(LPDIRECTDRAWSURFACE7 surface, int numRects, RECT* rects);
int flipSurfaces();
int clearBackBuffer();
unsigned char* lockBackBuffer(int* pitch);
int unlockBackBuffer();
int plotPixel(int x, int y, unsigned char colour, unsigned char* buffer, int pitch);

// Off-screen surfaces and blits
LPDIRECTDRAWSURFACE7 createDDSurface(int width, int height, int caps, int colorKey);
int fillDDSurface(LPDIRECTDRAWSURFACE7 surface, int colour, RECT* rect);
unsigned char* lockSurface(LPDIRECTDRAWSURFACE7 surface, int* pitch);
int unlockSurface(LPDIRECTDRAWSURFACE7 surface);
int copyBitmapToSurface(unsigned char* pixels, LPDIRECTDRAWSURFACE7 surface, int width, int height,
                        int bpp);
int drawSurfaceToBackBuffer(LPDIRECTDRAWSURFACE7 surface, int x, int y, int width, int height,
                            int useColorKey);

// Pixels kept in system memory for surfaces whose video memory a loss of the display may
// take: a restored surface is filled again from them (rows as copyBitmapToSurface takes them).
int keepSurfacePixels(LPDIRECTDRAWSURFACE7 surface, const unsigned char* pixels, int width,
                      int height, int bpp);             // 1 ok, 0 out of memory
void forgetSurfacePixels(LPDIRECTDRAWSURFACE7 surface); // before the surface is released
void forgetAllSurfacePixels();
int restoreSurface(LPDIRECTDRAWSURFACE7 surface); // Restore, then refill; 1 ok

// Palette file
int loadPalette(const char* fileName, PALETTEENTRY* table);
int savePalette(const char* fileName, const PALETTEENTRY* table);
int setPalette(PALETTEENTRY* table);

#endif
