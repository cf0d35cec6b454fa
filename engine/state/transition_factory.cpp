#include "engine/state/transition_factory.h"

#include "engine/state/fade_transition.h"
#include "engine/state/slide_transition.h"

namespace orvel {

namespace {

const PropertyKey SLIDE_UP("STATE_TRANSITION_SlideUp");
const PropertyKey SLIDE_DOWN("STATE_TRANSITION_SlideDown");
const PropertyKey SLIDE_RIGHT("STATE_TRANSITION_SlideRight");
const PropertyKey SLIDE_LEFT("STATE_TRANSITION_SlideLeft");
const PropertyKey FADE("STATE_TRANSITION_Fade");

}  // namespace

bool IsTransitionName(PropertyKey name) {
    return name == SLIDE_UP || name == SLIDE_DOWN || name == SLIDE_RIGHT || name == SLIDE_LEFT ||
           name == FADE;
}

StatePtr CreateTransition(PropertyKey name, const StatePtr& from, const StatePtr& to,
                          float duration) {
    if (name == SLIDE_UP) {
        return std::make_shared<StateTransitionSlideUp>(from, to, duration);
    }
    if (name == SLIDE_DOWN) {
        return std::make_shared<StateTransitionSlideDown>(from, to, duration);
    }
    if (name == SLIDE_RIGHT) {
        return std::make_shared<StateTransitionSlideRight>(from, to, duration);
    }
    if (name == SLIDE_LEFT) {
        return std::make_shared<StateTransitionSlideLeft>(from, to, duration);
    }
    if (name == FADE) {
        return std::make_shared<StateTransitionFade>(from, to, duration);
    }
    return StatePtr();
}

}  // namespace orvel
