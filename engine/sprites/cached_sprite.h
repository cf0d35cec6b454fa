#pragma once

#include <cstdint>
#include <string>

#include "engine/sprites/sprite_animation.h"
#include "engine/sprites/sprite_cache.h"

namespace orvel {

class SpriteCacheManager;

// The light animation cursor that menus and morphs embed by value. It has no
// transform, colour or layer: it draws at the current model-view origin in
// the current colour. Frames may last different lengths, and the picture can
// be flipped either way.
class CachedSprite : public SpriteAnimation {
public:
    explicit CachedSprite(SpriteCacheManager* manager = nullptr) : manager(manager) {}

    // Shows the manager's entry of that name at its rate, frame 0.
    void SetAnimation(const std::string& name);
    // Shows an entry at its rate, frame 0.
    void SetCache(const SpriteCachePtr& entry);
    // From the start, or from the end when negative; clamped to the frames.
    void SetFrame(int32_t index);
    // Moves by n frames, wrapping around in either direction.
    void AdvanceFrames(int32_t n);
    // Steps the animation by dt seconds. Every step of one update uses the
    // length of the frame that was current when the update began.
    void Update(float dt);
    // Draws the current frame with its hot spot on the model-view origin; the
    // GL state is restored afterwards.
    void Draw() const;

    const SpriteCachePtr& GetCache() const { return cache; }

    SpriteCacheManager* manager;  // not owned
    uint8_t flipHorizontal = 0;
    uint8_t flipVertical = 0;

private:
    int32_t FrameCount() const { return cache ? cache->GetFrameCount() : 0; }

    SpriteCachePtr cache;
};

}  // namespace orvel
