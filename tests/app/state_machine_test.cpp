#include "app/state_machine.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/game_state_holder.h"
#include "app/show_message.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/state/exit_state.h"
#include "engine/state/state_transition.h"

namespace {

// A screen made by a recording factory: it remembers its class and the
// arguments it was built with.
class FakeState : public orvel::State {
public:
    FakeState(PropertyKey className, const StateArguments& arguments)
        : State(arguments.name), className(className), arguments(arguments) {}
    orvel::StatePtr Update(const orvel::Input&, float) override { return nullptr; }
    void Draw() override {}
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    PropertyKey GetName() const override { return className; }

    PropertyKey className;
    StateArguments arguments;
};

// An in-game help screen keeps the game it was entered from.
class FakeHelpScreen : public FakeState, public GameStateHolder {
public:
    using FakeState::FakeState;
    orvel::StatePtr GetGameState() const override { return arguments.gameState; }
};

const char* const CLASSES[] = {
    "TARNMOORE_STATE_LoadingMechanica", "TARNMOORE_STATE_Mechanica",
    "TARNMOORE_STATE_SplashScreen",     "TARNMOORE_STATE_SkirmishMenu",
    "TARNMOORE_STATE_MainMenu",         "TARNMOORE_STATE_Options",
    "TARNMOORE_STATE_StatsScreen",      "TARNMOORE_STATE_TutorialMenu",
    "TARNMOORE_STATE_MapScreen",        "TARNMOORE_STATE_SingleScreen",
    "TARNMOORE_STATE_SplashScreen2",    "TARNMOORE_STATE_Cutscene",
    "TARNMOORE_STATE_VideoWarning",
};

// Helpers that build the definition tree in code.
orvel::PropertiesPtr AddStruct(orvel::Properties& parent, const char* name) {
    const orvel::PropertiesPtr child = std::make_shared<orvel::Properties>();
    parent.SetStruct(PropertyKey(name), child);
    return child;
}

orvel::PropertiesPtr AddTrigger(orvel::Properties& state, const char* trigger, const char* next) {
    const orvel::PropertiesPtr entry = AddStruct(state, trigger);
    entry->SetString("state", next);
    return entry;
}

orvel::PropertiesPtr BuildDefinition() {
    const orvel::PropertiesPtr tree = std::make_shared<orvel::Properties>();
    AddTrigger(*AddStruct(*tree, "STATE_Exit"), "Forward", "TARNMOORE_STATE_SplashScreen");
    AddTrigger(*AddStruct(*tree, "TARNMOORE_STATE_SplashScreen"), "Forward",
               "TARNMOORE_STATE_MainMenu")
        ->SetString("transition", "STATE_TRANSITION_Fade");

    const orvel::PropertiesPtr menu = AddStruct(*tree, "TARNMOORE_STATE_MainMenu");
    const orvel::PropertiesPtr play = AddTrigger(*menu, "Play", "TARNMOORE_STATE_MapScreen");
    play->SetString("transition", "STATE_TRANSITION_SlideLeft");
    play->SetFloat("transitionTime", 1.5f);
    AddTrigger(*menu, "Options", "TARNMOORE_STATE_Options")
        ->SetString("transition", "STATE_TRANSITION_SlideUp");
    AddTrigger(*menu, "Quit", "QuitState");
    AddTrigger(*menu, "Help", "TARNMOORE_STATE_InGameHelp1");
    AddTrigger(*menu, "Lost", "Nowhere");
    AddTrigger(*menu, "Wipe", "TARNMOORE_STATE_Mechanica")
        ->SetString("transition", "STATE_TRANSITION_Wipe");
    const orvel::PropertiesPtr slow = AddTrigger(*menu, "Slow", "TARNMOORE_STATE_Mechanica");
    slow->SetString("transition", "STATE_TRANSITION_Fade");
    slow->SetString("transitionTime", "long");
    AddTrigger(*menu, "Credits", "TARNMOORE_STATE_Credits");
    AddTrigger(*menu, "Intro", "TARNMOORE_STATE_Intro");
    AddTrigger(*menu, "Skirmish", "TARNMOORE_STATE_LoadingMechanica");
    AddStruct(*menu, "Empty");

    AddStruct(*tree, "QuitState")->SetString("class", "STATE_Exit");
    AddStruct(*tree, "TARNMOORE_STATE_MapScreen");
    AddStruct(*tree, "TARNMOORE_STATE_Options");
    AddStruct(*tree, "TARNMOORE_STATE_Credits");
    const orvel::PropertiesPtr loading =
        AddTrigger(*AddStruct(*tree, "TARNMOORE_STATE_LoadingMechanica"), "Forward",
                   "TARNMOORE_STATE_Mechanica");
    loading->SetString("transition", "STATE_TRANSITION_Fade");
    loading->SetFloat("transitionTime", 0.0f);
    const orvel::PropertiesPtr intro = AddStruct(*tree, "TARNMOORE_STATE_Intro");
    intro->SetString("class", "TARNMOORE_STATE_SingleScreen");
    intro->SetString("SINGLE_SCREEN_MorphPath", "Intro/intro.txt");

    const orvel::PropertiesPtr game = AddStruct(*tree, "TARNMOORE_STATE_Mechanica");
    AddTrigger(*game, "Help", "TARNMOORE_STATE_InGameHelp1");
    AddTrigger(*game, "Win", "TARNMOORE_STATE_Stats")
        ->SetString("transition", "STATE_TRANSITION_SlideDown");

    const orvel::PropertiesPtr help1 = AddStruct(*tree, "TARNMOORE_STATE_InGameHelp1");
    help1->SetString("class", "TARNMOORE_STATE_InGameSingleScreen");
    help1->SetString("SINGLE_SCREEN_MorphPath", "Help/help1.txt");
    AddTrigger(*help1, "Next", "TARNMOORE_STATE_InGameHelp2")
        ->SetString("transition", "STATE_TRANSITION_SlideRight");
    AddTrigger(*help1, "Back", "TARNMOORE_STATE_Mechanica");
    const orvel::PropertiesPtr help2 = AddStruct(*tree, "TARNMOORE_STATE_InGameHelp2");
    help2->SetString("class", "TARNMOORE_STATE_InGameSingleScreen");
    help2->SetString("SINGLE_SCREEN_MorphPath", "Help/help2.txt");
    AddTrigger(*help2, "Back", "TARNMOORE_STATE_Mechanica")
        ->SetString("transition", "STATE_TRANSITION_Fade");

    const orvel::PropertiesPtr stats = AddStruct(*tree, "TARNMOORE_STATE_Stats");
    stats->SetString("class", "TARNMOORE_STATE_StatsScreen");
    stats->SetString("STATS_SCREEN_MorphPath", "Stats/stats.txt");
    stats->SetFloat("totalFillTime", 2.5f);
    AddStruct(*stats, "BarPositions")->SetInt("infantry", 40);
    return tree;
}

// Finds the new screen behind an optional transition.
const FakeState* Unwrap(const orvel::StatePtr& result, std::string& transition, float& duration) {
    transition.clear();
    duration = 0.0f;
    const orvel::State* state = result.get();
    if (const auto* wrapped = dynamic_cast<const orvel::StateTransition*>(state)) {
        transition = wrapped->GetName().GetName();
        duration = wrapped->GetDuration();
        state = wrapped->GetTo().get();
    }
    return dynamic_cast<const FakeState*>(state);
}

struct StateMachineFixture : ::testing::Test {
    void SetUp() override {
        machine.SetDefinition(BuildDefinition());
        for (const char* name : CLASSES) {
            const PropertyKey className(name);
            machine.RegisterStateClass(className, [this, className](const StateArguments& a) {
                created.push_back(className);
                return std::make_shared<FakeState>(className, a);
            });
        }
        const PropertyKey help("TARNMOORE_STATE_InGameSingleScreen");
        machine.RegisterStateClass(help, [this, help](const StateArguments& a) {
            created.push_back(help);
            return std::make_shared<FakeHelpScreen>(help, a);
        });
        previousHandler =
            SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
        orvel::GlobalProperties().Erase("isTutorialLevel");
        orvel::GlobalProperties().Erase("isSkirmishMode");
    }
    void TearDown() override {
        SetMessageHandler(previousHandler);
        orvel::GlobalProperties().Erase("isTutorialLevel");
        orvel::GlobalProperties().Erase("isSkirmishMode");
    }

    orvel::StatePtr Screen(const char* name) {
        StateArguments arguments;
        arguments.name = PropertyKey(name);
        return std::make_shared<FakeState>(PropertyKey("screenClass"), arguments);
    }

    orvel::StatePtr HelpScreen(const char* name, const orvel::StatePtr& game) {
        StateArguments arguments;
        arguments.name = PropertyKey(name);
        arguments.gameState = game;
        return std::make_shared<FakeHelpScreen>(PropertyKey("helpClass"), arguments);
    }

    // Sets the registry's `flag` to `value`, then follows `trigger` from the
    // screen `current`: the new screen behind any transition (kept alive by
    // the pointer), or null when it is not a recorded screen.
    std::shared_ptr<const FakeState> FollowWith(const char* flag, bool value, const char* current,
                                                const char* trigger) {
        orvel::GlobalProperties().SetBool(flag, value);
        std::string transition;
        float duration;
        const orvel::StatePtr result = machine.CreateStateForTrigger(Screen(current), trigger);
        return std::shared_ptr<const FakeState>(result, Unwrap(result, transition, duration));
    }

    TarnmooreStateMachineImpl machine;
    std::vector<PropertyKey> created;
    std::vector<std::string> messages;
    MessageHandler previousHandler;
};

}  // namespace

TEST_F(StateMachineFixture, FactoryTable) {
    const struct {
        const char* current;
        const char* trigger;
        int tutorialFlag;  // -1 absent, 0 false, 1 true
        const char* className;
        const char* name;
        const char* path;
        const char* transition;
        float duration;
    } cases[] = {
        {"TARNMOORE_STATE_SplashScreen", "Forward", -1, "TARNMOORE_STATE_MainMenu",
         "TARNMOORE_STATE_MainMenu", "", "STATE_TRANSITION_Fade", 0.5f},
        {"TARNMOORE_STATE_MainMenu", "Play", -1, "TARNMOORE_STATE_MapScreen",
         "TARNMOORE_STATE_MapScreen", "", "STATE_TRANSITION_SlideLeft", 1.5f},
        {"TARNMOORE_STATE_MainMenu", "Play", 0, "TARNMOORE_STATE_MapScreen",
         "TARNMOORE_STATE_MapScreen", "", "STATE_TRANSITION_SlideLeft", 1.5f},
        {"TARNMOORE_STATE_MainMenu", "Play", 1, "TARNMOORE_STATE_TutorialMenu",
         "TARNMOORE_STATE_MapScreen", "", "STATE_TRANSITION_SlideLeft", 1.5f},
        {"TARNMOORE_STATE_MainMenu", "Options", -1, "TARNMOORE_STATE_Options",
         "TARNMOORE_STATE_Options", "", "STATE_TRANSITION_SlideUp", 0.5f},
        {"TARNMOORE_STATE_MainMenu", "Intro", -1, "TARNMOORE_STATE_SingleScreen",
         "TARNMOORE_STATE_Intro", "resources/Intro/intro.txt", "", 0.0f},
        {"TARNMOORE_STATE_MainMenu", "Skirmish", -1, "TARNMOORE_STATE_LoadingMechanica",
         "TARNMOORE_STATE_LoadingMechanica", "", "", 0.0f},
        {"TARNMOORE_STATE_LoadingMechanica", "Forward", -1, "TARNMOORE_STATE_Mechanica",
         "TARNMOORE_STATE_Mechanica", "", "STATE_TRANSITION_Fade", 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.current) + " " + c.trigger + " " +
                     std::to_string(c.tutorialFlag));
        if (c.tutorialFlag >= 0) {
            orvel::GlobalProperties().SetBool("isTutorialLevel", c.tutorialFlag == 1);
        } else {
            orvel::GlobalProperties().Erase("isTutorialLevel");
        }
        created.clear();
        const orvel::StatePtr current = Screen(c.current);
        const orvel::StatePtr result = machine.CreateStateForTrigger(current, c.trigger);
        std::string transition;
        float duration;
        const FakeState* next = Unwrap(result, transition, duration);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->className, PropertyKey(c.className));
        EXPECT_EQ(next->arguments.name, PropertyKey(c.name));
        EXPECT_EQ(next->arguments.path, c.path);
        EXPECT_EQ(transition, c.transition);
        EXPECT_EQ(duration, c.duration);
        EXPECT_EQ(created.size(), 1u);
        EXPECT_TRUE(messages.empty());
        if (!transition.empty()) {
            const auto& wrapped = dynamic_cast<const orvel::StateTransition&>(*result);
            EXPECT_EQ(wrapped.GetFrom(), current);
            EXPECT_EQ(current->GetTransitionCount(), 1);
        }
    }
}

TEST_F(StateMachineFixture, FirstScreenComesFromAnExitStateOnForward) {
    const orvel::StatePtr exit = std::make_shared<orvel::ExitState>();
    const orvel::StatePtr first = machine.CreateStateForTrigger(exit, "Forward");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(first->GetName(), PropertyKey("TARNMOORE_STATE_SplashScreen"));
}

TEST_F(StateMachineFixture, ExitClassMakesAFinishedState) {
    const orvel::StatePtr result =
        machine.CreateStateForTrigger(Screen("TARNMOORE_STATE_MainMenu"), "Quit");
    EXPECT_TRUE(result->IsFinished());
    EXPECT_EQ(result->GetName(), PropertyKey("STATE_Exit"));
    EXPECT_TRUE(created.empty());
}

TEST_F(StateMachineFixture, StatisticsScreenGetsItsPathFillTimeAndBars) {
    const orvel::StatePtr result =
        machine.CreateStateForTrigger(Screen("TARNMOORE_STATE_Mechanica"), "Win");
    std::string transition;
    float duration;
    const FakeState* stats = Unwrap(result, transition, duration);
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->className, PropertyKey("TARNMOORE_STATE_StatsScreen"));
    EXPECT_EQ(stats->arguments.name, PropertyKey("TARNMOORE_STATE_Stats"));
    EXPECT_EQ(stats->arguments.path, "resources/Stats/stats.txt");
    EXPECT_EQ(stats->arguments.totalFillTime, 2.5f);
    ASSERT_NE(stats->arguments.barPositions, nullptr);
    EXPECT_EQ(stats->arguments.barPositions->GetInt("infantry"), 40);
    EXPECT_EQ(transition, "STATE_TRANSITION_SlideDown");
}

// The game enters a help screen, passes to a second one and comes back: the
// same game object, not a new one.
TEST_F(StateMachineFixture, HelpScreensKeepTheGameAndReturnIt) {
    const orvel::StatePtr game = Screen("TARNMOORE_STATE_Mechanica");
    const orvel::StatePtr help1 = machine.CreateStateForTrigger(game, "Help");
    const auto* first = dynamic_cast<const FakeHelpScreen*>(help1.get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetGameState(), game);
    EXPECT_EQ(first->arguments.path, "resources/Help/help1.txt");

    std::string transition;
    float duration;
    const orvel::StatePtr toHelp2 = machine.CreateStateForTrigger(help1, "Next");
    const FakeState* second = Unwrap(toHelp2, transition, duration);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->arguments.gameState, game);
    EXPECT_EQ(second->arguments.name, PropertyKey("TARNMOORE_STATE_InGameHelp2"));

    const orvel::StatePtr help2 = dynamic_cast<const orvel::StateTransition&>(*toHelp2).GetTo();
    const orvel::StatePtr back = machine.CreateStateForTrigger(help2, "Back");
    EXPECT_EQ(Unwrap(back, transition, duration), game.get());
    EXPECT_EQ(transition, "STATE_TRANSITION_Fade");
    EXPECT_EQ(machine.CreateStateForTrigger(help1, "Back"), game);
    EXPECT_EQ(created.size(), 2u);  // the two help screens, never a new game
    EXPECT_TRUE(messages.empty());
}

TEST_F(StateMachineFixture, MessagesKeepTheCurrentScreen) {
    const struct {
        const char* current;
        bool helpScreenWithoutGame;
        const char* trigger;
        const char* message;
    } cases[] = {
        {"TARNMOORE_STATE_MainMenu", false, "Dance",
         "Error: Unknown trigger in statemachine: Dance\nCurrent state: "
         "TARNMOORE_STATE_MainMenu\n"},
        {"TARNMOORE_STATE_MainMenu", false, "Lost",
         "Error: Unknown next state in statemachine: Nowhere\nCurrent state: "
         "TARNMOORE_STATE_MainMenu\nTrigger: Lost"},
        {"TARNMOORE_STATE_MainMenu", false, "Credits",
         "Error: Unknown state: TARNMOORE_STATE_Credits\nCurrent state: "
         "TARNMOORE_STATE_MainMenu\nTrigger: Credits"},
        {"TARNMOORE_STATE_MainMenu", false, "Wipe",
         "Error: Unknown transition: STATE_TRANSITION_Wipe\nNext state: "
         "TARNMOORE_STATE_Mechanica\nCurrent state: TARNMOORE_STATE_MainMenu\nTrigger: Wipe"},
        {"TARNMOORE_STATE_MainMenu", false, "Slow", "Incorrect type for: transitionTime"},
        {"TARNMOORE_STATE_MainMenu", false, "Empty", "Property Not Found: state"},
        {"TARNMOORE_STATE_MainMenu", false, "Help",
         "Error: InGameSingleScreen states can only be reached from another InGameSingleScreen "
         "state or from Mechanica.\nCurrent state: TARNMOORE_STATE_MainMenu\nTrigger: Help"},
        {"TARNMOORE_STATE_Unlisted", false, "Forward",
         "Property Not Found: TARNMOORE_STATE_Unlisted"},
        // Data names a help screen, but the current screen holds no game.
        {"TARNMOORE_STATE_InGameHelp1", true, "Back",
         "Error: State TARNMOORE_STATE_InGameHelp1 holds no game to return to.\nTrigger: Back"},
        {"TARNMOORE_STATE_InGameHelp1", true, "Next",
         "Error: State TARNMOORE_STATE_InGameHelp1 holds no game to return to.\nTrigger: Next"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.current) + " " + c.trigger);
        messages.clear();
        created.clear();
        const orvel::StatePtr current = Screen(c.current);
        EXPECT_EQ(machine.CreateStateForTrigger(current, c.trigger), current);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], c.message);
        // Nothing was built that had to be thrown away.
        EXPECT_TRUE(created.empty());
        EXPECT_EQ(current->GetTransitionCount(), 0);
    }
}

TEST_F(StateMachineFixture, ConstructorFailureIsShownAndTheScreenStays) {
    machine.RegisterStateClass(
        "TARNMOORE_STATE_Options", [](const StateArguments&) -> orvel::StatePtr {
            throw orvel::ExceptionFileNotFound("resources/Options/Options.txt");
        });
    const orvel::StatePtr current = Screen("TARNMOORE_STATE_MainMenu");
    EXPECT_EQ(machine.CreateStateForTrigger(current, "Options"), current);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "File Not Found: resources/Options/Options.txt");
    EXPECT_EQ(current->GetTransitionCount(), 0);
}

// A level fires its end triggers until it is left; one that leads nowhere
// costs one message and takes the game to its first screen.
TEST_F(StateMachineFixture, BrokenLevelEndLeadsToTheFirstScreen) {
    const struct {
        const char* trigger;
        const char* message;
    } cases[] = {
        {"Lose",
         "Error: Unknown trigger in statemachine: Lose\nCurrent state: "
         "TARNMOORE_STATE_Mechanica\n\nThe game goes back to its first screen."},
        {"TutorialWin",
         "Error: Unknown trigger in statemachine: TutorialWin\nCurrent state: "
         "TARNMOORE_STATE_Mechanica\n\nThe game goes back to its first screen."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trigger);
        messages.clear();
        const orvel::StatePtr level = Screen("TARNMOORE_STATE_Mechanica");
        std::string transition;
        float duration;
        const orvel::StatePtr result = machine.CreateStateForTrigger(level, c.trigger);
        const FakeState* next = Unwrap(result, transition, duration);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->className, PropertyKey("TARNMOORE_STATE_SplashScreen"));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], c.message);
    }

    // A broken entry of a level end is no different; other triggers still stay.
    machine.GetDefinition()
        ->GetStruct("TARNMOORE_STATE_Mechanica")
        ->GetStruct("Win")
        ->SetString("state", "Nowhere");
    messages.clear();
    const orvel::StatePtr level = Screen("TARNMOORE_STATE_Mechanica");
    EXPECT_NE(machine.CreateStateForTrigger(level, "Win"), level);
    EXPECT_EQ(machine.CreateStateForTrigger(level, "Dance"), level);
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(StateMachineFixture, CurrentNameIsTheStoredNameElseTheClassName) {
    // A screen without a stored name is looked up by GetName.
    StateArguments unnamed;
    const orvel::StatePtr splash =
        std::make_shared<FakeState>(PropertyKey("TARNMOORE_STATE_SplashScreen"), unnamed);
    std::string transition;
    float duration;
    const orvel::StatePtr result = machine.CreateStateForTrigger(splash, "Forward");
    const FakeState* next = Unwrap(result, transition, duration);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->className, PropertyKey("TARNMOORE_STATE_MainMenu"));
}

TEST_F(StateMachineFixture, HasTrigger) {
    EXPECT_TRUE(machine.HasTrigger("TARNMOORE_STATE_MainMenu", "Play"));
    EXPECT_FALSE(machine.HasTrigger("TARNMOORE_STATE_MainMenu", "Dance"));
    EXPECT_FALSE(machine.HasTrigger("TARNMOORE_STATE_MapScreen", "Play"));
    EXPECT_THROW(machine.HasTrigger("TARNMOORE_STATE_Unlisted", "Play"),
                 orvel::ExceptionPropertyNotFound);
}

TEST(StateMachineTest, InstanceIsOneMachineWithAnEmptyDefinition) {
    const std::shared_ptr<TarnmooreStateMachineImpl>& machine =
        TarnmooreStateMachineImpl::Instance();
    EXPECT_EQ(machine, TarnmooreStateMachineImpl::Instance());
    ASSERT_NE(machine->GetDefinition(), nullptr);
    EXPECT_TRUE(machine->GetDefinition()->Empty());
}

// The shipped definition names a first screen, reached from the exit state.
TEST(StateMachineTest, ShippedDefinitionStartsFromTheExitState) {
    TarnmooreStateMachineImpl machine;
    machine.LoadStateMachineDefinition();
    ASSERT_TRUE(machine.HasTrigger("STATE_Exit", "Forward"));
    const PropertyKey first(
        machine.GetDefinition()->GetStruct("STATE_Exit")->GetStruct("Forward")->GetString("state"));
    EXPECT_TRUE(machine.GetDefinition()->HasProperty(first));

    machine.RegisterStateClass(first, [first](const StateArguments& arguments) {
        return std::make_shared<FakeState>(first, arguments);
    });
    const orvel::StatePtr exit = std::make_shared<orvel::ExitState>();
    const orvel::StatePtr next = machine.CreateStateForTrigger(exit, "Forward");
    EXPECT_NE(next, exit);
    // The first screen may come in behind a transition.
    std::string transition;
    float duration;
    const FakeState* shown = Unwrap(next, transition, duration);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->className, first);
}

// The shipped definition's roads of a tutorial lesson: the menu starts each
// lesson's loading screen; a won lesson returns to the menu; quitting a
// lesson, or a lesson that cannot be built, leads to the map's state, which
// is the tutorial menu while "isTutorialLevel" is set.
TEST_F(StateMachineFixture, ShippedDefinitionLeadsTutorialsBackToTheTutorialMenu) {
    machine.LoadStateMachineDefinition();
    const struct {
        const char* current;
        const char* trigger;
        bool tutorial;
        const char* className;
    } cases[] = {
        {"TARNMOORE_STATE_MainMenu", "Tutorial", false, "TARNMOORE_STATE_TutorialMenu"},
        {"TARNMOORE_STATE_TutorialMenu", "Tutorial0", true, "TARNMOORE_STATE_LoadingMechanica"},
        {"TARNMOORE_STATE_TutorialMenu", "Tutorial3", true, "TARNMOORE_STATE_LoadingMechanica"},
        {"TARNMOORE_STATE_TutorialMenu", "Back", false, "TARNMOORE_STATE_MainMenu"},
        {"TARNMOORE_STATE_LoadingMechanica", "Forward", true, "TARNMOORE_STATE_Mechanica"},
        {"TARNMOORE_STATE_Mechanica", "TutorialWin", true, "TARNMOORE_STATE_TutorialMenu"},
        {"TARNMOORE_STATE_Mechanica", "Quit", true, "TARNMOORE_STATE_TutorialMenu"},
        {"TARNMOORE_STATE_Mechanica", "Quit", false, "TARNMOORE_STATE_MapScreen"},
        {"TARNMOORE_STATE_LoadingMechanica", "Back", true, "TARNMOORE_STATE_TutorialMenu"},
        {"TARNMOORE_STATE_LoadingMechanica", "Back", false, "TARNMOORE_STATE_MapScreen"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.current) + " " + c.trigger);
        const std::shared_ptr<const FakeState> next =
            FollowWith("isTutorialLevel", c.tutorial, c.current, c.trigger);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->className, PropertyKey(c.className));
    }
    EXPECT_TRUE(messages.empty());
}

// The shipped definition's roads out of a skirmish: its statistics, its
// loading screen and its level quit from the pause menu all lead back to the
// setup. A skirmish left without the setup's Back button leaves
// "isSkirmishMode" set; the map and the tutorial menu clear it, so the levels
// chosen there are played as campaign and tutorial levels again.
TEST_F(StateMachineFixture, ShippedDefinitionLeadsSkirmishesBackToTheSetup) {
    machine.LoadStateMachineDefinition();
    const struct {
        const char* current;
        const char* trigger;
        bool skirmish;
        const char* className;
        bool skirmishAfter;
    } cases[] = {
        {"TARNMOORE_STATE_Mechanica", "Quit", true, "TARNMOORE_STATE_SkirmishMenu", true},
        {"TARNMOORE_STATE_StatsScreen", "Skirmish", true, "TARNMOORE_STATE_SkirmishMenu", true},
        {"TARNMOORE_STATE_SkirmishLoading", "Back", true, "TARNMOORE_STATE_SkirmishMenu", true},
        {"TARNMOORE_STATE_Mechanica", "Quit", false, "TARNMOORE_STATE_MapScreen", false},
        {"TARNMOORE_STATE_MainMenu", "Play", true, "TARNMOORE_STATE_MapScreen", false},
        {"TARNMOORE_STATE_Options", "Forward", true, "TARNMOORE_STATE_MapScreen", false},
        {"TARNMOORE_STATE_MainMenu", "Tutorial", true, "TARNMOORE_STATE_TutorialMenu", false},
        {"TARNMOORE_STATE_MainMenu", "Skirmish", true, "TARNMOORE_STATE_SkirmishMenu", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.current) + " " + c.trigger + " " + std::to_string(c.skirmish));
        const std::shared_ptr<const FakeState> next =
            FollowWith("isSkirmishMode", c.skirmish, c.current, c.trigger);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->className, PropertyKey(c.className));
        EXPECT_EQ(next->arguments.name, PropertyKey(c.className));
        EXPECT_EQ(orvel::GlobalProperties().GetBool("isSkirmishMode"), c.skirmishAfter);
    }
    EXPECT_TRUE(messages.empty());
}
