#pragma once

#include "engine/core/property_key.h"
#include "engine/state/state.h"

namespace orvel {

// The longest time step a transition advances by (1/15 s), so that one slow
// frame, such as the new screen loading its textures, cannot skip most of
// the animation.
const float TRANSITION_MAX_STEP = 0.06666667f;

// A state that stands between two screens for a fixed time. It draws the
// screen being left and the one coming in, moved or blended by the elapsed
// fraction of its duration, and hands the incoming screen to the main loop
// when the time is up. While it lives it counts in both screens' transition
// counts.
class StateTransition : public State {
public:
    StateTransition(StatePtr from, StatePtr to, float duration);
    ~StateTransition() override;

    // Runs the incoming screen (its result is dropped; it cannot switch away
    // during the transition) and advances the time. Returns the incoming
    // screen once the time is up, an empty pointer before.
    StatePtr Update(const Input& input, float dt) override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // Elapsed fraction of the duration, 0 to 1. A transition without duration
    // is complete from the start.
    float GetProgress() const;
    // The eased progress: runs from -1 at the start through 0 at half time
    // to +1 at the end.
    float GetEase() const;

    float GetElapsed() const { return elapsed; }
    float GetDuration() const { return duration; }
    const StatePtr& GetFrom() const { return from; }
    const StatePtr& GetTo() const { return to; }

protected:
    // The size of the current display; 0 when no display is set.
    static float ScreenWidth();
    static float ScreenHeight();

private:
    // Declared in this order so that `to` is released before `from`.
    StatePtr from;
    StatePtr to;
    float duration;
    float elapsed = 0.0f;
};

}  // namespace orvel
