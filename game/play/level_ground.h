#pragma once

#include <cstdint>
#include <memory>

#include "engine/physics/mechanica.h"
#include "engine/physics/terrain_body.h"
#include "game/play/level_file.h"

// Puts a level's fixed bodies into the world: the world box around the
// level, the ceiling and the side walls that keep airships in, the back and
// front walls that keep everything in the play plane, and the terrain built
// from the level's node heights. Returns the terrain body; the world owns
// every body made here.
std::shared_ptr<orvel::TerrainBody> BuildLevelGround(orvel::Mechanica& world,
                                                     const LevelFile& level, uint32_t levelWidth);
