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

// The frames of one animation, shared by every orvel::Sprite that shows it:
// the per-frame lists, the rate and the frame sheet as one GL texture.
struct SpriteData {
    SpriteData() = default;
    ~SpriteData();
    SpriteData(const SpriteData&) = delete;
    SpriteData& operator=(const SpriteData&) = delete;

    std::vector<uint8_t> triggers;   // one byte per frame
    std::vector<uint8_t> footsteps;  // one byte per frame
    std::vector<Vector2x<long>> hotSpots;
    PropertyKey name;  // the resource it was loaded from
    float fps = 0.0f;
    FrameSheet sheet;
    uint32_t texture = 0;  // GL texture name, 0 when unloaded

    int32_t GetFrameCount() const { return static_cast<int32_t>(sheet.frameCount); }
    // Per-frame reads; a frame outside the lists reads as clear, (0, 0).
    bool IsTrigger(int32_t frame) const;
    bool IsFootstep(int32_t frame) const;
    Vector2x<long> GetHotSpot(int32_t frame) const;

    // Loads again from its own name (the display came back).
    void Reload();
    // Deletes the GL texture, clears the sheet fields and frees the per-frame
    // lists (the display was switched away).
    void Unload();
};

typedef std::shared_ptr<SpriteData> SpriteDataPtr;

// Fills the data's rate and per-frame lists from a description and takes the
// sheet's fields, without touching OpenGL.
void SetSpriteFrames(SpriteData& data, const SpriteDescription& description,
                     const FrameSheet& sheet);

// Fills `data` from a single picture (".bbq", ".jpg", ".jpeg") or a sprite
// file, and uploads its frames as one texture.
void LoadSpriteData(SpriteData& data, const std::string& name);

}  // namespace orvel
