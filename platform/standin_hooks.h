// What the stand-in offers tests and tools under every backend, beyond the Win32/DirectX
// calls: its state put back for a fresh start, surfaces and keyboards lost on demand, and
// counts of its windows, queue and cursor. Failures on demand, the call record and the live
// objects are in instrumentation.h; the headless backend's own controls in headless.h.
#ifndef STARLANE_PLATFORM_STANDIN_HOOKS_H
#define STARLANE_PLATFORM_STANDIN_HOOKS_H

// DirectDraw: rows of new surfaces are padded to a multiple of `bytes` (64 by default;
// a test may pick e.g. 8 to get a known pitch). Every live surface becomes lost, as after
// a mode switch: Blt, Lock, Flip answer DDERR_SURFACELOST until Restore.
void ddrawSetPitchAlignment(int bytes);
void ddrawLoseSurfaces();
// On: a restored surface comes back holding garbage, as video memory may after a real loss;
// off (the default): it keeps its pixels.
void ddrawSetRestoreGarbage(int on);

// DirectInput: every acquired keyboard loses its acquisition; GetDeviceState answers
// DIERR_INPUTLOST until the device is acquired again.
void dinputLoseKeyboard();

// DirectDraw's settings back to default; part of headlessReset, which also deletes the
// objects a test left behind (com_object.h).
void ddrawReset();

// Win32 state of the stand-in (windows, classes, queue, cursor); part of headlessReset.
void win32Reset();
int win32WindowCount();
int win32QueueLength();
int win32CursorShown(); // ShowCursor's display counter >= 0

#endif
