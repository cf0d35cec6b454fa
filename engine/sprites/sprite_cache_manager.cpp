#include "engine/sprites/sprite_cache_manager.h"

namespace orvel {

SpriteCachePtr SpriteCacheManager::Get(const std::string& name) {
    const PropertyKey key(name);
    for (const SpriteCachePtr& entry : entries) {
        if (entry->GetName() == key) {
            return entry;
        }
    }
    const SpriteCachePtr entry = std::make_shared<SpriteCache>();
    entry->Load(name);
    entries.push_back(entry);
    return entry;
}

void SpriteCacheManager::UnloadTextures() {
    for (const SpriteCachePtr& entry : entries) {
        entry->UnloadTexture();
    }
}

void SpriteCacheManager::ReloadTextures() {
    for (const SpriteCachePtr& entry : entries) {
        entry->Load(entry->GetName().GetName());
    }
}

}  // namespace orvel
