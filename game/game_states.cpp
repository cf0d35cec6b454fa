#include "game/game_states.h"

#include "app/state_machine.h"
#include "game/frontend/frontend_states.h"
#include "game/play/mechanica_state.h"

void RegisterGameStates(TarnmooreStateMachineImpl& machine) {
    RegisterMechanicaState(machine);
    RegisterFrontendStates(machine);
}
