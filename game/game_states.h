#pragma once

class TarnmooreStateMachineImpl;

// The one place where the game's screens and its in-game state make their
// classes known to the screen-state machine. Start-up calls it once, after
// the machine has read its definition and before the first state is made;
// each new screen adds its registration here.
void RegisterGameStates(TarnmooreStateMachineImpl& machine);
