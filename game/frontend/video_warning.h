#pragma once

#include <memory>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// The support page that the low frame-rate warning's "Help" opens.
extern const char SUPPORT_PAGE[];

// The warning that the splash screen leads to on a machine that draws too
// few frames a second, from "resources/LowFps/VideoWarning.txt". "Quit" and
// "Continue" leave by the state machine's triggers of their names (Escape,
// Left and Backspace by "Quit"); "Help" ends the program and opens the
// support page in the user's browser. Without a browser the program still
// ends and nothing else happens.
class VideoWarning : public orvel::ScreenMorph {
public:
    // Throws ExceptionGeneral when the screen file lacks a button.
    VideoWarning();

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of "Help".
    bool OnHelp(orvel::Morph* morph);

private:
    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
};
