// The keyboard, read through DirectInput as one 256-byte snapshot per frame. It includes
// DirectInput and the shell's window and log; the game reads the player's keys through it.
#ifndef STARLANE_INPUT_INPUT_H
#define STARLANE_INPUT_INPUT_H

#include <windows.h>
#include <dinput.h>

extern LPDIRECTINPUT8 lpdi;               // the DirectInput object
extern LPDIRECTINPUTDEVICE8 lpdiKeyboard; // the system keyboard
extern unsigned char keyState[256];       // by DIK_ code; 0x80 while held
extern int keyboardFailing;               // the last read failed: a lasting failure is logged once

int diInit();
int initKeyboard();
int readKeyboard();      // take this frame's snapshot
int keyDown(int code);   // 0x80 if held in the snapshot, else 0
int reacquireKeyboard(); // back in front: no key held, device acquired afresh; 1 ok
int releaseKeyboard();
int diShutDown();

#endif
