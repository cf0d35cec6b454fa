#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/sprites/sprite.h"
#include "engine/sprites/sprite_data.h"

namespace orvel {

// Owns frame data by name and the live sprites, ordered by layer. Game code
// owns a sprite by holding its pointer; once only the manager holds it, the
// sprite is dropped at the next update or draw. Held by shared pointer, which
// the sprites it makes refer back to.
class SpriteManager : public std::enable_shared_from_this<SpriteManager> {
public:
    // A new sprite over FindData(name), drawn after the sprites already on
    // its layer.
    SpritePtr CreateSprite(const std::string& name, int16_t layer = 0);
    // The cached data of that name, else loaded and cached.
    SpriteDataPtr FindData(const std::string& name);
    // Moves a live sprite of this manager to another layer, after the sprites
    // already there.
    void SetLayer(const SpritePtr& sprite, int16_t layer);

    // Advances every live sprite.
    void Update(float dt);
    // Draws every live sprite, lower layers first, with texturing and alpha
    // blending on; the GL state is restored afterwards.
    void Draw();

    void UnloadTextures();
    void ReloadTextures();

    size_t GetSpriteCount() const { return live.size(); }

private:
    typedef std::multimap<int16_t, SpritePtr> LiveSet;

    // Drops the sprites only the manager holds and returns the others in
    // layer order. Callbacks run while the copy is walked may create sprites,
    // move them between layers or let go of them without disturbing the walk.
    std::vector<SpritePtr> TakeSnapshot();

    std::vector<SpriteDataPtr> cache;
    LiveSet live;
};

typedef std::shared_ptr<SpriteManager> SpriteManagerPtr;

}  // namespace orvel
