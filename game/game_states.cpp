#include "game/game_states.h"

#include "app/state_machine.h"
#include "game/frontend/frontend_states.h"

void RegisterGameStates(TarnmooreStateMachineImpl& machine) { RegisterFrontendStates(machine); }
