#pragma once

#include <memory>

#include "engine/fuzzy/fuzzy_context.h"
#include "engine/ui/event_handler.h"
#include "engine/ui/screen_morph.h"
#include "game/frontend/mouse_cursor.h"

class ChangeStateButtonEventHandler;
class LevelListMorph;

// A range slider of the skirmish screen: a morph whose first child is its
// fill bar. A click sets the fill to the mouse and writes the airship range
// that the fill stands for ("goodRangeModifier" for "Player1AirshipRange",
// "badRangeModifier" for "Player2AirshipRange"): half at the left end, 1 in
// the middle, 2 at the right end.
class AirshipRangeEventHandler : public orvel::EventHandler {
public:
    explicit AirshipRangeEventHandler(const orvel::FuzzyContext* fuzzy) : fuzzy(fuzzy) {}
    bool Handle(orvel::Morph* morph, PropertyKey event, const boost::any& argument) override;

private:
    const orvel::FuzzyContext* fuzzy;  // the screen's, which outlives its tree's handlers
};

// The skirmish setup: the level list with its previews, and for each side
// how it buys (number row, keypad, mouse or the computer), how its airship is
// flown, which of the six unit types it may buy, its cash flow and its
// airship range. Every choice goes straight into the registry, where play
// reads it and where the screen finds it when it is opened again.
// "Forward" starts the selected level when it is unlocked; "Back" and
// Escape, Left or Backspace return.
class SkirmishMenu : public orvel::ScreenMorph {
public:
    static const char SCREEN_FILE[];  // "resources/Skirmish/SkirmishMenu.txt"

    SkirmishMenu();
    ~SkirmishMenu() override;

    orvel::StatePtr Update(const orvel::Input& input, float dt) override;
    using orvel::ScreenMorph::Update;
    void Draw() override;
    PropertyKey GetName() const override;
    PropertyKey GetTypeName() const override;
    void UnloadTextures() override;
    void ReloadTextures() override;

    // The click of every control and button.
    bool OnClick(orvel::Morph* morph);

    LevelListMorph& GetLevelList() const { return *levelList; }

private:
    void SetUpSlider(PropertyKey name, PropertyKey key);
    void SetUpControl(orvel::Morph& control, int frame);
    void SetUpControls();
    void EnableButton(orvel::Morph& button);
    void DisableButton(orvel::Morph& button);
    void ShowForward();
    void Start();

    std::shared_ptr<ChangeStateButtonEventHandler> handler;
    std::shared_ptr<LevelListMorph> levelList;
    orvel::FuzzyContext fuzzy;
    std::shared_ptr<AirshipRangeEventHandler> rangeHandler;
    // The selection for which "Forward" was last set up; none at first.
    bool forwardShown = false;
    unsigned shownSelection = 0;
    MouseCursor cursor;
};
