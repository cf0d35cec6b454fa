#pragma once

#include <string>
#include <vector>

#include "engine/sprites/sprite_cache.h"

namespace orvel {

// The menu sprites' frame data by name. Entries stay until the manager goes;
// a name is loaded once per manager.
class SpriteCacheManager {
public:
    // The entry of that name, else a new one loaded and appended.
    SpriteCachePtr Get(const std::string& name);

    // Deletes every entry's texture (display switched away).
    void UnloadTextures();
    // Loads every entry again from its name (display back).
    void ReloadTextures();

private:
    std::vector<SpriteCachePtr> entries;
};

}  // namespace orvel
