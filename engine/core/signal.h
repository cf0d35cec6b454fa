#pragma once

#include <memory>
#include <mutex>
#include <vector>

namespace orvel {

class Watched;
class Watcher;

// A one-argument signal: an ordered list of connections, each naming a
// watcher and which of its operations to call. The same watcher may be
// connected more than once.
//
// Emission walks a snapshot of the connections, so a callback may add or
// remove connections, destroy watchers, or destroy the object that owns the
// signal. A connection removed during the walk is skipped; the signal's state
// is shared with the walk, so it outlives an owner destroyed from a callback.
class Signal {
public:
    typedef void (Watcher::*Slot)(Watched*);

    Signal();
    ~Signal();
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // Appends a connection and tells the watcher it is connected here.
    void Connect(Watcher* watcher, Slot slot);
    // Removes the first connection to the watcher, if any.
    void DisconnectFirst(Watcher* watcher);
    // Removes every connection.
    void DisconnectAll();
    // Calls every connection, first to last.
    void Emit(Watched* argument);
    // Calls every connection, then removes the connections it called.
    // Connections made by the callbacks stay.
    void EmitAndDisconnect(Watched* argument);

    size_t GetConnectionCount() const;

    // The state behind a signal, which watchers refer to.
    struct Core;

private:
    std::shared_ptr<Core> core;
};

struct Signal::Core {
    struct Connection {
        Watcher* target;
        Slot slot;
        bool connected;
    };

    typedef std::vector<std::shared_ptr<Connection>> ConnectionList;

    std::recursive_mutex lock;
    ConnectionList connections;
    // Cleared when the signal is destroyed, possibly from inside a callback.
    bool alive = true;

    // Calls the live connections of the snapshot; false when the signal was
    // destroyed meanwhile.
    bool Call(const ConnectionList& snapshot, Watched* argument);
    void Disconnect(const std::shared_ptr<Connection>& connection);

    bool IsConnectedTo(const Watcher* watcher) const;
    // Removes every connection to the watcher; called when it is destroyed.
    void DisconnectWatcher(const Watcher* watcher);
};

}  // namespace orvel
