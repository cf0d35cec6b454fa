#pragma once

#include <cstdint>

namespace orvel {

// Colours are four bytes packed into one 32-bit value with the graphics
// library's 32-bit pixel layout, so a packed colour can be handed to it as is.
// Only the 32-bit helpers are used: they need no display and no colour depth.
// Each component is taken modulo 256, so one component never spills into
// another.
int32_t MakeColour(int red, int green, int blue, int alpha);

int GetRed(int32_t colour);
int GetGreen(int32_t colour);
int GetBlue(int32_t colour);
int GetAlpha(int32_t colour);

}  // namespace orvel
