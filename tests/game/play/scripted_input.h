#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "engine/core/input.h"

// The keys, mouse and joysticks of one frame, as a test scripts them.
struct ScriptedFrame {
    std::set<int> keys;
    int mouseX = 400;
    int mouseY = 300;
    int mouseButtons = 0;
    // Joystick bits as the snapshot folds them: button 1 is bit 0, the
    // stick's directions orvel::JOYSTICK_UP and the rest.
    uint32_t joystick = 0;
};

// An input source that reads whatever the test put into `frame`.
class ScriptedInputSource : public orvel::InputSource {
public:
    void ReadKeys(std::vector<uint8_t>& keys) override {
        std::fill(keys.begin(), keys.end(), 0);
        for (int key : frame.keys) {
            keys[size_t(key)] = 1;
        }
    }
    void ReadMouse(int& x, int& y, int& buttons) override {
        x = frame.mouseX;
        y = frame.mouseY;
        buttons = frame.mouseButtons;
    }
    void ReadMickeys(int& x, int& y) override { x = y = 0; }
    std::vector<orvel::JoystickReading> ReadJoysticks() override {
        orvel::JoystickReading reading;
        reading.digital = true;
        reading.buttons.push_back((frame.joystick & 1u) != 0);
        orvel::JoystickReading::Stick stick;
        stick.digital = true;
        stick.axes.resize(2);
        stick.axes[0].firstDirection = (frame.joystick & orvel::JOYSTICK_LEFT) != 0;
        stick.axes[0].secondDirection = (frame.joystick & orvel::JOYSTICK_RIGHT) != 0;
        stick.axes[1].firstDirection = (frame.joystick & orvel::JOYSTICK_UP) != 0;
        stick.axes[1].secondDirection = (frame.joystick & orvel::JOYSTICK_DOWN) != 0;
        reading.sticks.push_back(stick);
        return {reading};
    }

    ScriptedFrame frame;
};
