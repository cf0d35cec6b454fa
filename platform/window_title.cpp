#include "platform/window_title.h"

#include <allegro.h>
#include <xalleg.h>

#include <X11/Xlib.h>

void SetWindowTitle(const std::string& text) {
    set_window_title(text.c_str());
    if (_xwin.display == nullptr || _xwin.window == None) {
        return;
    }
    XLOCK();
    XStoreName(_xwin.display, _xwin.window, text.c_str());
    XFlush(_xwin.display);
    XUNLOCK();
}
