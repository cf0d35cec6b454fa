#include "game/play/control_input.h"

#include "game/play/play_mode.h"
#include "game/play/product.h"

namespace {

// The purchase bar: the strip above this mouse y, between these x, split
// into one button per product at these x.
const int BAR_BOTTOM = 72;
const int BAR_LEFT = 143;
const int BAR_RIGHT = 485;
const int BUTTON_RIGHT_EDGES[PRODUCT_AIRSHIP] = {180, 216, 276, 328, 350, 400, 430};

bool Enabled(int control, int bit) { return (control & bit) != 0; }

bool Joystick(const orvel::Input& input, int control, uint32_t bit) {
    return Enabled(control, CONTROL_JOYSTICK) && (input.GetCombinedJoystickMask() & bit) != 0;
}

bool Held(const orvel::Input& input, int control, int arrow, int letter, uint32_t stick) {
    return (Enabled(control, CONTROL_ARROW_KEYS) && input.KeyDown(arrow)) ||
           (Enabled(control, CONTROL_LETTER_KEYS) && input.KeyDown(letter)) ||
           Joystick(input, control, stick);
}

}  // namespace

ThrustInput HeldThrust(const orvel::Input& input, int airshipControl) {
    ThrustInput thrust;
    thrust.up = Held(input, airshipControl, KEY_UP, KEY_W, orvel::JOYSTICK_UP);
    thrust.down = Held(input, airshipControl, KEY_DOWN, KEY_S, orvel::JOYSTICK_DOWN);
    thrust.left = Held(input, airshipControl, KEY_LEFT, KEY_A, orvel::JOYSTICK_LEFT);
    thrust.right = Held(input, airshipControl, KEY_RIGHT, KEY_D, orvel::JOYSTICK_RIGHT);
    return thrust;
}

MagnetInput MagnetEdges(const orvel::Input& input, int airshipControl) {
    MagnetInput magnet;
    const bool joystick = Enabled(airshipControl, CONTROL_JOYSTICK);
    const bool keys = Enabled(airshipControl, CONTROL_ARROW_KEYS);
    magnet.pressed =
        (joystick && input.IsJoystickButtonPressed(JOYSTICK_MAGNET_BUTTON)) ||
        (keys && (input.KeyPressed(KEY_LEFT_CTRL) || input.KeyPressed(KEY_RIGHT_CTRL)));
    magnet.released =
        (joystick && input.IsJoystickButtonReleased(JOYSTICK_MAGNET_BUTTON)) ||
        (keys && (input.KeyReleased(KEY_LEFT_CTRL) || input.KeyReleased(KEY_RIGHT_CTRL)));
    return magnet;
}

uint32_t PurchaseKeysPressed(const orvel::Input& input, int purchaseControl, int team) {
    const bool sideOne = team > 0;
    const bool numberRow = Enabled(purchaseControl, sideOne ? CONTROL_NUMBER_ROW : CONTROL_KEYPAD);
    const bool keypad = Enabled(purchaseControl, sideOne ? CONTROL_KEYPAD : CONTROL_NUMBER_ROW);
    uint32_t wanted = 0;
    for (int product = 0; product <= PRODUCT_AIRSHIP; ++product) {
        if ((numberRow && input.KeyPressed(KEY_NUMBER_ROW_1 + product)) ||
            (keypad && input.KeyPressed(KEY_KEYPAD_1 + product))) {
            wanted |= 1u << product;
        }
    }
    return wanted;
}

int PurchaseSlotAt(int mouseX, int mouseY) {
    if (mouseY >= BAR_BOTTOM || mouseX <= BAR_LEFT || mouseX >= BAR_RIGHT) {
        return -1;
    }
    for (int product = 0; product < PRODUCT_AIRSHIP; ++product) {
        if (mouseX <= BUTTON_RIGHT_EDGES[product]) {
            return product;
        }
    }
    return PRODUCT_AIRSHIP;
}
