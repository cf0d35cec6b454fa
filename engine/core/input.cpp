#include "engine/core/input.h"

#include <algorithm>

#include <allegro.h>

namespace orvel {

namespace {

// Where the library's modifier keys start, and the slot they get in our table.
const int LIBRARY_FIRST_MODIFIER = KEY_MODIFIERS;
const int FIRST_MODIFIER_SLOT = 103;

bool InKeyRange(int key) { return key >= 0 && key < INPUT_KEY_COUNT; }

bool InBitRange(int bit) { return bit >= 0 && bit < 32; }

// The game library's devices.
class LibraryInputSource : public InputSource {
public:
    void ReadKeys(std::vector<uint8_t>& keys) override {
        if (keyboard_needs_poll()) {
            poll_keyboard();
        }
        for (int code = 0; code < KEY_MAX; ++code) {
            const int slot = KeySlotFromLibraryKey(code);
            if (slot >= 0) {
                keys[slot] = key[code] != 0 ? 1 : 0;
            }
        }
    }

    void ReadMouse(int& x, int& y, int& buttons) override {
        if (mouse_driver != nullptr && mouse_needs_poll()) {
            poll_mouse();
        }
        x = mouse_x;
        y = mouse_y;
        buttons = mouse_b;
    }

    void ReadMickeys(int& x, int& y) override {
        x = 0;
        y = 0;
        if (mouse_driver != nullptr) {
            get_mouse_mickeys(&x, &y);
        }
    }

    std::vector<JoystickReading> ReadJoysticks() override {
        std::vector<JoystickReading> readings;
        if (num_joysticks <= 0) {
            return readings;
        }
        poll_joystick();
        for (int i = 0; i < num_joysticks; ++i) {
            const JOYSTICK_INFO& info = joy[i];
            JoystickReading reading;
            reading.digital = (info.flags & JOYFLAG_DIGITAL) != 0;
            for (int b = 0; b < info.num_buttons; ++b) {
                reading.buttons.push_back(info.button[b].b != 0);
            }
            for (int s = 0; s < info.num_sticks; ++s) {
                JoystickReading::Stick stick;
                stick.digital = (info.stick[s].flags & JOYFLAG_DIGITAL) != 0;
                for (int a = 0; a < info.stick[s].num_axis; ++a) {
                    JoystickReading::Axis axis;
                    axis.firstDirection = info.stick[s].axis[a].d1 != 0;
                    axis.secondDirection = info.stick[s].axis[a].d2 != 0;
                    stick.axes.push_back(axis);
                }
                reading.sticks.push_back(stick);
            }
            readings.push_back(reading);
        }
        return readings;
    }
};

}  // namespace

int KeySlotFromLibraryKey(int libraryKey) {
    if (libraryKey >= 0 && libraryKey < FIRST_MODIFIER_SLOT) {
        return libraryKey;
    }
    const int modifier = libraryKey - LIBRARY_FIRST_MODIFIER;
    if (modifier >= 0 && modifier < INPUT_KEY_COUNT - FIRST_MODIFIER_SLOT) {
        return FIRST_MODIFIER_SLOT + modifier;
    }
    return -1;
}

std::shared_ptr<InputSource> CreateLibraryInputSource() {
    return std::make_shared<LibraryInputSource>();
}

Input::Input(std::shared_ptr<InputSource> source)
    : source(std::move(source)), keys(INPUT_KEY_COUNT, 0), previousKeys(INPUT_KEY_COUNT, 0) {
    this->source->ReadKeys(keys);
    this->source->ReadMouse(mouseX, mouseY, mouseButtons);
    previousMouseX = mouseX;
    previousMouseY = mouseY;
    this->source->ReadMickeys(mickeysX, mickeysY);
}

void Input::Poll() {
    keys.swap(previousKeys);
    source->ReadKeys(keys);

    previousMouseButtons = mouseButtons;
    previousMouseX = mouseX;
    previousMouseY = mouseY;
    source->ReadMouse(mouseX, mouseY, mouseButtons);
    source->ReadMickeys(mickeysX, mickeysY);

    PollJoysticks();
}

uint32_t Input::JoystickMask(const JoystickReading& reading) {
    if (!reading.digital) {
        return 0;
    }
    uint32_t mask = 0;
    const size_t buttonCount =
        std::min(reading.buttons.size(), static_cast<size_t>(INPUT_JOYSTICK_BUTTON_COUNT));
    for (size_t b = 0; b < buttonCount; ++b) {
        if (reading.buttons[b]) {
            mask |= 1u << b;
        }
    }
    if (!reading.sticks.empty()) {
        const JoystickReading::Stick& stick = reading.sticks[0];
        if (stick.digital && stick.axes.size() >= 2) {
            if (stick.axes[0].firstDirection) {
                mask |= JOYSTICK_LEFT;
            }
            if (stick.axes[0].secondDirection) {
                mask |= JOYSTICK_RIGHT;
            }
            if (stick.axes[1].secondDirection) {
                mask |= JOYSTICK_DOWN;
            }
            if (stick.axes[1].firstDirection) {
                mask |= JOYSTICK_UP;
            }
        }
    }
    return mask;
}

void Input::PollJoysticks() {
    previousCombinedJoystick = combinedJoystick;
    combinedJoystick = 0;
    const std::vector<JoystickReading> readings = source->ReadJoysticks();
    for (size_t i = 0; i < readings.size(); ++i) {
        const uint32_t mask = JoystickMask(readings[i]);
        if (i < INPUT_JOYSTICK_COUNT) {
            previousJoysticks[i] = joysticks[i];
            joysticks[i] = mask;
        }
        combinedJoystick |= mask;
    }
}

bool Input::KeyDown(int key) const { return InKeyRange(key) && keys[key] != 0; }

bool Input::KeyPressed(int key) const {
    return InKeyRange(key) && keys[key] != 0 && keys[key] != previousKeys[key];
}

bool Input::KeyReleased(int key) const {
    return InKeyRange(key) && previousKeys[key] != 0 && previousKeys[key] != keys[key];
}

bool Input::IsMouseButtonPressed(int mask) const {
    return (mouseButtons & mask) != 0 && (previousMouseButtons & mask) == 0;
}

bool Input::IsMouseButtonReleased(int mask) const {
    return (previousMouseButtons & mask) != 0 && (mouseButtons & mask) == 0;
}

bool Input::IsJoystickButtonPressed(int bit) const {
    if (!InBitRange(bit)) {
        return false;
    }
    const uint32_t mask = 1u << bit;
    return (combinedJoystick & mask) != 0 && (previousCombinedJoystick & mask) == 0;
}

bool Input::IsJoystickButtonReleased(int bit) const {
    if (!InBitRange(bit)) {
        return false;
    }
    const uint32_t mask = 1u << bit;
    return (previousCombinedJoystick & mask) != 0 && (combinedJoystick & mask) == 0;
}

uint32_t Input::GetJoystickMask(int joystick) const {
    if (joystick < 0 || joystick >= INPUT_JOYSTICK_COUNT) {
        return 0;
    }
    return joysticks[joystick];
}

}  // namespace orvel
