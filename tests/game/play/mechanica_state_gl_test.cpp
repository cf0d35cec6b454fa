#include "game/play/mechanica_state.h"

#include "app/show_message.h"
#include "engine/state/state_transition.h"
#include "game/units/components/ai_component.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/game/play/level_text.h"
#include "tests/game/play/play_fixture.h"

namespace {

const int KEY_F1 = 47;
const int KEY_ESCAPE = 59;

ScriptedFrame Pressing(int key) {
    ScriptedFrame frame;
    frame.keys.insert(key);
    return frame;
}

// Presses `key` on the frames listed, nothing on the others.
std::function<ScriptedFrame(int)> PressOn(int key, std::set<int> frames) {
    return [key, frames](int i) { return frames.count(i) ? Pressing(key) : ScriptedFrame(); };
}

class MechanicaStateTest : public PlayFixture {};

class SlideIn : public orvel::StateTransition {
public:
    using StateTransition::StateTransition;
    void Draw() override {}
    PropertyKey GetName() const override { return PropertyKey("SlideIn"); }
};

TEST_F(MechanicaStateTest, LevelZeroLoadsAndSteps) {
    StartLevel();
    EXPECT_EQ(game->GetName(), PropertyKey("TARNMOORE_STATE_Mechanica"));
    EXPECT_EQ(game->GetLevelWidth(), 2560u);
    EXPECT_NE(game->GetTerrainBody(), nullptr);
    EXPECT_EQ(Run(60), 60);
    EXPECT_EQ(Fired(), "");
    EXPECT_FALSE(game->IsGameOver());
}

TEST_F(MechanicaStateTest, EscapePausesUntilPressedAgain) {
    StartLevel();
    Run(3, PressOn(KEY_ESCAPE, {1}));
    EXPECT_TRUE(game->IsPaused());
    Run(3);
    EXPECT_TRUE(game->IsPaused());
    Run(1, PressOn(KEY_ESCAPE, {0}));
    EXPECT_FALSE(game->IsPaused()) << "the press that resumes does not pause again";
    Run(1);
    EXPECT_FALSE(game->IsPaused());
}

TEST_F(MechanicaStateTest, ResumeFromThePauseMenuEndsThePause) {
    StartLevel();
    int menus = 0;
    MechanicaState::SetPauseMenuFactory([&menus](const std::weak_ptr<orvel::State>& paused) {
        ++menus;
        EXPECT_FALSE(paused.expired());
        return std::make_shared<TriggeredState>(PropertyKey("PauseMenu"));
    });
    Run(1, PressOn(KEY_ESCAPE, {0}));
    MechanicaState::SetPauseMenuFactory(nullptr);
    EXPECT_EQ(menus, 1);
    orvel::GlobalProperties().SetBool(PropertyKey("Resume"), true);
    Run(1);
    EXPECT_FALSE(game->IsPaused());
    EXPECT_FALSE(orvel::GlobalProperties().Contains(PropertyKey("Resume")));
}

TEST_F(MechanicaStateTest, KeysPressedWhileTheGameSlidesInAreNotLost) {
    StartLevel();
    auto transition = std::make_shared<SlideIn>(
        std::make_shared<TriggeredState>(PropertyKey("Loading")), game, 0.5f);
    Run(1, PressOn(KEY_ESCAPE, {0}));
    EXPECT_TRUE(game->IsPaused()) << "the pause needs no other screen";
    Run(2, PressOn(KEY_ESCAPE, {1}));
    EXPECT_FALSE(game->IsPaused());
    EXPECT_EQ(Run(5, PressOn(KEY_F1, {2})), 5) << "help waits for the transition";
    transition.reset();
    EXPECT_EQ(Run(1), 1);
    EXPECT_EQ(Fired(), "Help");
}

TEST_F(MechanicaStateTest, F1AsksForHelp) {
    StartLevel();
    EXPECT_EQ(Run(10, PressOn(KEY_F1, {4})), 5);
    EXPECT_EQ(Fired(), "Help");
}

// Loads a skirmish level written into a folder of its own, with flat tiles;
// the level must fail: the machine shows the message and stays, and nothing
// of the level is left behind (the leak checker sees the rest).
void ExpectLoadFailsCleanly(const LevelText& text, const std::string& message,
                            const boost::filesystem::path& sourceFolder) {
    TempFolder levels;
    WriteFile("Broken/level.txt", text.Text());
    WriteFile("Broken/ground.bbq", FlatBbq(512, 100, Rgb{30, 160, 40}));
    WriteFile("Broken/hills.bbq", FlatBbq(512, 150, Rgb{150, 100, 50}));
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetBool(PropertyKey("isSkirmishMode"), true);
    registry.SetString(PropertyKey("levelPath"), (levels.GetPath() / "Broken").string());
    boost::filesystem::current_path(sourceFolder);
    const auto loading = std::make_shared<TriggeredState>(PropertyKey("Loading"));
    std::string shown;
    const MessageHandler previous =
        SetMessageHandler([&shown](const std::string& text) { shown = text; });
    EXPECT_EQ(TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(loading,
                                                                           PropertyKey("Forward")),
              loading)
        << "the machine stays where it was";
    SetMessageHandler(previous);
    const std::string file = (levels.GetPath() / "Broken/level.txt").string();
    EXPECT_EQ(shown, "Error: Level file \"" + file + "\": " + message);
    EXPECT_FALSE(registry.Contains(PropertyKey("qUnitStats")));
    EXPECT_FALSE(registry.Contains(PropertyKey("AI_COMPONENT_Capabilities")));
    EXPECT_FALSE(registry.Contains(PropertyKey("GoodVehicleStopped")));
    registry.Erase(PropertyKey("levelPath"));
}

// What the level before let the opponent do does not reach a level that
// says nothing about it: there the opponent may do everything. The level
// is one beyond the campaign's, beside the game's resources.
TEST_F(MechanicaStateTest, EachLevelStartsFromItsOwnCapabilities) {
    TempFolder root;
    // The game's resources are linked in; the level's own folder is not
    // among them, so it is written into the temporary tree.
    for (const auto& entry : boost::filesystem::directory_iterator(sourceFolder / "resources")) {
        boost::filesystem::create_directories("resources");
        boost::filesystem::create_symlink(entry.path(), "resources" / entry.path().filename());
    }
    WriteFile("resources/Level17/level.txt",
              LevelText().Set("skyLayer", "").Set("mountainsLayer", "").Text());
    WriteFile("resources/Level17/ground.bbq", FlatBbq(512, 100, Rgb{30, 160, 40}));
    WriteFile("resources/Level17/hills.bbq", FlatBbq(512, 150, Rgb{150, 100, 50}));
    SetLevel(17);
    orvel::Attributes& registry = orvel::GlobalProperties();
    const PropertyKey key("AI_COMPONENT_Capabilities");
    const auto before = std::make_shared<orvel::Properties>();
    for (const char* name :
         {"putInfantryInBunker", "dropInfantryOnArtillery", "putEngineerInTurret",
          "putEngineerInFactory", "killEnemyTanks", "killEnemyInfantry",
          "carryFlakTruckOffensively", "carryFlakTruckDefensively"}) {
        before->SetBool(PropertyKey(name), false);
    }
    registry[key] = before;
    StartLevel();
    EXPECT_FALSE(registry.Contains(key));
    const auto* ai =
        static_cast<AIComponent*>(game->GetBadAirship()->GetComponent(PropertyKey("AIComponent")));
    ASSERT_NE(ai, nullptr);
    EXPECT_TRUE(ai->GetCapabilities().killEnemyTanks);
    EXPECT_TRUE(ai->GetCapabilities().carryFlakTruckDefensively);
    game.reset();
}

TEST_F(MechanicaStateTest, LevelThatFailsToLoadLeavesNothingBehind) {
    // At once, in the file.
    ExpectLoadFailsCleanly(LevelText().Set("nodeSpacing", ""), "\"nodeSpacing\" is missing.",
                           sourceFolder);
    // Late, once the world holds the terrain, both factories and their watcher:
    // an object of a type that nothing defines.
    ExpectLoadFailsCleanly(
        LevelText()
            .Set("skyLayer", "")
            .Set("mountainsLayer", "")
            .Set("placedObjects", "list struct placedObjects {\n" +
                                      LevelText::Factory("team_good", 200) +
                                      LevelText::Factory("team_bad", 1400) +
                                      LevelText::Object("", "Zeppelin", 600, 200) + "}\n"),
        "\"placedObjects\" entry 3: A string could not be found.\nString:Zeppelin\nIn "
        "resources/objectfile.txt",
        sourceFolder);
}

}  // namespace
