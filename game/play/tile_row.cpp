#include "game/play/tile_row.h"

#include "game/play/play_field.h"

void TileRow::Append(const orvel::SpritePtr& tile) {
    tiles.push_back(tile);
    tilesWidth += FrameWidth(*tile);
    width = tilesWidth;
}

void TileRow::PlaceTiles(float levelWidth, float fraction) {
    if (tiles.empty()) {
        return;
    }
    // Both terms as the view sees them: the world moves by the level's part
    // beyond the screen, the row by its own.
    float x = (levelWidth - SCREEN_WIDTH) * fraction - (width - SCREEN_WIDTH) * fraction;
    const float y = FrameHeight(*tiles.front());
    for (const orvel::SpritePtr& tile : tiles) {
        tile->SetPosition(x, y);
        x += FrameWidth(*tile);
    }
}

void TileRow::SetTileParameter(float alpha) {
    for (const orvel::SpritePtr& tile : tiles) {
        tile->alpha = alpha;
    }
}

float FrameWidth(const orvel::Sprite& sprite) {
    return static_cast<float>(sprite.GetData()->sheet.width);
}

float FrameHeight(const orvel::Sprite& sprite) {
    return static_cast<float>(sprite.GetData()->sheet.frameHeight);
}
