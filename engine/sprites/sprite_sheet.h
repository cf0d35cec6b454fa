#pragma once

#include <cstdint>

#include "engine/resources/frame_sheet.h"
#include "engine/sprites/sprite_file.h"

namespace orvel {

// Loads every frame picture of a description, in order, into one padded frame
// sheet and uploads it as one GL texture; returns the texture's name. All
// frames must share size and depth. On an error nothing is uploaded and
// `sheet` is unchanged.
uint32_t LoadSpriteSheet(const SpriteDescription& description, FrameSheet& sheet);

// Deletes a texture made by LoadSpriteSheet (0 is no texture) and clears it.
void DeleteSpriteTexture(uint32_t& texture);

}  // namespace orvel
