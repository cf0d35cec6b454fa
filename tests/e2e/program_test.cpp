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

namespace {

const long WINDOW_TAG = 123;
const char TAG_PROPERTY[] = "_GEARHAVEN_WINDOW_TAG";
// Generous: the program runs under the sanitizers on a shared machine.
const std::chrono::seconds START_TIMEOUT(60);
const std::chrono::seconds END_TIMEOUT(30);
const std::chrono::milliseconds RUNNING_TIME(700);

// A first screen that stays until the program is closed: a fade from the exit
// state back to the exit state that takes a day. The state machine builds it
// from data alone, so the program needs no state of the tests' own.
const char HOLDING_MACHINE[] =
    "struct STATE_Exit\n"
    "{\n"
    "\tstruct Forward\n"
    "\t{\n"
    "\t\tstring state:\t\"E2E_STATE_Hold\"\n"
    "\t\tstring transition:\t\"STATE_TRANSITION_Fade\"\n"
    "\t\tfloat transitionTime:\t86400\n"
    "\t}\n"
    "}\n"
    "struct E2E_STATE_Hold\n"
    "{\n"
    "\tstring class:\t\"STATE_Exit\"\n"
    "}\n";

// A first screen that does not exist: start-up fails with a message.
const char FAILING_MACHINE[] =
    "struct STATE_Exit\n"
    "{\n"
    "\tstruct Forward\n"
    "\t{\n"
    "\t\tstring state:\t\"E2E_STATE_Missing\"\n"
    "\t}\n"
    "}\n";

// The same with a short fade: the exit state becomes current after it.
const char ENDING_MACHINE[] =
    "struct STATE_Exit\n"
    "{\n"
    "\tstruct Forward\n"
    "\t{\n"
    "\t\tstring state:\t\"E2E_STATE_Hold\"\n"
    "\t\tstring transition:\t\"STATE_TRANSITION_Fade\"\n"
    "\t\tfloat transitionTime:\t0.3\n"
    "\t}\n"
    "}\n"
    "struct E2E_STATE_Hold\n"
    "{\n"
    "\tstring class:\t\"STATE_Exit\"\n"
    "}\n";

std::string ReadFile(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << text;
}

// The Mesa driver that the game library loads for its window, when it is
// where Debian puts it. Kept loaded for the whole run of the program (see
// Start), so that the driver's own leftovers at exit can be told apart from
// ours.
std::string MesaDriver() {
    const char* const candidates[] = {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
                                      "/usr/lib/aarch64-linux-gnu/dri/swrast_dri.so"};
    for (const char* candidate : candidates) {
        if (fs::exists(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

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

TEST_F(ProgramTest, RunsFramesUntilTheWindowIsClosedAndSavesTheSettings) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = WaitForWindow(desktop, run);
    ASSERT_NE(window, Window(None));
    EXPECT_EQ(desktop.GetTitle(window), "Gearhaven");

    std::this_thread::sleep_for(RUNNING_TIME);
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();
    EXPECT_FALSE(fs::exists(SettingsFile()));

    desktop.SendClose(window);
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile()));
    EXPECT_EQ(run.GetErrorOutput().find("Error"), std::string::npos) << run.GetErrorOutput();
}

TEST_F(ProgramTest, SurvivesLosingAndRegainingTheDisplay) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = WaitForWindow(desktop, run);
    ASSERT_NE(window, Window(None));
    std::this_thread::sleep_for(RUNNING_TIME);
    for (int i = 0; i < 3; ++i) {
        desktop.Focus(window);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        desktop.FocusDesktop();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    desktop.Focus(window);
    std::this_thread::sleep_for(RUNNING_TIME);
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();

    // Closed while switched out: the loop ends without waiting for the display.
    desktop.FocusDesktop();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    desktop.SendClose(window);
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, TerminationSignalsEndTheGameLikeTheCloseButton) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    for (int signal : {SIGTERM, SIGINT}) {
        fs::remove_all(config / "Orrowick");
        ProgramRun run(folder, config, {"-windowed"});
        ASSERT_NE(WaitForWindow(desktop, run), Window(None));
        // The window opens before the program takes the signals over.
        std::this_thread::sleep_for(RUNNING_TIME);
        kill(run.GetPid(), signal);
        ExpectCleanEnd(run);
        EXPECT_TRUE(fs::exists(SettingsFile())) << "signal " << signal;
    }
}

TEST_F(ProgramTest, SecondCopyOnTheSameDisplayEndsAtOnceAndSilently) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    ProgramRun first(folder, config, {"-windowed"});
    const Window window = WaitForWindow(desktop, first);
    ASSERT_NE(window, Window(None));

    const fs::path secondFolder = root / "second";
    fs::create_directories(secondFolder);
    ProgramRun second(secondFolder, config, {"-windowed"});
    int exitCode = -2;
    ASSERT_TRUE(second.WaitForEnd(END_TIMEOUT, exitCode));
    EXPECT_EQ(exitCode, 0);
    // Not even the message about a failed start-up.
    EXPECT_EQ(second.GetErrorOutput(), "");
    EXPECT_TRUE(first.IsRunning());

    desktop.SendClose(window);
    ExpectCleanEnd(first);
}

TEST_F(ProgramTest, EndsWhenTheExitStateBecomesCurrent) {
    LayOutGame(ENDING_MACHINE);
    ProgramRun run(folder, config, {"-windowed"});
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile())) << run.GetErrorOutput();
}

TEST_F(ProgramTest, WithoutADisplayTheMessageGoesToStandardError) {
    LayOutGame(HOLDING_MACHINE);
    const char* display = getenv("DISPLAY");
    const std::string saved = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    ProgramRun run(folder, config, {"-windowed"});
    if (display != nullptr) {
        setenv("DISPLAY", saved.c_str(), 1);
    }
    ExpectEnd(run, 1);
    EXPECT_NE(run.GetErrorOutput().find("Error: Couldn't start the game library.\n"
                                        "No X display was found: DISPLAY is not set."),
              std::string::npos)
        << run.GetErrorOutput();
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, ADamagedDatafileIsReportedNeverReadByTheLibrary) {
    LayOutGame(HOLDING_MACHINE);
    // Cut short inside the font, the first object of the datafile.
    fs::resize_file(folder / "tarnmoore.dat", 200);
    ProgramRun run(folder, config, {"-windowed"});
    ExpectEnd(run, 1);
    EXPECT_NE(run.GetErrorOutput().find("The game's data file is damaged\nFile: tarnmoore.dat"),
              std::string::npos)
        << run.GetErrorOutput();
    EXPECT_EQ(run.GetErrorOutput().find("AddressSanitizer"), std::string::npos);
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, MissingDatafileIsReportedAndEndsWithFailure) {
    // A copy of the program on its own: the build keeps a datafile beside
    // the program it builds.
    const fs::path lone = root / "lone" / "gearhaven";
    fs::create_directories(lone.parent_path());
    fs::copy_file(GEARHAVEN_PROGRAM, lone);
    RunOptions options;
    options.program = lone.string();
    ProgramRun run(folder, config, {"-windowed"}, options);
    ExpectEnd(run, 1);
    EXPECT_NE(run.GetErrorOutput().find("File Not Found: tarnmoore.dat\nIt was looked for in:\n" +
                                        folder.string() + "\n" + lone.parent_path().string()),
              std::string::npos)
        << run.GetErrorOutput();
    EXPECT_EQ(run.GetErrorOutput().find("AllegroGL"), std::string::npos);
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, AMessageNeverKeepsTheProgramFromEnding) {
    LayOutGame(FAILING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    RunOptions options;
    options.realMessages = true;
    for (const std::string way : {"SIGTERM", "SIGINT", "close button"}) {
        SCOPED_TRACE(way);
        fs::remove_all(config / "Orrowick");
        ProgramRun run(folder, config, {"-windowed"}, options);
        const Window window = WaitForWindow(desktop, run);
        ASSERT_NE(window, Window(None));
        ASSERT_NE(WaitForMessage(desktop, run, window), Window(None));
        std::this_thread::sleep_for(RUNNING_TIME);
        ASSERT_TRUE(run.IsRunning());
        if (way == "SIGTERM") {
            kill(run.GetPid(), SIGTERM);
        } else if (way == "SIGINT") {
            kill(run.GetPid(), SIGINT);
        } else {
            desktop.SendClose(window);
        }
        // The start-up failed, so the status says so; the settings are kept.
        ExpectEnd(run, 1);
        EXPECT_TRUE(fs::exists(SettingsFile()));
    }
}

TEST_F(ProgramTest, SecondCopyRaisesTheFirstCopysMessageWithItsWindow) {
    LayOutGame(FAILING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    RunOptions options;
    options.realMessages = true;
    ProgramRun first(folder, config, {"-windowed"}, options);
    const Window window = WaitForWindow(desktop, first);
    ASSERT_NE(window, Window(None));
    const Window message = WaitForMessage(desktop, first, window);
    ASSERT_NE(message, Window(None));
    desktop.Raise(window);
    ASSERT_GT(desktop.StackIndex(window), desktop.StackIndex(message));

    const fs::path secondFolder = root / "second";
    fs::create_directories(secondFolder);
    ProgramRun second(secondFolder, config, {"-windowed"});
    ExpectEnd(second, 0);
    EXPECT_GT(desktop.StackIndex(message), desktop.StackIndex(window));

    desktop.SendClose(window);
    ExpectEnd(first, 1);
}

TEST_F(ProgramTest, BuiltGameFindsItsDataFromAnyFolder) {
    // The build's own datafile, found beside the program from an empty
    // working folder. Whatever the game's first screen does then, the data
    // was found when the window opens or the program ends without a missing
    // file.
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    ProgramRun run(folder, config, {"-windowed"});
    const auto deadline = std::chrono::steady_clock::now() + START_TIMEOUT;
    Window window = None;
    while (window == None && run.IsRunning() && std::chrono::steady_clock::now() < deadline) {
        window = desktop.FindTaggedWindow();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (window != None) {
        desktop.SendClose(window);
    }
    int exitCode = -2;
    ASSERT_TRUE(run.WaitForEnd(END_TIMEOUT, exitCode)) << run.GetErrorOutput();
    EXPECT_EQ(run.GetErrorOutput().find("File Not Found"), std::string::npos)
        << run.GetErrorOutput();
    EXPECT_TRUE(fs::exists(SettingsFile())) << run.GetErrorOutput();
}

TEST_F(ProgramTest, InstalledGameStartsFromAnyFolder) {
    const fs::path prefix = root / "prefix";
    const std::string install = std::string("\"") + CMAKE_COMMAND + "\" --install \"" +
                                GEARHAVEN_BUILD_FOLDER + "\" --prefix \"" + prefix.string() +
                                "\" > /dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0) << install;
    const fs::path data = prefix / "share" / "gearhaven";
    ASSERT_TRUE(fs::exists(prefix / "bin" / "gearhaven"));
    ASSERT_TRUE(fs::exists(data / "tarnmoore.dat"));

    // The tests' font-only datafile and first screen in place of the game's,
    // so that the installed program runs until it is closed.
    fs::remove(data / "tarnmoore.dat");
    fs::copy_file(GEARHAVEN_FONT_DATAFILE, data / "tarnmoore.dat");
    WriteFile(data / "resources" / "StateMachine.txt", HOLDING_MACHINE);
    fs::copy_file(fs::path(GEARHAVEN_RESOURCES) / "objectfile1.txt",
                  data / "resources" / "objectfile1.txt");
    fs::create_directory_symlink(fs::path(GEARHAVEN_RESOURCES) / "sounds",
                                 data / "resources" / "sounds");

    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    RunOptions options;
    options.program = (prefix / "bin" / "gearhaven").string();
    // Started from an empty folder.
    ProgramRun run(folder, config, {"-windowed"}, options);
    const Window window = WaitForWindow(desktop, run);
    ASSERT_NE(window, Window(None));
    std::this_thread::sleep_for(RUNNING_TIME);
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();
    desktop.SendClose(window);
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile()));
}

}  // namespace
