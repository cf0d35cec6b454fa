#pragma once

#include <string>

#include "game/frontend/single_screen_state.h"

// The second splash picture. It moves on by itself after 7 seconds of update
// time, or at once on Escape, Enter, Space, Right or a left click: by
// "Forward" for a player who has reached a level, by "ForwardFirstTime"
// (with level 0 as the current level) for one who has not.
class SplashScreenState2 : public SingleScreenState {
public:
    SplashScreenState2(PropertyKey stateName, const std::string& screenFile);

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using SingleScreenState::Update;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;

private:
    float timeLeft = 7.0f;
};
