#pragma once

#include <cstdint>

#include "engine/resources/texture.h"
#include "engine/sprites/sprite_manager.h"
#include "game/play/level_file.h"
#include "game/play/tile_row.h"

// What a level shows behind and under its units: the sky, which stands
// still, the mountains, which scroll by their own width, and the midground
// and foreground tile rows. The level's width is the foreground's.
class PlayFieldScenery {
public:
    // Loads the level's pictures; the tiles become sprites of `sprites`, the
    // midground on a layer below everything else. Throws
    // orvel::ExceptionGeneral, naming the level file, when the midground
    // tiles are too few to cover its scrolling, and the file exceptions for
    // missing pictures.
    PlayFieldScenery(const LevelFile& level, orvel::SpriteManager& sprites);
    PlayFieldScenery(const PlayFieldScenery&) = delete;
    PlayFieldScenery& operator=(const PlayFieldScenery&) = delete;

    // The foreground's width truncated to whole pixels.
    uint32_t GetLevelWidth() const { return levelWidth; }

    // Draws the sky and the mountains over the play field in screen pixels;
    // the GL state they change is restored.
    void DrawBackgrounds(float fraction) const;

    // Puts both tile rows in place for the frame, foreground first.
    void PlaceTiles(float fraction);

    TileRow& GetForeground() { return foreground; }
    TileRow& GetMidground() { return midground; }

    void UnloadTextures();
    void ReloadTextures();

private:
    orvel::Texture sky;
    orvel::Texture mountains;
    TileRow foreground;
    TileRow midground;
    uint32_t levelWidth = 0;
};

// The layer of the midground tiles: below the foreground and the units.
const int16_t MIDGROUND_LAYER = -100;
