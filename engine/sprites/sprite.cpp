#include "engine/sprites/sprite.h"

#include <algorithm>

#include <GL/gl.h>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/sprites/sprite_callback.h"
#include "engine/sprites/sprite_manager.h"

namespace orvel {

Sprite::Sprite(const std::weak_ptr<SpriteManager>& manager, const SpriteDataPtr& data)
    : manager(manager), data(data), transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {
    frameTime = FrameTimeOf(data ? data->fps : 0.0f);
}

void Sprite::SetAnimation(const std::string& name) {
    const std::shared_ptr<SpriteManager> owner = manager.lock();
    if (!owner) {
        throw ExceptionGeneral("A sprite without a manager cannot show " + name);
    }
    data = owner->FindData(name);
    frameTime = FrameTimeOf(data->fps);
    frame = 0;
    accumulator = 0.0f;
}

void Sprite::SetFps(float fps) {
    if (fps > 0.0f) {
        accumulator = frameTime == 0.0f ? 0.0f : accumulator / (fps * frameTime);
        frameTime = 1.0f / fps;
    } else if (fps < 0.0f) {
        frameTime = FrameTimeOf(data ? data->fps : 0.0f);
    } else {
        frameTime = 0.0f;
    }
}

void Sprite::SetFrame(int32_t index) { SelectFrame(index, data ? data->GetFrameCount() : 0); }

void Sprite::Update(float dt) {
    // Over no frames (textures unloaded) no time is banked, so the sprite
    // does not race ahead once they are back.
    if (frameTime > 0.0f && data && data->GetFrameCount() > 0) {
        accumulator += dt;
        int steps = 0;
        // The frame time and the data are read again on every turn: a
        // callback may change either.
        while (frameTime > 0.0f && accumulator > frameTime && steps < MAX_STEPS_PER_UPDATE &&
               data->GetFrameCount() > 0) {
            StepFrame(data->GetFrameCount());
            accumulator -= frameTime;
            ++steps;
            if (callback && data->IsTrigger(frame)) {
                callback->OnMarkedFrameA(*this);
            }
            if (callback && data->IsFootstep(frame)) {
                callback->OnMarkedFrameB(*this);
            }
        }
        SettleTime(steps);
    }
    if (callback) {
        callback->OnUpdated(*this, dt);
    }
}

void Sprite::Draw() const { Draw(1.0f, 1.0f, 1.0f); }

void Sprite::SetTransform(const float matrix[16]) { std::copy(matrix, matrix + 16, transform); }

void Sprite::SetPosition(float x, float y) {
    transform[12] = x;
    transform[13] = y;
}

void Sprite::Draw(float scaleX, float scaleY, float scaleZ) const {
    if (alpha == 0.0f || !data || data->texture == 0 || data->GetFrameCount() == 0) {
        return;
    }
    const FrameSheet& sheet = data->sheet;
    const float w = static_cast<float>(sheet.width);
    const float h = static_cast<float>(sheet.frameHeight);
    const float pw = static_cast<float>(sheet.paddedWidth);
    const float ph = static_cast<float>(sheet.paddedHeight);
    const int32_t shown = std::min(std::max(frame, 0), data->GetFrameCount() - 1);
    const Vector2x<long> hotSpot = data->GetHotSpot(shown);
    const float hx = mirrored ? w - hotSpot.x : static_cast<float>(hotSpot.x);
    const float hy = static_cast<float>(hotSpot.y);

    glBindTexture(GL_TEXTURE_2D, data->texture);
    // The texture matrix picks the frame out of the sheet; it is restored
    // afterwards so that later drawing (text above all) is not skewed.
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, shown * h / ph, 0.0f);
    glScalef(w / pw, h / ph, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMultMatrixf(transform);
    glScalef(scaleX, scaleY, scaleZ);
    glTranslatef(-hx, hy - h, 0.0f);
    glScalef(w, h, 1.0f);

    const float opacity = std::min(std::max(alpha, 0.0f), 1.0f);
    glColor4ub(GetRed(colour), GetGreen(colour), GetBlue(colour),
               static_cast<GLubyte>(opacity * 255.0f));
    const float left = mirrored ? 1.0f : 0.0f;
    const float right = 1.0f - left;
    glBegin(GL_QUADS);
    glTexCoord2f(left, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(right, 1.0f);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(right, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(left, 0.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void Sprite::LoadMatrix(uint32_t which) {
    GLenum query = GL_MODELVIEW_MATRIX;
    if (which == GL_PROJECTION) {
        query = GL_PROJECTION_MATRIX;
    } else if (which == GL_TEXTURE) {
        query = GL_TEXTURE_MATRIX;
    }
    glGetFloatv(query, transform);
}

}  // namespace orvel
