// The player's road through the game, driven with real X input (xdotool) on
// the built program with its real datafile: the main menu, the campaign map,
// a level's loading screen and difficulty, the level, and back out. Each
// screen is photographed into <build>/tests/e2e/journey/<test>/ for people
// to look at, and checked by a few of its pixels.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <regex>

#include "tests/e2e/program_harness.h"

namespace {

const std::chrono::seconds SCREEN_TIMEOUT(60);
// A skirmish on the first level with the computer buying for both sides
// ended after about four minutes under the sanitizers on a busy machine.
const std::chrono::seconds MATCH_TIMEOUT(600);
// How long a program slowed to a few pictures a second may take to judge
// its frame rate and show its warning.
const std::chrono::seconds SLOW_TIMEOUT(180);

// A check of what a screen shows, by pixels in window coordinates.
typedef std::function<bool(const Screenshot&)> ScreenCheck;

bool IsBrass(const unsigned char* p) { return p[0] > 120 && p[0] > p[1] && p[1] > p[2]; }
bool IsSea(const unsigned char* p) { return p[2] > p[0] + 40 && p[2] > 100; }
bool IsDark(const unsigned char* p) { return p[0] + p[1] + p[2] < 200; }

// The main menu: the brass "Campaign" and "Quit" buttons on the dark panel.
bool ShowsMainMenu(const Screenshot& s) {
    return IsBrass(s.At(120, 191)) && IsBrass(s.At(120, 515)) && IsDark(s.At(317, 400));
}

// The campaign map: the sea round the chart, the brass "Back" and "Play"
// buttons, and the medals of the three levels beaten at their thumbnails'
// bottom left corners: bronze, silver and gold.
bool ShowsMap(const Screenshot& s) {
    const unsigned char* bronze = s.At(77, 500);
    const unsigned char* silver = s.At(187, 518);
    const unsigned char* gold = s.At(297, 485);
    return IsSea(s.At(30, 120)) && IsSea(s.At(770, 560)) && IsBrass(s.At(60, 566)) &&
           IsBrass(s.At(640, 566)) && bronze[0] > bronze[2] + 60 &&
           std::abs(silver[0] - silver[2]) < 40 && silver[0] > 150 && gold[0] > 200 &&
           gold[1] > 150 && gold[2] < 120;
}

// The loading screen once the level is built: the three difficulty buttons
// (their brass above the rank chevrons) over the dark question plate.
bool ShowsDifficultyChoice(const Screenshot& s) {
    return IsBrass(s.At(185, 486)) && IsBrass(s.At(355, 486)) && IsBrass(s.At(525, 486)) &&
           IsDark(s.At(290, 568));
}

// The screens that the whole tour below meets, by pixels of their pictures.
bool ShowsSplash(const Screenshot& s) { return IsDark(s.At(20, 20)) && IsBrass(s.At(215, 250)); }
// The second splash: the game's name on its dark plate over the morning sky.
bool ShowsSecondSplash(const Screenshot& s) {
    return IsDark(s.At(200, 140)) && IsDark(s.At(600, 140)) && !IsDark(s.At(60, 300));
}
bool ShowsOptions(const Screenshot& s) { return IsBrass(s.At(190, 530)) && !ShowsMainMenu(s); }
bool ShowsPage(const Screenshot& s) {
    return IsDark(s.At(715, 300)) && IsBrass(s.At(340, 566)) && !ShowsMainMenu(s);
}
bool ShowsTutorialMenu(const Screenshot& s) {
    return IsBrass(s.At(80, 550)) && IsDark(s.At(120, 515)) && IsDark(s.At(120, 191));
}
// A story picture: its dark caption plate over Back and Play.
bool ShowsCutscene(const Screenshot& s) {
    return IsBrass(s.At(80, 573)) && IsBrass(s.At(600, 573)) && IsDark(s.At(75, 450)) &&
           !IsBrass(s.At(340, 573));
}
// An in-game help page: its dark panel over Back, Resume and Onward.
bool ShowsHelpPage(const Screenshot& s) {
    return IsBrass(s.At(80, 573)) && IsBrass(s.At(340, 573)) && IsBrass(s.At(600, 573)) &&
           IsDark(s.At(700, 490));
}

// The pause menu: its Help and Quit buttons over the darkened level.
bool ShowsPauseMenu(const Screenshot& s) {
    return IsBrass(s.At(250, 495)) && IsBrass(s.At(430, 495)) && IsDark(s.At(240, 140)) &&
           !ShowsHelpPage(s);
}

// The low frame-rate warning: its Quit, Help and Continue buttons.
bool ShowsLowFrameRateWarning(const Screenshot& s) {
    return IsBrass(s.At(135, 554)) && IsBrass(s.At(335, 554)) && IsBrass(s.At(535, 554)) &&
           !ShowsMainMenu(s) && !ShowsHelpPage(s);
}

// The skirmish setup: side 1's brass purchase plate and the Back button.
bool ShowsSkirmishSetup(const Screenshot& s) {
    return IsBrass(s.At(440, 196)) && IsBrass(s.At(30, 548)) && !ShowsMainMenu(s);
}

// The statistics after a level: the dark panel behind the bars, and Onward
// alone under it.
bool ShowsStatistics(const Screenshot& s) {
    return IsBrass(s.At(625, 566)) && IsDark(s.At(60, 120)) && IsDark(s.At(60, 400)) &&
           !IsBrass(s.At(80, 573)) && !IsBrass(s.At(340, 573)) && !ShowsMainMenu(s);
}

// Pixels of a rectangle that differ strongly between two pictures of one
// size: a label written anew, not a button lit or dimmed.
int RewrittenPixels(const Screenshot& a, const Screenshot& b, int left, int top, int width,
                    int height) {
    int rewritten = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const unsigned char* p = a.At(x, y);
            const unsigned char* q = b.At(x, y);
            const int d = std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
            rewritten += d > 250 ? 1 : 0;
        }
    }
    return rewritten;
}

// Makes a running program see a machine far too slow for the game: it is
// stopped and let go in turn, so that it draws only a few pictures in each
// second of the clock it measures its frame rate by, yet still goes on.
class SlowMachine {
public:
    explicit SlowMachine(pid_t pid) : pid(pid), thread([this] { Run(); }) {}
    ~SlowMachine() {
        running = false;
        thread.join();
        kill(pid, SIGCONT);
    }
    SlowMachine(const SlowMachine&) = delete;
    SlowMachine& operator=(const SlowMachine&) = delete;

private:
    void Run() {
        while (running) {
            kill(pid, SIGSTOP);
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            kill(pid, SIGCONT);
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }

    pid_t pid;
    std::atomic<bool> running{true};
    std::thread thread;
};

// Share of pixels that differ clearly between two pictures of one size.
double ChangedShare(const Screenshot& a, const Screenshot& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) {
        return 1.0;
    }
    size_t changed = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3) {
        const int d = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                      std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
        changed += d > 60 ? 1 : 0;
    }
    return double(changed) / double(a.rgb.size() / 3);
}

class JourneyTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        shots = fs::path(GEARHAVEN_BUILD_FOLDER) / "tests" / "e2e" / "journey" /
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(shots);
        fs::create_directories(shots);
        fs::copy_file(GEARHAVEN_DATAFILE, folder / "tarnmoore.dat");
        // Three levels beaten, at each difficulty once: the map shows their
        // crosses and medals, and the fourth level blinking.
        WriteFile(SettingsFile(),
                  "int TARNMOORE_HighestLevelReached: 3\n"
                  "list int TARNMOORE_LevelMedals\n{\n\t0\n\t1\n\t2\n}\n");
    }

    // Runs xdotool against the program's window; false when it fails.
    bool Xdotool(const std::string& arguments) {
        const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    // Puts the game's mouse on (x, y). The game library follows the pointer
    // by its movements, not by where it is, and now and then puts the
    // pointer back in the window's middle. So the pointer is moved in small
    // relative steps: first far up and left, which pins the game's mouse to
    // the top left corner, then to (x, y).
    bool PointAt(Window window, int x, int y) {
        std::string moves = "mousemove --window " + std::to_string(window) + " 400 300 sleep 0.1";
        for (int i = 0; i < 12; ++i) {
            moves += " mousemove_relative -- -100 -100 sleep 0.05";
        }
        const int steps = (std::max(x, y) + 39) / 40;
        for (int i = 0; i < steps; ++i) {
            const int dx = x * (i + 1) / steps - x * i / steps;
            const int dy = y * (i + 1) / steps - y * i / steps;
            moves += " mousemove_relative -- " + std::to_string(dx) + " " + std::to_string(dy) +
                     " sleep 0.05";
        }
        return Xdotool(moves + " sleep 0.3");
    }

    // A left click on the button at (x, y), held for a few frames so that
    // the game's poll sees it. A movement that the game library took
    // together with one of its own pointer moves can land elsewhere, so the
    // pointer goes again until the button shows the mouse over it: lighter
    // at (checkX, checkY), a spot of the button clear of the pointer, than in
    // `idle`.
    bool Click(Desktop& desktop, Window window, int x, int y, int checkX, int checkY,
               const Screenshot& idle) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!PointAt(window, x, y)) {
                return false;
            }
            const Screenshot now = desktop.Capture(window);
            if (!now.Empty() && now.At(checkX, checkY)[0] > idle.At(checkX, checkY)[0] + 12) {
                return Xdotool("mousedown 1 sleep 0.2 mouseup 1");
            }
        }
        ADD_FAILURE() << "the button at " << x << "," << y << " never showed the mouse over it";
        return false;
    }

    // A click on the skirmish setup's control whose label is centred at
    // (x, y), again until the label changes: a click that the game took for
    // a movement changes nothing.
    bool ClickControl(Desktop& desktop, Window window, int x, int y) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (!PointAt(window, x, y)) {
                return false;
            }
            const Screenshot before = desktop.Capture(window);
            if (!Xdotool("mousedown 1 sleep 0.2 mouseup 1 sleep 0.5")) {
                return false;
            }
            const Screenshot after = desktop.Capture(window);
            if (!before.Empty() && !after.Empty() &&
                RewrittenPixels(before, after, x - 70, y - 10, 140, 20) > 20) {
                return true;
            }
        }
        ADD_FAILURE() << "the control at " << x << "," << y << " never changed";
        return false;
    }

    bool Press(const std::string& key) {
        return Xdotool("keydown " + key + " sleep 0.2 keyup " + key);
    }

    // Press, once the screen's transition in is surely over: a screen takes
    // no key while it fades or slides in, and its last frames of a fade
    // already pass the checks.
    bool PressOnceStill(const std::string& key) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        return Press(key);
    }

    // The program's window, given the keyboard: without a window manager
    // the window gets it only when given. None when no window opens.
    Window OpenWindow(Desktop& desktop, ProgramRun& run) {
        const Window window = WaitForWindow(desktop, run);
        if (window != None) {
            desktop.Focus(window);
        }
        return window;
    }

    // The program ends by itself with code 0 and has written no error.
    void ExpectQuietEnd(ProgramRun& run) {
        ExpectCleanEnd(run);
        EXPECT_EQ(run.GetErrorOutput().find("Error"), std::string::npos) << run.GetErrorOutput();
    }

    // Waits until the window passes `check` in two pictures in a row (so a
    // transition has ended), saves the last one under `name` and returns it.
    Screenshot WaitForScreen(Desktop& desktop, ProgramRun& run, Window window,
                             const std::string& name, const ScreenCheck& check,
                             std::chrono::seconds timeout = SCREEN_TIMEOUT) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        Screenshot last;
        bool passedBefore = false;
        while (std::chrono::steady_clock::now() < deadline && run.IsRunning()) {
            last = desktop.Capture(window);
            const bool passes = !last.Empty() && check(last);
            if (passes && passedBefore) {
                last.Write(shots / (name + ".ppm"));
                return last;
            }
            passedBefore = passes;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        if (!last.Empty()) {
            last.Write(shots / (name + "_failed.ppm"));
        }
        ADD_FAILURE() << "the window never showed " << name << "; output:\n"
                      << run.GetErrorOutput();
        return Screenshot();
    }

    // Escape in a level until the pause menu shows twice running. The
    // mechanic's first hint may come up on its own meanwhile: Escape puts it
    // away first, and the next Escape pauses. An empty picture when it never
    // shows.
    Screenshot PauseLevel(Desktop& desktop, Window window, const std::string& name) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!PressOnceStill("Escape")) {
                return Screenshot();
            }
            bool passedBefore = false;
            for (int look = 0; look < 16; ++look) {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                const Screenshot now = desktop.Capture(window);
                const bool passes = !now.Empty() && ShowsPauseMenu(now);
                if (passes && passedBefore) {
                    now.Write(shots / (name + ".ppm"));
                    return now;
                }
                if (!passes && look == 15) {
                    now.Write(shots / (name + "_before_" + std::to_string(attempt) + ".ppm"));
                }
                passedBefore = passes;
            }
        }
        return Screenshot();
    }

    fs::path shots;
};

TEST_F(JourneyTest, MenuMapDifficultyLevelAndBackOut) {
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = OpenWindow(desktop, run);
    ASSERT_NE(window, Window(None));

    const Screenshot menu = WaitForScreen(desktop, run, window, "1_main_menu", ShowsMainMenu);
    ASSERT_FALSE(menu.Empty());

    ASSERT_TRUE(Click(desktop, window, 185, 191, 290, 200, menu));  // "Campaign"
    const Screenshot map = WaitForScreen(desktop, run, window, "2_map", ShowsMap);
    ASSERT_FALSE(map.Empty());
    EXPECT_GT(ChangedShare(menu, map), 0.5);

    ASSERT_TRUE(Click(desktop, window, 108, 476, 150, 470, map));  // the first level
    const Screenshot loading =
        WaitForScreen(desktop, run, window, "3_difficulty", ShowsDifficultyChoice);
    ASSERT_FALSE(loading.Empty());
    EXPECT_GT(ChangedShare(map, loading), 0.5);

    ASSERT_TRUE(Click(desktop, window, 400, 502, 455, 524, loading));  // "Veteran"
    // Another picture, and not the black middle of the fade into it.
    const Screenshot level =
        WaitForScreen(desktop, run, window, "4_level", [&](const Screenshot& s) {
            return ChangedShare(loading, s) > 0.5 && !IsDark(s.At(400, 100)) &&
                   !IsDark(s.At(100, 300));
        });
    ASSERT_FALSE(level.Empty());

    // Escape pauses the level under the pause menu; the window is closed
    // from there.
    ASSERT_TRUE(Press("Escape"));
    std::this_thread::sleep_for(RUNNING_TIME);
    WaitForScreen(desktop, run, window, "5_paused", [](const Screenshot&) { return true; });
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();

    desktop.SendClose(window);
    ExpectQuietEnd(run);
}

// The help page and back by the keyboard, then the menu's Quit button ends
// the game.
TEST_F(JourneyTest, HelpPageAndQuit) {
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = OpenWindow(desktop, run);
    ASSERT_NE(window, Window(None));

    const Screenshot menu = WaitForScreen(desktop, run, window, "6_main_menu", ShowsMainMenu);
    ASSERT_FALSE(menu.Empty());
    ASSERT_TRUE(Click(desktop, window, 185, 407, 290, 416, menu));  // "Help"
    const Screenshot help = WaitForScreen(desktop, run, window, "7_help", [](const Screenshot& s) {
        return IsDark(s.At(715, 300)) && IsBrass(s.At(340, 566)) && !ShowsMainMenu(s);
    });
    ASSERT_FALSE(help.Empty());

    ASSERT_TRUE(Press("Left"));
    const Screenshot again = WaitForScreen(desktop, run, window, "8_main_menu", ShowsMainMenu);
    ASSERT_FALSE(again.Empty());
    ASSERT_TRUE(Click(desktop, window, 185, 515, 290, 524, again));  // "Quit"
    ExpectQuietEnd(run);
}

// Every screen of the game from the splash on, one after another, with a
// picture of each. First on a machine too slow for the game: the splash
// measures its frame rate and leads to the low frame-rate warning, whose
// Continue goes on to the main menu. Then on this machine: the two splashes,
// the main menu and the screens it leads to, the campaign map, a story
// picture, a level's loading screen and the level, the in-game help from F1
// and from the pause menu, and back out through the map; last a skirmish in
// which the computer buys for both sides, played to its end, its
// statistics, and back through the setup to the menu.
TEST_F(JourneyTest, EveryScreenFromTheSplashOn) {
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    {
        ProgramRun slow(folder, config, {"-windowed"});
        const Window window = OpenWindow(desktop, slow);
        ASSERT_NE(window, Window(None));
        // The machine turns slow as soon as the window opens, before the
        // splash counts its first picture, so that the splash measures the
        // slow frame rate alone however busy this machine is. It stays slow
        // until the warning shows, and then runs freely again.
        Screenshot warning;
        {
            const SlowMachine machine(slow.GetPid());
            warning = WaitForScreen(desktop, slow, window, "00_low_fps_warning",
                                    ShowsLowFrameRateWarning, SLOW_TIMEOUT);
        }
        ASSERT_FALSE(warning.Empty());
        ASSERT_TRUE(Click(desktop, window, 600, 554, 530, 545, warning));  // "Continue"
        ASSERT_FALSE(
            WaitForScreen(desktop, slow, window, "00_main_menu_after_warning", ShowsMainMenu)
                .Empty());
        desktop.SendClose(window);
        ExpectQuietEnd(slow);
    }

    ProgramRun run(folder, config, {"-windowed"});
    const Window window = OpenWindow(desktop, run);
    ASSERT_NE(window, Window(None));

    ASSERT_FALSE(WaitForScreen(desktop, run, window, "01_splash", ShowsSplash).Empty());
    ASSERT_FALSE(
        WaitForScreen(desktop, run, window, "02_second_splash", ShowsSecondSplash).Empty());
    ASSERT_TRUE(PressOnceStill("space"));
    const Screenshot menu = WaitForScreen(desktop, run, window, "03_main_menu", ShowsMainMenu);
    ASSERT_FALSE(menu.Empty());

    // The menu's pages, each left by the keyboard.
    const struct {
        int y;
        const char* name;
        ScreenCheck check;
        const char* key;
    } pages[] = {
        {353, "04_options", ShowsOptions, "Escape"},
        {407, "05_help", ShowsPage, "Left"},
        {461, "06_credits", ShowsPage, "Left"},
        {299, "07_tutorial_menu", ShowsTutorialMenu, "Escape"},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.name);
        ASSERT_TRUE(Click(desktop, window, 185, page.y, 290, page.y + 9, menu));
        ASSERT_FALSE(WaitForScreen(desktop, run, window, page.name, page.check).Empty());
        ASSERT_TRUE(PressOnceStill(page.key));
        ASSERT_FALSE(WaitForScreen(desktop, run, window, std::string(page.name) + "_back",
                                   ShowsMainMenu)
                         .Empty());
    }

    // The map; Enter takes the newest level, the fourth, whose place on the
    // map is a story picture before the level.
    ASSERT_TRUE(Click(desktop, window, 185, 191, 290, 200, menu));
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "08_map", ShowsMap).Empty());
    ASSERT_TRUE(PressOnceStill("Return"));
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "09_cutscene", ShowsCutscene).Empty());
    ASSERT_TRUE(PressOnceStill("Right"));
    const Screenshot loading =
        WaitForScreen(desktop, run, window, "10_loading", ShowsDifficultyChoice);
    ASSERT_FALSE(loading.Empty());
    ASSERT_TRUE(Click(desktop, window, 400, 502, 455, 524, loading));  // "Veteran"
    const ScreenCheck inLevel = [&](const Screenshot& s) {
        return ChangedShare(loading, s) > 0.5 && !IsDark(s.At(400, 100)) &&
               !IsDark(s.At(100, 300)) && !ShowsHelpPage(s);
    };
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "11_level", inLevel).Empty());

    // F1: the five help pages, turned with Right; the last one returns to
    // the level.
    ASSERT_TRUE(PressOnceStill("F1"));
    Screenshot previous;
    for (int page = 1; page <= 5; ++page) {
        SCOPED_TRACE(page);
        const Screenshot before = previous;
        previous = WaitForScreen(desktop, run, window, "12_help" + std::to_string(page),
                                 [&](const Screenshot& s) {
                                     return ShowsHelpPage(s) && (before.Empty() ||
                                                                 ChangedShare(before, s) > 0.03);
                                 });
        ASSERT_FALSE(previous.Empty());
        ASSERT_TRUE(PressOnceStill("Right"));
    }
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "13_level_again", inLevel).Empty());

    // Escape pauses under the pause menu; its Help button shows the first
    // page again, and Escape there returns to the paused level. The
    // mechanic's first hint may come up on its own meanwhile: Escape puts it
    // away first, and the next Escape pauses.
    const Screenshot paused = PauseLevel(desktop, window, "14_paused");
    ASSERT_FALSE(paused.Empty());
    ASSERT_TRUE(Click(desktop, window, 310, 487, 250, 495, paused));  // "Help"
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "15_help_from_pause", ShowsHelpPage).Empty());
    ASSERT_TRUE(PressOnceStill("Escape"));
    const Screenshot pausedAgain =
        WaitForScreen(desktop, run, window, "16_paused_again", ShowsPauseMenu);
    ASSERT_FALSE(pausedAgain.Empty());

    // The tutorial hints go off, so that none holds the skirmish below; the
    // switch's knob moves to the left.
    ASSERT_TRUE(Click(desktop, window, 535, 272, 556, 263, pausedAgain));  // "Tutorial hints"
    const Screenshot hintsOff =
        WaitForScreen(desktop, run, window, "16_hints_off", [&](const Screenshot& s) {
            return ShowsPauseMenu(s) && ChangedShare(pausedAgain, s) > 0.0005 &&
                   IsBrass(s.At(518, 267));
        });
    ASSERT_FALSE(hintsOff.Empty());

    // The pause menu's Quit leaves the level for the map; Escape returns to
    // the menu.
    ASSERT_TRUE(Click(desktop, window, 490, 487, 430, 495, pausedAgain));  // "Quit"
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "17_map_again", ShowsMap).Empty());
    ASSERT_TRUE(PressOnceStill("Escape"));
    const Screenshot menuAgain = WaitForScreen(desktop, run, window, "18_main_menu", ShowsMainMenu);
    ASSERT_FALSE(menuAgain.Empty());

    // The skirmish setup: side 1 buys by computer after three steps (number
    // keys, keypad, computer). Side 2 is the computer's, and flying by
    // computer is side 2's alone, so nobody flies side 1's airship.
    ASSERT_TRUE(Click(desktop, window, 185, 245, 290, 254, menuAgain));  // "Skirmish"
    const Screenshot setup =
        WaitForScreen(desktop, run, window, "19_skirmish_setup", ShowsSkirmishSetup);
    ASSERT_FALSE(setup.Empty());
    const struct {
        int x;
        int y;
    } clicks[] = {{505, 205}, {505, 205}, {505, 205}};
    for (const auto& click : clicks) {
        ASSERT_TRUE(ClickControl(desktop, window, click.x, click.y));
    }
    const Screenshot computers = WaitForScreen(
        desktop, run, window, "20_skirmish_computer_buying", [&](const Screenshot& s) {
            return ShowsSkirmishSetup(s) && ChangedShare(setup, s) > 0.001;
        });
    ASSERT_FALSE(computers.Empty());

    // The first level of the list, played to its end by the computer's buying;
    // then its statistics, which fill in 2.5 seconds, and Enter back to the
    // setup.
    ASSERT_TRUE(Click(desktop, window, 700, 562, 760, 550, computers));  // "Play"
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "21_skirmish_level", [&](const Screenshot& s) {
                     return ChangedShare(computers, s) > 0.5 && !IsDark(s.At(400, 100)) &&
                            !IsDark(s.At(100, 300));
                 }).Empty());
    ASSERT_FALSE(
        WaitForScreen(desktop, run, window, "22_statistics", ShowsStatistics, MATCH_TIMEOUT)
            .Empty());
    std::this_thread::sleep_for(std::chrono::seconds(3));
    ASSERT_FALSE(
        WaitForScreen(desktop, run, window, "22_statistics_filled", ShowsStatistics).Empty());
    ASSERT_TRUE(PressOnceStill("Return"));
    ASSERT_FALSE(
        WaitForScreen(desktop, run, window, "23_skirmish_setup_again", ShowsSkirmishSetup).Empty());
    ASSERT_TRUE(PressOnceStill("Escape"));
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "24_main_menu", ShowsMainMenu).Empty());

    desktop.SendClose(window);
    ExpectQuietEnd(run);
    const std::string settings = ReadFile(SettingsFile());
    // The story picture and the skirmish count nothing: the fourth level is
    // still the newest. The hints stay off.
    EXPECT_TRUE(std::regex_search(settings, std::regex("TARNMOORE_HighestLevelReached:\\s*3\\s")))
        << settings;
    EXPECT_TRUE(std::regex_search(settings, std::regex("TUTORIAL_DIALOG_Enabled:\\s*0\\s")))
        << settings;
}

// The skirmish: from the main menu to the setup, a level chosen in the list,
// a unit type and the cash flow changed, the level played, then out by the
// pause menu's Quit to the setup, which shows the choices made before, and
// by Escape to the menu and into the setup again, which still shows them.
TEST_F(JourneyTest, SkirmishSetUpPlayAndBack) {
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = OpenWindow(desktop, run);
    ASSERT_NE(window, Window(None));

    // The setup: side 1's brass purchase plate, the Back button, and side
    // 1's tank switch lit (on) or dark (off).
    const auto showsSetup = [](bool tanks) {
        return [tanks](const Screenshot& s) {
            const unsigned char* tankSwitch = s.At(577, 355);
            return IsBrass(s.At(440, 196)) && IsBrass(s.At(30, 548)) && !ShowsMainMenu(s) &&
                   (tanks ? IsBrass(tankSwitch) : IsDark(tankSwitch));
        };
    };
    const Screenshot menu = WaitForScreen(desktop, run, window, "s1_main_menu", ShowsMainMenu);
    ASSERT_FALSE(menu.Empty());
    ASSERT_TRUE(Click(desktop, window, 185, 245, 290, 254, menu));  // "Skirmish"
    const Screenshot setup = WaitForScreen(desktop, run, window, "s2_setup", showsSetup(true));
    ASSERT_FALSE(setup.Empty());

    // The list's fifth line is the second level; its preview fades in.
    ASSERT_TRUE(PointAt(window, 100, 162 + 4 * 21 + 10));
    ASSERT_TRUE(Xdotool("mousedown 1 sleep 0.2 mouseup 1 sleep 1"));
    const Screenshot chosen = desktop.Capture(window);
    EXPECT_GT(ChangedShare(setup, chosen), 0.02);
    ASSERT_TRUE(Click(desktop, window, 546, 363, 577, 355, chosen));  // side 1's tanks off
    ASSERT_TRUE(Click(desktop, window, 505, 281, 580, 275, chosen));  // cash flow: high
    const Screenshot set =
        WaitForScreen(desktop, run, window, "s3_set_up", showsSetup(false));
    ASSERT_FALSE(set.Empty());

    ASSERT_TRUE(Click(desktop, window, 700, 562, 760, 550, set));  // "Play"
    const Screenshot level =
        WaitForScreen(desktop, run, window, "s4_level", [&](const Screenshot& s) {
            return ChangedShare(set, s) > 0.5 && !IsDark(s.At(400, 100)) &&
                   !IsDark(s.At(100, 300));
        });
    ASSERT_FALSE(level.Empty());
    std::this_thread::sleep_for(RUNNING_TIME);
    WaitForScreen(desktop, run, window, "s5_playing", [](const Screenshot&) { return true; });
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();

    const Screenshot paused = PauseLevel(desktop, window, "s6_paused");
    ASSERT_FALSE(paused.Empty());
    ASSERT_TRUE(Click(desktop, window, 490, 487, 430, 495, paused));  // "Quit"
    ASSERT_FALSE(WaitForScreen(desktop, run, window, "s7_setup", showsSetup(false)).Empty());
    ASSERT_TRUE(PressOnceStill("Escape"));
    const Screenshot again = WaitForScreen(desktop, run, window, "s7_main_menu", ShowsMainMenu);
    ASSERT_FALSE(again.Empty());
    ASSERT_TRUE(Click(desktop, window, 185, 245, 290, 254, again));  // "Skirmish"
    const Screenshot kept = WaitForScreen(desktop, run, window, "s8_setup_again", showsSetup(false));
    ASSERT_FALSE(kept.Empty());
    EXPECT_LT(ChangedShare(set, kept), 0.05);

    desktop.SendClose(window);
    ExpectQuietEnd(run);
}

// Into the first lesson: the main menu's Tutorial button, the tutorial
// menu's first lesson, its loading screen (a key goes on) and the level,
// whose mechanic
// speaks up after four seconds; Space puts his dialog away and the lesson
// plays on.
TEST_F(JourneyTest, TutorialMenuIntoTheFirstLessonAndThroughItsFirstDialog) {
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = OpenWindow(desktop, run);
    ASSERT_NE(window, Window(None));

    const Screenshot menu = WaitForScreen(desktop, run, window, "t1_main_menu", ShowsMainMenu);
    ASSERT_FALSE(menu.Empty());
    ASSERT_TRUE(Click(desktop, window, 185, 299, 290, 308, menu));  // "Tutorial"
    const Screenshot lessons =
        WaitForScreen(desktop, run, window, "t2_tutorial_menu", ShowsTutorialMenu);
    ASSERT_FALSE(lessons.Empty());
    EXPECT_GT(ChangedShare(menu, lessons), 0.02);

    ASSERT_TRUE(Click(desktop, window, 225, 223, 360, 212, lessons));  // the first lesson
    // Its loading screen shows a dark "Loading" plate while the level is
    // built, then waits for a key under the brass "Click to continue".
    const Screenshot loading =
        WaitForScreen(desktop, run, window, "t3_loading", [&](const Screenshot& s) {
            return ChangedShare(lessons, s) > 0.5 && IsBrass(s.At(290, 568)) &&
                   !IsDark(s.At(400, 300));
        });
    ASSERT_FALSE(loading.Empty());
    ASSERT_TRUE(PressOnceStill("space"));
    const ScreenCheck inLevel = [&](const Screenshot& s) {
        return ChangedShare(loading, s) > 0.3 && !IsDark(s.At(400, 100)) &&
               !IsDark(s.At(100, 300)) && !IsDark(s.At(700, 300));
    };
    const Screenshot level = WaitForScreen(desktop, run, window, "t4_lesson", inLevel);
    ASSERT_FALSE(level.Empty());

    // The mechanic's dialog rises over the bottom of the play field.
    const Screenshot dialog = WaitForScreen(
        desktop, run, window, "t5_first_dialog",
        [&](const Screenshot& s) { return inLevel(s) && ChangedShare(level, s) > 0.08; });
    ASSERT_FALSE(dialog.Empty());
    ASSERT_TRUE(PressOnceStill("space"));
    const Screenshot after = WaitForScreen(
        desktop, run, window, "t6_dialog_away",
        [&](const Screenshot& s) { return inLevel(s) && ChangedShare(dialog, s) > 0.08; });
    ASSERT_FALSE(after.Empty());
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();

    desktop.SendClose(window);
    ExpectQuietEnd(run);
}

}  // namespace
