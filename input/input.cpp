// The keyboard through DirectInput: one 256-byte snapshot per frame.
#include <string.h>

#include <windows.h>
#include <dinput.h>

#include "input/input.h"
#include "shell/errorlog.h"
#include "shell/shell.h"

LPDIRECTINPUT8 lpdi = NULL;
LPDIRECTINPUTDEVICE8 lpdiKeyboard = NULL;
unsigned char keyState[256];

int keyboardFailing = 0;

int diInit()
{
    if (FAILED(DirectInput8Create(mainInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  (LPVOID*)&lpdi, NULL))) {
        writeError("diInit:  error creating main DirectInput interface\n");
        return 0;
    }
    return 1;
}

int initKeyboard()
{
    if (lpdi == NULL || FAILED(lpdi->CreateDevice(GUID_SysKeyboard, &lpdiKeyboard, NULL))) {
        writeError("initKeyboard:  error creating the keyboard device\n");
        return 0;
    }
    if (FAILED(
            lpdiKeyboard->SetCooperativeLevel(mainWindow, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND))) {
        writeError("initKeyboard:  error setting keyboard cooperation level\n");
        return 0;
    }
    if (FAILED(lpdiKeyboard->SetDataFormat(&c_dfDIKeyboard))) {
        writeError("initKeyboard:  error setting the keyboard data format\n");
        return 0;
    }
    if (FAILED(lpdiKeyboard->Acquire())) {
        writeError("initKeyboard:  error acquiring the keyboard\n");
        return 0;
    }
    keyboardFailing = 0;
    return 1;
}

int readKeyboard()
{
    if (lpdiKeyboard == NULL) {
        writeError("readKeyboard:  error getting keyboard state\n");
        return 0;
    }
    HRESULT result = lpdiKeyboard->GetDeviceState(256, keyState);
    // DirectInput took the keyboard away: take it back and read again.
    if (result == DIERR_INPUTLOST || result == DIERR_NOTACQUIRED) {
        if (SUCCEEDED(lpdiKeyboard->Acquire()))
            result = lpdiKeyboard->GetDeviceState(256, keyState);
    }
    if (FAILED(result)) {
        // No key stays held down while the keyboard cannot be read.
        memset(keyState, 0, sizeof(keyState));
        if (!keyboardFailing)
            writeError("readKeyboard:  error getting keyboard state\n");
        keyboardFailing = 1;
        return 0;
    }
    keyboardFailing = 0;
    return 1;
}

// The window is back in front: the keyboard is taken again from a clean state, so a key let
// go while another program had the focus does not stay down.
int reacquireKeyboard()
{
    memset(keyState, 0, sizeof(keyState));
    if (lpdiKeyboard == NULL)
        return 0;
    lpdiKeyboard->Unacquire();
    return SUCCEEDED(lpdiKeyboard->Acquire()) ? 1 : 0;
}

int keyDown(int code)
{
    if (code < 0 || code >= (int)sizeof(keyState))
        return 0;
    return keyState[code] & 0x80;
}

int releaseKeyboard()
{
    if (lpdiKeyboard != NULL) {
        lpdiKeyboard->Unacquire();
        lpdiKeyboard->Release();
        lpdiKeyboard = NULL;
    }
    return 1;
}

int diShutDown()
{
    if (lpdi != NULL) {
        lpdi->Release();
        lpdi = NULL;
    }
    return 1;
}
