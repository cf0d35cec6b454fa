#include "game/play/tutorial_dialog.h"

#include <cmath>

#include <GL/gl.h>

#include "engine/core/colour.h"
#include "engine/core/property_file.h"
#include "game/play/control_input.h"
#include "game/play/mechanica_state.h"
#include "game/play/play_field.h"

namespace {

const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_ENABLED("TUTORIAL_DIALOG_Enabled");
const PropertyKey KEY_PLAYED_FLAGS("TUTORIAL_DIALOG_DialogPlayedFlags");
const PropertyKey KEY_TEXT("TUTORIAL_DIALOG_Text");
const PropertyKey KEY_DIALOG_PTR("TARNMOORE_GLOBALS_TutorialDialogPtr");
const PropertyKey KEY_GOOD_VEHICLE_STOPPED("GoodVehicleStopped");
const PropertyKey KEY_SPAWNED_UNIT("spawnedUnit");

const char TEXT_FILE[] = "resources/Tutorial.txt";
const char ARROW_FILE[] = "resources/Tutorial/Arrow.txt";
const char PORTRAIT[] = "resources/Tutorial/wenselthemechanic.jpg";

const int KEY_ESCAPE = 59;
// How many number-row keys dismiss a box: 1 to 8.
const int DISMISSING_NUMBER_KEYS = 8;
// Seconds of the shown box's timer (which runs at twice the frame time)
// after which any key dismisses it.
const float LATE_KEYS_TIME = 2.0f;
// The arrow stops this far before its target.
const float ARROW_STANDOFF = 55.0f;

orvel::PropertiesPtr Settings() { return orvel::GlobalProperties().GetProperties(KEY_SETTINGS); }

orvel::ParametricPtr SlideCurve() { return std::make_shared<orvel::FirstQuadrantSin>(); }

}  // namespace

TutorialDialog::TutorialDialog(const MechanicaState& owner)
    : owner(owner), arrowSprites(std::make_shared<orvel::SpriteManager>()) {
    texts = orvel::LoadPropertyFile(TEXT_FILE)->GetStruct(KEY_TEXT);
    playedFlags = Settings()->GetStruct(KEY_PLAYED_FLAGS);
    arrow = arrowSprites->CreateSprite(ARROW_FILE);
    orvel::GlobalProperties()[KEY_DIALOG_PTR] = this;
}

TutorialDialog::~TutorialDialog() {
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (registry.Contains(KEY_DIALOG_PTR) && registry.GetTutorialDialog(KEY_DIALOG_PTR) == this) {
        registry.Erase(KEY_DIALOG_PTR);
    }
}

void TutorialDialog::Show(PropertyKey id, float x, float y, bool screenCoordinates) {
    if (phase != NONE) {
        return;
    }
    dialog = std::make_shared<orvel::Dialog>(texts->GetString(id), SCREEN_WIDTH,
                                             orvel::MakeColour(208, 207, 182, 255),
                                             orvel::MakeColour(0, 0, 0, 128), PORTRAIT);
    dialog->x = 0;
    dialog->y = 0;
    phase = APPEARING;
    timer = 0.0f;
    reveal.Set(0.0f, 1.0f, kSlideTime, SlideCurve());
    arrowShown = x != 0.0f || y != 0.0f;
    if (arrowShown) {
        if (!screenCoordinates) {
            x = x * WORLD_SCALE -
                (float(owner.GetLevelWidth()) - SCREEN_WIDTH) * owner.GetScrollFraction();
            y = y * WORLD_SCALE + MINIMAP_HEIGHT;
        }
        AimArrow(x, y);
    }
}

// The arrow comes from the corner across the screen from its target and
// stops short of it.
void TutorialDialog::AimArrow(float x, float y) {
    const bool fromLeft = x > SCREEN_WIDTH / 2.0f;
    const bool fromBottom = y > (SCREEN_HEIGHT + MINIMAP_HEIGHT) / 2.0f;
    const float startX = fromLeft ? 0.0f : float(SCREEN_WIDTH);
    const float startY = fromBottom ? 0.0f : float(SCREEN_HEIGHT);
    if (fromLeft) {
        arrowAngle = fromBottom ? 270.0f : 180.0f;
    } else {
        arrowAngle = fromBottom ? 0.0f : 90.0f;
    }
    const float dx = startX - x;
    const float dy = startY - y;
    const float length = std::sqrt(dx * dx + dy * dy);
    float endX = x;
    float endY = y;
    if (length > 0.0f) {
        endX += dx / length * ARROW_STANDOFF;
        endY += dy / length * ARROW_STANDOFF;
    }
    arrowPath.Set(startX, startY, endX, endY, kSlideTime, SlideCurve());
}

void TutorialDialog::Update(const orvel::Input& input, float dt) {
    timer += dt;
    arrowSprites->Update(dt);
    if (phase == APPEARING || phase == DISAPPEARING) {
        Slide(dt);
    } else if (phase == SHOWN) {
        if (Dismissed(input)) {
            phase = DISAPPEARING;
            reveal.SetElapsed(kSlideTime);
            arrowPath.SetElapsed(kSlideTime);
            timer = 0.0f;
        } else {
            dialog->GetSpriteManager()->Update(dt);
            timer += dt;
        }
    }
}

// Rising and sinking run the same curve: over its first quarter wave the
// box rises, over its second it sinks back.
void TutorialDialog::Slide(float dt) {
    if (timer < kSlideTime) {
        reveal.SetElapsed(reveal.GetElapsed() + dt);
        dialog->y = int(reveal.GetValue() * float(dialog->GetHeight()));
        if (arrowShown) {
            arrowPath.SetElapsed(arrowPath.GetElapsed() + dt);
        }
        return;
    }
    timer = 0.0f;
    if (phase == APPEARING) {
        dialog->y = dialog->GetHeight();
        phase = SHOWN;
    } else {
        phase = NONE;
        dialog.reset();
        arrowShown = false;
    }
}

bool TutorialDialog::Dismissed(const orvel::Input& input) const {
    const bool leftClick = input.IsMouseButtonPressed(1);
    if (input.KeyPressed(KEY_ESCAPE) || input.KeyPressed(KEY_SPACE) ||
        input.KeyPressed(KEY_ENTER) ||
        (leftClick && input.GetMouseY() >= SCREEN_HEIGHT - MINIMAP_HEIGHT)) {
        return true;
    }
    if (timer <= LATE_KEYS_TIME) {
        return false;
    }
    for (int key : {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN}) {
        if (input.KeyPressed(key)) {
            return true;
        }
    }
    for (int i = 0; i < DISMISSING_NUMBER_KEYS; ++i) {
        if (input.KeyPressed(KEY_NUMBER_ROW_1 + i)) {
            return true;
        }
    }
    return input.IsJoystickButtonPressed(JOYSTICK_MAGNET_BUTTON) || leftClick;
}

void TutorialDialog::Draw() {
    if (!dialog) {
        return;
    }
    dialog->Draw();
    if (!arrowShown) {
        return;
    }
    const orvel::PointF at = arrowPath.GetPoint();
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(at.x, at.y, 0.0f);
    glRotatef(arrowAngle, 0.0f, 0.0f, 1.0f);
    arrow->LoadMatrix(GL_MODELVIEW);
    glPopMatrix();
    arrowSprites->Draw();
}

bool TutorialDialog::IsPlayed(PropertyKey id) const { return playedFlags->GetInt(id) != 0; }

void TutorialDialog::SetPlayed(PropertyKey id, int value) { playedFlags->SetInt(id, value); }

void TutorialDialog::UnloadTextures() {
    arrowSprites->UnloadTextures();
    if (dialog) {
        dialog->UnloadTextures();
    }
}

void TutorialDialog::ReloadTextures() {
    arrowSprites->ReloadTextures();
    if (dialog) {
        dialog->ReloadTextures();
    }
}

bool TutorialDialogsEnabled() { return Settings()->GetInt(KEY_ENABLED) != 0; }

void SetTutorialDialogsEnabled(int value) { Settings()->SetInt(KEY_ENABLED, value); }

void ResetTutorialTriggers() {
    const orvel::PropertiesPtr flags = Settings()->GetStruct(KEY_PLAYED_FLAGS);
    for (const auto& entry : *flags) {
        flags->SetInt(entry.first, 0);
    }
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetBool(KEY_GOOD_VEHICLE_STOPPED, false);
    registry.SetBool(KEY_SPAWNED_UNIT, false);
}
