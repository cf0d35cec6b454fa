#include "game/play/play_field_scenery.h"

#include <cstdio>

#include <GL/gl.h>

#include "engine/core/exception.h"
#include "game/play/play_field.h"

namespace {

void LoadRow(TileRow& row, const std::vector<std::string>& names, orvel::SpriteManager& sprites,
             int16_t layer) {
    for (const std::string& name : names) {
        row.Append(sprites.CreateSprite(name, layer));
    }
}

// A ratio as "%g" prints it: 0.3 reads 0.3.
std::string RatioText(float ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", ratio);
    return text;
}

// Draws the texture's picture over a rectangle of the screen, the picture's
// top row at the rectangle's top.
void DrawPicture(const orvel::Texture& texture, float left, float bottom, float width,
                 float height) {
    const float u = texture.GetMaxU();
    const float v = texture.GetMaxV();
    glBindTexture(GL_TEXTURE_2D, texture.GetGlName());
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, v);
    glVertex2f(left, bottom);
    glTexCoord2f(u, v);
    glVertex2f(left + width, bottom);
    glTexCoord2f(u, 0.0f);
    glVertex2f(left + width, bottom + height);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(left, bottom + height);
    glEnd();
}

}  // namespace

PlayFieldScenery::PlayFieldScenery(const LevelFile& level, orvel::SpriteManager& sprites) {
    if (!level.skyLayer.empty()) {
        sky.Load(level.skyLayer);
    }
    if (!level.mountainsLayer.empty()) {
        mountains.Load(level.mountainsLayer);
    }
    LoadRow(foreground, level.foreground, sprites, 0);
    levelWidth = static_cast<uint32_t>(foreground.GetWidth());
    LoadRow(midground, level.midground, sprites, MIDGROUND_LAYER);

    const float needed = RequiredMidgroundWidth(float(levelWidth), level.midgroundScrollRatio);
    if (needed > midground.GetWidth()) {
        throw orvel::ExceptionGeneral("Level file \"" + level.path +
                                      "\": The midground scroll ratio of " +
                                      RatioText(level.midgroundScrollRatio) +
                                      " is too high for the number of midground tiles there are.");
    }
    midground.SetWidth(needed);
}

void PlayFieldScenery::DrawBackgrounds(float fraction) const {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (sky.IsLoaded()) {
        DrawPicture(sky, 0.0f, MINIMAP_HEIGHT, SCREEN_WIDTH, PLAY_HEIGHT);
    }
    if (mountains.IsLoaded()) {
        const float width = static_cast<float>(mountains.GetSheet().width);
        DrawPicture(mountains, -(width - SCREEN_WIDTH) * fraction, MINIMAP_HEIGHT, width,
                    PLAY_HEIGHT);
    }
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void PlayFieldScenery::PlaceTiles(float fraction) {
    foreground.PlaceTiles(float(levelWidth), fraction);
    midground.PlaceTiles(float(levelWidth), fraction);
}

void PlayFieldScenery::UnloadTextures() {
    sky.Unload();
    mountains.Unload();
}

void PlayFieldScenery::ReloadTextures() {
    if (!sky.GetFileName().empty()) {
        sky.EnsureLoaded();
    }
    if (!mountains.GetFileName().empty()) {
        mountains.EnsureLoaded();
    }
}
