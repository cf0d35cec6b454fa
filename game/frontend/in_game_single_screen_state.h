#pragma once

#include <string>

#include "app/game_state_holder.h"
#include "game/frontend/single_screen_state.h"

// A help picture shown while a level is paused. It keeps the level alive, so
// that the state machine can hand the same level back when the player leaves
// the help (play goes on where it stopped), and lets the level's textures
// follow a display switch while it waits. Keys and buttons are those of
// SingleScreenState.
class InGameSingleScreenState : public SingleScreenState, public GameStateHolder {
public:
    InGameSingleScreenState(PropertyKey stateName, const std::string& screenFile,
                            const orvel::StatePtr& gameState);

    orvel::StatePtr GetGameState() const override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

private:
    orvel::StatePtr gameState;
};
