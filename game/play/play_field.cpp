#include "game/play/play_field.h"

#include <algorithm>

float ScrollFraction(float levelWidth, float airshipX) {
    const float beyond = levelWidth - float(SCREEN_WIDTH);
    if (beyond <= 0.0f) {
        return 0.0f;
    }
    return std::min(1.0f, std::max(0.0f, (airshipX - SCREEN_WIDTH / 2.0f) / beyond));
}

float ScrollOffset(float levelWidth, float fraction) {
    return std::max(0.0f, levelWidth - float(SCREEN_WIDTH)) * fraction;
}
