#pragma once

#include "engine/core/property_key.h"
#include "engine/state/state.h"

// The triggers that the front-end screens fire.
extern const PropertyKey TRIGGER_BACK;     // "Back"
extern const PropertyKey TRIGGER_FORWARD;  // "Forward"
extern const PropertyKey TRIGGER_SKIP;     // "Skip"
extern const PropertyKey TRIGGER_PLAY;     // "Play"

// The name the state machine knows `state` by: the name it was made with,
// else its class name.
PropertyKey MachineNameOf(const orvel::State& state);

// True when the machine's definition lets `state` leave on `trigger`.
bool HasTriggerFor(const orvel::State& state, PropertyKey trigger);

// The state that the machine gives for `state` and `trigger` (the state
// itself when the machine failed and said why).
orvel::StatePtr FireTrigger(orvel::State& state, PropertyKey trigger);
