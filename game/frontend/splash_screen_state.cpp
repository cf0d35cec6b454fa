#include "game/frontend/splash_screen_state.h"

#include "app/graphics_mode.h"
#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "engine/core/properties.h"
#include "engine/sprites/sprite.h"
#include "engine/sprites/sprite_manager.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/screen_triggers.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_SplashScreen");
const char SPLASH_SPRITE[] = "resources/SplashScreen/SplashScreenSprite.txt";
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_CURRENT_LEVEL("TARNMOORE_CurrentLevel");
const PropertyKey TRIGGER_FORWARD_FIRST_TIME("ForwardFirstTime");
const PropertyKey TRIGGER_LOW_FPS("LowFps");

// The rate is judged only after this long, and must reach this much.
const float MEASURING_TIME = 3.0f;
const float LOWEST_FRAME_RATE = 10.0f;
const int MOUSE_LEFT = 1;

bool SkipPressed(const orvel::Input& input) {
    return input.KeyPressed(MENU_KEY_ESCAPE) || input.KeyPressed(MENU_KEY_ENTER) ||
           input.KeyPressed(MENU_KEY_SPACE) || input.KeyPressed(MENU_KEY_RIGHT) ||
           input.IsMouseButtonPressed(MOUSE_LEFT);
}

}  // namespace

SplashScreenState::SplashScreenState()
    : orvel::State(STATE_NAME), sprites(std::make_shared<orvel::SpriteManager>()) {
    splash = sprites->CreateSprite(SPLASH_SPRITE);
    const orvel::FrameSheet& sheet = splash->GetData()->sheet;
    splash->SetPosition(float(SCREEN_WIDTH - int(sheet.width)) / 2.0f,
                        float(SCREEN_HEIGHT) - float(SCREEN_HEIGHT - int(sheet.frameHeight)) / 2.0f);
}

orvel::StatePtr SplashScreenState::Update(const orvel::Input& input, float dt) {
    PropertyKey trigger = TRIGGER_FORWARD;
    orvel::Attributes& registry = orvel::GlobalProperties();
    if (registry.GetProperties(KEY_SETTINGS)->GetInt(KEY_HIGHEST_LEVEL) <= 0) {
        registry.SetInt(KEY_CURRENT_LEVEL, 0);
        trigger = TRIGGER_FORWARD_FIRST_TIME;
    }
    if (SkipPressed(input)) {
        return FireTrigger(*this, trigger);
    }
    elapsedTime += dt;
    frameCount += 1.0f;
    if (elapsedTime > MEASURING_TIME && frameCount / elapsedTime < LOWEST_FRAME_RATE) {
        return FireTrigger(*this, TRIGGER_LOW_FPS);
    }
    if (GetTransitionCount() > 0) {
        sprites->Update(dt);
        return orvel::StatePtr();
    }
    if (remainingTime > 0.0f) {
        remainingTime -= dt;
        sprites->Update(dt);
        return orvel::StatePtr();
    }
    return FireTrigger(*this, trigger);
}

void SplashScreenState::Draw() { sprites->Draw(); }

void SplashScreenState::UnloadTextures() { sprites->UnloadTextures(); }

void SplashScreenState::ReloadTextures() { sprites->ReloadTextures(); }

PropertyKey SplashScreenState::GetName() const { return STATE_NAME; }
