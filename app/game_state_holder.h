#pragma once

#include "engine/state/state.h"

// A screen shown during play that keeps the in-game state alive while it is
// current (the in-game help screens), so that play can resume where it was
// left. The screen-state machine reaches the game through this interface.
class GameStateHolder {
public:
    virtual ~GameStateHolder() = default;
    virtual orvel::StatePtr GetGameState() const = 0;
};
