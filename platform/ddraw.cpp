// The DirectDraw part of the stand-in: a software DirectDraw 7 for the 8-bit palettised
// mode the game runs in. Surfaces are byte arrays whose rows are padded to a multiple
// of the pitch alignment (64 bytes unless a test changes it), so code that mistakes the
// width for the pitch shows. It refuses what DirectDraw refuses where the game could
// tell the difference: wrong dwSize, blits to or from locked surfaces, destination
// rectangles outside an unclipped surface, lost surfaces.
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <new>
#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "platform/standin_hooks.h"
#include "platform/com_object.h"
#include "platform/backend.h"
#include "platform/instrumentation.h"

const GUID IID_IDirectDraw7 = {
    0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

namespace {

const int MAX_SURFACE_SIDE = 8192;

class Palette;
class Clipper;
class Surface;

int pitchAlignment = 64;
int surfaceSerial = 0;
// Restore hands back video memory as a driver may: holding garbage, not the old pixels.
int restoreGarbage = 0;
uint32_t garbageSeed = 1;
Surface* primarySurface = NULL;
int modeWidth = 0, modeHeight = 0, modeBpp = 0;

int sameGuid(const GUID& a, const GUID& b)
{
    return memcmp(&a, &b, sizeof(GUID)) == 0;
}

int emptyRect(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

RECT intersect(const RECT& a, const RECT& b)
{
    RECT r;
    r.left = std::max(a.left, b.left);
    r.top = std::max(a.top, b.top);
    r.right = std::min(a.right, b.right);
    r.bottom = std::min(a.bottom, b.bottom);
    return r;
}

int insideRect(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

class Palette : public ComObject<IDirectDrawPalette> {
public:
    PALETTEENTRY entries[256];

    Palette(const PALETTEENTRY* table) { memcpy(entries, table, sizeof(entries)); }

    HRESULT STDMETHODCALLTYPE GetEntries(DWORD flags, DWORD base, DWORD count,
                                         LPPALETTEENTRY out) override
    {
        if (long code = faultCheck("GetEntries"))
            return (HRESULT)code;
        if (flags != 0 || out == NULL || base > 256 || count > 256 - base)
            return DDERR_INVALIDPARAMS;
        memcpy(out, &entries[base], count * sizeof(PALETTEENTRY));
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE SetEntries(DWORD flags, DWORD first, DWORD count,
                                         LPPALETTEENTRY in) override;
};

class Clipper : public ComObject<IDirectDrawClipper> {
public:
    std::vector<unsigned char> list; // RGNDATAHEADER followed by the rectangles; empty: none

    const RGNDATAHEADER* header() const { return (const RGNDATAHEADER*)list.data(); }
    const RECT* rects() const { return (const RECT*)(list.data() + sizeof(RGNDATAHEADER)); }
    int count() const { return list.empty() ? 0 : (int)header()->nCount; }

    HRESULT STDMETHODCALLTYPE GetClipList(LPRECT rect, LPRGNDATA out, LPDWORD size) override
    {
        if (long code = faultCheck("GetClipList"))
            return (HRESULT)code;
        if (size == NULL || rect != NULL) // clipping the list to a rectangle: not needed
            return DDERR_INVALIDPARAMS;
        if (list.empty())
            return DDERR_NOCLIPLIST;
        if (out == NULL) {
            *size = (DWORD)list.size();
            return DD_OK;
        }
        if (*size < list.size())
            return DDERR_REGIONTOOSMALL;
        memcpy(out, list.data(), list.size());
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE SetClipList(LPRGNDATA in, DWORD flags) override
    {
        if (long code = faultCheck("SetClipList"))
            return (HRESULT)code;
        if (flags != 0)
            return DDERR_INVALIDPARAMS;
        if (in == NULL) {
            list.clear();
            recordCall("SetClipList none");
            return DD_OK;
        }
        const RGNDATAHEADER& h = in->rdh;
        if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES || h.nCount == 0 ||
            h.nCount > 4096 || h.nRgnSize < h.nCount * sizeof(RECT))
            return DDERR_INVALIDCLIPLIST;
        size_t bytes = sizeof(RGNDATAHEADER) + h.nCount * sizeof(RECT);
        list.assign((const unsigned char*)in, (const unsigned char*)in + bytes);
        recordCall("SetClipList count=%u bound=(%d,%d,%d,%d)", h.nCount, h.rcBound.left,
                   h.rcBound.top, h.rcBound.right, h.rcBound.bottom);
        return DD_OK;
    }
};

class Surface : public ComObject<IDirectDrawSurface7> {
public:
    int width, height, pitch;
    std::vector<unsigned char> memory;
    DWORD caps;
    int hasColorKey = 0;
    DDCOLORKEY colorKey = {0, 0};
    int locked = 0;
    int lost = 0;
    Palette* palette = NULL;
    Clipper* clipper = NULL;
    Surface* back = NULL; // the primary's back buffer, held by the primary
    char name[16];

    Surface(int w, int h, DWORD c, const char* label) : width(w), height(h), caps(c)
    {
        pitch = (w + pitchAlignment - 1) / pitchAlignment * pitchAlignment;
        // DirectDraw answers a request it cannot hold with DDERR_OUTOFMEMORY, never with an
        // exception: an empty memory here makes the creator release the surface and say so.
        try {
            memory.assign((size_t)pitch * h, 0);
        } catch (const std::bad_alloc&) {
            memory.clear();
        }
        if (label)
            snprintf(name, sizeof(name), "%s", label);
        else
            snprintf(name, sizeof(name), "s%d", ++surfaceSerial);
    }

    RECT bounds() const
    {
        RECT r = {0, 0, width, height};
        return r;
    }

    void describe(LPDDSURFACEDESC2 d)
    {
        DWORD size = d->dwSize;
        memset(d, 0, sizeof(*d));
        d->dwSize = size;
        d->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
        d->dwWidth = width;
        d->dwHeight = height;
        d->lPitch = pitch;
        d->ddsCaps.dwCaps = caps;
        if (hasColorKey) {
            d->dwFlags |= DDSD_CKSRCBLT;
            d->ddckCKSrcBlt = colorKey;
        }
        d->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        d->ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        d->ddpfPixelFormat.dwRGBBitCount = 8;
    }

    int anyLost() const { return lost || (back && back->lost); }

    void lastRelease() override
    {
        if (palette)
            palette->Release();
        if (clipper)
            clipper->Release();
        if (back)
            back->Release();
        if (primarySurface == this)
            primarySurface = NULL;
    }

    HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect,
                                  DWORD flags, LPDDBLTFX fx) override;

    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7 target, DWORD flags) override
    {
        if (long code = faultCheck("Flip"))
            return (HRESULT)code;
        recordCall("Flip %s flags=0x%x", name, flags);
        if (back == NULL || (target != NULL && target != back))
            return DDERR_NOTFLIPPABLE;
        if (anyLost())
            return DDERR_SURFACELOST;
        if (locked || back->locked)
            return DDERR_SURFACEBUSY;
        memory.swap(back->memory);
        present();
        return DD_OK;
    }

    void present()
    {
        unsigned char table[1024];
        if (palette) {
            memcpy(table, palette->entries, sizeof(table));
        } else {
            // No palette attached: a grey ramp, so a missing palette still shows something.
            for (int i = 0; i < 256; i++) {
                table[i * 4] = table[i * 4 + 1] = table[i * 4 + 2] = (unsigned char)i;
                table[i * 4 + 3] = 0;
            }
        }
        backendPresent(memory.data(), pitch, width, height, table);
    }

    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 wanted,
                                                 LPDIRECTDRAWSURFACE7* out) override
    {
        if (long code = faultCheck("GetAttachedSurface"))
            return (HRESULT)code;
        if (wanted == NULL || out == NULL)
            return DDERR_INVALIDPARAMS;
        *out = NULL;
        if (back == NULL || (back->caps & wanted->dwCaps) != wanted->dwCaps)
            return DDERR_NOTFOUND;
        back->AddRef();
        *out = back;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 d) override
    {
        if (long code = faultCheck("GetSurfaceDesc"))
            return (HRESULT)code;
        if (d == NULL || d->dwSize != sizeof(DDSURFACEDESC2))
            return DDERR_INVALIDPARAMS;
        describe(d);
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE IsLost() override
    {
        if (long code = faultCheck("IsLost"))
            return (HRESULT)code;
        return lost ? DDERR_SURFACELOST : DD_OK;
    }

    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 d, DWORD flags, HANDLE) override
    {
        if (long code = faultCheck("Lock"))
            return (HRESULT)code;
        recordCall("Lock %s flags=0x%x", name, flags);
        if (d == NULL || d->dwSize != sizeof(DDSURFACEDESC2))
            return DDERR_INVALIDPARAMS;
        if (lost)
            return DDERR_SURFACELOST;
        if (locked)
            return DDERR_SURFACEBUSY;
        RECT area = bounds();
        if (rect != NULL) {
            if (emptyRect(*rect) || !insideRect(*rect, area))
                return DDERR_INVALIDRECT;
            area = *rect;
        }
        describe(d);
        d->dwFlags |= DDSD_LPSURFACE;
        d->lpSurface = memory.data() + (size_t)area.top * pitch + area.left;
        locked = 1;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE Restore() override
    {
        if (long code = faultCheck("Restore"))
            return (HRESULT)code;
        recordCall("Restore %s", name);
        // Restoring the head of a flip chain restores the surfaces made with it.
        if (restoreGarbage && lost)
            scramble();
        if (restoreGarbage && back && back->lost)
            back->scramble();
        lost = 0;
        if (back)
            back->lost = 0;
        return DD_OK;
    }

    void scramble()
    {
        for (unsigned char& b : memory) {
            garbageSeed = garbageSeed * 1664525u + 1013904223u;
            b = (unsigned char)(garbageSeed >> 24);
        }
    }

    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER newClipper) override
    {
        if (long code = faultCheck("SetClipper"))
            return (HRESULT)code;
        recordCall("SetClipper %s", name);
        if (newClipper)
            newClipper->AddRef();
        if (clipper)
            clipper->Release();
        clipper = static_cast<Clipper*>(newClipper);
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE newPalette) override
    {
        if (long code = faultCheck("SetPalette"))
            return (HRESULT)code;
        recordCall("SetPalette %s", name);
        if (lost)
            return DDERR_SURFACELOST;
        if (newPalette)
            newPalette->AddRef();
        if (palette)
            palette->Release();
        palette = static_cast<Palette*>(newPalette);
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE Unlock(LPRECT) override
    {
        if (long code = faultCheck("Unlock"))
            return (HRESULT)code;
        recordCall("Unlock %s", name);
        if (!locked)
            return DDERR_NOTLOCKED;
        locked = 0;
        return DD_OK;
    }
};

HRESULT STDMETHODCALLTYPE Palette::SetEntries(DWORD flags, DWORD first, DWORD count,
                                              LPPALETTEENTRY in)
{
    if (long code = faultCheck("SetEntries"))
        return (HRESULT)code;
    recordCall("SetEntries first=%u count=%u", first, count);
    if (flags != 0 || in == NULL || first > 256 || count > 256 - first)
        return DDERR_INVALIDPARAMS;
    memcpy(&entries[first], in, count * sizeof(PALETTEENTRY));
    // The palette of the primary surface changes the picture at once.
    if (primarySurface != NULL && primarySurface->palette == this)
        primarySurface->present();
    return DD_OK;
}

// Copies a row of pixels, leaving out those in the colour-key range low..high. Every
// sprite of every frame goes through here, so x86-64 (where SSE2 is always there) takes
// 16 and then 8 pixels at a time; the tail, and other machines, one at a time.
void copyKeyedRow(unsigned char* d, const unsigned char* s, int w, unsigned char low,
                  unsigned char high)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i lowest = _mm_set1_epi8((char)low), highest = _mm_set1_epi8((char)high);
    // Key pixels: max(v, low) == v and min(v, high) == v (unsigned). Keep those of d.
    for (; x + 16 <= w; x += 16) {
        __m128i v = _mm_loadu_si128((const __m128i*)(s + x));
        __m128i old = _mm_loadu_si128((const __m128i*)(d + x));
        __m128i key = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, lowest), v),
                                    _mm_cmpeq_epi8(_mm_min_epu8(v, highest), v));
        _mm_storeu_si128((__m128i*)(d + x),
                         _mm_or_si128(_mm_and_si128(key, old), _mm_andnot_si128(key, v)));
    }
    if (x + 8 <= w) {
        __m128i v = _mm_loadl_epi64((const __m128i*)(s + x));
        __m128i old = _mm_loadl_epi64((const __m128i*)(d + x));
        __m128i key = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, lowest), v),
                                    _mm_cmpeq_epi8(_mm_min_epu8(v, highest), v));
        _mm_storel_epi64((__m128i*)(d + x),
                         _mm_or_si128(_mm_and_si128(key, old), _mm_andnot_si128(key, v)));
        x += 8;
    }
#endif
    for (; x < w; x++)
        if (s[x] < low || s[x] > high)
            d[x] = s[x];
}

// Copies src (inside `source`) onto dst (inside `dest`, same size), leaving out pixels
// in the colour-key range when `keyed`.
void copyRect(Surface* dest, const RECT& dst, Surface* source, const RECT& src, int keyed)
{
    int w = dst.right - dst.left;
    int h = dst.bottom - dst.top;
    unsigned char low = (unsigned char)source->colorKey.dwColorSpaceLowValue;
    unsigned char high = (unsigned char)source->colorKey.dwColorSpaceHighValue;
    // A surface blitted onto itself: go through a copy so overlapping rows read old pixels.
    std::vector<unsigned char> scratch;
    const unsigned char* from = source->memory.data() + (size_t)src.top * source->pitch + src.left;
    int fromPitch = source->pitch;
    if (dest == source) {
        scratch.resize((size_t)w * h);
        for (int y = 0; y < h; y++)
            memcpy(&scratch[(size_t)y * w], from + (size_t)y * fromPitch, w);
        from = scratch.data();
        fromPitch = w;
    }
    for (int y = 0; y < h; y++) {
        const unsigned char* s = from + (size_t)y * fromPitch;
        unsigned char* d = dest->memory.data() + (size_t)(dst.top + y) * dest->pitch + dst.left;
        if (!keyed) {
            memcpy(d, s, w);
            continue;
        }
        copyKeyedRow(d, s, w, low, high);
    }
}

HRESULT STDMETHODCALLTYPE Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 sourceSurface,
                                       LPRECT sourceRect, DWORD flags, LPDDBLTFX fx)
{
    if (long code = faultCheck("Blt"))
        return (HRESULT)code;
    Surface* source = static_cast<Surface*>(sourceSurface);
    RECT dst = destRect ? *destRect : bounds();
    int fill = (flags & DDBLT_COLORFILL) != 0;
    int keyed = (flags & DDBLT_KEYSRC) != 0;

    if (fill) {
        recordCall("Blt %s dest=(%d,%d,%d,%d) flags=0x%x fill=%u", name, dst.left, dst.top,
                   dst.right, dst.bottom, flags, fx ? fx->dwFillColor : 0);
    } else {
        RECT src = sourceRect ? *sourceRect : (source ? source->bounds() : RECT{0, 0, 0, 0});
        recordCall("Blt %s dest=(%d,%d,%d,%d) src=%s(%d,%d,%d,%d) flags=0x%x", name, dst.left,
                   dst.top, dst.right, dst.bottom, source ? source->name : "none", src.left,
                   src.top, src.right, src.bottom, flags);
    }

    const DWORD supported = DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_WAIT | DDBLT_DONOTWAIT;
    if (flags & ~supported)
        return DDERR_UNSUPPORTED;
    if (fill && (fx == NULL || fx->dwSize != sizeof(DDBLTFX) || keyed))
        return DDERR_INVALIDPARAMS;
    if (!fill && source == NULL)
        return DDERR_INVALIDPARAMS;
    if (lost || (!fill && source->lost))
        return DDERR_SURFACELOST;
    if (locked || (!fill && source->locked))
        return DDERR_SURFACEBUSY;
    if (emptyRect(dst))
        return DDERR_INVALIDRECT;

    RECT src = dst;
    if (!fill) {
        src = sourceRect ? *sourceRect : source->bounds();
        if (emptyRect(src) || !insideRect(src, source->bounds()))
            return DDERR_INVALIDRECT;
        if (src.right - src.left != dst.right - dst.left ||
            src.bottom - src.top != dst.bottom - dst.top)
            return DDERR_NOSTRETCHHW; // the game never stretches
        if (keyed && !source->hasColorKey)
            return DDERR_NOCOLORKEY;
    }

    // The pieces of the destination to write: the clip list's rectangles, or the whole
    // rectangle, which must then lie on the surface.
    RECT single[1] = {dst};
    const RECT* pieces = single;
    int numPieces = 1;
    if (clipper != NULL && clipper->count() > 0) {
        pieces = clipper->rects();
        numPieces = clipper->count();
    } else if (!insideRect(dst, bounds())) {
        return DDERR_INVALIDRECT;
    }

    for (int i = 0; i < numPieces; i++) {
        RECT part = intersect(intersect(dst, pieces[i]), bounds());
        if (emptyRect(part))
            continue;
        if (fill) {
            for (LONG y = part.top; y < part.bottom; y++)
                memset(memory.data() + (size_t)y * pitch + part.left,
                       (unsigned char)fx->dwFillColor, part.right - part.left);
        } else {
            RECT from = {src.left + (part.left - dst.left), src.top + (part.top - dst.top),
                         src.left + (part.right - dst.left), src.top + (part.bottom - dst.top)};
            copyRect(this, part, source, from, keyed);
        }
    }
    return DD_OK;
}

class DirectDraw : public ComObject<IDirectDraw7> {
public:
    DWORD cooperation = 0;
    int modeSet = 0;

    void lastRelease() override
    {
        // Releasing the DirectDraw object ends exclusive mode and gives the desktop back.
        if (modeSet) {
            backendRestoreDisplayMode();
            modeWidth = modeHeight = modeBpp = 0;
        }
    }

    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* out,
                                            IUnknown* outer) override
    {
        if (long code = faultCheck("CreateClipper"))
            return (HRESULT)code;
        recordCall("CreateClipper flags=0x%x", flags);
        if (out == NULL || flags != 0)
            return DDERR_INVALIDPARAMS;
        *out = NULL;
        if (outer != NULL)
            return CLASS_E_NOAGGREGATION;
        *out = new (std::nothrow) Clipper();
        return *out ? DD_OK : DDERR_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY table,
                                            LPDIRECTDRAWPALETTE* out, IUnknown* outer) override
    {
        if (long code = faultCheck("CreatePalette"))
            return (HRESULT)code;
        recordCall("CreatePalette flags=0x%x", flags);
        if (out == NULL || table == NULL)
            return DDERR_INVALIDPARAMS;
        *out = NULL;
        if (outer != NULL)
            return CLASS_E_NOAGGREGATION;
        if (cooperation == 0)
            return DDERR_NOCOOPERATIVELEVELSET;
        // Only full 256-entry palettes: the game's mode is 8-bit.
        if ((flags & DDPCAPS_8BIT) == 0 || (flags & ~(DDPCAPS_8BIT | DDPCAPS_ALLOW256 |
                                                      DDPCAPS_INITIALIZE | DDPCAPS_PRIMARYSURFACE)))
            return DDERR_INVALIDPARAMS;
        *out = new (std::nothrow) Palette(table);
        return *out ? DD_OK : DDERR_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 d, LPDIRECTDRAWSURFACE7* out,
                                            IUnknown* outer) override
    {
        if (long code = faultCheck("CreateSurface"))
            return (HRESULT)code;
        if (d == NULL || out == NULL)
            return DDERR_INVALIDPARAMS;
        recordCall("CreateSurface flags=0x%x caps=0x%x size=%ux%u backbuffers=%u key=(%u,%u)",
                   d->dwFlags, d->ddsCaps.dwCaps, d->dwWidth, d->dwHeight, d->dwBackBufferCount,
                   d->ddckCKSrcBlt.dwColorSpaceLowValue, d->ddckCKSrcBlt.dwColorSpaceHighValue);
        *out = NULL;
        if (d->dwSize != sizeof(DDSURFACEDESC2) || (d->dwFlags & DDSD_CAPS) == 0 || outer != NULL)
            return DDERR_INVALIDPARAMS;
        if (cooperation == 0)
            return DDERR_NOCOOPERATIVELEVELSET;
        DWORD caps = d->ddsCaps.dwCaps;
        if ((caps & DDSCAPS_VIDEOMEMORY) && (caps & DDSCAPS_SYSTEMMEMORY))
            return DDERR_INVALIDCAPS;
        if (d->dwFlags & DDSD_PIXELFORMAT) {
            if (d->ddpfPixelFormat.dwRGBBitCount != 8)
                return DDERR_INVALIDPIXELFORMAT;
        }
        if (caps & DDSCAPS_PRIMARYSURFACE)
            return createPrimary(d, out);

        if ((d->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        if (d->dwWidth == 0 || d->dwHeight == 0 || d->dwWidth > MAX_SURFACE_SIDE ||
            d->dwHeight > MAX_SURFACE_SIDE)
            return DDERR_INVALIDPARAMS;
        if (caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_BACKBUFFER))
            return DDERR_INVALIDCAPS;
        DWORD memoryCaps =
            (caps & DDSCAPS_SYSTEMMEMORY) ? 0 : DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
        Surface* s = new (std::nothrow) Surface(d->dwWidth, d->dwHeight, caps | memoryCaps, NULL);
        if (s != NULL && s->memory.empty()) {
            s->Release();
            s = NULL;
        }
        if (s == NULL)
            return DDERR_OUTOFMEMORY;
        if (d->dwFlags & DDSD_CKSRCBLT) {
            s->hasColorKey = 1;
            s->colorKey = d->ddckCKSrcBlt;
        }
        *out = s;
        return DD_OK;
    }

    HRESULT createPrimary(LPDDSURFACEDESC2 d, LPDIRECTDRAWSURFACE7* out)
    {
        DWORD caps = d->ddsCaps.dwCaps;
        if (d->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH))
            return DDERR_INVALIDPARAMS; // the primary is the screen: its size is the mode's
        if (primarySurface != NULL)
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        if (!modeSet)
            return DDERR_INVALIDMODE;
        int flipping = (caps & DDSCAPS_FLIP) != 0;
        if (flipping) {
            if ((caps & DDSCAPS_COMPLEX) == 0 || (d->dwFlags & DDSD_BACKBUFFERCOUNT) == 0)
                return DDERR_INVALIDCAPS;
            if ((cooperation & DDSCL_EXCLUSIVE) == 0)
                return DDERR_NOEXCLUSIVEMODE;
            if (d->dwBackBufferCount != 1)
                return DDERR_INVALIDPARAMS; // the stand-in keeps one back buffer only
        }
        DWORD chainCaps = caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX);
        DWORD vram = DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
        Surface* primary = new (std::nothrow)
            Surface(modeWidth, modeHeight,
                    DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | chainCaps | vram, "primary");
        if (primary == NULL)
            return DDERR_OUTOFMEMORY;
        if (flipping) {
            primary->back = new (std::nothrow)
                Surface(modeWidth, modeHeight, DDSCAPS_BACKBUFFER | chainCaps | vram, "back");
            if (primary->back == NULL) {
                primary->Release();
                return DDERR_OUTOFMEMORY;
            }
        }
        primarySurface = primary;
        *out = primary;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD flags) override
    {
        if (long code = faultCheck("SetCooperativeLevel"))
            return (HRESULT)code;
        recordCall("SetCooperativeLevel flags=0x%x", flags);
        int exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        int fullscreen = (flags & DDSCL_FULLSCREEN) != 0;
        int normal = (flags & DDSCL_NORMAL) != 0;
        if (exclusive != fullscreen || (normal && exclusive) || (!normal && !exclusive))
            return DDERR_INVALIDPARAMS;
        if (exclusive && hwnd == NULL)
            return DDERR_INVALIDPARAMS;
        if ((flags & DDSCL_ALLOWMODEX) && !exclusive)
            return DDERR_INVALIDPARAMS;
        cooperation = flags;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh,
                                             DWORD flags) override
    {
        if (long code = faultCheck("SetDisplayMode"))
            return (HRESULT)code;
        recordCall("SetDisplayMode %ux%ux%u refresh=%u flags=0x%x", width, height, bpp, refresh,
                   flags);
        if ((cooperation & DDSCL_EXCLUSIVE) == 0)
            return DDERR_NOEXCLUSIVEMODE;
        if (flags != 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE)
            return DDERR_INVALIDPARAMS;
        if (primarySurface != NULL && ((int)width != modeWidth || (int)height != modeHeight))
            return DDERR_SURFACEBUSY; // stand-in: the mode does not change under a live primary
        if (!backendSetDisplayMode((int)width, (int)height, (int)bpp))
            return DDERR_INVALIDMODE;
        modeSet = 1;
        modeWidth = (int)width;
        modeHeight = (int)height;
        modeBpp = (int)bpp;
        return DD_OK;
    }
};

} // namespace

HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* out, REFIID iid, IUnknown* outer)
{
    if (long code = faultCheck("DirectDrawCreateEx"))
        return (HRESULT)code;
    recordCall("DirectDrawCreateEx");
    if (out == NULL)
        return DDERR_INVALIDPARAMS;
    *out = NULL;
    if (guid != NULL)
        return DDERR_INVALIDDIRECTDRAWGUID; // only the default display driver
    if (!sameGuid(iid, IID_IDirectDraw7) || outer != NULL)
        return DDERR_INVALIDPARAMS;
    DirectDraw* dd = new (std::nothrow) DirectDraw();
    if (dd == NULL)
        return DDERR_OUTOFMEMORY;
    *out = static_cast<IDirectDraw7*>(dd);
    return DD_OK;
}

void ddrawReset()
{
    pitchAlignment = 64;
    surfaceSerial = 0;
    restoreGarbage = 0;
    garbageSeed = 1;
    primarySurface = NULL;
    modeWidth = modeHeight = modeBpp = 0;
}

void ddrawSetPitchAlignment(int bytes)
{
    pitchAlignment = bytes > 0 ? bytes : 64;
}

void ddrawSetRestoreGarbage(int on)
{
    restoreGarbage = on;
}

void ddrawLoseSurfaces()
{
    for (LiveObject* o : liveObjects())
        if (Surface* s = dynamic_cast<Surface*>(o))
            s->lost = 1;
}
