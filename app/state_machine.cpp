#include "app/state_machine.h"

#include "app/game_state_holder.h"
#include "app/show_message.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/state/exit_state.h"
#include "engine/state/transition_factory.h"

namespace {

const char DEFINITION_FILE[] = "resources/StateMachine.txt";
// Screen files are named relative to the folder of the definition file.
const char SCREEN_FOLDER[] = "resources";

const float DEFAULT_TRANSITION_TIME = 0.5f;

const PropertyKey KEY_CLASS("class");
const PropertyKey KEY_STATE("state");
const PropertyKey KEY_TRANSITION("transition");
const PropertyKey KEY_TRANSITION_TIME("transitionTime");
const PropertyKey KEY_SINGLE_SCREEN_PATH("SINGLE_SCREEN_MorphPath");
const PropertyKey KEY_STATS_SCREEN_PATH("STATS_SCREEN_MorphPath");
const PropertyKey KEY_BAR_POSITIONS("BarPositions");
const PropertyKey KEY_TOTAL_FILL_TIME("totalFillTime");
const PropertyKey KEY_IS_TUTORIAL_LEVEL("isTutorialLevel");
const PropertyKey KEY_IS_SKIRMISH_MODE("isSkirmishMode");

const PropertyKey CLASS_MECHANICA("TARNMOORE_STATE_Mechanica");
const PropertyKey CLASS_STATS_SCREEN("TARNMOORE_STATE_StatsScreen");
const PropertyKey CLASS_TUTORIAL_MENU("TARNMOORE_STATE_TutorialMenu");
const PropertyKey CLASS_MAP_SCREEN("TARNMOORE_STATE_MapScreen");
const PropertyKey CLASS_SKIRMISH_MENU("TARNMOORE_STATE_SkirmishMenu");
const PropertyKey CLASS_SINGLE_SCREEN("TARNMOORE_STATE_SingleScreen");
const PropertyKey CLASS_SPLASH_SCREEN2("TARNMOORE_STATE_SplashScreen2");
const PropertyKey CLASS_CUTSCENE("TARNMOORE_STATE_Cutscene");
const PropertyKey CLASS_IN_GAME_SINGLE_SCREEN("TARNMOORE_STATE_InGameSingleScreen");
const PropertyKey CLASS_EXIT("STATE_Exit");

const PropertyKey TRIGGER_FORWARD("Forward");

// The triggers that end a level. The level has no other way out, so when one
// of them leads nowhere the game returns to its first screen instead of
// staying in a level that would fire it again every frame.
const PropertyKey LEVEL_END_TRIGGERS[] = {
    PropertyKey("Win"),
    PropertyKey("Lose"),
    PropertyKey("TutorialWin"),
};

bool EndsLevel(PropertyKey trigger) {
    for (const PropertyKey& end : LEVEL_END_TRIGGERS) {
        if (trigger == end) {
            return true;
        }
    }
    return false;
}

const PropertyKey IN_GAME_HELP_STATES[] = {
    PropertyKey("TARNMOORE_STATE_InGameHelp1"), PropertyKey("TARNMOORE_STATE_InGameHelp2"),
    PropertyKey("TARNMOORE_STATE_InGameHelp3"), PropertyKey("TARNMOORE_STATE_InGameHelp4"),
    PropertyKey("TARNMOORE_STATE_InGameHelp5"),
};

bool IsInGameHelpState(PropertyKey name) {
    for (const PropertyKey& help : IN_GAME_HELP_STATES) {
        if (name == help) {
            return true;
        }
    }
    return false;
}

bool RegistryFlag(PropertyKey key) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    return registry.Contains(key) && registry.GetBool(key);
}

std::string ScreenPath(const std::string& relative) {
    return std::string(SCREEN_FOLDER) + "/" + relative;
}

orvel::ExceptionGeneral UnknownState(PropertyKey nextName, PropertyKey currentName,
                                     PropertyKey trigger) {
    return orvel::ExceptionGeneral("Unknown state: " + nextName.GetName() + "\nCurrent state: " +
                                   currentName.GetName() + "\nTrigger: " + trigger.GetName());
}

// The game that an in-game help screen keeps alive. The state is found by its
// name, which comes from data, so the cast is checked.
orvel::StatePtr GameStateOf(const orvel::StatePtr& current, PropertyKey currentName,
                            PropertyKey trigger) {
    const GameStateHolder* holder = dynamic_cast<const GameStateHolder*>(current.get());
    orvel::StatePtr game = holder != nullptr ? holder->GetGameState() : orvel::StatePtr();
    if (!game) {
        throw orvel::ExceptionGeneral(
            "State " + currentName.GetName() +
            " holds no game to return to.\nTrigger: " + trigger.GetName());
    }
    return game;
}

}  // namespace

const std::shared_ptr<TarnmooreStateMachineImpl>& TarnmooreStateMachineImpl::Instance() {
    static const std::shared_ptr<TarnmooreStateMachineImpl> machine =
        std::make_shared<TarnmooreStateMachineImpl>();
    return machine;
}

TarnmooreStateMachineImpl::TarnmooreStateMachineImpl()
    : definition(std::make_shared<orvel::Properties>()) {}

void TarnmooreStateMachineImpl::LoadStateMachineDefinition() {
    definition = orvel::LoadPropertyFile(DEFINITION_FILE);
}

void TarnmooreStateMachineImpl::SetDefinition(const orvel::PropertiesPtr& tree) {
    definition = tree;
}

void TarnmooreStateMachineImpl::RegisterStateClass(PropertyKey className, StateFactory factory) {
    factories[className] = std::move(factory);
}

bool TarnmooreStateMachineImpl::HasTrigger(PropertyKey stateName, PropertyKey trigger) const {
    return definition->GetStruct(stateName)->HasProperty(trigger);
}

orvel::StatePtr TarnmooreStateMachineImpl::CreateStateForTrigger(const orvel::StatePtr& current,
                                                                 PropertyKey trigger) {
    try {
        return CreateNextState(current, trigger);
    } catch (const orvel::Exception& exception) {
        if (!EndsLevel(trigger)) {
            ShowMessage(exception.What());
            return current;
        }
        ShowMessage(exception.What() + "\nThe game goes back to its first screen.");
    }
    try {
        return CreateNextState(std::make_shared<orvel::ExitState>(), TRIGGER_FORWARD);
    } catch (const orvel::Exception& exception) {
        ShowMessage(exception.What());
        return current;
    }
}

orvel::StatePtr TarnmooreStateMachineImpl::CreateNextState(const orvel::StatePtr& current,
                                                           PropertyKey trigger) {
    const PropertyKey stored = current->GetStoredName();
    const PropertyKey currentName = stored != PropertyKey() ? stored : current->GetName();

    const orvel::PropertiesPtr stateEntry = definition->GetStruct(currentName);
    if (!stateEntry->HasProperty(trigger)) {
        throw orvel::ExceptionGeneral("Unknown trigger in statemachine: " + trigger.GetName() +
                                      "\nCurrent state: " + currentName.GetName() + "\n");
    }
    const orvel::PropertiesPtr triggerEntry = stateEntry->GetStruct(trigger);

    const PropertyKey nextName(triggerEntry->GetString(KEY_STATE));
    if (!definition->HasProperty(nextName)) {
        throw orvel::ExceptionGeneral("Unknown next state in statemachine: " + nextName.GetName() +
                                      "\nCurrent state: " + currentName.GetName() +
                                      "\nTrigger: " + trigger.GetName());
    }
    const orvel::PropertiesPtr nextEntry = definition->GetStruct(nextName);
    const PropertyKey className =
        nextEntry->HasProperty(KEY_CLASS) ? PropertyKey(nextEntry->GetString(KEY_CLASS)) : nextName;

    // The transition is checked before the next state is built, so a bad
    // entry never builds (and throws away) an expensive state such as a level.
    const bool hasTransition = triggerEntry->HasProperty(KEY_TRANSITION);
    PropertyKey transitionName;
    float duration = DEFAULT_TRANSITION_TIME;
    if (hasTransition) {
        transitionName = PropertyKey(triggerEntry->GetString(KEY_TRANSITION));
        if (!orvel::IsTransitionName(transitionName)) {
            throw orvel::ExceptionGeneral("Unknown transition: " + transitionName.GetName() +
                                          "\nNext state: " + nextName.GetName() +
                                          "\nCurrent state: " + currentName.GetName() +
                                          "\nTrigger: " + trigger.GetName());
        }
        if (triggerEntry->HasProperty(KEY_TRANSITION_TIME)) {
            duration = triggerEntry->GetFloat(KEY_TRANSITION_TIME);
        }
    }

    const orvel::StatePtr next =
        CreateByClass(className, current, currentName, trigger, nextName, *nextEntry);
    if (!hasTransition) {
        return next;
    }
    return orvel::CreateTransition(transitionName, current, next, duration);
}

orvel::StatePtr TarnmooreStateMachineImpl::CreateByClass(PropertyKey className,
                                                         const orvel::StatePtr& current,
                                                         PropertyKey currentName,
                                                         PropertyKey trigger, PropertyKey nextName,
                                                         const orvel::Properties& nextEntry) {
    StateArguments arguments;
    arguments.name = nextName;

    if (className == CLASS_EXIT) {
        return std::make_shared<orvel::ExitState>();
    }
    if (className == CLASS_MECHANICA && IsInGameHelpState(currentName)) {
        // Leaving a help screen resumes the game it kept, not a new one.
        return GameStateOf(current, currentName, trigger);
    }
    if (className == CLASS_MAP_SCREEN) {
        if (RegistryFlag(KEY_IS_TUTORIAL_LEVEL)) {
            return Construct(CLASS_TUTORIAL_MENU, arguments, currentName, trigger);
        }
        if (currentName == CLASS_MECHANICA && RegistryFlag(KEY_IS_SKIRMISH_MODE)) {
            // A skirmish left from its pause menu goes back to its setup, as
            // its statistics do.
            arguments.name = CLASS_SKIRMISH_MENU;
            return Construct(CLASS_SKIRMISH_MENU, arguments, currentName, trigger);
        }
        // The map and the tutorial menu start campaign and tutorial levels, so
        // a skirmish left by a key or a quit level must not steer them.
        orvel::GlobalProperties().SetBool(KEY_IS_SKIRMISH_MODE, false);
        return Construct(CLASS_MAP_SCREEN, arguments, currentName, trigger);
    }
    if (className == CLASS_TUTORIAL_MENU) {
        orvel::GlobalProperties().SetBool(KEY_IS_SKIRMISH_MODE, false);
    }
    if (factories.count(className) == 0) {
        throw UnknownState(nextName, currentName, trigger);
    }
    if (className == CLASS_STATS_SCREEN) {
        arguments.path = ScreenPath(nextEntry.GetString(KEY_STATS_SCREEN_PATH));
        arguments.totalFillTime = nextEntry.GetFloat(KEY_TOTAL_FILL_TIME);
        arguments.barPositions = nextEntry.GetStruct(KEY_BAR_POSITIONS);
    } else if (className == CLASS_SINGLE_SCREEN || className == CLASS_SPLASH_SCREEN2 ||
               className == CLASS_CUTSCENE || className == CLASS_IN_GAME_SINGLE_SCREEN) {
        arguments.path = ScreenPath(nextEntry.GetString(KEY_SINGLE_SCREEN_PATH));
    }
    if (className == CLASS_IN_GAME_SINGLE_SCREEN) {
        if (currentName == CLASS_MECHANICA) {
            arguments.gameState = current;
        } else if (IsInGameHelpState(currentName)) {
            arguments.gameState = GameStateOf(current, currentName, trigger);
        } else {
            throw orvel::ExceptionGeneral(
                "InGameSingleScreen states can only be reached from another InGameSingleScreen "
                "state or from Mechanica.\nCurrent state: " +
                currentName.GetName() + "\nTrigger: " + trigger.GetName());
        }
    }
    return Construct(className, arguments, currentName, trigger);
}

orvel::StatePtr TarnmooreStateMachineImpl::Construct(PropertyKey className,
                                                     const StateArguments& arguments,
                                                     PropertyKey currentName, PropertyKey trigger) {
    const auto factory = factories.find(className);
    if (factory == factories.end()) {
        throw UnknownState(arguments.name, currentName, trigger);
    }
    return factory->second(arguments);
}
