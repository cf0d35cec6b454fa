#include "platform/close_request.h"

#include <csignal>

#include <allegro.h>

namespace {

const int CLOSE_SIGNALS[] = {SIGTERM, SIGINT};
const int CLOSE_SIGNAL_COUNT = sizeof(CLOSE_SIGNALS) / sizeof(CLOSE_SIGNALS[0]);

volatile CloseCallback installedCallback = nullptr;
struct sigaction previousActions[CLOSE_SIGNAL_COUNT];
bool signalsInstalled = false;

void OnCloseSignal(int) {
    const CloseCallback callback = installedCallback;
    if (callback != nullptr) {
        callback();
    }
}

}  // namespace

bool InstallCloseHandlers(CloseCallback callback) {
    installedCallback = callback;
    if (!signalsInstalled) {
        struct sigaction action = {};
        action.sa_handler = OnCloseSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int i = 0; i < CLOSE_SIGNAL_COUNT; ++i) {
            sigaction(CLOSE_SIGNALS[i], &action, &previousActions[i]);
        }
        signalsInstalled = true;
    }
    // Without the library's system driver there is no window to close.
    return system_driver != nullptr && set_close_button_callback(callback) == 0;
}

void RemoveCloseHandlers() {
    if (system_driver != nullptr) {
        set_close_button_callback(nullptr);
    }
    if (signalsInstalled) {
        for (int i = 0; i < CLOSE_SIGNAL_COUNT; ++i) {
            sigaction(CLOSE_SIGNALS[i], &previousActions[i], nullptr);
        }
        signalsInstalled = false;
    }
    installedCallback = nullptr;
}
