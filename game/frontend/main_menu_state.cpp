#include "game/frontend/main_menu_state.h"

#include <GL/gl.h>
#include <allegro.h>

#include "engine/core/colour.h"
#include "engine/core/input.h"
#include "engine/ui/current_gl_font.h"
#include "engine/ui/screen_drawing.h"
#include "engine/ui/screen_file.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/screen_triggers.h"
#include "platform/sleep_pumping_messages.h"

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_MainMenu");
const char SCREEN_FILE[] = "resources/MainMenu/MainMenu.txt";
const char VERSION_TEXT[] = "v1.1.3";
const float VERSION_X = 20.0f;
// The version text stands on this line: the GL font draws down from the y it
// is given, so the text's top goes one font height above it. A font taller
// than the line would otherwise hang off the bottom of the screen.
const float VERSION_FOOT_Y = 15.0f;
const uint8_t HIGHLIGHT_DIMMED = 3;

const PropertyKey BUTTONS[] = {
    PropertyKey("Skirmish"), PropertyKey("Play"), PropertyKey("Tutorial"), PropertyKey("Help"),
    PropertyKey("Credits"),  PropertyKey("Quit"), PropertyKey("Options"),
};

}  // namespace

MainMenuState::MainMenuState()
    : orvel::ScreenMorph(STATE_NAME), handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, SCREEN_FILE);
    for (const PropertyKey& name : BUTTONS) {
        orvel::Morph* button = FindChild(name);
        if (button == nullptr) {
            continue;
        }
        if (HasTriggerFor(*this, name)) {
            button->SetEventHandler(handler);
        } else {
            button->SetHighlightState(HIGHLIGHT_DIMMED);
        }
    }
}

orvel::StatePtr MainMenuState::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() > 0) {
        return orvel::StatePtr();
    }
    if (ForwardKeyPressed(input)) {
        return FireTrigger(*this, TRIGGER_PLAY);
    }
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void MainMenuState::Draw() {
    DrawTree(*this);
    FONT* const glFont = orvel::CurrentGlFont();
    if (glFont != nullptr) {
        // The GL font's glyphs are blended textures.
        glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const float top = VERSION_FOOT_Y + static_cast<float>(text_height(glFont));
        orvel::DrawGlText(glFont, VERSION_X, top, orvel::MakeColour(170, 170, 170, 255),
                          VERSION_TEXT);
        glPopAttrib();
    }
    cursor.Draw();
}

PropertyKey MainMenuState::GetName() const { return STATE_NAME; }

PropertyKey MainMenuState::GetTypeName() const { return STATE_NAME; }

void MainMenuState::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void MainMenuState::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}
