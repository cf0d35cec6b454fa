#pragma once

#include "app/state_machine.h"

// The whole life of the program: one copy per display, the game library and
// sound, the datafile and the screen-state machine, the 800x600 OpenGL
// display, the registered services, the first state, the paced main loop and
// the settings written at the end. `registerStates` makes the game's state
// classes known to the screen-state machine before the first state is made.
// An engine exception that reaches here is shown to the player and ends the
// program. Returns the exit status (app/exit_status.h): normal for a normal
// end and for a second copy, failed when start-up failed or an error ended
// the game.
int RunProgram(int argc, char* argv[], const StateRegistration& registerStates);
