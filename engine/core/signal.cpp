#include "engine/core/signal.h"

#include <algorithm>

#include "engine/core/watcher.h"

namespace orvel {

bool Signal::Core::IsConnectedTo(const Watcher* watcher) const {
    for (const std::shared_ptr<Connection>& connection : connections) {
        if (connection->target == watcher) {
            return true;
        }
    }
    return false;
}

void Signal::Core::DisconnectWatcher(const Watcher* watcher) {
    std::lock_guard<std::recursive_mutex> guard(lock);
    for (const std::shared_ptr<Connection>& connection : connections) {
        if (connection->target == watcher) {
            connection->connected = false;
        }
    }
    connections.erase(std::remove_if(connections.begin(), connections.end(),
                                     [](const std::shared_ptr<Connection>& connection) {
                                         return !connection->connected;
                                     }),
                      connections.end());
}

bool Signal::Core::Call(const ConnectionList& snapshot, Watched* argument) {
    for (const std::shared_ptr<Connection>& connection : snapshot) {
        if (connection->connected) {
            (connection->target->*(connection->slot))(argument);
        }
    }
    return alive;
}

void Signal::Core::Disconnect(const std::shared_ptr<Connection>& connection) {
    if (!connection->connected) {
        return;
    }
    connection->connected = false;
    connections.erase(std::find(connections.begin(), connections.end(), connection));
    if (!IsConnectedTo(connection->target)) {
        connection->target->RemoveSignal(this);
    }
}

Signal::Signal() : core(std::make_shared<Core>()) {}

Signal::~Signal() {
    DisconnectAll();
    core->alive = false;
}

void Signal::Connect(Watcher* watcher, Slot slot) {
    std::lock_guard<std::recursive_mutex> guard(core->lock);
    core->connections.push_back(
        std::make_shared<Core::Connection>(Core::Connection{watcher, slot, true}));
    watcher->AddSignal(core.get());
}

void Signal::DisconnectFirst(Watcher* watcher) {
    std::lock_guard<std::recursive_mutex> guard(core->lock);
    for (const std::shared_ptr<Core::Connection>& connection : core->connections) {
        if (connection->target == watcher) {
            // The watcher forgets this signal only when nothing here leads to
            // it any more; otherwise its destructor could not undo the rest.
            const std::shared_ptr<Core::Connection> found = connection;
            core->Disconnect(found);
            return;
        }
    }
}

void Signal::DisconnectAll() {
    const std::shared_ptr<Core> keep = core;
    std::lock_guard<std::recursive_mutex> guard(keep->lock);
    std::vector<std::shared_ptr<Core::Connection>> connections;
    connections.swap(keep->connections);
    for (const std::shared_ptr<Core::Connection>& connection : connections) {
        if (connection->connected) {
            connection->connected = false;
            connection->target->RemoveSignal(keep.get());
        }
    }
}

void Signal::Emit(Watched* argument) {
    // The local owner keeps the lock and the list alive even when a callback
    // destroys the object that owns this signal.
    const std::shared_ptr<Core> keep = core;
    std::lock_guard<std::recursive_mutex> guard(keep->lock);
    const Core::ConnectionList snapshot = keep->connections;
    keep->Call(snapshot, argument);
}

void Signal::EmitAndDisconnect(Watched* argument) {
    const std::shared_ptr<Core> keep = core;
    std::lock_guard<std::recursive_mutex> guard(keep->lock);
    const Core::ConnectionList snapshot = keep->connections;
    if (!keep->Call(snapshot, argument)) {
        return;
    }
    for (const std::shared_ptr<Core::Connection>& connection : snapshot) {
        keep->Disconnect(connection);
    }
}

size_t Signal::GetConnectionCount() const {
    std::lock_guard<std::recursive_mutex> guard(core->lock);
    return core->connections.size();
}

}  // namespace orvel
