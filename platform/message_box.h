#pragma once

#include <string>

// Asked while a message window waits: true when the program has been asked to
// end (close button, SIGTERM, SIGINT). May be null.
typedef bool (*CloseRequestedCheck)();

// How a message ended.
enum class MessageEnd {
    Acknowledged,    // OK, Return, Escape or the message window's own close button
    CloseRequested,  // `closeRequested` turned true while the message showed
};

// Shows `text` to the player and waits until it is acknowledged: a message
// window of our own when the program runs on a display, standard error when
// there is no display, when the game library is not running, or when
// GEARHAVEN_HEADLESS_MESSAGES is "1" (tests and automated runs must never
// block on a window). The text is shown as it is; it is never read as a
// format.
//
// The window belongs to the game's window (it is transient for it, so window
// managers keep it above) and is centred on it. It never makes the program
// deaf: while it waits it asks `closeRequested` several times a second and
// gives up as soon as that is true, so the signals and the game window's close
// button still end the program.
MessageEnd ShowMessageBox(const std::string& text, CloseRequestedCheck closeRequested = nullptr);

// True when messages go to standard error (see ShowMessageBox).
bool MessagesAreHeadless();
