#pragma once

#include "engine/resources/texture.h"

// Draws the first frame of a texture as a quad from (x0, y0) at the bottom
// left to (x1, y1) at the top right, GL coordinates. u0 and u1 are fractions
// of the picture's width (u0 > u1 mirrors it); the picture's padding is never
// shown. Tinted by a grey level (1 untinted), blended by its alpha. The
// caller's GL state is kept.
void DrawTexturedQuad(const orvel::Texture& texture, float x0, float y0, float x1, float y1,
                      float u0 = 0.0f, float u1 = 1.0f, float grey = 1.0f);
