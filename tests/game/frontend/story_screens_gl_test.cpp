// The single pictures with a twist: the in-game help that keeps the paused
// level, the second splash and the campaign's cutscenes, built by the real
// machine from a small definition.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/state/exit_state.h"
#include "game/frontend/cutscene_state.h"
#include "game/frontend/in_game_single_screen_state.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/splash_screen_state2.h"
#include "tests/game/frontend/frontend_fixture.h"

namespace {

std::string Button(const char* name, int x) {
    return std::string("{\nstring type: \"SpriteMorph\"\nstring name: \"") + name +
           "\"\nstring animation: \"../button.bbq\"\nstring highlighter: "
           "\"SpriteMorphHighlighter\"\npoint position: (" +
           std::to_string(x) + ", 500)\n}\n";
}

std::string Screen(const std::string& buttons) {
    return "string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
           "point position: (0, 0)\nlist struct children\n{\n" +
           buttons + "}\n";
}

std::string Lead(const std::string& trigger, const std::string& state) {
    return "struct " + trigger + "\n{\nstring state: \"" + state + "\"\n}\n";
}

std::string Picture(const std::string& name, const std::string& className, const std::string& path,
                    const std::string& leads) {
    return "struct " + name + "\n{\nstring class: \"" + className +
           "\"\nstring SINGLE_SCREEN_MorphPath: \"" + path + "\"\n" + leads + "}\n";
}

std::string Probe(const std::string& name) {
    return "struct " + name + "\n{\nstring class: \"TEST_Probe\"\n}\n";
}

// A level that counts the texture work done for it while help is shown.
class CountingGame : public ProbeState {
public:
    CountingGame() : ProbeState(PropertyKey("TARNMOORE_STATE_Mechanica")) {}
    void UnloadTextures() override { ++unloads; }
    void ReloadTextures() override { ++reloads; }
    int unloads = 0;
    int reloads = 0;
};

// Two help pages over a level, the second splash and a cutscene, each
// leading to probes where they leave the pictures.
class StoryScreensTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        const std::string pages =
            Screen(Button("Back", 10) + Button("Skip", 200) + Button("Forward", 400));
        WriteFile("resources/InGameHelp/Help.txt", pages);
        WriteFile("resources/SplashScreen/Splash2.txt", Screen(""));
        WriteFile("resources/Cutscenes/Cutscene.txt",
                  Screen(Button("Back", 10) + Button("Forward", 400)));
        const std::string game = "TARNMOORE_STATE_Mechanica";
        const std::string help = "TARNMOORE_STATE_InGameSingleScreen";
        SetMachine("struct STATE_Exit\n{\n" + Lead("Forward", "SPLASH_2") + "}\n" + "struct " +
                   game + "\n{\n" + Lead("Help", "TARNMOORE_STATE_InGameHelp1") + "}\n" +
                   Probe("TO_Menu") + "struct TARNMOORE_STATE_MainMenu\n{\n" +
                   Lead("Help", "TARNMOORE_STATE_InGameHelp1") + "}\n" +
                   Picture("TARNMOORE_STATE_InGameHelp1", help, "InGameHelp/Help.txt",
                           Lead("Forward", "TARNMOORE_STATE_InGameHelp2") + Lead("Skip", game) +
                               Lead("Back", game)) +
                   Picture("TARNMOORE_STATE_InGameHelp2", help, "InGameHelp/Help.txt",
                           Lead("Back", "TARNMOORE_STATE_InGameHelp1") + Lead("Forward", game)) +
                   Picture("SPLASH_2", "TARNMOORE_STATE_SplashScreen2", "SplashScreen/Splash2.txt",
                           Lead("Forward", "TO_Forward") +
                               Lead("ForwardFirstTime", "TO_ForwardFirstTime")) +
                   Picture("CUTSCENE", "TARNMOORE_STATE_Cutscene", "Cutscenes/Cutscene.txt",
                           Lead("Forward", "TO_Forward") + Lead("Back", "TO_Back")) +
                   Probe("TO_Forward") + Probe("TO_ForwardFirstTime") + Probe("TO_Back"));
    }

    static orvel::Properties& Settings() {
        return *orvel::GlobalProperties().GetProperties("TARNMOORE_Settings");
    }
    static orvel::StatePtr Fire(const orvel::StatePtr& current, const char* trigger) {
        return TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(current,
                                                                            PropertyKey(trigger));
    }
};

TEST_F(StoryScreensTest, InGameHelpKeepsTheLevelAndHandsTheSameOneBack) {
    const std::shared_ptr<CountingGame> game = std::make_shared<CountingGame>();
    const orvel::StatePtr first = Fire(game, "Help");
    const auto* page = dynamic_cast<InGameSingleScreenState*>(first.get());
    ASSERT_NE(page, nullptr) << NameOf(first);
    EXPECT_EQ(page->GetGameState(), game);
    EXPECT_EQ(page->GetName(), PropertyKey("TARNMOORE_STATE_InGameSingleScreen"));
    EXPECT_EQ(NameOf(first), "TARNMOORE_STATE_InGameHelp1");

    // Turning the page passes the same level on.
    const orvel::StatePtr second = PressKey(first, MENU_KEY_RIGHT);
    const auto* next = dynamic_cast<InGameSingleScreenState*>(second.get());
    ASSERT_NE(next, nullptr) << NameOf(second);
    EXPECT_EQ(next->GetGameState(), game);

    // A display switch while help shows reaches the waiting level too.
    second->UnloadTextures();
    second->ReloadTextures();
    EXPECT_EQ(game->unloads, 1);
    EXPECT_EQ(game->reloads, 1);

    // Leaving from either page, by the way forward, back or Escape, resumes
    // that very level instead of building a new one.
    EXPECT_EQ(PressKey(second, MENU_KEY_ENTER), game);
    EXPECT_EQ(PressKey(first, MENU_KEY_ESCAPE), game);
    EXPECT_EQ(PressKey(first, MENU_KEY_LEFT), game);
    EXPECT_EQ(NameOf(Click(second, Find(second, "Back"))), "TARNMOORE_STATE_InGameHelp1");
    EXPECT_EQ(builds, 0);
    EXPECT_TRUE(messages.empty()) << messages.front();

    // Help from a menu has no level to keep: the machine says so and stays.
    const orvel::StatePtr menu =
        std::make_shared<ProbeState>(PropertyKey("TARNMOORE_STATE_MainMenu"));
    EXPECT_EQ(Fire(menu, "Help"), menu);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(StoryScreensTest, SecondSplashLeadsByProgressAfterSevenSecondsOrAtOnce) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    const struct {
        int highest;
        const char* leadsTo;
        int currentLevel;  // afterwards; 9 before
    } cases[] = {{0, "TO_ForwardFirstTime", 0}, {3, "TO_Forward", 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.highest);
        SetProgress(c.highest, {});
        registry.SetInt("TARNMOORE_CurrentLevel", 9);
        const orvel::StatePtr splash = Fire(std::make_shared<orvel::ExitState>(), "Forward");
        ASSERT_NE(dynamic_cast<SplashScreenState2*>(splash.get()), nullptr);
        // Seven seconds by the time steps it is given, however long they take.
        for (int second = 0; second < 6; ++second) {
            EXPECT_EQ(splash->Update(*input, 1.0f), nullptr) << second;
        }
        EXPECT_EQ(NameOf(splash->Update(*input, 1.0f)), c.leadsTo);
        EXPECT_EQ(registry.GetInt("TARNMOORE_CurrentLevel"), c.currentLevel);

        for (int key : {MENU_KEY_ESCAPE, MENU_KEY_ENTER, MENU_KEY_SPACE, MENU_KEY_RIGHT}) {
            const orvel::StatePtr fresh = Fire(std::make_shared<orvel::ExitState>(), "Forward");
            EXPECT_EQ(NameOf(PressKey(fresh, key)), c.leadsTo) << key;
        }
        const orvel::StatePtr clicked = Fire(std::make_shared<orvel::ExitState>(), "Forward");
        source->buttons = 1;
        EXPECT_EQ(NameOf(Frame(clicked)), c.leadsTo);
        source->buttons = 0;
        input->Poll();
    }
}

TEST_F(StoryScreensTest, CutsceneCountsItsLevelAsBeatenOnlyWhenItIsTheNewest) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    const struct {
        bool hasCurrentLevel;
        int highest;
        int highestAfter;
        std::vector<int> medalsAfter;
    } cases[] = {
        {true, 4, 5, {0, 1, 2, 0, 2}},
        {true, 6, 6, {0, 1, 2, 0, 1, 1}},
        {false, 4, 4, {0, 1, 2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.highest);
        std::vector<int> medals = {0, 1, 2, 0, 1, 1};
        medals.resize(size_t(c.highest));
        SetProgress(c.highest, medals);
        registry.Erase("TARNMOORE_CurrentLevel");
        if (c.hasCurrentLevel) {
            registry.SetInt("TARNMOORE_CurrentLevel", 4);
        }
        const orvel::StatePtr cutscene = std::make_shared<CutsceneState>(
            PropertyKey("CUTSCENE"), "resources/Cutscenes/Cutscene.txt");
        EXPECT_EQ(cutscene->GetName(), PropertyKey("TARNMOORE_STATE_Cutscene"));
        EXPECT_EQ(Settings().GetInt("TARNMOORE_HighestLevelReached"), c.highestAfter);
        const orvel::AnyVector& list = *Settings().GetList("TARNMOORE_LevelMedals");
        std::vector<int> found;
        for (size_t i = 0; i < list.Size(); ++i) {
            found.push_back(list.GetInt(i));
        }
        EXPECT_EQ(found, c.medalsAfter);

        // Seeing it again changes nothing more.
        std::make_shared<CutsceneState>(PropertyKey("CUTSCENE"),
                                        "resources/Cutscenes/Cutscene.txt");
        EXPECT_EQ(Settings().GetInt("TARNMOORE_HighestLevelReached"), c.highestAfter);
    }
    const orvel::StatePtr cutscene = std::make_shared<CutsceneState>(
        PropertyKey("CUTSCENE"), "resources/Cutscenes/Cutscene.txt");
    EXPECT_EQ(NameOf(PressKey(cutscene, MENU_KEY_RIGHT)), "TO_Forward");
    EXPECT_EQ(NameOf(Click(cutscene, Find(cutscene, "Back"))), "TO_Back");
}

}  // namespace
