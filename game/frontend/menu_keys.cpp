#include "game/frontend/menu_keys.h"

#include "engine/core/input.h"

bool ForwardKeyPressed(const orvel::Input& input) {
    return input.KeyPressed(MENU_KEY_ENTER) || input.KeyPressed(MENU_KEY_SPACE) ||
           input.KeyPressed(MENU_KEY_RIGHT);
}

bool BackKeyPressed(const orvel::Input& input) {
    return input.KeyPressed(MENU_KEY_LEFT) || input.KeyPressed(MENU_KEY_BACKSPACE);
}
