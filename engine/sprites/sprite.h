#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/sprites/sprite_animation.h"
#include "engine/sprites/sprite_data.h"

namespace orvel {

class SpriteManager;

// An in-game animated picture: an animation cursor over shared frame data
// with its own transform, colour, alpha, draw layer and mirror flag. Made by
// a SpriteManager, which keeps it while game code holds it.
class Sprite : public SpriteAnimation {
public:
    // Starts at frame 0 with the data's rate. `manager` may be empty for a
    // sprite that never changes its animation by name.
    Sprite(const std::weak_ptr<SpriteManager>& manager, const SpriteDataPtr& data);

    // Switches to the manager's data of that name at its rate, frame 0.
    void SetAnimation(const std::string& name);
    // fps > 0 sets the rate and keeps the phase within the frame; 0 stops
    // on the current frame; below 0 restores the data's own rate.
    void SetFps(float fps);
    // From the start, or from the end when negative; clamped to the frames.
    void SetFrame(int32_t index);
    // Steps the animation by dt seconds, calling back on wraps, turns and
    // flagged frames, then OnUpdated.
    void Update(float dt);
    // Draws the current frame with its hot spot on the transform's origin.
    void Draw() const;
    // As Draw, scaled about the transform's origin by the factors along its
    // axes (a frame's pixels become scaleX by scaleY units).
    void Draw(float scaleX, float scaleY, float scaleZ) const;
    // Copies the current OpenGL matrix of a matrix mode (GL_MODELVIEW,
    // GL_PROJECTION or GL_TEXTURE) into the transform.
    void LoadMatrix(uint32_t which);

    const SpriteDataPtr& GetData() const { return data; }
    int16_t GetLayer() const { return layer; }
    const float* GetTransform() const { return transform; }
    // Takes a whole transform, in OpenGL's column order.
    void SetTransform(const float matrix[16]);
    // The position is the transform's translation row.
    void SetPosition(float x, float y);
    float GetX() const { return transform[12]; }
    float GetY() const { return transform[13]; }

    int32_t colour = -1;  // packed as by MakeColour; all bits set is opaque white
    float alpha = 1.0f;   // 0 hides the sprite
    uint8_t mirrored = 0;

private:
    friend class SpriteManager;  // moves the sprite between layers

    std::weak_ptr<SpriteManager> manager;
    SpriteDataPtr data;
    float transform[16];
    int16_t layer = 0;
};

typedef std::shared_ptr<Sprite> SpritePtr;

}  // namespace orvel
