#pragma once

#include "engine/state/state.h"
#include "engine/ui/event_handler.h"

namespace orvel {
class Morph;
}

// The handler of a button that leads to another screen. The mouse entering
// tints the button to full colour and plays the rollover sound, leaving tints
// it back to idle; a left click tints it pressed, plays the click sound and
// asks the screen-state machine for the state that follows the button's
// screen on the trigger named like the button. The answer is stored under
// "MORPH_PROPERTY_NextState" in the screen's root, where the screen's update
// hands it to the main loop. One handler may serve every button of a screen.
class ChangeStateButtonEventHandler : public orvel::EventHandler {
public:
    bool Handle(orvel::Morph* morph, PropertyKey event, const boost::any& argument) override;
};

// Stores `next` in the root of `morph`'s tree for the screen's update to
// hand out, replacing an earlier one.
void StoreNextState(orvel::Morph& morph, const orvel::StatePtr& next);

// The screen whose tree holds `morph`, as the shared state the machine takes.
// Throws ExceptionAttributeNotFound when the root is not a screen.
orvel::StatePtr ScreenStateOf(orvel::Morph& morph);
