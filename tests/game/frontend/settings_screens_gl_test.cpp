#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "engine/ui/sprite_morph.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/options_state.h"
#include "game/frontend/pause_menu.h"
#include "tests/game/frontend/frontend_fixture.h"

namespace {

std::string Switch(const char* name, int x, int y) {
    return std::string("{\nstring type: \"SpriteMorph\"\nstring name: \"") + name +
           "\"\nstring animation: \"../switch.txt\"\nstring highlighter: "
           "\"SpriteMorphHighlighter\"\npoint position: (" +
           std::to_string(x) + ", " + std::to_string(y) + ")\n}\n";
}

std::string Button(const char* name, int x, int y) {
    return std::string("{\nstring type: \"SpriteMorph\"\nstring name: \"") + name +
           "\"\nstring animation: \"../button.bbq\"\nstring highlighter: "
           "\"SpriteMorphHighlighter\"\npoint position: (" +
           std::to_string(x) + ", " + std::to_string(y) + ")\n}\n";
}

std::string Panel(const char* name, const std::string& rows) {
    return std::string("string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
                       "point position: (0, 0)\nlist struct children\n{\n{\n"
                       "string type: \"SpriteMorph\"\nstring name: \"") +
           name +
           "\"\nstring animation: \"../picture.bbq\"\npoint position: (0, 0)\n"
           "list struct children\n{\n" +
           rows + "}\n}\n}\n";
}

std::string Trigger(const std::string& trigger) {
    return "struct " + trigger + "\n{\nstring state: \"TO_" + trigger + "\"\n}\n";
}

std::string Probe(const std::string& trigger) {
    return "struct TO_" + trigger + "\n{\nstring class: \"TEST_Probe\"\n}\n";
}

// The options screen and the pause menu over a level (a probe named
// "TEST_Game"), with their switches in flat two-frame pictures and the
// settings folder in the test's folder.
class SettingsScreensTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        WriteFile("resources/switch_0.bbq", FlatBbq(40, 20, Rgb{60, 60, 60}));
        WriteFile("resources/switch_1.bbq", FlatBbq(40, 20, Rgb{250, 210, 90}));
        WriteFile("resources/switch.txt",
                  "list string frames\n{\n\"switch_0.bbq\"\n\"switch_1.bbq\"\n}\nfloat fps: 0\n");
        WriteFile("resources/Options/Options.txt",
                  Panel("OptionsMenu", Switch("Music", 300, 40) + Switch("SoundEffects", 300, 100) +
                                           Switch("MagnetToggle", 300, 160) +
                                           Switch("MagnetHoldDown", 300, 220) +
                                           Button("MagnetButton", 20, 160) +
                                           Button("Back", 100, 400) + Button("Forward", 300, 400) +
                                           Button("Skip", 500, 400)));
        WriteFile("resources/PauseMenu/PauseMenu.txt",
                  Panel("PauseMenu", Switch("Music", 300, 40) + Switch("SoundEffects", 300, 90) +
                                         Switch("Tutorial", 300, 140) +
                                         Switch("MagnetToggle", 300, 190) +
                                         Switch("MagnetHoldDown", 300, 240) +
                                         Button("ResetTutorial", 20, 300) +
                                         Button("Resume", 200, 300) + Button("Help", 20, 360) +
                                         Button("Quit", 200, 360)));
        SetMachine("struct TARNMOORE_STATE_Options\n{\n" + Trigger("Back") + Trigger("Forward") +
                   "}\nstruct TEST_Game\n{\n" + Trigger("Help") + Trigger("Quit") + "}\n" +
                   Probe("Back") + Probe("Forward") + Probe("Help") + Probe("Quit"));
        setenv("XDG_CONFIG_HOME", (folder->GetPath() / "config").string().c_str(), 1);
        Settings().SetInt("TARNMOORE_Music", 1);
        Settings().SetInt("TARNMOORE_SoundEffects", 1);
        Settings().SetInt("TARNMOORE_MagnetToggle", 1);
        Settings().SetInt("TUTORIAL_DIALOG_Enabled", 1);
        game = std::make_shared<ProbeState>(PropertyKey("TEST_Game"));
    }
    void TearDown() override {
        orvel::Attributes& registry = orvel::GlobalProperties();
        for (const char* key : {"Resume", "GoodVehicleStopped", "spawnedUnit"}) {
            registry.Erase(key);
        }
        unsetenv("XDG_CONFIG_HOME");
        FrontendTest::TearDown();
    }

    static orvel::Properties& Settings() {
        return *orvel::GlobalProperties().GetProperties("TARNMOORE_Settings");
    }
    orvel::StatePtr MakeScreen(const std::string& which) {
        if (which == "Options") {
            return std::make_shared<OptionsState>();
        }
        return std::make_shared<PauseMenu>(game);
    }
    static int FrameOf(const orvel::StatePtr& screen, const char* name) {
        return dynamic_cast<orvel::SpriteMorph&>(Find(screen, name)).GetSprite().GetFrame();
    }

    std::shared_ptr<ProbeState> game;
};

TEST_F(SettingsScreensTest, SwitchesChangeTheSettingsAndShowThem) {
    const struct {
        const char* screen;
        const char* setting;
        int before;
        const char* clicked;
        int after;
        const char* shown;  // the switch that shows the new value
        int frame;
    } cases[] = {
        {"Options", "TARNMOORE_Music", 5, "Music", 0, "Music", 0},
        {"Options", "TARNMOORE_Music", 0, "Music", 1, "Music", 1},
        {"Options", "TARNMOORE_SoundEffects", 1, "SoundEffects", 0, "SoundEffects", 0},
        {"Options", "TARNMOORE_MagnetToggle", 1, "MagnetToggle", 1, "MagnetHoldDown", 0},
        {"Options", "TARNMOORE_MagnetToggle", 1, "MagnetHoldDown", 0, "MagnetToggle", 0},
        {"PauseMenu", "TARNMOORE_MagnetToggle", 0, "MagnetToggle", 1, "MagnetToggle", 1},
        {"PauseMenu", "TARNMOORE_Music", 1, "Music", 0, "Music", 0},
        {"PauseMenu", "TARNMOORE_SoundEffects", 0, "SoundEffects", 1, "SoundEffects", 1},
        {"PauseMenu", "TUTORIAL_DIALOG_Enabled", 1, "Tutorial", 0, "Tutorial", 0},
        {"PauseMenu", "TUTORIAL_DIALOG_Enabled", 0, "Tutorial", 1, "Tutorial", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.screen) + " " + c.clicked);
        Settings().SetInt(c.setting, c.before);
        const orvel::StatePtr screen = MakeScreen(c.screen);
        EXPECT_EQ(Click(screen, Find(screen, c.clicked)), nullptr);
        EXPECT_EQ(Settings().GetInt(c.setting), c.after);
        EXPECT_EQ(FrameOf(screen, c.shown), c.frame);
        EXPECT_EQ(Red(Find(screen, c.clicked)), 255) << "hovered";
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(SettingsScreensTest, SwitchesStartFromTheSettings) {
    Settings().SetInt("TARNMOORE_Music", 5);
    Settings().SetInt("TARNMOORE_SoundEffects", 0);
    Settings().SetInt("TARNMOORE_MagnetToggle", 0);
    Settings().SetInt("TUTORIAL_DIALOG_Enabled", 0);
    for (const char* which : {"Options", "PauseMenu"}) {
        SCOPED_TRACE(which);
        const orvel::StatePtr screen = MakeScreen(which);
        EXPECT_EQ(FrameOf(screen, "Music"), 1);
        EXPECT_EQ(FrameOf(screen, "SoundEffects"), 0);
        EXPECT_EQ(FrameOf(screen, "MagnetToggle"), 0);
        EXPECT_EQ(FrameOf(screen, "MagnetHoldDown"), 1);
    }
    EXPECT_EQ(FrameOf(MakeScreen("PauseMenu"), "Tutorial"), 0);
}

TEST_F(SettingsScreensTest, OptionsLeaveByTheirButtonsAndKeys) {
    const orvel::StatePtr options = MakeScreen("Options");
    EXPECT_EQ(Alpha(Find(options, "Skip")), 128) << "no Skip in the machine: dimmed";
    EXPECT_EQ(Click(options, Find(options, "Skip")), nullptr);
    EXPECT_EQ(NameOf(Click(options, Find(options, "Forward"))), "TO_Forward");
    EXPECT_EQ(NameOf(Click(options, Find(options, "Back"))), "TO_Back");
    for (int key : {MENU_KEY_ESCAPE, MENU_KEY_LEFT, MENU_KEY_BACKSPACE}) {
        SCOPED_TRACE(key);
        const orvel::StatePtr screen = MakeScreen("Options");
        source->keys = {key};
        EXPECT_EQ(NameOf(Frame(screen)), "TO_Back");
        EXPECT_EQ(Frame(screen), nullptr) << "a held key leaves once";
        source->keys.clear();
    }
}

TEST_F(SettingsScreensTest, OptionsSurviveARestartAndAFailedSaveIsReported) {
    {
        const orvel::StatePtr options = MakeScreen("Options");
        Click(options, Find(options, "Music"));
        Click(options, Find(options, "MagnetHoldDown"));
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
    orvel::GlobalProperties()["TARNMOORE_Settings"] = std::make_shared<orvel::Properties>();
    LoadSettings();
    EXPECT_EQ(Settings().GetInt("TARNMOORE_Music"), 0);
    EXPECT_EQ(Settings().GetInt("TARNMOORE_MagnetToggle"), 0);

    // A settings folder that cannot be made: the save fails and says so.
    WriteFile("blocked", "a file, not a folder");
    setenv("XDG_CONFIG_HOME", (folder->GetPath() / "blocked").string().c_str(), 1);
    MakeScreen("Options").reset();
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(SettingsScreensTest, PauseMenuResumesLeavesForTheLevelAndResetsHints) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    const orvel::StatePtr menu = MakeScreen("PauseMenu");
    EXPECT_EQ(Click(menu, Find(menu, "Resume")), nullptr) << "the level resumes, not the menu";
    EXPECT_EQ(registry.GetInt("Resume"), 1);
    // Help and Quit lead where the machine sends the level, not the menu.
    EXPECT_EQ(NameOf(Click(menu, Find(menu, "Help"))), "TO_Help");
    EXPECT_EQ(NameOf(Click(menu, Find(menu, "Quit"))), "TO_Quit");

    const orvel::PropertiesPtr played = std::make_shared<orvel::Properties>();
    played->SetInt("TUTORIAL_DIALOG_FullMoney", 1);
    Settings().SetStruct("TUTORIAL_DIALOG_DialogPlayedFlags", played);
    registry.SetBool("GoodVehicleStopped", true);
    Click(menu, Find(menu, "Tutorial"));
    Click(menu, Find(menu, "Tutorial"));
    EXPECT_EQ(played->GetInt("TUTORIAL_DIALOG_FullMoney"), 1) << "switching keeps the flags";
    Click(menu, Find(menu, "ResetTutorial"));
    EXPECT_EQ(played->GetInt("TUTORIAL_DIALOG_FullMoney"), 0);
    EXPECT_FALSE(registry.GetBool("GoodVehicleStopped"));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
