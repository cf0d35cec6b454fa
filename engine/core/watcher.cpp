#include "engine/core/watcher.h"

namespace orvel {

Watcher::~Watcher() { DisconnectAll(); }

void Watcher::DisconnectAll() {
    std::lock_guard<std::recursive_mutex> guard(lock);
    // Copy first: disconnecting does not call back into this set, but the
    // copy keeps the walk independent of it.
    const std::set<Signal::Core*> connected = signals;
    for (Signal::Core* signal : connected) {
        signal->DisconnectWatcher(this);
    }
    signals.clear();
}

void Watcher::Lock() { lock.lock(); }

void Watcher::Unlock() { lock.unlock(); }

void Watcher::OnWatchedEvent(Watched*) {}

void Watcher::OnWatchedGoingAway(Watched*) {}

size_t Watcher::GetSignalCount() const {
    std::lock_guard<std::recursive_mutex> guard(lock);
    return signals.size();
}

void Watcher::AddSignal(Signal::Core* signal) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    signals.insert(signal);
}

void Watcher::RemoveSignal(Signal::Core* signal) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    signals.erase(signal);
}

}  // namespace orvel
