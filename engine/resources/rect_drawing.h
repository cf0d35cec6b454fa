#pragma once

#include <cstdint>

namespace orvel {

// Untextured rectangles over the integer rectangle (x0, y0)-(x1, y1) in the
// current model-view space, in a colour packed as the game library packs a
// 32-bit pixel. Both keep the caller's current colour and model-view matrix.

// Filled in the colour's red, green and blue.
void DrawFilledRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t colour);
// A closed line loop in the colour's red, green, blue and alpha.
void DrawOutlineRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t colour);

}  // namespace orvel
