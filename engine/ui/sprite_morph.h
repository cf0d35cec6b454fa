#pragma once

#include <memory>
#include <string>

#include "engine/sprites/cached_sprite.h"
#include "engine/ui/morph.h"

namespace orvel {

class SpriteCacheManager;

// A picture or animation from a screen's sprite cache, stretched over the
// morph's rect and tinted with the morph's colour (white opaque at first,
// which shows the picture as it is).
class SpriteMorph : public Morph {
public:
    // Sized to the animation's frame. Missing or broken files throw the
    // file exceptions of the sprite cache.
    SpriteMorph(const std::shared_ptr<SpriteCacheManager>& manager, const std::string& animation,
                PropertyKey name);

    // Advances the animation; never asks to be removed.
    bool Update(float dt) override;
    void DrawSelf() override;
    PropertyKey GetTypeName() const override;

    CachedSprite& GetSprite() { return sprite; }
    const CachedSprite& GetSprite() const { return sprite; }

private:
    // Keeps the cache alive as long as the sprite may ask it for animations.
    std::shared_ptr<SpriteCacheManager> manager;
    CachedSprite sprite;
};

}  // namespace orvel
