#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/input.h"

// An input source with nothing pressed, moved or plugged in, for tests of
// screens that are handed an Input but do not read it.
class NullInputSource : public orvel::InputSource {
public:
    void ReadKeys(std::vector<uint8_t>&) override {}
    void ReadMouse(int& x, int& y, int& buttons) override { x = y = buttons = 0; }
    void ReadMickeys(int& x, int& y) override { x = y = 0; }
    std::vector<orvel::JoystickReading> ReadJoysticks() override { return {}; }
};
