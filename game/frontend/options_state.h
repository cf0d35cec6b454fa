#pragma once

#include <memory>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// The options screen, from "resources/Options/Options.txt": the switches
// "Music", "SoundEffects", "MagnetToggle" and "MagnetHoldDown" change the
// settings at once, and "Back", "Forward" and "Skip" lead away by the state
// machine's triggers of their names (shown half visible and inert when the
// machine does not hold the trigger for this screen). Escape, Left and
// Backspace go "Back". The settings file is written when the screen goes.
class OptionsState : public orvel::ScreenMorph {
public:
    // Throws ExceptionGeneral when the screen file lacks a switch.
    OptionsState();
    // Writes the settings file; a failure is shown to the player.
    ~OptionsState() override;

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of a settings switch.
    bool OnToggle(orvel::Morph* morph);

private:
    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
};
