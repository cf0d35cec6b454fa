#pragma once

#include "engine/core/property_key.h"
#include "engine/state/state.h"

// Hands a state's triggers to the screen-state machine. While a transition
// holds a state, the transition runs the state but drops the next state it
// hands back; a trigger fired then would be lost, so a level that ends, or a
// key pressed, while the screen slides in would do nothing. The relay keeps
// such a trigger and fires it at the first update after the transition.
class TriggerRelay {
public:
    // The state that follows `state` on `trigger`; empty while a transition
    // holds the state, in which case the trigger is kept (the first one kept
    // wins: it was decided first).
    orvel::StatePtr Fire(orvel::State& state, PropertyKey trigger);

    // Fires the kept trigger once no transition holds the state; empty when
    // there is none or a transition still holds it.
    orvel::StatePtr FireKept(orvel::State& state);

    bool HasKept() const { return kept != PropertyKey(); }

private:
    PropertyKey kept;
};
