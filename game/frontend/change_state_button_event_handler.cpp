#include "game/frontend/change_state_button_event_handler.h"

#include "app/state_machine.h"
#include "engine/core/exception.h"
#include "engine/ui/morph.h"
#include "engine/ui/morph_keys.h"
#include "game/frontend/menu_sound.h"

namespace {

// Highlight states of a button.
const uint8_t HIGHLIGHT_OVER = 0;
const uint8_t HIGHLIGHT_PRESSED = 1;
const uint8_t HIGHLIGHT_IDLE = 2;

}  // namespace

bool ChangeStateButtonEventHandler::Handle(orvel::Morph* morph, PropertyKey event,
                                           const boost::any&) {
    if (event == orvel::MORPH_EVENT_MOUSE_ENTER) {
        morph->SetHighlightState(HIGHLIGHT_OVER);
        PlayMenuSound(SOUND_ROLLOVER_BUTTON);
        return true;
    }
    if (event == orvel::MORPH_EVENT_MOUSE_LEAVE) {
        morph->SetHighlightState(HIGHLIGHT_IDLE);
        return true;
    }
    if (event != orvel::MORPH_EVENT_MOUSE_L_DOWN) {
        return false;
    }
    morph->SetHighlightState(HIGHLIGHT_PRESSED);
    PlayMenuSound(SOUND_CLICKED_BUTTON);
    const orvel::StatePtr next = TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(
        ScreenStateOf(*morph), morph->GetMorphName());
    StoreNextState(*morph, next);
    return true;
}

void StoreNextState(orvel::Morph& morph, const orvel::StatePtr& next) {
    morph.GetRoot()->SetAttribute(orvel::MORPH_PROPERTY_NEXT_STATE, next);
}

orvel::StatePtr ScreenStateOf(orvel::Morph& morph) {
    orvel::Attributes& attributes = morph.GetRoot()->GetAttributes();
    const orvel::Attributes::Map::iterator found =
        attributes.Find(orvel::SCREEN_MORPH_PROPERTY_CURRENT_STATE);
    if (found == attributes.End()) {
        throw orvel::ExceptionAttributeNotFound(orvel::SCREEN_MORPH_PROPERTY_CURRENT_STATE);
    }
    return boost::any_cast<orvel::State*>(found->second)->shared_from_this();
}
