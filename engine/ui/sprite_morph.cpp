#include "engine/ui/sprite_morph.h"

#include <GL/gl.h>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/sprites/sprite_cache_manager.h"

namespace orvel {

SpriteMorph::SpriteMorph(const std::shared_ptr<SpriteCacheManager>& manager,
                         const std::string& animation, PropertyKey name)
    : Morph(name), manager(manager), sprite(manager.get()) {
    if (!manager) {
        throw ExceptionGeneral("A SpriteMorph needs a sprite cache to show " + animation);
    }
    sprite.SetAnimation(animation);
    const FrameSheet& sheet = sprite.GetCache()->GetSheet();
    SetSize(PointI(static_cast<int32_t>(sheet.width), static_cast<int32_t>(sheet.frameHeight)));
    SetColour(MakeColour(255, 255, 255, 255));
}

bool SpriteMorph::Update(float dt) {
    sprite.Update(dt);
    return false;
}

void SpriteMorph::DrawSelf() {
    const SpriteCachePtr& cache = sprite.GetCache();
    // While the textures are unloaded the frame has no size to scale by.
    if (!cache || cache->GetSheet().width == 0 || cache->GetSheet().frameHeight == 0) {
        return;
    }
    const FrameSheet& sheet = cache->GetSheet();
    const MorphRect rect = GetRect();
    const int32_t colour = GetColour();
    // The caller's colour is saved and put back by hand: under Mesa, popping
    // the current-state group around the sprite's own nested push left the
    // tint behind as the current colour.
    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(static_cast<float>(rect.left), static_cast<float>(UI_SCREEN_HEIGHT - rect.top),
                 0.0f);
    glScalef(static_cast<float>(rect.Width()) / static_cast<float>(sheet.width),
             static_cast<float>(rect.Height()) / static_cast<float>(sheet.frameHeight), 1.0f);
    glColor4ub(static_cast<GLubyte>(GetRed(colour)), static_cast<GLubyte>(GetGreen(colour)),
               static_cast<GLubyte>(GetBlue(colour)), static_cast<GLubyte>(GetAlpha(colour)));
    sprite.Draw();
    glPopMatrix();
    glColor4fv(savedColour);
}

PropertyKey SpriteMorph::GetTypeName() const {
    static const PropertyKey type("SpriteMorph");
    return type;
}

}  // namespace orvel
