#include "game/game_states.h"

#include "app/state_machine.h"

void RegisterGameStates(TarnmooreStateMachineImpl&) {}
