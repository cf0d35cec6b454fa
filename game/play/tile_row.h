#pragma once

#include <vector>

#include "engine/sprites/sprite.h"

// A row of picture tiles laid edge to edge across the level: the foreground
// (the ground the units stand on) or the midground (distant hills). A row
// scrolls with the view by its own width, so a row narrower than the level
// moves more slowly and looks further away.
class TileRow {
public:
    // Adds a tile at the right end; the row grows by the tile's frame width.
    void Append(const orvel::SpritePtr& tile);

    // The width the row scrolls by, in pixels: the sum of its tiles unless
    // set otherwise.
    float GetWidth() const { return width; }
    void SetWidth(float rowWidth) { width = rowWidth; }
    float GetTilesWidth() const { return tilesWidth; }

    // Puts every tile in place for a frame at the given scroll fraction: the
    // row's left end lies at (levelWidth - row width) x fraction in level
    // pixels, and every tile hangs from the height of the first.
    void PlaceTiles(float levelWidth, float fraction);

    // Shows (1) or hides (0) every tile.
    void SetTileParameter(float alpha);

    const std::vector<orvel::SpritePtr>& GetTiles() const { return tiles; }

private:
    std::vector<orvel::SpritePtr> tiles;
    float width = 0.0f;
    float tilesWidth = 0.0f;
};

// The width and height of a sprite's frames, in pixels.
float FrameWidth(const orvel::Sprite& sprite);
float FrameHeight(const orvel::Sprite& sprite);
