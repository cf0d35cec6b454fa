#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "engine/state/exit_state.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/splash_screen_state.h"
#include "game/frontend/video_warning.h"
#include "tests/game/frontend/frontend_fixture.h"

namespace {

std::string Leads(const std::string& state, const std::vector<std::string>& triggers) {
    std::string text = "struct " + state + "\n{\n";
    for (const std::string& trigger : triggers) {
        text += "struct " + trigger + "\n{\nstring state: \"TO_" + trigger + "\"\n}\n";
    }
    text += "}\n";
    for (const std::string& trigger : triggers) {
        text += "struct TO_" + trigger + "\n{\nstring class: \"TEST_Probe\"\n}\n";
    }
    return text;
}

std::string Button(const char* name, int x) {
    return std::string("{\nstring type: \"SpriteMorph\"\nstring name: \"") + name +
           "\"\nstring animation: \"../button.bbq\"\npoint position: (" + std::to_string(x) +
           ", 0)\n}\n";
}

// The splash screen and the low frame-rate warning, with flat pictures and
// a machine whose triggers lead to probes; xdg-open is a stand-in that
// records what it was asked to open.
class StartupScreensTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        WriteFile("resources/SplashScreen/splash.bbq", FlatBbq(64, 32, Rgb{200, 160, 70}));
        WriteFile("resources/SplashScreen/SplashScreenSprite.txt",
                  "format_version: 1\nfps: 3\nalpha: yes\nnum_frames: 1\n\nframes\n{\n"
                  "    splash.bbq\n}\n");
        WriteFile("resources/LowFps/VideoWarning.txt",
                  "string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
                  "point position: (0, 0)\nlist struct children\n{\n{\n"
                  "string type: \"Morph\"\nstring name: \"VideoWarning\"\n"
                  "point extent: (600, 40)\npoint position: (100, 500)\n"
                  "list struct children\n{\n" +
                      Button("Quit", 0) + Button("Help", 200) + Button("Continue", 400) +
                      "}\n}\n}\n");
        SetMachine(Leads("TARNMOORE_STATE_SplashScreen", {"Forward", "ForwardFirstTime", "LowFps"}) +
                   Leads("TARNMOORE_STATE_VideoWarning", {"Quit", "Continue"}));
        const std::string bin = (folder->GetPath() / "bin").string();
        record = (folder->GetPath() / "opened.txt").string();
        WriteFile("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record +
                                      ".part\"\nmv \"" + record + ".part\" \"" + record + "\"\n");
        chmod((bin + "/xdg-open").c_str(), 0755);
        const char* path = std::getenv("PATH");
        previousPath = path != nullptr ? path : "";
        setenv("PATH", (bin + ":" + previousPath).c_str(), 1);
        SetProgress(1, {1});
    }
    void TearDown() override {
        setenv("PATH", previousPath.c_str(), 1);
        FrontendTest::TearDown();
    }

    // Runs the splash with frames of `dt` seconds until it leaves (at most
    // 20 s); the state it leaves for.
    orvel::StatePtr RunSplash(const orvel::StatePtr& splash, float dt, float* when = nullptr) {
        float time = 0.0f;
        while (time < 20.0f) {
            input->Poll();
            time += dt;
            if (const orvel::StatePtr next = splash->Update(*input, dt)) {
                if (when != nullptr) {
                    *when = time;
                }
                return next;
            }
        }
        return nullptr;
    }

    // What the stand-in xdg-open was given, once it has run (empty after 10 s).
    std::string Opened() const {
        for (int i = 0; i < 1000; ++i) {
            std::ifstream stream(record);
            if (stream) {
                std::stringstream text;
                text << stream.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string();
    }

    std::string record;
    std::string previousPath;
};

TEST_F(StartupScreensTest, SplashMeasuresTheFrameRateWithAFakeClock) {
    const struct {
        float dt;          // the fake clock's step
        int highest;       // the highest level reached
        const char* next;
        float earliest;    // the time it may leave at the earliest
        float latest;
    } cases[] = {
        {0.0625f, 1, "TO_Forward", 7.0f, 7.2f},            // 16 frames a second
        {0.0625f, 0, "TO_ForwardFirstTime", 7.0f, 7.2f},   // a new player
        {0.1015625f, 1, "TO_LowFps", 3.0f, 3.2f},          // 9.8 frames a second
        {0.5f, 0, "TO_LowFps", 3.0f, 3.6f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next + std::string(" at ") + std::to_string(c.dt));
        SetProgress(c.highest, {});
        orvel::GlobalProperties().SetInt("TARNMOORE_CurrentLevel", 5);
        float when = 0.0f;
        EXPECT_EQ(NameOf(RunSplash(std::make_shared<SplashScreenState>(), c.dt, &when)), c.next);
        EXPECT_GE(when, c.earliest);
        EXPECT_LE(when, c.latest);
        EXPECT_EQ(orvel::GlobalProperties().GetInt("TARNMOORE_CurrentLevel"),
                  c.highest == 0 ? 0 : 5);
    }
}

TEST_F(StartupScreensTest, SplashIsSkippedByKeysAndClicksWithoutMeasuring) {
    for (int key : {MENU_KEY_ESCAPE, MENU_KEY_ENTER, MENU_KEY_SPACE, MENU_KEY_RIGHT, -1}) {
        SCOPED_TRACE(key);
        const orvel::StatePtr splash = std::make_shared<SplashScreenState>();
        // Two slow seconds, then the skip on a slow frame.
        for (int i = 0; i < 4; ++i) {
            input->Poll();
            ASSERT_EQ(splash->Update(*input, 0.5f), nullptr);
        }
        if (key >= 0) {
            source->keys = {key};
        } else {
            source->buttons = 1;
        }
        input->Poll();
        EXPECT_EQ(NameOf(splash->Update(*input, 2.0f)), "TO_Forward");
        source->keys.clear();
        source->buttons = 0;
        input->Poll();
    }
}

TEST_F(StartupScreensTest, WarningLeadsByItsButtonsAndKeys) {
    for (const char* button : {"Quit", "Continue"}) {
        SCOPED_TRACE(button);
        const orvel::StatePtr warning = std::make_shared<VideoWarning>();
        EXPECT_EQ(Red(Find(warning, button)), 220) << "idle";
        EXPECT_EQ(NameOf(Click(warning, Find(warning, button))), std::string("TO_") + button);
    }
    for (int key : {MENU_KEY_ESCAPE, MENU_KEY_LEFT, MENU_KEY_BACKSPACE}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(NameOf(PressKey(std::make_shared<VideoWarning>(), key)), "TO_Quit");
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(StartupScreensTest, HelpEndsTheGameAndOpensTheSupportPage) {
    const orvel::StatePtr warning = std::make_shared<VideoWarning>();
    const orvel::StatePtr next = Click(warning, Find(warning, "Help"));
    EXPECT_TRUE(std::dynamic_pointer_cast<orvel::ExitState>(next));
    EXPECT_EQ(Opened(), std::string(SUPPORT_PAGE) + "\n");

    // Without a browser the game still ends.
    setenv("PATH", "/nonexistent-folder", 1);
    const orvel::StatePtr again = std::make_shared<VideoWarning>();
    EXPECT_TRUE(std::dynamic_pointer_cast<orvel::ExitState>(Click(again, Find(again, "Help"))));
}

}  // namespace
