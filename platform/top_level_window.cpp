#include "platform/top_level_window.h"

#include <X11/Xlib.h>

XWindowId TopLevelWindow(Display* display, XWindowId window) {
    Window current = window;
    for (;;) {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, current, &root, &parent, &children, &count)) {
            return current;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == None || parent == root) {
            return current;
        }
        current = parent;
    }
}
