#include "platform/message_box.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <vector>

#include <allegro.h>
#include <xalleg.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "platform/top_level_window.h"

namespace {

const int MARGIN = 16;
const int BUTTON_WIDTH = 80;
const int MIN_WIDTH = 240;
const char BUTTON_TEXT[] = "OK";
// How often the wait looks at the close check when no X event arrives.
const int POLL_MS = 50;

// The game library shows its window only while its X system driver runs.
bool LibraryCanShowWindow() { return system_driver != nullptr && system_driver->id != SYSTEM_NONE; }

bool HeadlessRequested() {
    const char* value = std::getenv("GEARHAVEN_HEADLESS_MESSAGES");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

bool HasDisplayVariable() {
    const char* value = std::getenv("DISPLAY");
    return value != nullptr && value[0] != '\0';
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        lines.push_back(line);
    }
    if (lines.empty()) {
        lines.push_back(std::string());
    }
    return lines;
}

// The game's window may go away while it is looked at; such errors are
// expected and must not end the process.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

// One message window on a connection of its own, so that it never competes
// with the game library's window thread for the library's connection.
class MessageWindow {
public:
    MessageWindow(Display* display, const std::string& text)
        : display(display), lines(SplitLines(text)) {
        font = XLoadQueryFont(display, "fixed");
        const int screen = DefaultScreen(display);
        const Window root = RootWindow(display, screen);

        const Window owner = FindOwner();
        Layout();
        int x = (DisplayWidth(display, screen) - width) / 2;
        int y = (DisplayHeight(display, screen) - height) / 2;
        CentreOn(owner, x, y);

        XSetWindowAttributes attributes = {};
        attributes.background_pixel = WhitePixel(display, screen);
        attributes.border_pixel = BlackPixel(display, screen);
        attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask;
        window =
            XCreateWindow(display, root, x, y, width, height, 1, CopyFromParent, InputOutput,
                          CopyFromParent, CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
        Describe(owner, x, y);

        gc = XCreateGC(display, window, 0, nullptr);
        XSetForeground(display, gc, BlackPixel(display, screen));
        if (font != nullptr) {
            XSetFont(display, gc, font->fid);
        }
        XMapRaised(display, window);
        XFlush(display);
    }
    ~MessageWindow() {
        XFreeGC(display, gc);
        XDestroyWindow(display, window);
        if (font != nullptr) {
            XFreeFont(display, font);
        }
        XFlush(display);
    }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    MessageEnd Wait(CloseRequestedCheck closeRequested) {
        for (;;) {
            if (closeRequested != nullptr && closeRequested()) {
                return MessageEnd::CloseRequested;
            }
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (Handle(event)) {
                    return MessageEnd::Acknowledged;
                }
            }
            // A signal cuts the wait short; the check above then sees it.
            pollfd descriptor = {ConnectionNumber(display), POLLIN, 0};
            poll(&descriptor, 1, POLL_MS);
        }
    }

private:
    // The game library's window, when it has one: the message belongs to it.
    Window FindOwner() {
        if (!LibraryCanShowWindow() || _xwin.window == None) {
            return None;
        }
        XErrorHandler previous = XSetErrorHandler(IgnoreXError);
        const Window owner = TopLevelWindow(display, _xwin.window);
        XSync(display, False);
        XSetErrorHandler(previous);
        return owner;
    }

    int TextWidth(const std::string& line) const {
        if (font == nullptr) {
            return int(line.size()) * 6;
        }
        return XTextWidth(font, line.c_str(), int(line.size()));
    }

    void Layout() {
        ascent = font != nullptr ? font->ascent : 10;
        lineHeight = ascent + (font != nullptr ? font->descent : 3) + 2;
        int textWidth = TextWidth(BUTTON_TEXT);
        for (const std::string& line : lines) {
            textWidth = std::max(textWidth, TextWidth(line));
        }
        width = std::max(MIN_WIDTH, textWidth + 2 * MARGIN);
        button.width = BUTTON_WIDTH;
        button.height = lineHeight + 10;
        button.x = (width - button.width) / 2;
        button.y = MARGIN + int(lines.size()) * lineHeight + MARGIN;
        height = button.y + button.height + MARGIN;
    }

    void CentreOn(Window owner, int& x, int& y) {
        if (owner == None) {
            return;
        }
        XErrorHandler previous = XSetErrorHandler(IgnoreXError);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, owner, &attributes)) {
            x = attributes.x + (attributes.width - width) / 2;
            y = attributes.y + (attributes.height - height) / 2;
        }
        XSync(display, False);
        XSetErrorHandler(previous);
    }

    // Title, fixed size, place, the close protocol and the owner.
    void Describe(Window owner, int x, int y) {
        XSizeHints* hints = XAllocSizeHints();
        hints->flags = PPosition | PMinSize | PMaxSize;
        hints->x = x;
        hints->y = y;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display, window, hints);
        XFree(hints);

        deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &deleteWindow, 1);

        std::string title;
        if (owner != None) {
            XErrorHandler previous = XSetErrorHandler(IgnoreXError);
            char* name = nullptr;
            if (XFetchName(display, owner, &name) && name != nullptr) {
                title = name;
                XFree(name);
            }
            XSetTransientForHint(display, window, owner);
            XSync(display, False);
            XSetErrorHandler(previous);
        }
        XStoreName(display, window, title.c_str());
    }

    void Draw() {
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            XDrawString(display, window, gc, MARGIN, MARGIN + int(i) * lineHeight + ascent,
                        line.c_str(), int(line.size()));
        }
        XDrawRectangle(display, window, gc, button.x, button.y, button.width - 1,
                       button.height - 1);
        const int textX = button.x + (button.width - TextWidth(BUTTON_TEXT)) / 2;
        const int textY = button.y + (button.height - lineHeight) / 2 + ascent;
        XDrawString(display, window, gc, textX, textY, BUTTON_TEXT, int(std::strlen(BUTTON_TEXT)));
    }

    // True when the event acknowledges the message.
    bool Handle(XEvent& event) {
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) {
                    Draw();
                }
                return false;
            case ClientMessage:
                return Atom(event.xclient.data.l[0]) == deleteWindow;
            case KeyPress: {
                const KeySym key = XLookupKeysym(&event.xkey, 0);
                return key == XK_Return || key == XK_KP_Enter || key == XK_space ||
                       key == XK_Escape;
            }
            case ButtonPress:
                pressed = event.xbutton.button == Button1 &&
                          button.Contains(event.xbutton.x, event.xbutton.y);
                return false;
            case ButtonRelease:
                return pressed && event.xbutton.button == Button1 &&
                       button.Contains(event.xbutton.x, event.xbutton.y);
            default:
                return false;
        }
    }

    Display* display;
    std::vector<std::string> lines;
    XFontStruct* font = nullptr;
    Window window = None;
    GC gc = nullptr;
    Atom deleteWindow = None;
    int width = 0;
    int height = 0;
    int ascent = 0;
    int lineHeight = 0;
    Rect button;
    bool pressed = false;
};

}  // namespace

bool MessagesAreHeadless() {
    return HeadlessRequested() || !HasDisplayVariable() || !LibraryCanShowWindow();
}

MessageEnd ShowMessageBox(const std::string& text, CloseRequestedCheck closeRequested) {
    Display* display = MessagesAreHeadless() ? nullptr : XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::cerr << text << std::endl;
        return MessageEnd::Acknowledged;
    }
    MessageEnd end = MessageEnd::Acknowledged;
    {
        MessageWindow window(display, text);
        end = window.Wait(closeRequested);
    }
    XCloseDisplay(display);
    return end;
}
