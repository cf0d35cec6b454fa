#include "platform/cursor.h"

#include <allegro.h>
#include <xalleg.h>

#include <X11/Xlib.h>

namespace {
bool HasWindow() { return _xwin.display != nullptr && _xwin.window != None; }
}  // namespace

void ClipCursorToScreen(int width, int height) {
    if (!HasWindow()) {
        return;
    }
    XLOCK();
    if (width == 0 && height == 0) {
        XUngrabPointer(_xwin.display, CurrentTime);
    } else {
        // Events still go where they would without the grab (owner events),
        // so the game library keeps reading the mouse as before.
        XGrabPointer(_xwin.display, _xwin.window, True, 0, GrabModeAsync, GrabModeAsync,
                     _xwin.window, None, CurrentTime);
    }
    XFlush(_xwin.display);
    XUNLOCK();
}

void ShowCursor() {
    if (!HasWindow()) {
        return;
    }
    XLOCK();
    XUndefineCursor(_xwin.display, _xwin.window);
    XFlush(_xwin.display);
    XUNLOCK();
}
