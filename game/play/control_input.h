#pragma once

#include <cstdint>

#include "engine/core/input.h"

// Key codes of the input snapshot that play reads.
const int KEY_A = 1;
const int KEY_D = 4;
const int KEY_S = 19;
const int KEY_W = 23;
const int KEY_NUMBER_ROW_1 = 28;
const int KEY_KEYPAD_1 = 38;
const int KEY_ENTER = 67;
const int KEY_SPACE = 75;
const int KEY_LEFT = 82;
const int KEY_RIGHT = 83;
const int KEY_UP = 84;
const int KEY_DOWN = 85;
const int KEY_LEFT_CTRL = 105;
const int KEY_RIGHT_CTRL = 106;

// The joystick button that works the magnet (bit 0 of the mask).
const int JOYSTICK_MAGNET_BUTTON = 0;

// The thrust directions held this frame.
struct ThrustInput {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;

    bool Any() const { return up || down || left || right; }
};

// The magnet's edges this frame: any enabled magnet input went down, or up.
struct MagnetInput {
    bool pressed = false;
    bool released = false;
};

// Thrust is held, not pressed: a direction is on while any device that the
// airship control bits enable holds it (arrow keys, W A S D, joystick).
ThrustInput HeldThrust(const orvel::Input& input, int airshipControl);

// The Ctrl keys (with the arrow-key bit) and the joystick button (with the
// joystick bit) switch the magnet.
MagnetInput MagnetEdges(const orvel::Input& input, int airshipControl);

// The products whose key was pressed this frame, bit i for product i (0 to
// 7). Side 1 (team 1) buys with the keypad under bit 8 and the number row
// under bit 0x10; side 2 the other way round.
uint32_t PurchaseKeysPressed(const orvel::Input& input, int purchaseControl, int team);

// The product of the purchase-bar button under the mouse (screen pixels, y
// down from the top), or -1 when the mouse is not on the bar.
int PurchaseSlotAt(int mouseX, int mouseY);
