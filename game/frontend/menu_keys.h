#pragma once

namespace orvel {
class Input;
}

// The keys the menu screens answer, as slots of the input snapshot.
const int MENU_KEY_F1 = 47;
const int MENU_KEY_ESCAPE = 59;
const int MENU_KEY_BACKSPACE = 63;
const int MENU_KEY_ENTER = 67;
const int MENU_KEY_SPACE = 75;
const int MENU_KEY_LEFT = 82;
const int MENU_KEY_RIGHT = 83;

// Enter, Space or Right went down this frame: go on.
bool ForwardKeyPressed(const orvel::Input& input);
// Left or Backspace went down this frame: go back.
bool BackKeyPressed(const orvel::Input& input);
