#pragma once

namespace orvel {

class SpriteAnimation;

// Hears about the animation events of a sprite (an orvel::Sprite or a
// CachedSprite, both seen through their common SpriteAnimation). Every
// operation does nothing by default. The sprite does not own its callback and
// never deletes one through this interface.
class SpriteCallback {
public:
    // The frame wrapped around in a loop mode.
    virtual void OnLoop(SpriteAnimation& sprite);
    // A bounce turned at the first frame.
    virtual void OnReachedStart(SpriteAnimation& sprite);
    // A bounce turned at the last frame.
    virtual void OnFinished(SpriteAnimation& sprite);
    // The new frame carries the trigger flag.
    virtual void OnMarkedFrameA(SpriteAnimation& sprite);
    // The new frame carries the footstep flag.
    virtual void OnMarkedFrameB(SpriteAnimation& sprite);
    // Once at the end of every update.
    virtual int OnUpdated(SpriteAnimation& sprite, float dt);

protected:
    ~SpriteCallback() = default;
};

}  // namespace orvel
