#include "game/play/trigger_relay.h"

#include "app/state_machine.h"

orvel::StatePtr TriggerRelay::Fire(orvel::State& state, PropertyKey trigger) {
    if (state.GetTransitionCount() > 0) {
        if (!HasKept()) {
            kept = trigger;
        }
        return orvel::StatePtr();
    }
    return TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(state.shared_from_this(),
                                                                        trigger);
}

orvel::StatePtr TriggerRelay::FireKept(orvel::State& state) {
    if (!HasKept() || state.GetTransitionCount() > 0) {
        return orvel::StatePtr();
    }
    const PropertyKey trigger = kept;
    kept = PropertyKey();
    return Fire(state, trigger);
}
