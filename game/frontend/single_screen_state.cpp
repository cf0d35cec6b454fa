#include "game/frontend/single_screen_state.h"

#include "engine/core/input.h"
#include "engine/ui/screen_file.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/screen_triggers.h"
#include "platform/sleep_pumping_messages.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_SingleScreen");
// The highlight state of a button that leads nowhere: half visible.
const uint8_t HIGHLIGHT_DIMMED = 3;

}  // namespace

SingleScreenState::SingleScreenState(PropertyKey stateName, const std::string& screenFile)
    : orvel::ScreenMorph(stateName), handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, screenFile);
    for (const PropertyKey& trigger : {TRIGGER_BACK, TRIGGER_FORWARD, TRIGGER_SKIP}) {
        orvel::Morph* button = FindChild(trigger);
        if (button == nullptr) {
            continue;
        }
        if (Leads(trigger)) {
            button->SetEventHandler(handler);
        } else {
            button->SetHighlightState(HIGHLIGHT_DIMMED);
        }
    }
}

orvel::StatePtr SingleScreenState::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() > 0) {
        return orvel::StatePtr();
    }
    if (Leads(TRIGGER_BACK) && BackKeyPressed(input)) {
        return Leave(TRIGGER_BACK);
    }
    if (Leads(TRIGGER_SKIP) && input.KeyPressed(MENU_KEY_ESCAPE)) {
        return Leave(TRIGGER_SKIP);
    }
    if (Leads(TRIGGER_FORWARD) && (ForwardKeyPressed(input) || input.KeyPressed(MENU_KEY_F1))) {
        return Leave(TRIGGER_FORWARD);
    }
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void SingleScreenState::Draw() {
    DrawTree(*this);
    cursor.Draw();
}

PropertyKey SingleScreenState::GetName() const { return STATE_NAME; }

PropertyKey SingleScreenState::GetTypeName() const { return STATE_NAME; }

void SingleScreenState::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void SingleScreenState::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}

bool SingleScreenState::Leads(PropertyKey trigger) const { return HasTriggerFor(*this, trigger); }

orvel::StatePtr SingleScreenState::Leave(PropertyKey trigger) {
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    return FireTrigger(*this, trigger);
}
