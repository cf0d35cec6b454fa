#include "game/frontend/frontend_states.h"

#include "app/state_machine.h"
#include "game/frontend/cutscene_state.h"
#include "game/frontend/in_game_single_screen_state.h"
#include "game/frontend/loading_mechanica_state.h"
#include "game/frontend/main_menu_state.h"
#include "game/frontend/map_screen_state.h"
#include "game/frontend/options_state.h"
#include "game/frontend/pause_menu.h"
#include "game/frontend/single_screen_state.h"
#include "game/frontend/skirmish_menu.h"
#include "game/frontend/stats_screen_state.h"
#include "game/frontend/tutorial_menu.h"
#include "game/frontend/splash_screen_state.h"
#include "game/frontend/splash_screen_state2.h"
#include "game/frontend/video_warning.h"
#include "game/play/mechanica_state.h"

void RegisterFrontendStates(TarnmooreStateMachineImpl& machine) {
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_MainMenu"), [](const StateArguments&) {
        return std::make_shared<MainMenuState>();
    });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_MapScreen"), [](const StateArguments&) {
        return std::make_shared<MapScreenState>();
    });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_TutorialMenu"),
                               [](const StateArguments&) { return std::make_shared<TutorialMenu>(); });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_LoadingMechanica"),
                               [](const StateArguments& arguments) {
                                   return std::make_shared<LoadingMechanicaState>(arguments.name);
                               });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_SplashScreen"),
                               [](const StateArguments&) {
                                   return std::make_shared<SplashScreenState>();
                               });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_VideoWarning"),
                               [](const StateArguments&) { return std::make_shared<VideoWarning>(); });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_Options"), [](const StateArguments&) {
        return std::make_shared<OptionsState>();
    });
    MechanicaState::SetPauseMenuFactory([](const std::weak_ptr<orvel::State>& game) {
        return std::make_shared<PauseMenu>(game);
    });
    machine.RegisterStateClass(
        PropertyKey("TARNMOORE_STATE_SingleScreen"), [](const StateArguments& arguments) {
            return std::make_shared<SingleScreenState>(arguments.name, arguments.path);
        });
    // The single pictures with a twist: the in-game help pictures keep the
    // paused level, the second splash moves on by itself, a cutscene counts
    // its level as beaten.
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_InGameSingleScreen"),
                               [](const StateArguments& arguments) {
                                   return std::make_shared<InGameSingleScreenState>(
                                       arguments.name, arguments.path, arguments.gameState);
                               });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_SplashScreen2"),
                               [](const StateArguments& arguments) {
                                   return std::make_shared<SplashScreenState2>(arguments.name,
                                                                               arguments.path);
                               });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_Cutscene"),
                               [](const StateArguments& arguments) {
                                   return std::make_shared<CutsceneState>(arguments.name,
                                                                          arguments.path);
                               });
    machine.RegisterStateClass(
        PropertyKey("TARNMOORE_STATE_StatsScreen"), [](const StateArguments& arguments) {
            return std::make_shared<StatsScreenState>(arguments.name, arguments.path,
                                                      arguments.totalFillTime,
                                                      arguments.barPositions);
        });
    machine.RegisterStateClass(PropertyKey("TARNMOORE_STATE_SkirmishMenu"),
                               [](const StateArguments&) { return std::make_shared<SkirmishMenu>(); });
}
