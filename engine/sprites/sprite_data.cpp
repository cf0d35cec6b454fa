#include "engine/sprites/sprite_data.h"

#include "engine/sprites/sprite_sheet.h"

namespace orvel {

namespace {

template <typename T>
T FrameValue(const std::vector<T>& list, int32_t frame) {
    if (frame < 0 || static_cast<size_t>(frame) >= list.size()) {
        return T();
    }
    return list[frame];
}

}  // namespace

SpriteData::~SpriteData() { DeleteSpriteTexture(texture); }

bool SpriteData::IsTrigger(int32_t frame) const { return FrameValue(triggers, frame) != 0; }

bool SpriteData::IsFootstep(int32_t frame) const { return FrameValue(footsteps, frame) != 0; }

Vector2x<long> SpriteData::GetHotSpot(int32_t frame) const { return FrameValue(hotSpots, frame); }

void SpriteData::Reload() {
    Unload();
    LoadSpriteData(*this, name.GetName());
}

void SpriteData::Unload() {
    DeleteSpriteTexture(texture);
    sheet = FrameSheet();
    triggers.clear();
    footsteps.clear();
    hotSpots.clear();
}

void SetSpriteFrames(SpriteData& data, const SpriteDescription& description,
                     const FrameSheet& sheet) {
    data.fps = description.fps;
    data.hotSpots = description.hotSpots;
    data.triggers.clear();
    data.footsteps.clear();
    for (const uint8_t flags : description.flags) {
        data.triggers.push_back((flags & SPRITE_FLAG_TRIGGER) != 0);
        data.footsteps.push_back((flags & SPRITE_FLAG_FOOTSTEP) != 0);
    }
    data.sheet = sheet;
}

void LoadSpriteData(SpriteData& data, const std::string& name) {
    const SpriteDescription description =
        IsPictureName(name) ? SinglePictureDescription(name) : ReadSpriteFile(name);
    FrameSheet sheet;
    const uint32_t texture = LoadSpriteSheet(description, sheet);
    DeleteSpriteTexture(data.texture);
    data.texture = texture;
    data.name = PropertyKey(name);
    SetSpriteFrames(data, description, sheet);
}

}  // namespace orvel
