#pragma once

#include "engine/core/property_key.h"
#include "engine/state/state.h"

namespace orvel {

// True for the names of the transitions that CreateTransition makes:
// "STATE_TRANSITION_SlideUp", "..._SlideDown", "..._SlideRight",
// "..._SlideLeft" and "STATE_TRANSITION_Fade".
bool IsTransitionName(PropertyKey name);

// The transition of that name from `from` to `to`, or an empty pointer for a
// name that is not a transition.
StatePtr CreateTransition(PropertyKey name, const StatePtr& from, const StatePtr& to,
                          float duration);

}  // namespace orvel
