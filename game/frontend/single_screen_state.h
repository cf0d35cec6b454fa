#pragma once

#include <memory>
#include <string>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// A screen of one picture with up to three buttons, "Back", "Forward" and
// "Skip", each leading away by the state machine's trigger of its name. A
// button whose trigger the machine's definition does not hold for this
// screen is shown half visible and does nothing. Keys do the same as the
// buttons: Left or Backspace "Back", Escape "Skip", Enter, Space, F1 or
// Right "Forward".
class SingleScreenState : public orvel::ScreenMorph {
public:
    // `stateName` is the name the machine knows this screen by; `screenFile`
    // the screen file to show.
    SingleScreenState(PropertyKey stateName, const std::string& screenFile);

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

private:
    bool Leads(PropertyKey trigger) const;
    orvel::StatePtr Leave(PropertyKey trigger);

    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
};
