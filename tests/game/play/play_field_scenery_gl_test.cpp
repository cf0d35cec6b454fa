#include "game/play/play_field_scenery.h"

#include <GL/gl.h>

#include "engine/core/exception.h"
#include "game/play/play_field.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/game/play/level_text.h"
#include "tests/game/play/screen_capture.h"
#include "tests/support/temp_folder.h"

namespace {

const Rgb SKY = {40, 80, 200};
const Rgb MOUNTAINS = {120, 120, 130};
const Rgb GROUND = {30, 160, 40};
const Rgb HILLS_A = {150, 100, 50};
const Rgb HILLS_B = {110, 30, 30};

// A 32-bit picture whose top half is clear and whose bottom half is `colour`.
std::string LowerHalfBbq(uint32_t width, uint32_t height, const Rgb& colour) {
    orvel::BbqImage image;
    image.bpp = 32;
    image.width = width;
    image.height = height;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t alpha = y < height / 2 ? 0 : 255;
        for (uint32_t x = 0; x < width; ++x) {
            image.pixels.insert(image.pixels.end(),
                                {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b), alpha});
        }
    }
    return BbqBytes(image);
}

class PlayFieldSceneryTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        WriteFile("L/sky.bbq", FlatBbq(64, 64, SKY));
        WriteFile("L/mountains.bbq", LowerHalfBbq(1024, 64, MOUNTAINS));
        WriteFile("L/ground.bbq", FlatBbq(512, 100, GROUND));
        WriteFile("L/hillsA.bbq", FlatBbq(512, 150, HILLS_A));
        WriteFile("L/hillsB.bbq", FlatBbq(512, 150, HILLS_B));
        level.path = "L/level.txt";
        level.skyLayer = "L/sky.bbq";
        level.mountainsLayer = "L/mountains.bbq";
        level.foreground = {"L/ground.bbq", "L/ground.bbq"};
        level.midground = {"L/hillsA.bbq", "L/hillsB.bbq"};
        sprites = std::make_shared<orvel::SpriteManager>();
    }

    // Draws as the in-game state does: backgrounds on the screen, tiles in
    // the world shifted by the scroll and raised above the minimap strip.
    void DrawFrame(PlayFieldScenery& scenery, float fraction) {
        scenery.DrawBackgrounds(fraction);
        glPushMatrix();
        glTranslatef(-ScrollOffset(float(scenery.GetLevelWidth()), fraction), MINIMAP_HEIGHT, 0.0f);
        scenery.PlaceTiles(fraction);
        sprites->Draw();
        glPopMatrix();
    }

    TempFolder folder;
    LevelFile level;
    orvel::SpriteManagerPtr sprites;
};

TEST_F(PlayFieldSceneryTest, LayersStackFromSkyToGroundAndScroll) {
    PlayFieldScenery scenery(level, *sprites);
    EXPECT_EQ(scenery.GetLevelWidth(), 1024u);
    EXPECT_FLOAT_EQ(scenery.GetMidground().GetWidth(), 1024.0f);
    const Matrix texture = TextureMatrix();

    DrawFrame(scenery, 0.0f);
    ExpectPixel(400, 590, SKY, "sky at the top");
    ExpectPixel(400, 300, MOUNTAINS, "mountains above the hills");
    ExpectPixel(400, 225, HILLS_A, "first hill tile");
    ExpectPixel(600, 225, HILLS_B, "second hill tile");
    ExpectPixel(400, 150, GROUND, "ground");
    ExpectPixel(400, 50, Rgb{0, 0, 0}, "nothing in the minimap strip");
    ExpectStateRestored(texture);

    glClear(GL_COLOR_BUFFER_BIT);
    DrawFrame(scenery, 1.0f);
    // The level ends at the screen's right edge: the second hill tile
    // reaches from 512 - 224 = 288 onward.
    ExpectPixel(300, 225, HILLS_B, "second hill tile scrolled in");
    ExpectPixel(790, 150, GROUND, "ground to the right end");
    WriteScreenPpm("gearhaven-scenery.ppm");
}

TEST_F(PlayFieldSceneryTest, HiddenTilesLetTheBackgroundsThrough) {
    PlayFieldScenery scenery(level, *sprites);
    scenery.GetMidground().SetTileParameter(0.0f);
    DrawFrame(scenery, 0.0f);
    ExpectPixel(400, 225, MOUNTAINS, "mountains behind the hidden hills");
}

TEST_F(PlayFieldSceneryTest, NarrowLevelsDrawWithoutScrolling) {
    level.foreground = {"L/ground.bbq"};
    level.midground = {"L/hillsA.bbq", "L/hillsB.bbq"};
    PlayFieldScenery scenery(level, *sprites);
    EXPECT_EQ(scenery.GetLevelWidth(), 512u);
    DrawFrame(scenery, ScrollFraction(512.0f, 500.0f));
    ExpectPixel(10, 150, GROUND, "ground from the left edge");
    ExpectPixel(600, 150, HILLS_B, "nothing of the ground past the level");
}

TEST_F(PlayFieldSceneryTest, TooFewMidgroundTilesFailNamingTheLevel) {
    level.midground = {"L/hillsA.bbq"};
    level.midgroundScrollRatio = 0.3f;
    try {
        PlayFieldScenery scenery(level, *sprites);
        ADD_FAILURE() << "loaded";
    } catch (const orvel::Exception& error) {
        EXPECT_EQ(error.What(),
                  "Error: Level file \"L/level.txt\": The midground scroll ratio of 0.3 is too "
                  "high for the number of midground tiles there are.");
    }
}

}  // namespace
