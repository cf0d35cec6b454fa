#pragma once

#include <cstdint>

#include "engine/physics/body.h"
#include "engine/physics/mechanica.h"

// The minimap's colour, which is also the screen's clear colour in play.
const float MINIMAP_RED = 0.247f;
const float MINIMAP_GREEN = 0.235f;
const float MINIMAP_BLUE = 0.173f;

// The width of the minimap of a level: the level scaled to the height of
// the strip below the play field.
float MinimapWidth(uint32_t levelWidth);

// Draws the whole level, scaled down, centred in the strip below the play
// field: a filled rectangle, the terrain's outline and every body of the
// world as it draws itself there. `terrain` may be null.
void DrawMinimap(orvel::Mechanica& world, orvel::Body* terrain, uint32_t levelWidth);
