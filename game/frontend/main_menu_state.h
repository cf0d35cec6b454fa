#pragma once

#include <memory>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// The main menu: buttons named "Skirmish", "Play", "Tutorial", "Help",
// "Credits", "Quit" and "Options", each leading away by the state machine's
// trigger of its name, and the game's version in the corner. Enter, Space or
// Right start the campaign ("Play"). A button that the screen file lacks is
// left out; one whose trigger the machine does not hold for the menu is
// shown half visible and does nothing, so no click ends in an error.
class MainMenuState : public orvel::ScreenMorph {
public:
    MainMenuState();

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

private:
    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
};
