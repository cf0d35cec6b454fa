#include "engine/sprites/cached_sprite.h"

#include <algorithm>

#include <GL/gl.h>

#include "engine/core/exception.h"
#include "engine/sprites/sprite_cache_manager.h"
#include "engine/sprites/sprite_callback.h"

namespace orvel {

void CachedSprite::SetAnimation(const std::string& name) {
    if (manager == nullptr) {
        throw ExceptionGeneral("A cached sprite without a manager cannot show " + name);
    }
    SetCache(manager->Get(name));
}

void CachedSprite::SetCache(const SpriteCachePtr& entry) {
    cache = entry;
    frameTime = FrameTimeOf(cache ? cache->GetFps() : 0.0f);
    frame = 0;
    accumulator = 0.0f;
}

void CachedSprite::SetFrame(int32_t index) { SelectFrame(index, FrameCount()); }

void CachedSprite::AdvanceFrames(int32_t n) { AdvanceBy(n, FrameCount()); }

void CachedSprite::Update(float dt) {
    if (frameTime != 0.0f && FrameCount() > 0) {
        accumulator += dt;
        // A length of 0 or less (a negative multiplier, say) means stopped.
        const float length = cache->GetLengthMultiplier(frame) * frameTime;
        int steps = 0;
        while (length > 0.0f && accumulator > length && steps < MAX_STEPS_PER_UPDATE &&
               FrameCount() > 0) {
            StepFrame(FrameCount());
            accumulator -= length;
            ++steps;
            // Footstep before trigger, the reverse of orvel::Sprite.
            if (callback && (cache->GetFlags(frame) & SPRITE_FLAG_FOOTSTEP)) {
                callback->OnMarkedFrameB(*this);
            }
            if (callback && (cache->GetFlags(frame) & SPRITE_FLAG_TRIGGER)) {
                callback->OnMarkedFrameA(*this);
            }
        }
        SettleTime(steps);
    }
    if (callback) {
        callback->OnUpdated(*this, dt);
    }
}

void CachedSprite::Draw() const {
    if (!cache || cache->GetTexture() == 0 || FrameCount() == 0) {
        return;
    }
    const FrameSheet& sheet = cache->GetSheet();
    const float w = static_cast<float>(sheet.width);
    const float h = static_cast<float>(sheet.frameHeight);
    const float pw = static_cast<float>(sheet.paddedWidth);
    const float ph = static_cast<float>(sheet.paddedHeight);
    const int32_t shown = std::min(std::max(frame, 0), FrameCount() - 1);
    const Vector2x<long> hotSpot = cache->GetHotSpot(shown);
    const float hx = flipHorizontal ? w - hotSpot.x : static_cast<float>(hotSpot.x);
    const float hy = flipVertical ? h - hotSpot.y : static_cast<float>(hotSpot.y);

    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, cache->GetTexture());

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(-hx, hy - h, 0.0f);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, shown * h / ph, 0.0f);
    glScalef(w / pw, h / ph, 1.0f);

    // Texture coordinates of the corners (0,0), (W,0), (W,H), (0,H).
    const float left = flipHorizontal ? 1.0f : 0.0f;
    const float right = 1.0f - left;
    const float bottom = flipVertical ? 0.0f : 1.0f;
    const float top = 1.0f - bottom;
    glBegin(GL_QUADS);
    glTexCoord2f(left, bottom);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(right, bottom);
    glVertex2f(w, 0.0f);
    glTexCoord2f(right, top);
    glVertex2f(w, h);
    glTexCoord2f(left, top);
    glVertex2f(0.0f, h);
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace orvel
