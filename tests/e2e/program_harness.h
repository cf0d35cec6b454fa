#pragma once

// What the end-to-end tests share: a small X client that finds the
// program's window, closes it and reads its pixels, one run of the built
// program in a folder of its own, and the fixture that lays such a folder out.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
// After gtest, whose names the X headers' macros (None, Bool) would replace.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;

const long WINDOW_TAG = 123;
const char TAG_PROPERTY[] = "_GEARHAVEN_WINDOW_TAG";
// Generous: the program runs under the sanitizers on a shared machine.
const std::chrono::seconds START_TIMEOUT(60);
const std::chrono::seconds END_TIMEOUT(30);
const std::chrono::milliseconds RUNNING_TIME(700);

inline std::string ReadFile(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    return text.str();
}

inline void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << text;
}

// The Mesa driver that the game library loads for its window, when it is
// where Debian puts it. Kept loaded for the whole run of the program (see
// Start), so that the driver's own leftovers at exit can be told apart from
// ours.
inline std::string MesaDriver() {
    const char* const candidates[] = {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
                                      "/usr/lib/aarch64-linux-gnu/dri/swrast_dri.so"};
    for (const char* candidate : candidates) {
        if (fs::exists(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

// A picture of a window: rows of RGB bytes, top row first.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    bool Empty() const { return rgb.empty(); }
    const unsigned char* At(int x, int y) const { return &rgb[size_t(y * width + x) * 3]; }

    // Binary PPM, for looking at after the run.
    void Write(const fs::path& path) const {
        std::ofstream stream(path, std::ios::binary | std::ios::trunc);
        stream << "P6\n" << width << " " << height << "\n255\n";
        stream.write(reinterpret_cast<const char*>(rgb.data()), std::streamsize(rgb.size()));
    }
};

// A small X client: finds the program's window by its tag and asks it to
// close the way a window manager's close button does.
class Desktop {
public:
    Desktop() : display(XOpenDisplay(nullptr)) {}
    ~Desktop() {
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool IsOpen() const { return display != nullptr; }

    Window FindTaggedWindow() {
        const Atom property = XInternAtom(display, TAG_PROPERTY, False);
        XErrorHandler previous = XSetErrorHandler(IgnoreError);
        const Window found = Find(DefaultRootWindow(display), property);
        XSync(display, False);
        XSetErrorHandler(previous);
        return found;
    }

    void SendClose(Window window) {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }

    // The mapped window that declares itself transient for `owner` (the
    // program's message window).
    Window FindTransientFor(Window owner) {
        Window found = None;
        for (Window window : TopLevels()) {
            Window declared = None;
            XWindowAttributes attributes;
            if (XGetTransientForHint(display, window, &declared) && declared == owner &&
                XGetWindowAttributes(display, window, &attributes) &&
                attributes.map_state == IsViewable) {
                found = window;
            }
        }
        return found;
    }

    // The top-level windows in stacking order, bottom first.
    std::vector<Window> TopLevels() {
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

    int StackIndex(Window window) {
        const std::vector<Window> windows = TopLevels();
        for (size_t i = 0; i < windows.size(); ++i) {
            if (windows[i] == window) {
                return int(i);
            }
        }
        return -1;
    }

    void Raise(Window window) {
        XRaiseWindow(display, window);
        XSync(display, False);
    }

    // Gives the keyboard focus to `window`: the program loses the display
    // when its window loses the focus and gets it back with the focus.
    void Focus(Window window) {
        XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
        XFlush(display);
    }
    void FocusDesktop() { Focus(DefaultRootWindow(display)); }

    // What the window shows now; empty when it cannot be read.
    Screenshot Capture(Window window) {
        Screenshot shot;
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes)) {
            return shot;
        }
        XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                                  unsigned(attributes.height), AllPlanes, ZPixmap);
        if (image == nullptr) {
            return shot;
        }
        shot.width = attributes.width;
        shot.height = attributes.height;
        shot.rgb.reserve(size_t(shot.width * shot.height) * 3);
        for (int y = 0; y < shot.height; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                shot.rgb.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> 16));
                shot.rgb.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> 8));
                shot.rgb.push_back(static_cast<unsigned char>(pixel & image->blue_mask));
            }
        }
        XDestroyImage(image);
        return shot;
    }

    std::string GetTitle(Window window) {
        char* name = nullptr;
        std::string title;
        if (XFetchName(display, window, &name) && name != nullptr) {
            title = name;
            XFree(name);
        }
        return title;
    }

private:
    static int IgnoreError(Display*, XErrorEvent*) { return 0; }

    Window Find(Window window, Atom property) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        bool tagged = false;
        if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                               &count, &after, &data) == Success &&
            data != nullptr) {
            tagged = format == 32 && count == 1 && *reinterpret_cast<long*>(data) == WINDOW_TAG;
        }
        if (data != nullptr) {
            XFree(data);
        }
        if (tagged) {
            return window;
        }
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int childCount = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &childCount)) {
            return None;
        }
        Window found = None;
        for (unsigned int i = 0; i < childCount && found == None; ++i) {
            found = Find(children[i], property);
        }
        if (children != nullptr) {
            XFree(children);
        }
        return found;
    }

    Display* display;
};

// How a run is started: which program, and whether its messages open
// windows (the tests of the message window) or go to standard error.
struct RunOptions {
    std::string program = GEARHAVEN_PROGRAM;
    bool realMessages = false;
};

// One run of the program in a folder of its own.
class ProgramRun {
public:
    ProgramRun(const fs::path& folder, const fs::path& config,
               const std::vector<std::string>& arguments, const RunOptions& options = RunOptions())
        : output(folder / "stderr.txt"), realMessages(options.realMessages) {
        std::vector<std::string> argv = {options.program};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const std::string driver = MesaDriver();
        pid = fork();
        if (pid == 0) {
            Child(folder, config, argv, driver);
        }
    }
    ~ProgramRun() {
        if (pid > 0 && !ended) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    pid_t GetPid() const { return pid; }

    // True when the program ended within `timeout`; its exit code is then in
    // `exitCode` (-1 for a signal).
    bool WaitForEnd(std::chrono::milliseconds timeout, int& exitCode) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                ended = true;
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    bool IsRunning() {
        int status = 0;
        return !ended && waitpid(pid, &status, WNOHANG) == 0;
    }

    std::string GetErrorOutput() const { return ReadFile(output); }

private:
    void Child(const fs::path& folder, const fs::path& config, const std::vector<std::string>& argv,
               const std::string& driver) {
        if (chdir(folder.c_str()) != 0) {
            _exit(120);
        }
        const int errors = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(errors, STDERR_FILENO);
        dup2(errors, STDOUT_FILENO);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("GEARHAVEN_HEADLESS_MESSAGES", realMessages ? "0" : "1", 1);
        if (!driver.empty()) {
            // The driver stays loaded when the program closes its display;
            // the sanitizer's list of system libraries then names its
            // leftovers instead of reporting them as leaks of no module. The
            // sanitizer runtime then no longer comes first, which is fine.
            setenv("LD_PRELOAD", driver.c_str(), 1);
            const char* options = getenv("ASAN_OPTIONS");
            std::string asan = options != nullptr ? std::string(options) + ":" : "";
            setenv("ASAN_OPTIONS", (asan + "verify_asan_link_order=0").c_str(), 1);
        }
        std::vector<char*> pointers;
        for (const std::string& argument : argv) {
            pointers.push_back(const_cast<char*>(argument.c_str()));
        }
        pointers.push_back(nullptr);
        execv(pointers[0], pointers.data());
        _exit(121);
    }

    fs::path output;
    bool realMessages;
    pid_t pid = -1;
    bool ended = false;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "gearhaven-e2e-XXXXXX").string();
        root = mkdtemp(&pattern[0]);
        folder = root / "game";
        config = root / "config";
        fs::create_directories(folder);
        fs::create_directories(config);
    }
    void TearDown() override { fs::remove_all(root); }

    // The game's folder as the player has it, with the tests' state machine.
    void LayOutGame(const std::string& stateMachine) {
        fs::copy_file(GEARHAVEN_FONT_DATAFILE, folder / "tarnmoore.dat");
        WriteFile(folder / "resources" / "StateMachine.txt", stateMachine);
        fs::copy_file(fs::path(GEARHAVEN_RESOURCES) / "objectfile1.txt",
                      folder / "resources" / "objectfile1.txt");
        fs::create_directory_symlink(fs::path(GEARHAVEN_RESOURCES) / "sounds",
                                     folder / "resources" / "sounds");
    }

    fs::path SettingsFile() const { return config / "Orrowick" / "Gearhaven" / "settings.txt"; }

    // Waits until the program's window exists; fails the test otherwise.
    Window WaitForWindow(Desktop& desktop, ProgramRun& run) {
        const auto deadline = std::chrono::steady_clock::now() + START_TIMEOUT;
        while (std::chrono::steady_clock::now() < deadline && run.IsRunning()) {
            const Window window = desktop.FindTaggedWindow();
            if (window != None) {
                return window;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ADD_FAILURE() << "no window with the program's tag; output:\n" << run.GetErrorOutput();
        return None;
    }

    void ExpectEnd(ProgramRun& run, int expectedCode) {
        int exitCode = -2;
        ASSERT_TRUE(run.WaitForEnd(END_TIMEOUT, exitCode)) << run.GetErrorOutput();
        EXPECT_EQ(exitCode, expectedCode) << run.GetErrorOutput();
    }
    void ExpectCleanEnd(ProgramRun& run) { ExpectEnd(run, 0); }

    // Waits until the program shows its message window over its game window.
    Window WaitForMessage(Desktop& desktop, ProgramRun& run, Window gameWindow) {
        const auto deadline = std::chrono::steady_clock::now() + START_TIMEOUT;
        while (std::chrono::steady_clock::now() < deadline && run.IsRunning()) {
            const Window message = desktop.FindTransientFor(gameWindow);
            if (message != None) {
                return message;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ADD_FAILURE() << "no message window; output:\n" << run.GetErrorOutput();
        return None;
    }

    fs::path root;
    fs::path folder;
    fs::path config;
};
