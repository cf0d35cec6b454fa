#include "game/frontend/video_warning.h"

#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/state/exit_state.h"
#include "engine/ui/lambda_event_handler.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_file.h"
#include "engine/ui/sprite_morph_highlighter.h"
#include "game/frontend/change_state_button_event_handler.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/menu_sound.h"
#include "game/frontend/panel_hover.h"
#include "game/frontend/screen_triggers.h"
#include "platform/open_url.h"
#include "platform/sleep_pumping_messages.h"

const char SUPPORT_PAGE[] = "https://www.gearhaven.example/support/graphics";

namespace {

const PropertyKey STATE_NAME("TARNMOORE_STATE_VideoWarning");
const char SCREEN_FILE[] = "resources/LowFps/VideoWarning.txt";
const PropertyKey PANEL("VideoWarning");
const PropertyKey HELP("Help");
const PropertyKey TRIGGER_QUIT("Quit");
const PropertyKey BUTTONS[] = {TRIGGER_QUIT, HELP, PropertyKey("Continue")};
const uint8_t HIGHLIGHT_IDLE = 2;

typedef orvel::LambdaEventHandler<VideoWarning> HelpHandler;

}  // namespace

VideoWarning::VideoWarning()
    : orvel::ScreenMorph(STATE_NAME), handler(std::make_shared<ChangeStateButtonEventHandler>()) {
    orvel::LoadScreen(this, SCREEN_FILE);
    for (const PropertyKey& name : BUTTONS) {
        orvel::Morph* button = FindChild(name);
        if (button == nullptr) {
            throw orvel::ExceptionGeneral(std::string(SCREEN_FILE) + " has no morph " +
                                          name.GetName());
        }
        button->SetEventHandler(handler);
        button->SetHighlighter(std::make_shared<orvel::SpriteMorphHighlighter>(button));
        button->SetHighlightState(HIGHLIGHT_IDLE);
    }
    orvel::Morph* help = FindChild(HELP);
    help->SetAttribute(orvel::MORPH_EVENT_MOUSE_L_DOWN,
                       std::make_shared<HelpHandler>(this, &VideoWarning::OnHelp, help));
}

orvel::StatePtr VideoWarning::Update(const orvel::Input& input, float dt) {
    cursor.Track(input);
    if (GetTransitionCount() > 0) {
        return orvel::StatePtr();
    }
    if (input.KeyPressed(MENU_KEY_ESCAPE) || BackKeyPressed(input)) {
        return FireTrigger(*this, TRIGGER_QUIT);
    }
    SleepPumpingMessages(1);
    return orvel::ScreenMorph::Update(input, dt);
}

void VideoWarning::Draw() {
    DrawTree(*this);
    DrawPanelHover(FindChild(PANEL));
    cursor.Draw();
}

PropertyKey VideoWarning::GetName() const { return STATE_NAME; }

PropertyKey VideoWarning::GetTypeName() const { return STATE_NAME; }

void VideoWarning::UnloadTextures() {
    orvel::ScreenMorph::UnloadTextures();
    cursor.UnloadTextures();
}

void VideoWarning::ReloadTextures() {
    orvel::ScreenMorph::ReloadTextures();
    cursor.ReloadTextures();
}

bool VideoWarning::OnHelp(orvel::Morph* morph) {
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    if (morph->GetMorphName() != HELP) {
        return false;
    }
    StoreNextState(*this, std::make_shared<orvel::ExitState>());
    OpenUrl(SUPPORT_PAGE);
    return true;
}
