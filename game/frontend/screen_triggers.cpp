#include "game/frontend/screen_triggers.h"

#include "app/state_machine.h"

const PropertyKey TRIGGER_BACK("Back");
const PropertyKey TRIGGER_FORWARD("Forward");
const PropertyKey TRIGGER_SKIP("Skip");
const PropertyKey TRIGGER_PLAY("Play");

PropertyKey MachineNameOf(const orvel::State& state) {
    const PropertyKey stored = state.GetStoredName();
    return stored != PropertyKey() ? stored : state.GetName();
}

bool HasTriggerFor(const orvel::State& state, PropertyKey trigger) {
    return TarnmooreStateMachineImpl::Instance()->HasTrigger(MachineNameOf(state), trigger);
}

orvel::StatePtr FireTrigger(orvel::State& state, PropertyKey trigger) {
    return TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(state.shared_from_this(),
                                                                        trigger);
}
