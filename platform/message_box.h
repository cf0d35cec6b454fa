#pragma once

#include <string>

// Shows `text` to the player and waits until it is acknowledged: the game
// library's message window when the program runs on a display, standard error
// when there is no display, when the game library is not running, or when
// GEARHAVEN_HEADLESS_MESSAGES is set to anything but the empty string (tests
// and automated runs must never block on a window). The text is shown as it
// is; it is never read as a format.
void ShowMessageBox(const std::string& text);

// True when messages go to standard error (see ShowMessageBox).
bool MessagesAreHeadless();
