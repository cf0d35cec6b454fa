#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/property_key.h"
#include "engine/core/vector2x.h"
#include "engine/resources/frame_sheet.h"
#include "engine/sprites/sprite_file.h"

namespace orvel {

// The frames of one menu or interface animation, read from the property-file
// form of a description (or a single picture) and shared by name through a
// SpriteCacheManager.
class SpriteCache {
public:
    SpriteCache() = default;
    ~SpriteCache();
    SpriteCache(const SpriteCache&) = delete;
    SpriteCache& operator=(const SpriteCache&) = delete;

    // Reads the description or picture `name`, loads its frames into one
    // sheet and uploads the texture.
    void Load(const std::string& name);
    // Takes the rate and per-frame data of a description and the fields of
    // its sheet, without touching OpenGL.
    void SetFrames(const SpriteDescription& description, const FrameSheet& sheet);
    // Deletes the GL texture and clears the sheet fields (display switched
    // away); Load(GetName()) brings it back.
    void UnloadTexture();

    PropertyKey GetName() const { return name; }
    float GetFps() const { return fps; }
    const FrameSheet& GetSheet() const { return sheet; }
    uint32_t GetTexture() const { return texture; }
    int32_t GetFrameCount() const { return static_cast<int32_t>(sheet.frameCount); }

    // Per-frame reads; a frame outside the lists reads as the default.
    uint8_t GetFlags(int32_t frame) const;
    float GetLengthMultiplier(int32_t frame) const;
    Vector2x<long> GetHotSpot(int32_t frame) const;

private:
    std::vector<uint8_t> flags;  // SpriteFrameFlag bits
    std::vector<float> lengthMultipliers;
    std::vector<Vector2x<long>> hotSpots;
    PropertyKey name;
    float fps = 0.0f;
    FrameSheet sheet;
    uint32_t texture = 0;
};

typedef std::shared_ptr<SpriteCache> SpriteCachePtr;

}  // namespace orvel
