#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/state/state.h"

// What the screen-state machine hands to a state class when it creates a
// state. Each class reads the fields that its constructor takes; the machine
// fills them by the class's rules.
struct StateArguments {
    PropertyKey name;                   // the name of the state being created
    std::string path;                   // screen file of single-picture and statistics screens
    orvel::StatePtr gameState;          // the game that an in-game help screen keeps alive
    float totalFillTime = 0.0f;         // statistics screen
    orvel::PropertiesPtr barPositions;  // statistics screen
};

typedef std::function<orvel::StatePtr(const StateArguments& arguments)> StateFactory;

class TarnmooreStateMachineImpl;

// Registers state classes with the machine; start-up takes the game's one.
typedef std::function<void(TarnmooreStateMachineImpl& machine)> StateRegistration;

// Turns (current state, trigger) into the next screen. Which screen follows
// which is data, read from "resources/StateMachine.txt": one struct per state
// name, holding an optional "class" and one struct per trigger with the next
// "state", an optional "transition" and its "transitionTime" (0.5 s when
// absent). State classes make themselves known by class name.
//
// The campaign map's state stands for the screen that a level returns to:
// the tutorial menu while "isTutorialLevel" is set, the skirmish setup when a
// skirmish's level is left that way. Otherwise the map is built, and it and
// the tutorial menu clear "isSkirmishMode", since the levels chosen there are
// no skirmishes.
//
// The machine remembers nothing between calls: every call starts from the
// state it is given.
class TarnmooreStateMachineImpl {
public:
    // The process-wide machine, created with an empty definition on first use.
    static const std::shared_ptr<TarnmooreStateMachineImpl>& Instance();

    TarnmooreStateMachineImpl();

    // Reads "resources/StateMachine.txt"; parse errors propagate.
    void LoadStateMachineDefinition();
    void SetDefinition(const orvel::PropertiesPtr& tree);
    const orvel::PropertiesPtr& GetDefinition() const { return definition; }

    // Makes a state class known; a later registration of the name replaces it.
    void RegisterStateClass(PropertyKey className, StateFactory factory);

    // True when the struct of `stateName` lists `trigger`. Throws
    // ExceptionPropertyNotFound for a state without a struct.
    bool HasTrigger(PropertyKey stateName, PropertyKey trigger) const;

    // The state that follows `current` on `trigger`, wrapped in the trigger's
    // transition when it names one. Never throws an engine exception: the
    // exception's text is shown to the player and `current` is returned, so
    // the caller stays where it is. A level that ends ("Win", "Lose",
    // "TutorialWin") cannot stay: after the message the game's first screen
    // (the state for "Forward" from "STATE_Exit") is returned instead.
    orvel::StatePtr CreateStateForTrigger(const orvel::StatePtr& current, PropertyKey trigger);

private:
    orvel::StatePtr CreateNextState(const orvel::StatePtr& current, PropertyKey trigger);
    orvel::StatePtr CreateByClass(PropertyKey className, const orvel::StatePtr& current,
                                  PropertyKey currentName, PropertyKey trigger,
                                  PropertyKey nextName, const orvel::Properties& nextEntry);
    orvel::StatePtr Construct(PropertyKey className, const StateArguments& arguments,
                              PropertyKey currentName, PropertyKey trigger);

    orvel::PropertiesPtr definition;
    std::map<PropertyKey, StateFactory> factories;
};
