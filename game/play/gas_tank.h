#pragma once

#include <string>

#include "engine/resources/texture.h"

// The fuel gauge: a full tank drawn over an empty one, cut to the fuel left.
// While the fuel is low but not gone, the empty tank pulses dark and light.
class GasTank {
public:
    // The pulse starts at this fuel fraction.
    static constexpr float kLowFuel = 0.3f;

    // Loads both pictures; (x, y) is the gauge's lower-left corner, GL
    // pixels. Throws the file exceptions of a missing picture.
    GasTank(const std::string& emptyTexture, const std::string& fullTexture, int x, int y);
    GasTank(const GasTank&) = delete;
    GasTank& operator=(const GasTank&) = delete;

    // Draws the gauge with `fraction` (0 to 1) of the fuel left and moves the
    // pulse on by one drawn frame: a pulse runs 40 frames from light through
    // dark to light, and a new one starts only while the fuel is low.
    void Draw(float fraction);

    float GetPulse() const { return pulse; }
    const orvel::Texture& GetEmpty() const { return empty; }
    const orvel::Texture& GetFull() const { return full; }
    void UnloadTextures();
    void ReloadTextures();

private:
    orvel::Texture empty;
    orvel::Texture full;
    int x;
    int y;
    float pulse = 1.0f;
};
