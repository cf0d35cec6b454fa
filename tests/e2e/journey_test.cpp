// The player's road through the game, driven with real X input (xdotool) on
// the built program with its real datafile: the main menu, the campaign map,
// a level's loading screen and difficulty, the level, and back out. Each
// screen is photographed into <build>/tests/e2e/journey/ for people to look
// at, and checked by a few of its pixels.
#include <cstdlib>
#include <functional>

#include "tests/e2e/program_harness.h"

namespace {

const std::chrono::seconds SCREEN_TIMEOUT(60);

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
// over the dark question plate.
bool ShowsDifficultyChoice(const Screenshot& s) {
    return IsBrass(s.At(185, 502)) && IsBrass(s.At(355, 502)) && IsBrass(s.At(525, 502)) &&
           IsDark(s.At(290, 568));
}

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
        shots = fs::path(GEARHAVEN_BUILD_FOLDER) / "tests" / "e2e" / "journey";
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

    // A left click held for a few frames, so that the game's poll sees it.
    // The game library follows the pointer by its movements from where it
    // thinks the mouse is, so the pointer first sweeps from the window's top
    // left to its bottom right, which pins the game's mouse to that corner;
    // from there both agree.
    bool Click(Window window, int x, int y) {
        const std::string at = "mousemove --window " + std::to_string(window) + " ";
        return Xdotool(at + "0 0 sleep 0.2 " + at + "799 599 sleep 0.2 " + at + std::to_string(x) +
                       " " + std::to_string(y) + " sleep 0.3 mousedown 1 sleep 0.2 mouseup 1");
    }

    bool Press(const std::string& key) {
        return Xdotool("keydown " + key + " sleep 0.2 keyup " + key);
    }

    // Waits until the window passes `check` in two pictures in a row (so a
    // transition has ended), saves the last one under `name` and returns it.
    Screenshot WaitForScreen(Desktop& desktop, ProgramRun& run, Window window,
                             const std::string& name, const ScreenCheck& check) {
        const auto deadline = std::chrono::steady_clock::now() + SCREEN_TIMEOUT;
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

    fs::path shots;
};

TEST_F(JourneyTest, MenuMapDifficultyLevelAndBackOut) {
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = WaitForWindow(desktop, run);
    ASSERT_NE(window, Window(None));
    // Without a window manager the window gets the keyboard only when given.
    desktop.Focus(window);

    const Screenshot menu = WaitForScreen(desktop, run, window, "1_main_menu", ShowsMainMenu);
    ASSERT_FALSE(menu.Empty());

    ASSERT_TRUE(Click(window, 185, 191));  // "Campaign"
    const Screenshot map = WaitForScreen(desktop, run, window, "2_map", ShowsMap);
    ASSERT_FALSE(map.Empty());
    EXPECT_GT(ChangedShare(menu, map), 0.5);

    ASSERT_TRUE(Click(window, 108, 476));  // the first level's thumbnail
    const Screenshot loading =
        WaitForScreen(desktop, run, window, "3_difficulty", ShowsDifficultyChoice);
    ASSERT_FALSE(loading.Empty());
    EXPECT_GT(ChangedShare(map, loading), 0.5);

    ASSERT_TRUE(Click(window, 400, 502));  // "Veteran"
    const Screenshot level = WaitForScreen(desktop, run, window, "4_level", [&](const Screenshot& s) {
        return ChangedShare(loading, s) > 0.5;
    });
    ASSERT_FALSE(level.Empty());

    ASSERT_TRUE(Press("Escape"));
    const Screenshot paused =
        WaitForScreen(desktop, run, window, "5_paused", [](const Screenshot&) { return true; });
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();

    desktop.SendClose(window);
    ExpectCleanEnd(run);
    EXPECT_EQ(run.GetErrorOutput().find("Error"), std::string::npos) << run.GetErrorOutput();
}

}  // namespace
