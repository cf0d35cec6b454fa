#pragma once

#include "engine/state/state_transition.h"

namespace orvel {

// The old screen fades to black, then the new one fades in from black. The
// switch from one screen to the other happens at half time.
class StateTransitionFade : public StateTransition {
public:
    using StateTransition::StateTransition;

    void Draw() override;
    PropertyKey GetName() const override;

    // True up to and including half time.
    bool DrawsFromState() const { return GetEase() <= 0.0f; }
    // Opacity of the black overlay: 0 at the ends, 1 at half time.
    float GetOverlayAlpha() const;
};

}  // namespace orvel
