#pragma once

#include <memory>

#include "engine/anim/easing_holder.h"
#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "engine/core/properties.h"
#include "engine/sprites/sprite_manager.h"
#include "engine/ui/dialog_box.h"

class MechanicaState;

// The game's hint and tutorial messages during play: one box at a time that
// slides up from the bottom edge with the mechanic's portrait, optionally
// with an arrow that flies in from a corner and points at a spot. Texts come
// from "resources/Tutorial.txt"; which hints the player has seen is kept in
// the settings' played flags.
//
// Every in-game state owns one and publishes it in the registry of named
// values under "TARNMOORE_GLOBALS_TutorialDialogPtr" for as long as it
// lives: the destructor takes the entry away, so nobody reaches a dialog
// that is gone.
class TutorialDialog {
public:
    enum Phase { NONE = 0, APPEARING = 1, SHOWN = 2, DISAPPEARING = 3 };

    // Seconds the box takes to rise, and to sink again.
    static constexpr float kSlideTime = 0.55f;

    // Throws the file and property exceptions of a missing "Tutorial.txt",
    // its "TUTORIAL_DIALOG_Text" struct, the settings' played flags or the
    // arrow's sprite file.
    explicit TutorialDialog(const MechanicaState& owner);
    ~TutorialDialog();
    TutorialDialog(const TutorialDialog&) = delete;
    TutorialDialog& operator=(const TutorialDialog&) = delete;

    // Shows the text of `id` unless a box is already showing. (x, y) is the
    // arrow's target, (0, 0) for none: screen pixels (y up) when
    // `screenCoordinates`, else world units of the play field. A missing
    // text throws orvel::ExceptionPropertyNotFound.
    void Show(PropertyKey id, float x, float y, bool screenCoordinates);
    // Advances the animation and takes the frame's input to dismiss the box.
    void Update(const orvel::Input& input, float dt);
    void Draw();
    bool IsShowing() const { return phase != NONE; }

    // A hint's played flag; a hint that the settings lack throws
    // orvel::ExceptionPropertyNotFound.
    bool IsPlayed(PropertyKey id) const;
    void SetPlayed(PropertyKey id, int value);
    // Dialogs already shown during this level.
    bool WasShownThisLevel(PropertyKey id) const { return shownThisLevel.HasProperty(id); }
    void MarkShownThisLevel(PropertyKey id) { shownThisLevel.SetInt(id, 1); }
    void UnmarkShownThisLevel(PropertyKey id) { shownThisLevel.Erase(id); }

    void UnloadTextures();
    void ReloadTextures();

    Phase GetPhase() const { return phase; }
    const std::shared_ptr<orvel::Dialog>& GetDialog() const { return dialog; }
    bool IsArrowShown() const { return arrowShown; }
    float GetArrowAngle() const { return arrowAngle; }
    orvel::PointF GetArrowPoint() const { return arrowPath.GetPoint(); }

private:
    void Slide(float dt);
    bool Dismissed(const orvel::Input& input) const;
    void AimArrow(float x, float y);

    const MechanicaState& owner;
    Phase phase = NONE;
    orvel::PropertiesPtr playedFlags;
    float timer = 0.0f;
    orvel::PropertiesPtr texts;
    std::shared_ptr<orvel::Dialog> dialog;
    orvel::ParametricHolder reveal;
    orvel::ParametricPointHolder arrowPath;
    orvel::SpriteManagerPtr arrowSprites;
    orvel::SpritePtr arrow;
    float arrowAngle = 0.0f;
    bool arrowShown = false;
    orvel::Properties shownThisLevel;
};

// Whether hints are on: the setting "TUTORIAL_DIALOG_Enabled" not 0.
bool TutorialDialogsEnabled();
void SetTutorialDialogsEnabled(int value);

// Every hint can show again: sets each played flag of the settings to 0 and
// the registry flags "GoodVehicleStopped" and "spawnedUnit" to false. Works
// on the settings themselves, with or without a level running.
void ResetTutorialTriggers();
