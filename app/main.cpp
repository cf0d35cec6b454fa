#include <allegro.h>

#include "app/startup.h"
#include "game/game_states.h"

int main(int argc, char* argv[]) { return RunProgram(argc, argv, RegisterGameStates); }
END_OF_MAIN()
