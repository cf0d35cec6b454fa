#pragma once

#include <mutex>
#include <set>

#include "engine/core/signal.h"

namespace orvel {

// An observer of Watched objects. It hears of an object's events and of its
// going away, so that it can drop plain pointers to it in time. Destroying a
// watcher removes every connection that leads to it.
class Watcher {
public:
    Watcher() = default;
    virtual ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    virtual void Lock();
    virtual void Unlock();
    virtual void OnWatchedEvent(Watched* watched);
    virtual void OnWatchedGoingAway(Watched* watched);

    // Drops every connection that leads to this watcher.
    void DisconnectAll();

    // How many signals lead here (each counted once).
    size_t GetSignalCount() const;

private:
    friend class Signal;
    friend struct Signal::Core;

    void AddSignal(Signal::Core* signal);
    void RemoveSignal(Signal::Core* signal);

    mutable std::recursive_mutex lock;
    std::set<Signal::Core*> signals;
};

}  // namespace orvel
