#pragma once

class TarnmooreStateMachineImpl;

// Makes the front-end screens known to the screen-state machine by their
// class names: the main menu, the campaign map, the loading screen and the
// single-picture screens.
void RegisterFrontendStates(TarnmooreStateMachineImpl& machine);
