#include "game/frontend/in_game_single_screen_state.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_InGameSingleScreen");

}  // namespace

InGameSingleScreenState::InGameSingleScreenState(PropertyKey stateName,
                                                 const std::string& screenFile,
                                                 const orvel::StatePtr& gameState)
    : SingleScreenState(stateName, screenFile), gameState(gameState) {}

orvel::StatePtr InGameSingleScreenState::GetGameState() const { return gameState; }

PropertyKey InGameSingleScreenState::GetName() const { return STATE_NAME; }

PropertyKey InGameSingleScreenState::GetTypeName() const { return STATE_NAME; }

void InGameSingleScreenState::UnloadTextures() {
    SingleScreenState::UnloadTextures();
    if (gameState) {
        gameState->UnloadTextures();
    }
}

void InGameSingleScreenState::ReloadTextures() {
    SingleScreenState::ReloadTextures();
    if (gameState) {
        gameState->ReloadTextures();
    }
}
