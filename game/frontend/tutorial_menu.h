#pragma once

#include <memory>

#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;

// The number of tutorial levels, 0 to 3.
const int TUTORIAL_LEVEL_COUNT = 4;

// The tutorial menu: one button per tutorial level. Tutorial 0 is always
// open; each further one opens once the one before it has been won
// (settings "TARNMOORE_HighestTutorialLevelReached"). Choosing one writes its
// number to "TARNMOORE_CurrentLevel", sets "isTutorialLevel" and fires the
// button's name; "Back" (button, Escape, Left or Backspace) clears
// "isTutorialLevel".
class TutorialMenu : public orvel::ScreenMorph {
public:
    TutorialMenu();

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of every button that can be chosen.
    bool OnButton(orvel::Morph* morph);

private:
    void EnableButton(orvel::Morph& button);

    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    MouseCursor cursor;
};
