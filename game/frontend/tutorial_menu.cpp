#include "game/frontend/tutorial_menu.h"

#include <string>

#include "engine/core/attributes.h"
#include "engine/core/colour.h"
#include "engine/core/input.h"
#include "engine/core/int_to_string.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_drawing.h"
#include "engine/ui/screen_file.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/screen_triggers.h"
#include "platform/sleep_pumping_messages.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_TutorialMenu");
const char SCREEN_FILE[] = "resources/Tutorial/TutorialMenu.txt";
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_TUTORIAL("TARNMOORE_HighestTutorialLevelReached");
const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey KEY_IS_TUTORIAL("isTutorialLevel");
const std::string TUTORIAL_PREFIX = "Tutorial";

const uint8_t HIGHLIGHT_ACTIVE = 2;
const uint8_t HIGHLIGHT_DIMMED = 3;

typedef orvel::LambdaEventHandler<TutorialMenu> ButtonHandler;

PropertyKey TutorialName(int level) {
    return PropertyKey(TUTORIAL_PREFIX + orvel::IntToString(level));
}

}  // namespace

TutorialMenu::TutorialMenu()
    : orvel::ScreenMorph(STATE_NAME), handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, SCREEN_FILE);
    const int highest =
        orvel::GlobalProperties().GetProperties(KEY_SETTINGS)->GetInt(KEY_HIGHEST_TUTORIAL);
    for (int level = 0; level < TUTORIAL_LEVEL_COUNT; ++level) {
        if (orvel::Morph* button = FindChild(TutorialName(level))) {
            if (level == 0 || highest > level - 1) {
                EnableButton(*button);
            } else {
                button->SetHighlightState(HIGHLIGHT_DIMMED);
            }
        }
    }
    for (const PropertyKey& name : {TRIGGER_BACK, TRIGGER_FORWARD, TRIGGER_SKIP}) {
        if (orvel::Morph* button = FindChild(name)) {
            if (HasTriggerFor(*this, name)) {
                EnableButton(*button);
            } else {
                button->SetHighlightState(HIGHLIGHT_DIMMED);
            }
        }
    }
}

void TutorialMenu::EnableButton(orvel::Morph& button) {
    button.SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                        std::make_shared<ButtonHandler>(this, &TutorialMenu::OnButton, &button));
    button.SetEventHandler(handler);
    button.SetHighlightState(HIGHLIGHT_ACTIVE);
}

bool TutorialMenu::OnButton(orvel::Morph* morph) {
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    orvel::Attributes& registry = orvel::GlobalProperties();
    const PropertyKey name = morph->GetMorphName();
    for (int level = 0; level < TUTORIAL_LEVEL_COUNT; ++level) {
        if (name == TutorialName(level)) {
            registry.SetInt(KEY_CURRENT_LEVEL, level);
            registry.SetBool(KEY_IS_TUTORIAL, true);
        }
    }
    if (name == TRIGGER_BACK || name == TRIGGER_SKIP) {
        registry.SetBool(KEY_IS_TUTORIAL, false);
    }
    StoreNextState(*this, FireTrigger(*this, name));
    return true;
}

orvel::StatePtr TutorialMenu::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() != 0) {
        return orvel::StatePtr();
    }
    if (input.KeyPressed(MENU_KEY_ESCAPE) || BackKeyPressed(input)) {
        orvel::GlobalProperties().SetBool(KEY_IS_TUTORIAL, false);
        PlayMenuSound(SOUND_CLICKED_BUTTON);
        return FireTrigger(*this, TRIGGER_BACK);
    }
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void TutorialMenu::Draw() {
    DrawTree(*this);
    const orvel::Morph* back = FindChild(TRIGGER_BACK);
    if (back != nullptr && back->IsMouseInside()) {
        orvel::DrawScreenRectAlpha(back->GetRect(), orvel::MakeColour(140, 101, 33, 255));
    }
    cursor.Draw();
}

PropertyKey TutorialMenu::GetName() const { return STATE_NAME; }

PropertyKey TutorialMenu::GetTypeName() const { return STATE_NAME; }

void TutorialMenu::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void TutorialMenu::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}
