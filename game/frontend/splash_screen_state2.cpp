#include "game/frontend/splash_screen_state2.h"

#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "engine/core/properties.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/screen_triggers.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_SplashScreen2");
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey TRIGGER_FORWARD_FIRST_TIME("ForwardFirstTime");
const int MOUSE_LEFT = 1;

bool SkipPressed(const orvel::Input& input) {
    return input.KeyPressed(MENU_KEY_ESCAPE) || input.KeyPressed(MENU_KEY_ENTER) ||
           input.IsMouseButtonPressed(MOUSE_LEFT) || input.KeyPressed(MENU_KEY_SPACE) ||
           input.KeyPressed(MENU_KEY_RIGHT);
}

}  // namespace

SplashScreenState2::SplashScreenState2(PropertyKey stateName, const std::string& screenFile)
    : SingleScreenState(stateName, screenFile) {}

orvel::StatePtr SplashScreenState2::Update(const orvel::Input& input, float dt) {
    if (GetTransitionCount() > 0) {
        return SingleScreenState::Update(input, dt);
    }
    PropertyKey trigger = TRIGGER_FORWARD;
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (registry.GetProperties(KEY_SETTINGS)->GetInt(KEY_HIGHEST_LEVEL) <= 0) {
        registry.SetInt(KEY_CURRENT_LEVEL, 0);
        trigger = TRIGGER_FORWARD_FIRST_TIME;
    }
    if (SkipPressed(input)) {
        return FireTrigger(*this, trigger);
    }
    timeLeft -= dt;
    if (timeLeft <= 0.0f) {
        return FireTrigger(*this, trigger);
    }
    return SingleScreenState::Update(input, dt);
}

PropertyKey SplashScreenState2::GetName() const { return STATE_NAME; }

PropertyKey SplashScreenState2::GetTypeName() const { return STATE_NAME; }
