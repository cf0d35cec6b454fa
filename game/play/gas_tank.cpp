#include "game/play/gas_tank.h"

#include <cmath>

#include "game/play/textured_quad.h"

namespace {

// Below this the tank counts as empty and no new pulse starts.
const float EMPTY_FUEL = 0.0001f;
const float PULSE_STEP = 0.05f;

}  // namespace

GasTank::GasTank(const std::string& emptyTexture, const std::string& fullTexture, int x, int y)
    : x(x), y(y) {
    empty.Load(emptyTexture);
    full.Load(fullTexture);
}

void GasTank::Draw(float fraction) {
    const bool low = fraction >= EMPTY_FUEL && fraction <= kLowFuel;
    if (pulse != 1.0f || low) {
        pulse -= PULSE_STEP;
        if (pulse <= -1.0f) {
            pulse = 1.0f;
        }
    }
    const float brightness = std::fabs(pulse);
    const float width = float(empty.GetSheet().width);
    const float height = float(empty.GetSheet().frameHeight);
    DrawTexturedQuad(empty, float(x), float(y), float(x) + width, float(y) + height, 0.0f, 1.0f,
                     brightness);
    const float fullWidth = float(full.GetSheet().width);
    const float fullHeight = float(full.GetSheet().frameHeight);
    DrawTexturedQuad(full, float(x), float(y), float(x) + fullWidth * fraction,
                     float(y) + fullHeight, 0.0f, fraction);
}

void GasTank::UnloadTextures() {
    empty.Unload();
    full.Unload();
}

void GasTank::ReloadTextures() {
    empty.EnsureLoaded();
    full.EnsureLoaded();
}
