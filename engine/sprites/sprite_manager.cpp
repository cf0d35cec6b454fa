#include "engine/sprites/sprite_manager.h"

#include <GL/gl.h>

namespace orvel {

SpritePtr SpriteManager::CreateSprite(const std::string& name, int16_t layer) {
    const SpritePtr sprite = std::make_shared<Sprite>(weak_from_this(), FindData(name));
    sprite->layer = layer;
    live.emplace(layer, sprite);
    return sprite;
}

SpriteDataPtr SpriteManager::FindData(const std::string& name) {
    const PropertyKey key(name);
    for (const SpriteDataPtr& data : cache) {
        if (data->name == key) {
            return data;
        }
    }
    const SpriteDataPtr data = std::make_shared<SpriteData>();
    LoadSpriteData(*data, name);
    cache.push_back(data);
    return data;
}

void SpriteManager::SetLayer(const SpritePtr& sprite, int16_t layer) {
    if (sprite->layer == layer) {
        return;
    }
    const std::pair<LiveSet::iterator, LiveSet::iterator> range = live.equal_range(sprite->layer);
    for (LiveSet::iterator it = range.first; it != range.second; ++it) {
        if (it->second == sprite) {
            live.erase(it);
            sprite->layer = layer;
            live.emplace(layer, sprite);
            return;
        }
    }
    sprite->layer = layer;
}

std::vector<SpritePtr> SpriteManager::TakeSnapshot() {
    std::vector<SpritePtr> snapshot;
    snapshot.reserve(live.size());
    for (LiveSet::iterator it = live.begin(); it != live.end();) {
        if (it->second.use_count() == 1) {
            it = live.erase(it);
        } else {
            snapshot.push_back(it->second);
            ++it;
        }
    }
    return snapshot;
}

void SpriteManager::Update(float dt) {
    for (const SpritePtr& sprite : TakeSnapshot()) {
        sprite->Update(dt);
    }
}

void SpriteManager::Draw() {
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const SpritePtr& sprite : TakeSnapshot()) {
        sprite->Draw();
    }
    glPopAttrib();
}

void SpriteManager::UnloadTextures() {
    for (const SpriteDataPtr& data : cache) {
        data->Unload();
    }
}

void SpriteManager::ReloadTextures() {
    for (const SpriteDataPtr& data : cache) {
        data->Reload();
    }
}

}  // namespace orvel
