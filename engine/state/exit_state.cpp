#include "engine/state/exit_state.h"

namespace orvel {

StatePtr ExitState::Update(const Input&, float) { return StatePtr(); }

PropertyKey ExitState::GetName() const {
    static const PropertyKey exitName("STATE_Exit");
    return exitName;
}

}  // namespace orvel
