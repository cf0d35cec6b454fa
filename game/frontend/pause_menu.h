#pragma once

#include <memory>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// The screen over a paused level, from "resources/PauseMenu/PauseMenu.txt".
// The level builds it on Escape, owns it while paused and runs its update;
// the keyboard stays the level's business (Escape resumes). "Resume" puts
// int 1 under "Resume" in the registry, which the level reads on its next
// paused frame; "Help" and "Quit" lead where the state machine sends the
// level on those triggers; the settings switches of the options screen
// ("Music", "SoundEffects", "MagnetToggle", "MagnetHoldDown") and
// "Tutorial" and "ResetTutorial" change the settings at once. The level
// writes the settings file when it ends.
class PauseMenu : public orvel::ScreenMorph {
public:
    // `game` is the paused level, which owns this menu.
    explicit PauseMenu(const std::weak_ptr<orvel::State>& game);

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of every button of the menu.
    bool OnButton(orvel::Morph* morph);

private:
    std::weak_ptr<orvel::State> game;
    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
};
