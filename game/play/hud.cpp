#include "game/play/hud.h"

#include "engine/core/properties.h"
#include "engine/core/property_file.h"
#include "game/play/play_field.h"
#include "game/play/textured_quad.h"

namespace {

const char LAYOUT_FILE[] = "gui.txt";
const char GAME_OVER_FILE[] = "gameover.txt";
const char CURSOR_FILE[] = "resources/mousecursor.bbq";

// The purchase buttons' keys in product order: the sprite and its point.
const char* const BUTTON_KEYS[Hud::kButtonCount][2] = {
    {"infantryButton", "infantryPosition"}, {"engineerButton", "engineerPosition"},
    {"tankButton", "tankPosition"},         {"flakButton", "flakPosition"},
    {"balloonButton", "balloonPosition"},   {"gyroButton", "gyroPosition"},
    {"bombButton", "bombPosition"},         {"airshipButton", "airshipPosition"},
};

std::string String(const orvel::Properties& layout, const char* key) {
    return layout.GetString(PropertyKey(key));
}

orvel::PointI Point(const orvel::Properties& layout, const char* key) {
    return layout.GetPoint(PropertyKey(key));
}

orvel::SpritePtr PlacedSprite(orvel::SpriteManager& sprites, const std::string& name,
                              const orvel::PointI& at) {
    const orvel::SpritePtr sprite = sprites.CreateSprite(name);
    sprite->SetPosition(float(at.x), float(at.y));
    return sprite;
}

}  // namespace

Hud::Hud(const std::string& uiFolder, orvel::SpriteManager& sprites) {
    const orvel::PropertiesPtr file = orvel::LoadPropertyFile(uiFolder + LAYOUT_FILE);
    const orvel::Properties& layout = *file;
    minimapBorder.Load(uiFolder + String(layout, "minimapBorderTexture"));
    minimapOverlay.Load(uiFolder + String(layout, "minimapOverlayTexture"));
    backdrop = PlacedSprite(sprites, uiFolder + String(layout, "uiBackdrop"),
                            Point(layout, "backdropPosition"));
    numbers = PlacedSprite(sprites, uiFolder + String(layout, "uiNumbers"),
                           Point(layout, "numbersPosition"));
    for (int i = 0; i < kButtonCount; ++i) {
        buttons[size_t(i)] = PlacedSprite(sprites, uiFolder + String(layout, BUTTON_KEYS[i][0]),
                                          Point(layout, BUTTON_KEYS[i][1]));
    }
    flashFrames = layout.GetInt(PropertyKey("purchaseIconFlashFrames"));
    cursor.Load(CURSOR_FILE);
    gameOver = sprites.CreateSprite(uiFolder + GAME_OVER_FILE, kTopLayer);
    gameOver->SetPosition(SCREEN_WIDTH / 2.0f, SCREEN_HEIGHT / 2.0f);
    gameOver->alpha = 0.0f;
    scale = PlacedSprite(sprites, uiFolder + String(layout, "moneyBagScale"),
                         Point(layout, "moneyBagScalePosition"));
    needle = sprites.CreateSprite(uiFolder + String(layout, "moneyBagScaleNeedle"));
    moneyBags.needlePosition = Point(layout, "moneyBagScaleNeedlePosition");
    needle->SetPosition(float(moneyBags.needlePosition.x), float(moneyBags.needlePosition.y));
    moneyBags.animation = uiFolder + String(layout, "moneyBagAnimation");
    moneyBags.position = Point(layout, "moneyBagPosition");
    moneyBags.dropHeight = layout.GetInt(PropertyKey("moneyBagDropHeight"));
    moneyBags.dropTime = layout.GetFloat(PropertyKey("moneyBagDropTime"));
    moneyBags.positionVariation = layout.GetInt(PropertyKey("moneyBagPositionVariation"));
    moneyBags.removalTime = layout.GetFloat(PropertyKey("moneyBagRemovalTime"));
    moneyBags.maxRemovalInterval = layout.GetFloat(PropertyKey("moneyBagMaxRemovalInterval"));
    const orvel::PointI gauge = Point(layout, "gasTankPosition");
    gasTank.reset(new GasTank(uiFolder + String(layout, "gasTankEmptyTexture"),
                              uiFolder + String(layout, "gasTankFullTexture"), gauge.x, gauge.y));
}

void Hud::DrawMinimapFrame(float width) const {
    const float left = (SCREEN_WIDTH - width) / 2.0f;
    const float height = float(MINIMAP_HEIGHT);
    const float imageHeight = float(minimapBorder.GetSheet().frameHeight);
    if (imageHeight > 0.0f) {
        const float capWidth = float(minimapBorder.GetSheet().width) * height / imageHeight;
        // The left cap is the right one mirrored, its outer edge outwards.
        DrawTexturedQuad(minimapBorder, left - capWidth, 0.0f, left, height, 1.0f, 0.0f);
        DrawTexturedQuad(minimapBorder, left + width, 0.0f, left + width + capWidth, height);
    }
    DrawTexturedQuad(minimapOverlay, left, 0.0f, left + width, height);
}

void Hud::DrawCursor(int mouseX, int mouseY) const {
    const float x = float(mouseX);
    const float top = float(SCREEN_HEIGHT - mouseY);
    DrawTexturedQuad(cursor, x, top - float(cursor.GetSheet().frameHeight),
                     x + float(cursor.GetSheet().width), top);
}

void Hud::UnloadTextures() {
    minimapBorder.Unload();
    minimapOverlay.Unload();
    cursor.Unload();
    gasTank->UnloadTextures();
}

void Hud::ReloadTextures() {
    minimapBorder.EnsureLoaded();
    minimapOverlay.EnsureLoaded();
    cursor.EnsureLoaded();
    gasTank->ReloadTextures();
}
