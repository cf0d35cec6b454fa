#include "game/frontend/options_state.h"

#include "app/settings.h"
#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_drawing.h"
#include "engine/ui/screen_file.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/screen_triggers.h"
#include "game/frontend/settings_toggles.h"
#include "platform/sleep_pumping_messages.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_Options");
const char SCREEN_FILE[] = "resources/Options/Options.txt";
const PropertyKey PANEL("OptionsMenu");
const uint8_t HIGHLIGHT_DIMMED = 3;

const PropertyKey TOGGLES[] = {PropertyKey("Music"), PropertyKey("SoundEffects"),
                               PropertyKey("MagnetToggle"), PropertyKey("MagnetHoldDown")};
// Rows of the panel that get no hover outline.
const PropertyKey UNOUTLINED[] = {TRIGGER_BACK, TRIGGER_FORWARD, PropertyKey("MagnetButton"),
                                  TRIGGER_SKIP};

typedef orvel::LambdaEventHandler<OptionsState> ToggleHandler;

bool Outlined(PropertyKey name) {
    for (const PropertyKey& other : UNOUTLINED) {
        if (name == other) {
            return false;
        }
    }
    return true;
}

}  // namespace

OptionsState::OptionsState()
    : orvel::ScreenMorph(STATE_NAME), handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, SCREEN_FILE);
    for (const PropertyKey& name : TOGGLES) {
        orvel::Morph* toggle = FindChild(name);
        if (toggle == nullptr) {
            throw orvel::ExceptionGeneral(std::string(SCREEN_FILE) + " has no morph " +
                                          name.GetName());
        }
        toggle->SetEventHandler(handler);
        toggle->SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                             std::make_shared<ToggleHandler>(this, &OptionsState::OnToggle, toggle));
    }
    ShowSettingToggles(*this);
    for (const PropertyKey& trigger : {TRIGGER_BACK, TRIGGER_FORWARD, TRIGGER_SKIP}) {
        orvel::Morph* button = FindChild(trigger);
        if (button == nullptr) {
            continue;
        }
        if (HasTriggerFor(*this, trigger)) {
            button->SetEventHandler(handler);
        } else {
            button->SetHighlightState(HIGHLIGHT_DIMMED);
        }
    }
}

OptionsState::~OptionsState() { TrySaveSettings(); }

orvel::StatePtr OptionsState::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() > 0) {
        return orvel::StatePtr();
    }
    if (input.KeyPressed(MENU_KEY_ESCAPE) || BackKeyPressed(input)) {
        return FireTrigger(*this, TRIGGER_BACK);
    }
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void OptionsState::Draw() {
    DrawTree(*this);
    if (const orvel::Morph* panel = FindChild(PANEL)) {
        for (const std::shared_ptr<orvel::Morph>& row : panel->GetChildren()) {
            if (row->IsMouseInside() && Outlined(row->GetMorphName())) {
                orvel::DrawScreenRectAlpha(row->GetRect(), orvel::MakeColour(140, 101, 33, 255));
            }
        }
    }
    cursor.Draw();
}

PropertyKey OptionsState::GetName() const { return STATE_NAME; }

PropertyKey OptionsState::GetTypeName() const { return STATE_NAME; }

void OptionsState::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void OptionsState::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}

bool OptionsState::OnToggle(orvel::Morph* morph) { return ToggleSetting(morph); }
