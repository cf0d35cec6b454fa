#include "engine/state/state_transition.h"

#include <cmath>

#include <allegro.h>

namespace orvel {

StateTransition::StateTransition(StatePtr from, StatePtr to, float duration)
    : from(std::move(from)), to(std::move(to)), duration(duration) {
    if (this->from) {
        this->from->AddTransition();
    }
    if (this->to) {
        this->to->AddTransition();
    }
}

StateTransition::~StateTransition() {
    if (from) {
        from->RemoveTransition();
    }
    if (to) {
        to->RemoveTransition();
    }
}

StatePtr StateTransition::Update(const Input& input, float dt) {
    if (to) {
        to->Update(input, dt);
    }
    const float step = dt > TRANSITION_MAX_STEP ? TRANSITION_MAX_STEP : dt;
    elapsed += step;
    if (elapsed < duration) {
        return StatePtr();
    }
    elapsed = duration;
    return to;
}

void StateTransition::UnloadTextures() {
    if (from) {
        from->UnloadTextures();
    }
    if (to) {
        to->UnloadTextures();
    }
}

void StateTransition::ReloadTextures() {
    if (from) {
        from->ReloadTextures();
    }
    if (to) {
        to->ReloadTextures();
    }
}

float StateTransition::GetProgress() const {
    if (duration <= 0.0f) {
        return 1.0f;
    }
    return elapsed / duration;
}

float StateTransition::GetEase() const {
    // Single-precision pi and pi/2: a half-sine from -1 to +1.
    return std::sin(GetProgress() * 3.1415929794f - 1.5707964897f);
}

float StateTransition::ScreenWidth() { return static_cast<float>(SCREEN_W); }

float StateTransition::ScreenHeight() { return static_cast<float>(SCREEN_H); }

}  // namespace orvel
