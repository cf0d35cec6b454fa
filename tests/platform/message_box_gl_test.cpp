#include "platform/message_box.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/top_level_window.h"
#include "platform/window_tag.h"
#include "platform/window_title.h"
#include "tests/support/gl_context.h"

#include <allegro.h>
#include <xalleg.h>
// After gtest, whose names the X headers' macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Apart from the tags of the window-tag test, which may run at the same time.
const long TEST_TAG = 98770;
const std::chrono::seconds TIMEOUT(20);

std::atomic<bool> closeRequested(false);
bool IsCloseRequested() { return closeRequested; }

// A real message window on the test's display, watched from a connection of
// the test's own.
class MessageBoxGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setenv("GEARHAVEN_HEADLESS_MESSAGES", "0", 1);
        closeRequested = false;
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        gameWindow = TopLevelWindow(display, _xwin.window);
    }
    void TearDown() override {
        if (display != nullptr) {
            XCloseDisplay(display);
        }
        setenv("GEARHAVEN_HEADLESS_MESSAGES", "1", 1);
    }

    std::future<MessageEnd> Show(const std::string& text) {
        return std::async(std::launch::async,
                          [text] { return ShowMessageBox(text, IsCloseRequested); });
    }

    // The top-level windows in stacking order, bottom first.
    std::vector<Window> Stack() {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        std::vector<Window> windows;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
            windows.assign(children, children + count);
            XFree(children);
        }
        return windows;
    }

    // The mapped window that declares itself transient for the game's window.
    Window WaitForMessageWindow() {
        const auto deadline = std::chrono::steady_clock::now() + TIMEOUT;
        while (std::chrono::steady_clock::now() < deadline) {
            for (Window window : Stack()) {
                Window owner = None;
                XWindowAttributes attributes;
                if (XGetTransientForHint(display, window, &owner) && owner == gameWindow &&
                    XGetWindowAttributes(display, window, &attributes) &&
                    attributes.map_state == IsViewable) {
                    return window;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return None;
    }

    int StackIndex(Window window) {
        const std::vector<Window> windows = Stack();
        for (size_t i = 0; i < windows.size(); ++i) {
            if (windows[i] == window) {
                return int(i);
            }
        }
        return -1;
    }

    Display* display = nullptr;
    Window gameWindow = None;
};

TEST_F(MessageBoxGlTest, OnlyOneMakesMessagesHeadless) {
    for (const char* value : {"0", "yes", "true", "2"}) {
        setenv("GEARHAVEN_HEADLESS_MESSAGES", value, 1);
        EXPECT_FALSE(MessagesAreHeadless()) << value;
    }
    setenv("GEARHAVEN_HEADLESS_MESSAGES", "1", 1);
    EXPECT_TRUE(MessagesAreHeadless());
}

TEST_F(MessageBoxGlTest, CloseRequestEndsTheWait) {
    SetWindowTitle("Gearhaven test");
    std::future<MessageEnd> end = Show("Error: something failed.\nSecond line.");
    const Window message = WaitForMessageWindow();
    ASSERT_NE(message, Window(None));
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(display, message, &name));
    EXPECT_STREQ(name, "Gearhaven test");
    XFree(name);
    EXPECT_EQ(end.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);

    closeRequested = true;
    ASSERT_EQ(end.wait_for(TIMEOUT), std::future_status::ready);
    EXPECT_EQ(end.get(), MessageEnd::CloseRequested);
}

TEST_F(MessageBoxGlTest, ClosingTheMessageAcknowledgesIt) {
    std::future<MessageEnd> end = Show("Closed by its own close button.");
    const Window message = WaitForMessageWindow();
    ASSERT_NE(message, Window(None));
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = message;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, message, False, NoEventMask, &event);
    XFlush(display);
    ASSERT_EQ(end.wait_for(TIMEOUT), std::future_status::ready);
    EXPECT_EQ(end.get(), MessageEnd::Acknowledged);
}

TEST_F(MessageBoxGlTest, ShowingTheTaggedWindowRaisesItsMessageWithIt) {
    std::future<MessageEnd> end = Show("Stays on top.");
    const Window message = WaitForMessageWindow();
    ASSERT_NE(message, Window(None));
    // The player clicks the game's window: it comes above the message.
    XRaiseWindow(display, gameWindow);
    XSync(display, False);
    ASSERT_GT(StackIndex(gameWindow), StackIndex(message));

    // A second copy shows the first one's window.
    SetWindowTag(TEST_TAG);
    ASSERT_TRUE(FindAndShowTaggedWindow(TEST_TAG));
    XSync(display, False);
    EXPECT_GT(StackIndex(message), StackIndex(gameWindow));

    closeRequested = true;
    ASSERT_EQ(end.wait_for(TIMEOUT), std::future_status::ready);
}

}  // namespace
