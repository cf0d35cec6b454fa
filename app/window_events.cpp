#include "app/window_events.h"

#include <atomic>

namespace {

// Written on the library's thread or in a signal handler, read on the main
// thread: atomics, lock-free so that a signal handler may set them.
std::atomic<int> switchCounter(0);
std::atomic<bool> quitRequested(false);

static_assert(std::atomic<bool>::is_always_lock_free, "the quit flag is set in signal handlers");

}  // namespace

void OnSwitchOut() { ++switchCounter; }

void OnSwitchIn() { --switchCounter; }

void OnCloseButton() { quitRequested = true; }

int GetSwitchCounter() { return switchCounter; }

bool IsQuitRequested() { return quitRequested; }

void ResetWindowEvents() {
    switchCounter = 0;
    quitRequested = false;
}
