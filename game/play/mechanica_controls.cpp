// The player's airship controls of the in-game state: thrust by keys or
// joystick, flying to a point or a unit by mouse (on the play field or the
// minimap), the magnet, the highlight of the unit under the pointer, and
// the hints that show when the airship is lost.
#include "engine/core/attributes.h"
#include "game/play/control_input.h"
#include "game/play/mechanica_state.h"
#include "game/play/minimap.h"
#include "game/units/components/goto_component.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/thruster_component.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey THRUSTER_COMPONENT("ThrusterComponent");
const PropertyKey GOTO_COMPONENT("GotoComponent");
const PropertyKey MAGNET_COMPONENT("MagnetComponent");
const PropertyKey KEY_DEATH("TUTORIAL_DIALOG_Death");
const PropertyKey MOBILE_UNIT_GROUP("mg_mobile_unit");
// The tutorial level on which losing the airship is part of the lesson.
const int DEATH_TUTORIAL_LEVEL = 1;

// The units that the pointer can pick, by object name.
const std::vector<PropertyKey>& PickableUnits() {
    static const std::vector<PropertyKey> names = {PropertyKey("Infantry"), PropertyKey("Engineer"),
                                                   PropertyKey("Tank"), PropertyKey("FlakTruck"),
                                                   PropertyKey("Buster")};
    return names;
}

// How far either side of the pointer a unit is looked for, world units.
const float PICK_SLACK = 0.5f;

const int LEFT_BUTTON = 1;
const int RIGHT_BUTTON = 2;

}  // namespace

void MechanicaState::SteerAirship(const orvel::Input& input) {
    if (!goodAirship->IsAlive() || mode.goodAirshipControl == 0) {
        ShowDeathHint();
        return;
    }
    ComponentBody& airship = *goodAirship;
    if (gotoComponent == nullptr) {
        gotoComponent = static_cast<GotoComponent*>(airship.GetComponent(GOTO_COMPONENT));
    }
    bool thrustingNow = false;
    if (thruster == nullptr) {
        // Found this frame (the airship may just have been rebuilt): it
        // answers to the controls from the next one.
        thruster = static_cast<ThrusterComponent*>(airship.GetComponent(THRUSTER_COMPONENT));
    } else {
        thrustingNow = Thrust(input);
        if ((mode.goodAirshipControl & CONTROL_MOUSE) != 0) {
            SteerByMouse(input);
        }
    }
    airship.SendMessage(MESSAGE_SET_ARMED, thrustingNow ? 1 : 0);
    if (thrustingNow != thrusting) {
        airship.SendMessage(thrustingNow ? MESSAGE_MOVE : MESSAGE_LOSE, 0);
        thrusting = thrustingNow;
    }
    if (magnet == nullptr) {
        magnet = static_cast<MagnetComponent*>(airship.GetComponent(MAGNET_COMPONENT));
    }
    if (magnet != nullptr) {
        magnetOn = magnet->IsActive();
    }
    if ((mode.goodAirshipControl & CONTROL_MOUSE) != 0 &&
        input.IsMouseButtonPressed(RIGHT_BUTTON)) {
        airship.SendMessage(MESSAGE_STOP, 0);
    }
    SwitchMagnet(input, magnetToggle);
}

// Only a lost airship calls for the hint; a side that the computer flies
// has no pilot to tell.
void MechanicaState::ShowDeathHint() {
    if (magnetToggle && magnetOn) {
        goodAirship->SendMessage(MESSAGE_STOP, 0);
        magnetOn = false;
    }
    if (goodAirship->IsAlive() || tutorialDialog->IsShowing()) {
        return;
    }
    if (mode.isTutorialLevel && mode.currentLevel == DEATH_TUTORIAL_LEVEL) {
        if (!tutorialDialog->WasShownThisLevel(KEY_DEATH)) {
            tutorialDialog->Show(KEY_DEATH, 0.0f, 0.0f, false);
            tutorialDialog->MarkShownThisLevel(KEY_DEATH);
            tutorialDialog->SetPlayed(KEY_DEATH, 1);
        }
    } else if (TutorialDialogsEnabled() && !tutorialDialog->IsPlayed(KEY_DEATH)) {
        tutorialDialog->Show(KEY_DEATH, 0.0f, 0.0f, false);
        tutorialDialog->SetPlayed(KEY_DEATH, 1);
    }
}

bool MechanicaState::Thrust(const orvel::Input& input) {
    const ThrustInput held = HeldThrust(input, mode.goodAirshipControl);
    if (held.up) {
        thruster->FullUpThrottle();
    }
    if (held.down) {
        thruster->FullDownThrottle();
    }
    if (held.left) {
        thruster->FullLeftThrottle();
    }
    if (held.right) {
        thruster->FullRightThrottle();
    }
    if (!held.Any()) {
        return false;
    }
    // The keys take over from any target the mouse set.
    IdleGoto();
    HideGotoMarker();
    if ((mode.goodAirshipControl & CONTROL_MOUSE) != 0) {
        cursorVisible = false;
    }
    Hover(nullptr);
    if (gotoComponent != nullptr) {
        gotoComponent->SetTargetBody(nullptr);
    }
    return true;
}

void MechanicaState::SteerByMouse(const orvel::Input& input) {
    if (mouseSteeringBlocked) {
        // The click that started the level must not steer.
        if (input.IsMouseButtonReleased(LEFT_BUTTON)) {
            mouseSteeringBlocked = false;
        }
        return;
    }
    const float airshipX = goodAirship->GetPosition().x;
    const float p = WORLD_SCALE * airshipX;
    float screenX = p;
    if (p > float(levelWidth) - SCREEN_WIDTH / 2.0f) {
        screenX = p - (float(levelWidth) - SCREEN_WIDTH);
    } else if (p > SCREEN_WIDTH / 2.0f) {
        screenX = SCREEN_WIDTH / 2.0f;
    }
    const float x = (float(input.GetMouseX()) - screenX) / WORLD_SCALE + airshipX;
    const float y = float(PLAY_HEIGHT - input.GetMouseY()) / WORLD_SCALE;
    if (PurchaseSlotAt(input.GetMouseX(), input.GetMouseY()) >= 0) {
        return;
    }
    if (y <= 0.0f) {
        FlyToMinimapPoint(input);
    } else {
        FlyToPlayFieldPoint(input, x, y);
    }
}

void MechanicaState::FlyToMinimapPoint(const orvel::Input& input) {
    if ((input.GetMouseButtons() & LEFT_BUTTON) == 0 || gotoComponent == nullptr) {
        return;
    }
    const float width = MinimapWidth(levelWidth);
    const float mx = float(input.GetMouseX()) - (SCREEN_WIDTH - width) / 2.0f;
    if (mx <= 0.0f || mx >= width) {
        return;
    }
    const float x = float(levelWidth) / width * mx;
    const float y = float(PLAY_HEIGHT) * float(SCREEN_HEIGHT - input.GetMouseY()) * 0.01f;
    ShowGotoMarker(x, y);
    gotoComponent->SetTargetPoint(x / WORLD_SCALE, y / WORLD_SCALE);
}

void MechanicaState::FlyToPlayFieldPoint(const orvel::Input& input, float x, float y) {
    hoveredSlot = -1;
    ComponentBody* picked = nullptr;
    for (float dx : {0.0f, -PICK_SLACK, PICK_SLACK}) {
        orvel::Body* body = world->BodyAtPoint(orvel::Vector4(x + dx, y, 0.0f), PickableUnits());
        if (body != nullptr) {
            auto* unit = dynamic_cast<ComponentBody*>(body);
            if (unit != nullptr && unit->GetMaterialGroup() == MOBILE_UNIT_GROUP &&
                !unit->IsStowed()) {
                picked = unit;
            }
            break;
        }
    }
    Hover(picked);
    if ((input.GetMouseButtons() & LEFT_BUTTON) != 0 && gotoComponent != nullptr) {
        if (picked != nullptr) {
            gotoComponent->SetTargetBody(picked);
        } else {
            gotoComponent->SetTargetPoint(x, y);
        }
        HideGotoMarker();
    }
    if (input.IsMouseButtonReleased(LEFT_BUTTON) && picked == nullptr) {
        ShowGotoMarker(WORLD_SCALE * x, WORLD_SCALE * y);
    }
}

// The unit under the pointer is watched, so that it can go at any time.
void MechanicaState::Hover(ComponentBody* body) {
    if (body == hoveredBody) {
        return;
    }
    if (hoveredBody != nullptr) {
        hoveredBody->RemoveWatcher(this);
    }
    hoveredBody = body;
    if (hoveredBody != nullptr) {
        hoveredBody->AddWatcher(this);
    }
}

void MechanicaState::SwitchMagnet(const orvel::Input& input, bool toggle) {
    const MagnetInput edges = MagnetEdges(input, mode.goodAirshipControl);
    if (edges.pressed) {
        IdleGoto();
        HideGotoMarker();
        const bool on = toggle ? !magnetOn : true;
        SendMagnet(on);
        Hover(nullptr);
        if (gotoComponent != nullptr) {
            gotoComponent->SetTargetBody(nullptr);
        }
        magnetOn = on;
    } else if (!toggle && edges.released) {
        IdleGoto();
        SendMagnet(false);
        magnetOn = false;
    }
}

void MechanicaState::SendMagnet(bool on) {
    goodAirship->SendMessage(on ? MESSAGE_FIRE : MESSAGE_STOP, 0);
}

void MechanicaState::IdleGoto() {
    if (gotoComponent != nullptr) {
        gotoComponent->SetActive(false);
    }
}

void MechanicaState::ShowGotoMarker(float x, float y) {
    gotoMarker->SetPosition(float(int(x)), float(int(y)));
    gotoMarker->alpha = 1.0f;
}

void MechanicaState::HideGotoMarker() { gotoMarker->alpha = 0.0f; }
