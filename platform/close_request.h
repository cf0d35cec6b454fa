#pragma once

// The ways the player or the system ask the game to end: the window's close
// button (the window manager's WM_DELETE_WINDOW message) and the signals
// SIGTERM and SIGINT. All of them call one callback, so that the game ends
// the same way whichever was used, settings saved.
//
// The callback runs on the game library's window thread or inside a signal
// handler: it must do no more than set a lock-free atomic flag.
typedef void (*CloseCallback)();

// Installs the callback for the close button and the two signals (replacing
// the game library's own signal handlers, which would end the process at
// once). Call it after the game library has started. Returns false when the
// library offers no close-button hook; the signals are handled either way.
bool InstallCloseHandlers(CloseCallback callback);

// Removes the close-button hook and gives the signals back to the handlers
// they had before InstallCloseHandlers.
void RemoveCloseHandlers();
