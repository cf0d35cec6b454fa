#include "game/play/mechanica_state.h"

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

TEST_F(MechanicaStateTest, F1AsksForHelp) {
    StartLevel();
    EXPECT_EQ(Run(10, PressOn(KEY_F1, {4})), 5);
    EXPECT_EQ(Fired(), "Help");
}

TEST_F(MechanicaStateTest, LevelThatFailsToLoadLeavesNothingBehind) {
    TempFolder levels;
    WriteFile("Broken/level.txt", LevelText().Set("nodeSpacing", "").Text());
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetBool(PropertyKey("isSkirmishMode"), true);
    registry.SetString(PropertyKey("levelPath"), (levels.GetPath() / "Broken").string());
    boost::filesystem::current_path(sourceFolder);
    const auto loading = std::make_shared<TriggeredState>(PropertyKey("Loading"));
    EXPECT_EQ(TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(loading,
                                                                           PropertyKey("Forward")),
              loading)
        << "the machine stays where it was";
    EXPECT_FALSE(registry.Contains(PropertyKey("qUnitStats")));
    EXPECT_FALSE(registry.Contains(PropertyKey("AI_COMPONENT_Capabilities")));
    registry.Erase(PropertyKey("levelPath"));
}

}  // namespace
