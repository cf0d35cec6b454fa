#include "engine/sprites/sprite_cache.h"

#include "engine/core/property_file.h"
#include "engine/sprites/sprite_sheet.h"

namespace orvel {

SpriteCache::~SpriteCache() { DeleteSpriteTexture(texture); }

void SpriteCache::Load(const std::string& resource) {
    const SpriteDescription description =
        IsPictureName(resource) ? SinglePictureDescription(resource)
                                : ReadSpriteProperties(*LoadPropertyFile(resource), resource);
    FrameSheet loaded;
    const uint32_t uploaded = LoadSpriteSheet(description, loaded);
    DeleteSpriteTexture(texture);
    texture = uploaded;
    name = PropertyKey(resource);
    SetFrames(description, loaded);
}

void SpriteCache::SetFrames(const SpriteDescription& description, const FrameSheet& frames) {
    fps = description.fps;
    flags = description.flags;
    lengthMultipliers = description.lengthMultipliers;
    hotSpots = description.hotSpots;
    sheet = frames;
}

void SpriteCache::UnloadTexture() {
    DeleteSpriteTexture(texture);
    sheet = FrameSheet();
}

uint8_t SpriteCache::GetFlags(int32_t frame) const {
    if (frame < 0 || static_cast<size_t>(frame) >= flags.size()) {
        return 0;
    }
    return flags[frame];
}

float SpriteCache::GetLengthMultiplier(int32_t frame) const {
    if (frame < 0 || static_cast<size_t>(frame) >= lengthMultipliers.size()) {
        return 1.0f;
    }
    return lengthMultipliers[frame];
}

Vector2x<long> SpriteCache::GetHotSpot(int32_t frame) const {
    if (frame < 0 || static_cast<size_t>(frame) >= hotSpots.size()) {
        return Vector2x<long>(0, 0);
    }
    return hotSpots[frame];
}

}  // namespace orvel
