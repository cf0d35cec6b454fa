#pragma once

#include <memory>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// The screen between a menu and a level. It shows the level's loading
// picture, builds the in-game state (the machine's "Forward" from here) once
// no transition involves it, and then: for a campaign level offers the
// difficulty ("Cadet", "Veteran", "Hero", written to the registry as
// "difficulty" 0, 1 or 2), for a tutorial level waits for a click or Space,
// and for a skirmish goes on at once.
//
// When the level cannot be built the machine has said why; the screen then
// goes "Back" to the screen that chose the level (or, without that trigger,
// to the game's first screen) instead of trying again every frame.
class LoadingMechanicaState : public orvel::ScreenMorph {
public:
    explicit LoadingMechanicaState(PropertyKey stateName);

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    // Dropping the textures also drops the built level, which the next
    // update after the display returns builds again.
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of "Cadet", "Veteran" and "Hero".
    bool OnDifficulty(orvel::Morph* morph);

private:
    // Builds the level and shows what the player does next; a state to go to
    // at once (a skirmish, or the way back after a failure), or nothing.
    orvel::StatePtr Prepare();
    orvel::StatePtr LeaveAfterFailure();
    void Keep(const orvel::StatePtr& built);
    orvel::StatePtr HandOut();

    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    // The built level, and the transition that leads into it (none when the
    // name is empty). A transition is made only when the screen hands the
    // level out: one made earlier would hold this screen as its from-state,
    // so the screen would count as in a transition, and hold itself, for as
    // long as it waits.
    orvel::StatePtr next;
    PropertyKey transitionName;
    float transitionTime = 0.0f;
    bool isTutorial = false;
    bool isSkirmish = false;
    MouseCursor cursor;
};
