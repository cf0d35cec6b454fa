#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/vector2x.h"
#include "engine/resources/texture.h"
#include "engine/sprites/sprite_manager.h"
#include "game/play/gas_tank.h"
#include "game/play/product.h"

// Where the money bags of the purse go and how they move; the purse reads
// these (the layout file holds them beside the rest of the display).
struct MoneyBagLayout {
    std::string animation;  // sprite file of a bag
    orvel::PointI position;
    int dropHeight = 0;
    float dropTime = 0.0f;
    int positionVariation = 0;
    float removalTime = 0.0f;
    float maxRemovalInterval = 0.0f;
    orvel::PointI needlePosition;
};

// The heads-up display of play, laid out by "gui.txt" of the UI folder: the
// minimap's end caps and glass, the top panel with the key numbers, one
// purchase button per product, the purse's scale and needle, the fuel
// gauge, the end-of-level banner and the mouse pointer. Its sprites live in
// the HUD sprite manager; positions are GL pixels (y up).
class Hud {
public:
    static constexpr int kButtonCount = PRODUCT_AIRSHIP + 1;
    // The banner's layer: above every other part of the display.
    static constexpr int16_t kTopLayer = 1000;

    // Reads the layout file (every key is required: a missing one throws
    // orvel::ExceptionPropertyNotFound) and makes the display; missing
    // pictures throw the file exceptions.
    Hud(const std::string& uiFolder, orvel::SpriteManager& sprites);
    Hud(const Hud&) = delete;
    Hud& operator=(const Hud&) = delete;

    // The minimap's end caps beside a minimap `width` pixels wide centred at
    // the bottom of the screen, and the glass over it.
    void DrawMinimapFrame(float width) const;
    // The mouse pointer with its top-left corner at the mouse (screen
    // pixels, y down).
    void DrawCursor(int mouseX, int mouseY) const;

    const orvel::SpritePtr& GetButton(int product) const { return buttons[size_t(product)]; }
    uint8_t& Flash(int product) { return flash[size_t(product)]; }
    int GetFlashFrames() const { return flashFrames; }
    GasTank& GetGasTank() { return *gasTank; }
    const orvel::SpritePtr& GetGameOver() const { return gameOver; }
    const orvel::SpritePtr& GetNeedle() const { return needle; }
    const MoneyBagLayout& GetMoneyBags() const { return moneyBags; }

    void UnloadTextures();
    void ReloadTextures();

private:
    orvel::Texture minimapBorder;
    orvel::Texture minimapOverlay;
    orvel::SpritePtr backdrop;
    orvel::SpritePtr numbers;
    std::array<orvel::SpritePtr, kButtonCount> buttons;
    std::array<uint8_t, kButtonCount> flash = {};
    int flashFrames = 0;
    orvel::Texture cursor;
    orvel::SpritePtr gameOver;
    orvel::SpritePtr scale;
    orvel::SpritePtr needle;
    MoneyBagLayout moneyBags;
    std::unique_ptr<GasTank> gasTank;
};
