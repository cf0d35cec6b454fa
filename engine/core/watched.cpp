#include "engine/core/watched.h"

#include "engine/core/watcher.h"

namespace orvel {

Watched::~Watched() {
    // Watchers hear of the end even when NotifyGoingAway was never called.
    goingAway.Emit(this);
    goingAway.DisconnectAll();
    event.DisconnectAll();
}

void Watched::AddWatcher(Watcher* watcher) {
    goingAway.Connect(watcher, &Watcher::OnWatchedGoingAway);
    event.Connect(watcher, &Watcher::OnWatchedEvent);
}

void Watched::RemoveWatcher(Watcher* watcher) {
    goingAway.DisconnectFirst(watcher);
    event.DisconnectFirst(watcher);
}

void Watched::NotifyGoingAway() { goingAway.EmitAndDisconnect(this); }

void Watched::NotifyEvent() { event.EmitAndDisconnect(this); }

}  // namespace orvel
