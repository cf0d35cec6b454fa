#include "platform/display_check.h"

#include <cstdlib>

#include <X11/Xlib.h>

std::string DescribeMissingDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        return "No X display was found: DISPLAY is not set.";
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        return "No X display was found: DISPLAY is \"" + std::string(name) +
               "\", which cannot be reached.";
    }
    XCloseDisplay(display);
    return std::string();
}
