#include "engine/sprites/sprite_cache_manager.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/sprites/cached_sprite.h"
#include "tests/engine/gl_draw_fixture.h"

using namespace orvel;

namespace {

const char* const COG = "resources/sprites/cog.txt";
const char* const LAMP_PICTURE = "resources/sprites/beacon/lamp_0.bbq";

const Rgb BLACK = {0, 0, 0};
const Rgb PENNANT = {40, 80, 220};
const Rgb COG_HUB = {60, 45, 20};

class SpriteCacheGlTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        glColor4f(1, 1, 1, 1);
    }

    // Draws the sprite with the model-view origin on pixel corner (x, y).
    static void DrawAt(const CachedSprite& sprite, int x, int y) {
        glPushMatrix();
        glTranslatef(static_cast<float>(x), static_cast<float>(y), 0.0f);
        sprite.Draw();
        glPopMatrix();
    }

    SpriteCacheManager manager;
};

TEST_F(SpriteCacheGlTest, CogLoadsFromItsPropertyFileOnce) {
    const SpriteCachePtr cog = manager.Get(COG);
    EXPECT_EQ(manager.Get(COG), cog);
    EXPECT_EQ(cog->GetName(), PropertyKey(COG));
    EXPECT_EQ(cog->GetFrameCount(), 4);
    EXPECT_EQ(cog->GetFps(), 8.0f);
    EXPECT_EQ(cog->GetSheet().width, 24u);
    EXPECT_EQ(cog->GetSheet().paddedWidth, 32u);
    EXPECT_EQ(cog->GetSheet().paddedHeight, 128u);
    EXPECT_NE(cog->GetTexture(), 0u);
    const float multipliers[4] = {1, 1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cog->GetHotSpot(i), Vector2x<long>(12, 12));
        EXPECT_EQ(cog->GetLengthMultiplier(i), multipliers[i]);
        EXPECT_EQ(cog->GetFlags(i), i == 3 ? SPRITE_FLAG_TRIGGER : 0);
    }
    EXPECT_THROW(manager.Get("resources/sprites/none.txt"), ExceptionFileNotFound);
}

TEST_F(SpriteCacheGlTest, ASinglePictureNeverAdvances) {
    CachedSprite sprite(&manager);
    sprite.SetAnimation(LAMP_PICTURE);
    EXPECT_EQ(sprite.GetCache()->GetFrameCount(), 1);
    EXPECT_EQ(sprite.GetFrameTime(), 0.0f);
    sprite.Update(5.0f);
    EXPECT_EQ(sprite.GetFrame(), 0);
}

TEST_F(SpriteCacheGlTest, CogTurnsWithItsLongLastFrame) {
    CachedSprite sprite(&manager);
    sprite.SetAnimation(COG);
    sprite.SetFrame(3);
    sprite.Update(0.2f);  // 1.6 frame times: frame 3 lasts two
    EXPECT_EQ(sprite.GetFrame(), 3);
    sprite.Update(0.1f);
    EXPECT_EQ(sprite.GetFrame(), 0);
}

TEST_F(SpriteCacheGlTest, HotSpotLandsOnTheOrigin) {
    CachedSprite sprite(&manager);
    sprite.SetAnimation(COG);
    DrawAt(sprite, 100, 100);
    for (const int dx : {-1, 0}) {
        for (const int dy : {-1, 0}) {
            ExpectPixel(100 + dx, 100 + dy, COG_HUB, "hub");
        }
    }
    ExpectPixel(100, 114, BLACK, "above the cog");
}

TEST_F(SpriteCacheGlTest, FlipsBothWays) {
    // The lamp picture has its hot spot at its top-left corner and the
    // pennant's pixel (12, 11) to the right of the mast.
    const struct {
        uint8_t horizontal;
        uint8_t vertical;
        int x;
        int y;
    } cases[] = {
        {0, 0, 12, -12},
        {1, 0, -13, -12},
        {0, 1, 12, 11},
        {1, 1, -13, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flips " << int(c.horizontal) << int(c.vertical));
        glClear(GL_COLOR_BUFFER_BIT);
        CachedSprite sprite(&manager);
        sprite.SetAnimation(LAMP_PICTURE);
        sprite.flipHorizontal = c.horizontal;
        sprite.flipVertical = c.vertical;
        DrawAt(sprite, 400, 300);
        ExpectPixel(400 + c.x, 300 + c.y, PENNANT, "pennant");
        ExpectPixel(400 + c.x, 300 - 1 - c.y, BLACK,
                    "the pennant's place under the other vertical flip");
    }
}

TEST_F(SpriteCacheGlTest, DrawingRestoresTheGlState) {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(2.0f, 3.0f, 1.0f);
    const Matrix before = TextureMatrix();
    glMatrixMode(GL_MODELVIEW);
    CachedSprite sprite(&manager);
    sprite.SetAnimation(COG);
    sprite.SetFrame(2);
    DrawAt(sprite, 200, 200);
    ExpectStateRestored(before);
}

TEST_F(SpriteCacheGlTest, UnloadAndReloadTextures) {
    CachedSprite sprite(&manager);
    sprite.SetAnimation(COG);
    sprite.SetFrame(2);
    manager.UnloadTextures();
    EXPECT_EQ(sprite.GetCache()->GetTexture(), 0u);
    EXPECT_EQ(sprite.GetCache()->GetFrameCount(), 0);
    sprite.Update(1.0f);
    sprite.AdvanceFrames(3);
    DrawAt(sprite, 100, 100);
    ExpectPixel(100, 100, BLACK, "nothing while unloaded");

    manager.ReloadTextures();
    EXPECT_EQ(sprite.GetCache()->GetFrameCount(), 4);
    DrawAt(sprite, 100, 100);
    ExpectPixel(100, 100, COG_HUB, "hub after reload");
}

}  // namespace
