#pragma once

class TarnmooreStateMachineImpl;

// Makes the front-end screens known to the screen-state machine by their
// class names: the splash screen, the low frame-rate warning, the main
// menu, the options screen, the campaign map, the
// loading screen, the single-picture screens (help pages, in-game help, the
// second splash, cutscenes); and gives the level its
// pause menu.
void RegisterFrontendStates(TarnmooreStateMachineImpl& machine);
