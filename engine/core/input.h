#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace orvel {

// Size of the key table that states index: the game library's key codes, with
// the modifier keys in slots 103 to 114 (for instance escape 59, F1 47,
// enter 67, space 75, left 82, right 83, up 84, down 85, left shift 103).
const int INPUT_KEY_COUNT = 115;
// Joysticks recorded one by one; all of them still count in the combined mask.
const int INPUT_JOYSTICK_COUNT = 5;
// Joystick buttons that have a bit of their own in a mask.
const int INPUT_JOYSTICK_BUTTON_COUNT = 16;

// Stick bits of a joystick mask (first stick, digital directions).
const uint32_t JOYSTICK_UP = 0x1000000;
const uint32_t JOYSTICK_DOWN = 0x2000000;
const uint32_t JOYSTICK_LEFT = 0x4000000;
const uint32_t JOYSTICK_RIGHT = 0x8000000;

// The game library's key code as a slot of the 115-entry table, or -1 for a
// key that has no slot there. This is the one place where the library's
// layout meets ours: codes 0 to 102 stay as they are, the modifiers 115 to
// 126 move to 103 to 114, and the library's extra keys 103 to 114 are dropped.
int KeySlotFromLibraryKey(int libraryKey);

// What one joystick reports at a poll.
struct JoystickReading {
    struct Axis {
        bool firstDirection = false;   // up, or left
        bool secondDirection = false;  // down, or right
    };
    struct Stick {
        bool digital = false;
        std::vector<Axis> axes;
    };
    bool digital = false;
    std::vector<bool> buttons;  // down state of each button
    std::vector<Stick> sticks;
};

// Where the snapshot reads the devices. The game uses the game library's
// devices (CreateLibraryInputSource); tests feed a source of their own.
class InputSource {
public:
    virtual ~InputSource() = default;

    // Polls the keyboard when it needs polling and fills `keys` (115 entries,
    // non-zero = down).
    virtual void ReadKeys(std::vector<uint8_t>& keys) = 0;
    // Polls the mouse when it needs polling; reads position and buttons
    // (1 left, 2 right, 4 middle).
    virtual void ReadMouse(int& x, int& y, int& buttons) = 0;
    // Movement since the last call (reading resets the counters).
    virtual void ReadMickeys(int& x, int& y) = 0;
    // Polls the joysticks and returns one reading per installed joystick.
    virtual std::vector<JoystickReading> ReadJoysticks() = 0;
};

std::shared_ptr<InputSource> CreateLibraryInputSource();

// The per-frame picture of keyboard, mouse and joysticks. Every value is kept
// for this poll and the one before, so that states see presses and releases
// by comparing the two. Nobody else reads the devices.
class Input {
public:
    explicit Input(std::shared_ptr<InputSource> source);

    // Once per frame, before the current state's Update.
    void Poll();

    // Edge tests: this poll against the one before. A key or bit out of
    // range answers false.
    bool KeyPressed(int key) const;
    bool KeyReleased(int key) const;
    bool IsMouseButtonPressed(int mask) const;
    bool IsMouseButtonReleased(int mask) const;
    bool IsJoystickButtonPressed(int bit) const;
    bool IsJoystickButtonReleased(int bit) const;

    // Level tests.
    bool KeyDown(int key) const;
    int GetMouseButtons() const { return mouseButtons; }
    int GetPreviousMouseButtons() const { return previousMouseButtons; }
    int GetMouseX() const { return mouseX; }
    int GetMouseY() const { return mouseY; }
    int GetPreviousMouseX() const { return previousMouseX; }
    int GetPreviousMouseY() const { return previousMouseY; }
    int GetMickeysX() const { return mickeysX; }
    int GetMickeysY() const { return mickeysY; }
    uint32_t GetJoystickMask(int joystick) const;
    uint32_t GetCombinedJoystickMask() const { return combinedJoystick; }
    uint32_t GetPreviousCombinedJoystickMask() const { return previousCombinedJoystick; }

    // The mask of one joystick reading (button bits 0 to 15, stick bits 24 to
    // 27); analogue-only joysticks give 0.
    static uint32_t JoystickMask(const JoystickReading& reading);

private:
    void PollJoysticks();

    std::shared_ptr<InputSource> source;
    std::vector<uint8_t> keys;
    std::vector<uint8_t> previousKeys;
    int mouseButtons = 0;
    int previousMouseButtons = 0;
    uint32_t joysticks[INPUT_JOYSTICK_COUNT] = {};
    uint32_t combinedJoystick = 0;
    uint32_t previousJoysticks[INPUT_JOYSTICK_COUNT] = {};
    uint32_t previousCombinedJoystick = 0;
    int mouseX = 0;
    int mouseY = 0;
    int previousMouseX = 0;
    int previousMouseY = 0;
    int mickeysX = 0;
    int mickeysY = 0;
};

}  // namespace orvel
