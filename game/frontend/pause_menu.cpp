#include "game/frontend/pause_menu.h"

#include "app/state_machine.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_file.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/panel_hover.h"
#include "game/frontend/settings_toggles.h"
#include "platform/sleep_pumping_messages.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_PauseMenu");
const char SCREEN_FILE[] = "resources/PauseMenu/PauseMenu.txt";
const PropertyKey PANEL("PauseMenu");
const PropertyKey RESUME("Resume");

const PropertyKey BUTTONS[] = {
    PropertyKey("Help"),         PropertyKey("Quit"),     PropertyKey("ResetTutorial"),
    PropertyKey("Music"),        PropertyKey("Tutorial"), PropertyKey("SoundEffects"),
    RESUME,                      PropertyKey("MagnetToggle"), PropertyKey("MagnetHoldDown"),
};
// Buttons that lead away from the level rather than switch a setting.
const PropertyKey LEAVING[] = {PropertyKey("Help"), PropertyKey("Quit")};

typedef orvel::LambdaEventHandler<PauseMenu> ButtonHandler;

}  // namespace

PauseMenu::PauseMenu(const std::weak_ptr<orvel::State>& game)
    : orvel::ScreenMorph(STATE_NAME),
      game(game),
      handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, SCREEN_FILE);
    for (const PropertyKey& name : BUTTONS) {
        orvel::Morph* button = FindChild(name);
        if (button == nullptr) {
            throw orvel::ExceptionGeneral(std::string(SCREEN_FILE) + " has no morph " +
                                          name.GetName());
        }
        button->SetEventHandler(handler);
        button->SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                             std::make_shared<ButtonHandler>(this, &PauseMenu::OnButton, button));
    }
    ShowSettingToggles(*this);
}

orvel::StatePtr PauseMenu::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void PauseMenu::Draw() {
    DrawTree(*this);
    DrawPanelHover(FindChild(PANEL));
    cursor.Draw();
}

PropertyKey PauseMenu::GetName() const { return STATE_NAME; }

PropertyKey PauseMenu::GetTypeName() const { return STATE_NAME; }

void PauseMenu::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void PauseMenu::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}

bool PauseMenu::OnButton(orvel::Morph* morph) {
    const PropertyKey name = morph->GetMorphName();
    if (name == RESUME) {
        PlayMenuSound(SOUND_CLICKED_BUTTON);
        orvel::GlobalProperties().SetInt(RESUME, 1);
        return true;
    }
    for (const PropertyKey& leaving : LEAVING) {
        if (name != leaving) {
            continue;
        }
        PlayMenuSound(SOUND_CLICKED_BUTTON);
        if (const orvel::StatePtr level = game.lock()) {
            StoreNextState(*this,
                           TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(level, name));
        }
        return true;
    }
    return ToggleSetting(morph);
}
