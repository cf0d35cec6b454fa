#pragma once

#include <string>

#include "engine/core/attributes.h"

// Bits of a side's controls. Purchases: the mouse on the purchase bar and
// two rows of number keys (side 1 reads 8 as the keypad and 0x10 as the
// number row, side 2 the other way round); 0 lets the computer buy. The
// airship: the mouse, the arrow keys with the Ctrl keys for the magnet, the
// letter keys W, A, S, D, and the joystick.
const int CONTROL_MOUSE = 1;
const int CONTROL_ARROW_KEYS = 2;
const int CONTROL_LETTER_KEYS = 4;
const int CONTROL_KEYPAD = 8;
const int CONTROL_NUMBER_ROW = 0x10;
const int CONTROL_JOYSTICK = 0x20;

// How a level is played, as the screens before it left it in the registry
// of named values: which level, in which mode, and who controls what.
struct PlayMode {
    int currentLevel = 0;
    bool isSkirmishMode = false;
    bool isTutorialLevel = false;
    bool mouseSteeringBlocked = true;
    int goodPurchaseControl = 0;
    int goodAirshipControl = 0;
    int badPurchaseControl = 0;
    int badAirshipControl = 0;
    bool cursorVisible = false;
    std::string levelFolder;
};

// Reads the mode. "TARNMOORE_CurrentLevel" must be there
// (orvel::ExceptionAttributeNotFound); absent mode flags count as false. A
// tutorial level plays "resources/TutorialLevel<n>", skirmish the folder in
// "levelPath", the campaign "resources/Level<n>". Outside skirmish side 1
// steers by mouse and arrow keys and buys by mouse and both key rows, and
// the computer plays side 2; skirmish takes the four controls from the
// registry, 0 for any that is absent.
PlayMode ReadPlayMode(orvel::Attributes& registry);

// A flag of the registry that may be absent: absent counts as false.
bool RegistryFlag(orvel::Attributes& registry, PropertyKey key);
