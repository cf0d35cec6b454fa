#pragma once

#include "engine/state/state.h"

namespace orvel {

// The state that ends the program: the main loop stops when it becomes
// current. It is also where the first screen is looked up from ("Forward").
class ExitState : public State {
public:
    StatePtr Update(const Input& input, float dt) override;
    void Draw() override {}
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    bool IsFinished() const override { return true; }
    PropertyKey GetName() const override;
};

}  // namespace orvel
