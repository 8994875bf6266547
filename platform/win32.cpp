// The Win32 part of the stand-in: window classes, windows, the thread's message queue,
// painting stubs, the cursor and the clock. One thread, one queue, as the game needs.
#include <string.h>

#include "platform/standin_hooks.h"
#include "platform/backend.h"
#include "platform/instrumentation.h"
#include "platform/play_watch.h"

namespace {

struct WindowClass {
    int used;
    char name[64];
    WNDPROC proc;
};

struct Window {
    HWND__ handle; // its address is the HWND
    int used;
    WNDPROC proc;
    int needsPaint;
};

const int MAX_CLASSES = 8;
const int MAX_WINDOWS = 4;
const int QUEUE_SIZE = 512;

WindowClass classes[MAX_CLASSES];
Window windows[MAX_WINDOWS];
MSG queue[QUEUE_SIZE];
int queueHead = 0;
int queueLength = 0;
int cursorCounter = 0;
HWND__ fakeIcon, fakeCursor, fakeDc;
HINSTANCE__ fakeModule;
int fakeBrush;
const PlayWatch* watch = NULL;

Window* windowFor(HWND hwnd)
{
    for (int i = 0; i < MAX_WINDOWS; i++)
        if (windows[i].used && (HWND)&windows[i].handle == hwnd)
            return &windows[i];
    return NULL;
}

int post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (queueLength == QUEUE_SIZE)
        return 0;
    MSG* m = &queue[(queueHead + queueLength) % QUEUE_SIZE];
    m->hwnd = hwnd;
    m->message = message;
    m->wParam = wParam;
    m->lParam = lParam;
    m->time = backendTicks();
    m->pt.x = 0;
    m->pt.y = 0;
    queueLength++;
    return 1;
}

Window* firstWindow()
{
    for (int i = 0; i < MAX_WINDOWS; i++)
        if (windows[i].used)
            return &windows[i];
    return NULL;
}

} // namespace

void win32Reset()
{
    memset(classes, 0, sizeof(classes));
    memset(windows, 0, sizeof(windows));
    queueHead = 0;
    queueLength = 0;
    cursorCounter = 0;
}

void setPlayWatch(const PlayWatch* w)
{
    watch = w;
}
const PlayWatch* playWatch()
{
    return watch;
}

int win32WindowCount()
{
    int n = 0;
    for (int i = 0; i < MAX_WINDOWS; i++)
        n += windows[i].used;
    return n;
}

int win32QueueLength()
{
    return queueLength;
}

int win32CursorShown()
{
    return cursorCounter >= 0;
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (faultCheck("RegisterClassExA"))
        return 0;
    if (wc == NULL || wc->cbSize != sizeof(WNDCLASSEXA) || wc->lpfnWndProc == NULL ||
        wc->lpszClassName == NULL)
        return 0;
    recordCall("RegisterClassExA class=\"%s\" style=%u", wc->lpszClassName, wc->style);
    for (int i = 0; i < MAX_CLASSES; i++) {
        if (classes[i].used && strcmp(classes[i].name, wc->lpszClassName) == 0)
            return 0; // already registered
    }
    for (int i = 0; i < MAX_CLASSES; i++) {
        if (!classes[i].used) {
            classes[i].used = 1;
            strncpy(classes[i].name, wc->lpszClassName, sizeof(classes[i].name) - 1);
            classes[i].proc = wc->lpfnWndProc;
            return (ATOM)(0xC000 + i);
        }
    }
    return 0;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param)
{
    (void)parent;
    (void)menu;
    (void)instance;
    (void)param;
    if (faultCheck("CreateWindowExA"))
        return NULL;
    recordCall(
        "CreateWindowExA class=\"%s\" title=\"%s\" exStyle=%u style=0x%x at=(%d,%d) size=%dx%d",
        className ? className : "", windowName ? windowName : "", exStyle, style, x, y, width,
        height);
    WindowClass* wc = NULL;
    for (int i = 0; i < MAX_CLASSES && className; i++)
        if (classes[i].used && strcmp(classes[i].name, className) == 0)
            wc = &classes[i];
    if (wc == NULL)
        return NULL;
    Window* w = NULL;
    for (int i = 0; i < MAX_WINDOWS; i++)
        if (!windows[i].used)
            w = &windows[i];
    if (w == NULL)
        return NULL;
    if (!backendOpenWindow(windowName ? windowName : "", width, height))
        return NULL;
    w->used = 1;
    w->proc = wc->proc;
    w->needsPaint = (style & WS_VISIBLE) != 0;
    HWND hwnd = (HWND)&w->handle;
    // As on Windows, the window procedure sees WM_CREATE before CreateWindowExA returns;
    // -1 refuses the creation.
    if (w->proc(hwnd, WM_CREATE, 0, 0) == -1) {
        w->used = 0;
        backendCloseWindow();
        return NULL;
    }
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    if (faultCheck("DestroyWindow"))
        return FALSE;
    Window* w = windowFor(hwnd);
    if (w == NULL)
        return FALSE;
    recordCall("DestroyWindow");
    w->proc(hwnd, WM_DESTROY, 0, 0);
    w->used = 0;
    backendCloseWindow();
    // Messages still queued for the dead window are dropped by the dispatcher.
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (message == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
    }
    return 0;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    backendTurn();
    if (watch)
        watch->turn();
    if (faultCheck("PeekMessageA"))
        return FALSE;
    if (msg == NULL)
        return FALSE;

    // Bring in what happened outside: the close box, exposure, keys.
    for (;;) {
        int event = backendPollEvent();
        if (event == BACKEND_EVENT_NONE)
            break;
        Window* w = firstWindow();
        if (w == NULL)
            continue;
        if (event == BACKEND_EVENT_CLOSE)
            post((HWND)&w->handle, WM_CLOSE, 0, 0);
        else if (event == BACKEND_EVENT_EXPOSE)
            w->needsPaint = 1;
    }

    for (int i = 0; i < queueLength; i++) {
        MSG* m = &queue[(queueHead + i) % QUEUE_SIZE];
        if (hwnd != NULL && m->hwnd != hwnd)
            continue;
        if ((filterMin != 0 || filterMax != 0) &&
            (m->message < filterMin || m->message > filterMax))
            continue;
        *msg = *m;
        if (removeMsg & PM_REMOVE) {
            // Close the gap, keeping the order of the rest.
            for (int j = i; j + 1 < queueLength; j++)
                queue[(queueHead + j) % QUEUE_SIZE] = queue[(queueHead + j + 1) % QUEUE_SIZE];
            queueLength--;
        }
        return TRUE;
    }

    // As on Windows, WM_PAINT comes only when nothing else is waiting.
    for (int i = 0; i < MAX_WINDOWS; i++) {
        Window* w = &windows[i];
        if (!w->used || !w->needsPaint)
            continue;
        if (hwnd != NULL && (HWND)&w->handle != hwnd)
            continue;
        if ((filterMin != 0 || filterMax != 0) && (WM_PAINT < filterMin || WM_PAINT > filterMax))
            continue;
        memset(msg, 0, sizeof(*msg));
        msg->hwnd = (HWND)&w->handle;
        msg->message = WM_PAINT;
        msg->time = backendTicks();
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    (void)msg;
    return FALSE; // no character messages are made
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (msg == NULL)
        return 0;
    Window* w = windowFor(msg->hwnd);
    if (w == NULL)
        return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (faultCheck("PostMessageA"))
        return FALSE;
    if (hwnd != NULL && windowFor(hwnd) == NULL)
        return FALSE;
    return post(hwnd, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    recordCall("PostQuitMessage %d", exitCode);
    post(NULL, WM_QUIT, (WPARAM)exitCode, 0);
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps)
{
    Window* w = windowFor(hwnd);
    if (w == NULL || ps == NULL)
        return NULL;
    memset(ps, 0, sizeof(*ps));
    ps->hdc = (HDC)&fakeDc;
    w->needsPaint = 0;
    return ps->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    (void)hwnd;
    (void)ps;
    return TRUE;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name)
{
    (void)instance;
    (void)name;
    if (faultCheck("LoadIconA"))
        return NULL;
    return (HICON)&fakeIcon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    (void)instance;
    (void)name;
    if (faultCheck("LoadCursorA"))
        return NULL;
    return (HCURSOR)&fakeCursor;
}

HGDIOBJ WINAPI GetStockObject(int object)
{
    (void)object;
    if (faultCheck("GetStockObject"))
        return NULL;
    return &fakeBrush;
}

int WINAPI ShowCursor(BOOL show)
{
    if (long code = faultCheck("ShowCursor"))
        return (int)code;
    cursorCounter += show ? 1 : -1;
    recordCall("ShowCursor %d", show ? 1 : 0);
    backendShowCursor(cursorCounter >= 0);
    return cursorCounter;
}

DWORD WINAPI GetTickCount(void)
{
    // A failing clock is a clock that jumps: the code is added to the reading.
    DWORD jump = (DWORD)faultCheck("GetTickCount");
    DWORD ticks = backendTicks() + jump;
    if (watch)
        watch->tick(ticks);
    return ticks;
}

void WINAPI Sleep(DWORD milliseconds)
{
    if (faultCheck("Sleep"))
        return;
    backendSleep(milliseconds);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name)
{
    (void)name;
    return &fakeModule;
}
