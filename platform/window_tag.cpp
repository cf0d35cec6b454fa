#include "platform/window_tag.h"

#include <vector>

#include <allegro.h>
#include <xalleg.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/top_level_window.h"

namespace {

const char TAG_PROPERTY[] = "_GEARHAVEN_WINDOW_TAG";

// Windows of other programs may disappear while the tree is walked; the
// default handler would end the process on such an error.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

bool HasTag(Display* display, Window window, Atom property, long tag) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL,
                                          &type, &format, &count, &after, &data);
    bool tagged = false;
    if (status == Success && data != nullptr) {
        tagged = type == XA_CARDINAL && format == 32 && count == 1 &&
                 *reinterpret_cast<long*>(data) == tag;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return tagged;
}

// Depth first, so that the window is found under a window manager's frame too.
Window FindTagged(Display* display, Window window, Atom property, long tag) {
    if (HasTag(display, window, property, tag)) {
        return window;
    }
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) {
        return None;
    }
    Window found = None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        found = FindTagged(display, children[i], property, tag);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

// Collects the windows that declare themselves transient for one of `owners`
// (a message window of the game, say), depth first.
void FindTransients(Display* display, Window window, const Window owners[2],
                    std::vector<Window>& found) {
    Window owner = None;
    if (XGetTransientForHint(display, window, &owner) &&
        (owner == owners[0] || owner == owners[1])) {
        found.push_back(window);
    }
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) {
        return;
    }
    for (unsigned int i = 0; i < count; ++i) {
        FindTransients(display, children[i], owners, found);
    }
    if (children != nullptr) {
        XFree(children);
    }
}

// Raises the window, the top-level window (or frame) that holds it, and then
// the windows that belong to it, so that an open message stays on top of the
// window it belongs to.
void Show(Display* display, Window window) {
    XMapRaised(display, window);
    const Window topLevel = TopLevelWindow(display, window);
    XMapRaised(display, topLevel);
    const Window owners[2] = {window, topLevel};
    std::vector<Window> transients;
    FindTransients(display, DefaultRootWindow(display), owners, transients);
    for (Window transient : transients) {
        XRaiseWindow(display, TopLevelWindow(display, transient));
    }
    XFlush(display);
}

}  // namespace

void SetWindowTag(long tag) {
    if (_xwin.display == nullptr || _xwin.window == None) {
        return;
    }
    XLOCK();
    const Atom property = XInternAtom(_xwin.display, TAG_PROPERTY, False);
    XChangeProperty(_xwin.display, _xwin.window, property, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&tag), 1);
    XFlush(_xwin.display);
    XUNLOCK();
}

TaggedWindowSearch::TaggedWindowSearch() : display(XOpenDisplay(nullptr)) {}

TaggedWindowSearch::~TaggedWindowSearch() {
    if (display != nullptr) {
        XCloseDisplay(display);
    }
}

bool TaggedWindowSearch::FindAndShow(long tag) {
    if (display == nullptr) {
        return false;
    }
    XErrorHandler previous = XSetErrorHandler(IgnoreXError);
    bool found = false;
    const Atom property = XInternAtom(display, TAG_PROPERTY, True);
    if (property != None) {
        const Window window = FindTagged(display, DefaultRootWindow(display), property, tag);
        if (window != None) {
            Show(display, window);
            found = true;
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return found;
}

bool FindAndShowTaggedWindow(long tag) {
    TaggedWindowSearch search;
    return search.FindAndShow(tag);
}
