#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/watched.h"
#include "engine/core/watcher.h"

namespace {

// Counts what it hears and runs an optional action from inside a callback.
class RecordingWatcher : public orvel::Watcher {
public:
    void OnWatchedEvent(orvel::Watched* watched) override {
        ++events;
        lastWatched = watched;
        if (onEvent) {
            onEvent(watched);
        }
    }
    void OnWatchedGoingAway(orvel::Watched* watched) override {
        ++goingAway;
        lastWatched = watched;
        if (onGoingAway) {
            onGoingAway(watched);
        }
    }

    int events = 0;
    int goingAway = 0;
    orvel::Watched* lastWatched = nullptr;
    std::function<void(orvel::Watched*)> onEvent;
    std::function<void(orvel::Watched*)> onGoingAway;
};

}  // namespace

TEST(ObserverTest, EventsReachEachWatcherOnceThenNeedANewAdd) {
    orvel::Watched watched;
    RecordingWatcher a;
    RecordingWatcher b;
    watched.AddWatcher(&a);
    watched.AddWatcher(&b);
    watched.NotifyEvent();
    EXPECT_EQ(a.events, 1);
    EXPECT_EQ(b.events, 1);
    EXPECT_EQ(a.lastWatched, &watched);
    watched.NotifyEvent();
    EXPECT_EQ(a.events, 1);
    EXPECT_EQ(watched.GetEventConnectionCount(), 0u);
    // The going-away connections stay until the end.
    EXPECT_EQ(watched.GetGoingAwayConnectionCount(), 2u);
    watched.AddWatcher(&a);
    watched.NotifyEvent();
    EXPECT_EQ(a.events, 2);
    EXPECT_EQ(b.events, 1);
}

TEST(ObserverTest, AddedTwiceHearsTwiceAndOneRemoveTakesOneConnection) {
    orvel::Watched watched;
    RecordingWatcher watcher;
    watched.AddWatcher(&watcher);
    watched.AddWatcher(&watcher);
    watched.RemoveWatcher(&watcher);
    EXPECT_EQ(watched.GetEventConnectionCount(), 1u);
    EXPECT_EQ(watched.GetGoingAwayConnectionCount(), 1u);
    // The watcher still knows both signals, so it can undo what is left.
    EXPECT_EQ(watcher.GetSignalCount(), 2u);
    watched.NotifyEvent();
    EXPECT_EQ(watcher.events, 1);
    watched.RemoveWatcher(&watcher);
    EXPECT_EQ(watcher.GetSignalCount(), 0u);
    watched.NotifyGoingAway();
    EXPECT_EQ(watcher.goingAway, 0);
}

// Two adds, one remove, then the watcher dies: nothing may be left that
// would later call freed memory (the sanitizers watch this).
TEST(ObserverTest, DestroyedWatcherLeavesNoConnectionBehind) {
    orvel::Watched watched;
    {
        RecordingWatcher watcher;
        watched.AddWatcher(&watcher);
        watched.AddWatcher(&watcher);
        watched.RemoveWatcher(&watcher);
    }
    EXPECT_EQ(watched.GetEventConnectionCount(), 0u);
    EXPECT_EQ(watched.GetGoingAwayConnectionCount(), 0u);
    watched.NotifyEvent();
    watched.NotifyGoingAway();
}

TEST(ObserverTest, DisconnectAllDropsEveryConnectionOfTheWatcher) {
    orvel::Watched first;
    orvel::Watched second;
    RecordingWatcher watcher;
    RecordingWatcher other;
    first.AddWatcher(&watcher);
    first.AddWatcher(&watcher);
    second.AddWatcher(&watcher);
    first.AddWatcher(&other);
    watcher.DisconnectAll();
    EXPECT_EQ(watcher.GetSignalCount(), 0u);
    EXPECT_EQ(first.GetEventConnectionCount(), 1u);
    EXPECT_EQ(first.GetGoingAwayConnectionCount(), 1u);
    EXPECT_EQ(second.GetEventConnectionCount(), 0u);
    EXPECT_EQ(second.GetGoingAwayConnectionCount(), 0u);
    first.NotifyEvent();
    second.NotifyEvent();
    EXPECT_EQ(watcher.events, 0);
    EXPECT_EQ(other.events, 1);

    // The watcher can be connected again afterwards.
    second.AddWatcher(&watcher);
    second.NotifyEvent();
    EXPECT_EQ(watcher.events, 1);
}

TEST(ObserverTest, DestroyingTheWatchedCallsGoingAwayOncePerConnection) {
    RecordingWatcher once;
    RecordingWatcher twice;
    {
        orvel::Watched watched;
        watched.AddWatcher(&once);
        watched.AddWatcher(&twice);
        watched.AddWatcher(&twice);
    }
    EXPECT_EQ(once.goingAway, 1);
    EXPECT_EQ(twice.goingAway, 2);
    EXPECT_EQ(once.events, 0);
    EXPECT_EQ(once.GetSignalCount(), 0u);
    EXPECT_EQ(twice.GetSignalCount(), 0u);
}

TEST(ObserverTest, NotifyGoingAwayForgetsWatchersButKeepsEvents) {
    RecordingWatcher watcher;
    {
        orvel::Watched watched;
        watched.AddWatcher(&watcher);
        watched.NotifyGoingAway();
        EXPECT_EQ(watcher.goingAway, 1);
        EXPECT_EQ(watched.GetGoingAwayConnectionCount(), 0u);
        EXPECT_EQ(watched.GetEventConnectionCount(), 1u);
        watched.NotifyEvent();
        EXPECT_EQ(watcher.events, 1);
    }
    EXPECT_EQ(watcher.goingAway, 1);
}

// Callbacks that change the connections while a signal is being sent, each
// followed by what must hold afterwards. All run under the sanitizers.
TEST(ObserverTest, CallbacksMayChangeConnectionsDuringASignal) {
    {
        SCOPED_TRACE("a watcher removes itself");
        orvel::Watched watched;
        RecordingWatcher first;
        RecordingWatcher second;
        first.onGoingAway = [&](orvel::Watched* w) { w->RemoveWatcher(&first); };
        watched.AddWatcher(&first);
        watched.AddWatcher(&second);
        watched.NotifyGoingAway();
        EXPECT_EQ(first.goingAway, 1);
        EXPECT_EQ(second.goingAway, 1);
    }
    {
        SCOPED_TRACE("a watcher removes the next one before it is called");
        orvel::Watched watched;
        RecordingWatcher first;
        RecordingWatcher second;
        first.onEvent = [&](orvel::Watched* w) { w->RemoveWatcher(&second); };
        watched.AddWatcher(&first);
        watched.AddWatcher(&second);
        watched.NotifyEvent();
        EXPECT_EQ(second.events, 0);
        EXPECT_EQ(second.GetSignalCount(), 0u);
        EXPECT_EQ(watched.GetGoingAwayConnectionCount(), 1u);
    }
    {
        SCOPED_TRACE("a watcher destroys the next watcher");
        orvel::Watched watched;
        RecordingWatcher first;
        auto second = std::make_unique<RecordingWatcher>();
        first.onEvent = [&](orvel::Watched*) { second.reset(); };
        watched.AddWatcher(&first);
        watched.AddWatcher(second.get());
        watched.NotifyEvent();
        EXPECT_EQ(first.events, 1);
        EXPECT_EQ(second, nullptr);
    }
    {
        SCOPED_TRACE("a watcher destroys itself");
        orvel::Watched watched;
        auto self = std::make_unique<RecordingWatcher>();
        RecordingWatcher after;
        self->onEvent = [&](orvel::Watched*) { self.reset(); };
        watched.AddWatcher(self.get());
        watched.AddWatcher(&after);
        watched.NotifyEvent();
        EXPECT_EQ(after.events, 1);
    }
    {
        SCOPED_TRACE("a watcher adds itself again for the next event");
        orvel::Watched watched;
        RecordingWatcher watcher;
        watcher.onEvent = [&](orvel::Watched* w) {
            if (watcher.events == 1) {
                w->AddWatcher(&watcher);
            }
        };
        watched.AddWatcher(&watcher);
        watched.NotifyEvent();
        EXPECT_EQ(watcher.events, 1);
        watched.NotifyEvent();
        EXPECT_EQ(watcher.events, 2);
        watched.NotifyEvent();
        EXPECT_EQ(watcher.events, 2);
    }
    {
        SCOPED_TRACE("a watcher destroys the watched object");
        auto watched = std::make_unique<orvel::Watched>();
        RecordingWatcher killer;
        RecordingWatcher other;
        killer.onEvent = [&](orvel::Watched*) { watched.reset(); };
        watched->AddWatcher(&killer);
        watched->AddWatcher(&other);
        watched->NotifyEvent();
        EXPECT_EQ(watched, nullptr);
        EXPECT_EQ(killer.goingAway, 1);
        EXPECT_EQ(other.goingAway, 1);
        EXPECT_EQ(killer.GetSignalCount(), 0u);
        EXPECT_EQ(other.GetSignalCount(), 0u);
    }
}

// Watchers drop their plain pointers when told the object goes away; the
// typical user keeps a list and erases the object from it.
TEST(ObserverTest, WatcherForgetsObjectsThatGoAway) {
    struct Tracker : orvel::Watcher {
        std::vector<orvel::Watched*> tracked;
        void Track(orvel::Watched* w) {
            w->AddWatcher(this);
            tracked.push_back(w);
        }
        void OnWatchedGoingAway(orvel::Watched* w) override {
            tracked.erase(std::remove(tracked.begin(), tracked.end(), w), tracked.end());
        }
    };
    Tracker tracker;
    auto a = std::make_unique<orvel::Watched>();
    auto b = std::make_unique<orvel::Watched>();
    tracker.Track(a.get());
    tracker.Track(b.get());
    a.reset();
    ASSERT_EQ(tracker.tracked.size(), 1u);
    EXPECT_EQ(tracker.tracked[0], b.get());
}
