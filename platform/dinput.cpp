// The DirectInput part of the stand-in: the system keyboard as a 256-byte snapshot
// taken from the backend's key state. Like DirectInput, a device must have its data
// format set and be acquired before it reports, and a lost device answers
// DIERR_INPUTLOST until it is acquired again.
#include <string.h>

#include <new>

#include <windows.h>
#include <dinput.h>

#include "platform/standin_hooks.h"
#include "platform/com_object.h"
#include "platform/backend.h"
#include "platform/instrumentation.h"
#include "platform/play_watch.h"

const GUID IID_IDirectInput8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysKeyboard = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The standard keyboard format: 256 one-byte buttons. The object table is not needed
// by the stand-in, which recognises the format by its address and sizes.
const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), 0x00000002, 256, 0, NULL};

namespace {

int sameGuid(const GUID& a, const GUID& b)
{
    return memcmp(&a, &b, sizeof(GUID)) == 0;
}

class Keyboard : public ComObject<IDirectInputDevice8A> {
public:
    DWORD cooperation = 0;
    int formatSet = 0;
    int acquired = 0;
    int lost = 0;


    HRESULT STDMETHODCALLTYPE Acquire() override
    {
        if (long code = faultCheck("Acquire"))
            return (HRESULT)code;
        recordCall("Acquire keyboard");
        if (!formatSet)
            return DIERR_INVALIDPARAM;
        if (acquired)
            return DI_NOEFFECT;
        acquired = 1;
        lost = 0;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE Unacquire() override
    {
        if (long code = faultCheck("Unacquire"))
            return (HRESULT)code;
        recordCall("Unacquire keyboard");
        if (!acquired)
            return DI_NOEFFECT;
        acquired = 0;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override
    {
        if (long code = faultCheck("GetDeviceState"))
            return (HRESULT)code;
        if (data == NULL || !formatSet || size != c_dfDIKeyboard.dwDataSize)
            return DIERR_INVALIDPARAM;
        if (lost)
            return DIERR_INPUTLOST;
        if (!acquired)
            return DIERR_NOTACQUIRED;
        const unsigned char* keys = backendKeyState();
        unsigned char* out = (unsigned char*)data;
        for (int i = 0; i < 256; i++)
            out[i] = keys[i] & 0x80;
        if (const PlayWatch* watch = playWatch())
            watch->keys(out);
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override
    {
        if (long code = faultCheck("SetDataFormat"))
            return (HRESULT)code;
        recordCall("SetDataFormat keyboard size=%u", format ? format->dwDataSize : 0);
        if (format == NULL || format->dwSize != sizeof(DIDATAFORMAT) ||
            format->dwObjSize != sizeof(DIOBJECTDATAFORMAT) || format->dwDataSize != 256)
            return DIERR_INVALIDPARAM;
        if (acquired)
            return DIERR_ACQUIRED;
        formatSet = 1;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD flags) override
    {
        if (long code = faultCheck("SetCooperativeLevel"))
            return (HRESULT)code;
        recordCall("SetCooperativeLevel keyboard flags=0x%x", flags);
        int exclusive = (flags & DISCL_EXCLUSIVE) != 0;
        int shared = (flags & DISCL_NONEXCLUSIVE) != 0;
        int foreground = (flags & DISCL_FOREGROUND) != 0;
        int background = (flags & DISCL_BACKGROUND) != 0;
        if (exclusive == shared || foreground == background)
            return DIERR_INVALIDPARAM;
        if (hwnd == NULL)
            return E_HANDLE;
        if (exclusive && background)
            return DIERR_UNSUPPORTED; // a keyboard cannot be taken exclusively in the background
        if (acquired)
            return DIERR_ACQUIRED;
        cooperation = flags;
        return DI_OK;
    }
};

class DirectInput : public ComObject<IDirectInput8A> {
public:
    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* out,
                                           LPUNKNOWN outer) override
    {
        if (long code = faultCheck("CreateDevice"))
            return (HRESULT)code;
        recordCall("CreateDevice %s", sameGuid(guid, GUID_SysKeyboard) ? "keyboard" : "other");
        if (out == NULL)
            return DIERR_INVALIDPARAM;
        *out = NULL;
        if (outer != NULL)
            return DIERR_NOAGGREGATION;
        if (!sameGuid(guid, GUID_SysKeyboard))
            return DIERR_DEVICENOTREG; // the stand-in has a keyboard only
        *out = new (std::nothrow) Keyboard();
        return *out ? DI_OK : DIERR_OUTOFMEMORY;
    }
};

} // namespace

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out,
                                  LPUNKNOWN outer)
{
    if (long code = faultCheck("DirectInput8Create"))
        return (HRESULT)code;
    recordCall("DirectInput8Create version=0x%x", version);
    if (out == NULL)
        return DIERR_INVALIDPARAM;
    *out = NULL;
    if (instance == NULL)
        return DIERR_INVALIDPARAM;
    if (version < 0x0800)
        return DIERR_OLDDIRECTINPUTVERSION;
    if (version > 0x0800)
        return DIERR_BETADIRECTINPUTVERSION;
    if (!sameGuid(iid, IID_IDirectInput8A))
        return DIERR_NOINTERFACE;
    if (outer != NULL)
        return DIERR_NOAGGREGATION;
    DirectInput* di = new (std::nothrow) DirectInput();
    if (di == NULL)
        return DIERR_OUTOFMEMORY;
    *out = static_cast<IDirectInput8A*>(di);
    return DI_OK;
}

void dinputLoseKeyboard()
{
    for (LiveObject* o : liveObjects()) {
        if (Keyboard* k = dynamic_cast<Keyboard*>(o)) {
            if (k->acquired) {
                k->acquired = 0;
                k->lost = 1;
            }
        }
    }
}
