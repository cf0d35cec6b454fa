#pragma once

#include <string>

#include "game/frontend/single_screen_state.h"

// A story picture between campaign levels. Being shown counts as beating
// the current level ("TARNMOORE_CurrentLevel" in the registry) when it is
// the highest level reached: the next level opens and the level's medal
// becomes the best one (Hero). Seeing it again changes nothing. Keys and
// buttons are those of SingleScreenState.
class CutsceneState : public SingleScreenState {
public:
    CutsceneState(PropertyKey stateName, const std::string& screenFile);

    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
};
