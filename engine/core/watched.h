#pragma once

#include "engine/core/signal.h"

namespace orvel {

class Watcher;

// An object that others observe without owning it. Watchers hear each event
// once (a watcher that wants the next one adds itself again) and hear of the
// object going away, at the latest from its destructor.
class Watched {
public:
    Watched() = default;
    virtual ~Watched();
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;

    virtual void AddWatcher(Watcher* watcher);
    // Removes one connection of the watcher from each signal.
    virtual void RemoveWatcher(Watcher* watcher);
    // Tells every watcher the object is going away, then forgets them.
    virtual void NotifyGoingAway();
    // Tells every watcher of an event, then forgets them.
    virtual void NotifyEvent();

    size_t GetGoingAwayConnectionCount() const { return goingAway.GetConnectionCount(); }
    size_t GetEventConnectionCount() const { return event.GetConnectionCount(); }

private:
    Signal goingAway;
    Signal event;
};

}  // namespace orvel
