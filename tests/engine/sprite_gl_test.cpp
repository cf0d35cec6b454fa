#include "engine/sprites/sprite_manager.h"

#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/resources/resource.h"
#include "engine/sprites/sprite_callback.h"
#include "tests/engine/gl_draw_fixture.h"

using namespace orvel;

namespace {

const char* const BEACON = "resources/sprites/beacon.sprite";

// Colours of the beacon pictures, as sprite_gen draws them.
const Rgb BLACK = {0, 0, 0};
const Rgb MAST = {90, 90, 90};
const Rgb PENNANT = {40, 80, 220};
const Rgb LAMP[4] = {{255, 40, 40}, {255, 140, 0}, {255, 230, 40}, {255, 140, 0}};

// The beacon's hot spot is the foot of its mast.
const int HOT_X = 8;
const int HOT_Y = 32;

class SpriteGlTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        manager = std::make_shared<SpriteManager>();
    }

    // A beacon whose transform puts its origin on screen pixel corner (x, y).
    SpritePtr BeaconAt(int x, int y, int frame) {
        const SpritePtr sprite = manager->CreateSprite(BEACON);
        glPushMatrix();
        glTranslatef(static_cast<float>(x), static_cast<float>(y), 0.0f);
        sprite->LoadMatrix(GL_MODELVIEW);
        glPopMatrix();
        sprite->SetFrame(frame);
        return sprite;
    }

    // Screen pixel of beacon picture pixel (px, py), rows counted from the
    // top, for a beacon with its origin at (ox, oy).
    static int ScreenX(int ox, int px, bool mirrored) {
        return mirrored ? ox + HOT_X - 1 - px : ox - HOT_X + px;
    }
    static int ScreenY(int oy, int py) { return oy + HOT_Y - py - 1; }

    SpriteManagerPtr manager;
};

TEST_F(SpriteGlTest, BeaconLoadsFromItsSpriteFile) {
    const SpriteDataPtr data = manager->FindData(BEACON);
    EXPECT_EQ(manager->FindData(BEACON), data);
    EXPECT_EQ(data->name, PropertyKey(BEACON));
    EXPECT_EQ(data->GetFrameCount(), 4);
    EXPECT_EQ(data->fps, 6.0f);
    EXPECT_EQ(data->sheet.width, 16u);
    EXPECT_EQ(data->sheet.frameHeight, 32u);
    EXPECT_EQ(data->sheet.paddedWidth, 16u);
    EXPECT_EQ(data->sheet.paddedHeight, 128u);
    EXPECT_EQ(data->sheet.bpp, 32u);
    EXPECT_NE(data->texture, 0u);
    EXPECT_EQ(data->triggers, (std::vector<uint8_t>{0, 0, 1, 0}));
    EXPECT_EQ(data->footsteps, (std::vector<uint8_t>{0, 0, 0, 0}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(data->GetHotSpot(i), Vector2x<long>(HOT_X, HOT_Y));
    }
}

TEST_F(SpriteGlTest, SinglePictureAndMissingFiles) {
    const SpriteDataPtr data = manager->FindData("resources/sprites/cog/cog_1.bbq");
    EXPECT_EQ(data->GetFrameCount(), 1);
    EXPECT_EQ(data->fps, 0.0f);
    EXPECT_EQ(data->sheet.paddedWidth, 32u);
    EXPECT_THROW(manager->FindData("resources/sprites/none.sprite"), ExceptionFileNotFound);
    EXPECT_THROW(manager->FindData("resources/sprites/none.bbq"), ExceptionFileNotFound);
}

TEST_F(SpriteGlTest, HotSpotLandsOnTheTransformOrigin) {
    const SpritePtr beacon = BeaconAt(200, 100, 0);
    manager->Draw();
    // The foot of the mast sits just above and on both sides of the origin.
    ExpectPixel(200, 100, MAST, "mast, right of the hot spot");
    ExpectPixel(199, 100, MAST, "mast, left of the hot spot");
    ExpectPixel(200, 99, BLACK, "below the hot spot");
    ExpectPixel(201, 100, BLACK, "right of the mast");
    ExpectPixel(ScreenX(200, 12, false), ScreenY(100, 11), PENNANT, "pennant");
    ExpectPixel(ScreenX(200, 8, false), ScreenY(100, 3), LAMP[0], "lamp");
}

TEST_F(SpriteGlTest, MirroringFlipsAboutTheHotSpot) {
    const SpritePtr beacon = BeaconAt(300, 100, 0);
    beacon->mirrored = 1;
    manager->Draw();
    ExpectPixel(ScreenX(300, 12, true), ScreenY(100, 11), PENNANT, "mirrored pennant");
    ExpectPixel(ScreenX(300, 12, false), ScreenY(100, 11), BLACK, "where the pennant was");
    // The mast (columns 7 and 8) stays astride the hot spot.
    ExpectPixel(300, 100, MAST, "mast");
    ExpectPixel(299, 100, MAST, "mast");
}

TEST_F(SpriteGlTest, LayersDrawInOrderAndEqualLayersInInsertionOrder) {
    // All at one place: the lamp shows the colour of the beacon drawn last.
    const SpritePtr first = BeaconAt(400, 100, 0);
    const SpritePtr second = BeaconAt(400, 100, 2);
    const SpritePtr low = BeaconAt(400, 100, 1);
    manager->SetLayer(first, 5);
    manager->SetLayer(second, 5);
    manager->SetLayer(low, 4);
    const int lampX = ScreenX(400, 8, false);
    const int lampY = ScreenY(100, 3);
    manager->Draw();
    ExpectPixel(lampX, lampY, LAMP[2], "the later of two sprites on layer 5");

    manager->SetLayer(first, 4);
    manager->SetLayer(first, 5);
    glClear(GL_COLOR_BUFFER_BIT);
    manager->Draw();
    ExpectPixel(lampX, lampY, LAMP[0], "a sprite put back on layer 5 goes last");

    manager->SetLayer(low, 6);
    glClear(GL_COLOR_BUFFER_BIT);
    manager->Draw();
    ExpectPixel(lampX, lampY, LAMP[1], "layer 6 over layer 5");
    EXPECT_EQ(low->GetLayer(), 6);
}

TEST_F(SpriteGlTest, CreateSpriteOnALayerDrawsInLayerOrder) {
    const SpritePtr high = manager->CreateSprite(BEACON, 7);
    const SpritePtr low = manager->CreateSprite(BEACON, 3);
    EXPECT_EQ(high->GetLayer(), 7);
    EXPECT_EQ(low->GetLayer(), 3);
    for (const SpritePtr& sprite : {high, low}) {
        sprite->SetPosition(500.0f, 100.0f);
    }
    EXPECT_EQ(high->GetX(), 500.0f);
    EXPECT_EQ(high->GetY(), 100.0f);
    high->SetFrame(2);
    manager->Draw();
    ExpectPixel(ScreenX(500, 8, false), ScreenY(100, 3), LAMP[2], "layer 7 over layer 3");
}

// Lit pixels in a square of the screen around (x, y).
int LitPixelsAround(int x, int y, int reach) {
    glFinish();
    int lit = 0;
    for (int row = y - reach; row < y + reach; ++row) {
        for (int column = x - reach; column < x + reach; ++column) {
            uint8_t rgb[3] = {};
            glReadPixels(column, row, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
            lit += (rgb[0] + rgb[1] + rgb[2] > 30) ? 1 : 0;
        }
    }
    return lit;
}

// A scaled draw grows the frame about the transform's origin: twice the
// size covers four times the pixels, still standing on the hot spot.
TEST_F(SpriteGlTest, ScaledDrawGrowsAboutTheHotSpot) {
    const SpritePtr beacon = BeaconAt(600, 100, 0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    beacon->Draw();
    const int unscaled = LitPixelsAround(600, 100, 80);
    glClear(GL_COLOR_BUFFER_BIT);
    beacon->Draw(2.0f, 2.0f, 1.0f);
    const int scaled = LitPixelsAround(600, 100, 80);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    EXPECT_GT(unscaled, 20);
    EXPECT_NEAR(scaled, 4 * unscaled, unscaled / 2);
    EXPECT_EQ(LitPixelsAround(600, 98, 2), 0) << "below the hot spot";
    // The unscaled beacon ends 32 pixels above the hot spot.
    EXPECT_GT(LitPixelsAround(600, 150, 2), 0) << "the mast reaches twice as high";
}

TEST_F(SpriteGlTest, ColourAndAlpha) {
    const SpritePtr hidden = BeaconAt(500, 100, 0);
    hidden->alpha = 0.0f;
    const SpritePtr tinted = BeaconAt(550, 100, 0);
    tinted->colour = MakeColour(255, 0, 255, 255);
    manager->Draw();
    ExpectPixel(ScreenX(500, 12, false), ScreenY(100, 11), BLACK, "alpha 0 is not drawn");
    ExpectPixel(ScreenX(550, 12, false), ScreenY(100, 11), Rgb{40, 0, 220}, "tinted pennant");

    // A hidden sprite still animates.
    hidden->Update(1.0f / 6.0f + 0.01f);
    EXPECT_EQ(hidden->GetFrame(), 1);
}

TEST_F(SpriteGlTest, DrawingRestoresTheGlState) {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0.25f, 0.5f, 0.0f);
    const Matrix before = TextureMatrix();
    glMatrixMode(GL_MODELVIEW);
    const SpritePtr beacon = BeaconAt(100, 300, 3);
    manager->Draw();
    ExpectStateRestored(before);
}

TEST_F(SpriteGlTest, SpritesLetGoAreDropped) {
    SpritePtr kept = manager->CreateSprite(BEACON);
    SpritePtr dropped = manager->CreateSprite(BEACON);
    EXPECT_EQ(manager->GetSpriteCount(), 2u);
    dropped.reset();
    manager->Update(0.01f);
    EXPECT_EQ(manager->GetSpriteCount(), 1u);
    kept.reset();
    manager->Draw();
    EXPECT_EQ(manager->GetSpriteCount(), 0u);
}

// On every loop: makes a new sprite, moves itself and another sprite to other
// layers and lets go of the game's only pointers to itself and to a victim.
class Meddler : public SpriteCallback {
public:
    void OnLoop(SpriteAnimation&) override {
        made.push_back(manager->CreateSprite(BEACON));
        manager->SetLayer(self, static_cast<int16_t>(self->GetLayer() + 3));
        manager->SetLayer(other, static_cast<int16_t>(other->GetLayer() - 2));
        victim.reset();
        self.reset();
        ++loops;
    }

    SpriteManagerPtr manager;
    SpritePtr self;
    SpritePtr other;
    SpritePtr victim;
    std::vector<SpritePtr> made;
    int loops = 0;
};

TEST_F(SpriteGlTest, CallbacksMayChangeTheLiveSetDuringAnUpdate) {
    Meddler meddler;
    meddler.manager = manager;
    meddler.self = manager->CreateSprite(BEACON);
    meddler.victim = manager->CreateSprite(BEACON);
    meddler.other = manager->CreateSprite(BEACON);
    manager->SetLayer(meddler.victim, 1);
    manager->SetLayer(meddler.other, 2);
    meddler.self->callback = &meddler;
    meddler.self->SetFrame(3);

    manager->Update(0.2f);
    EXPECT_EQ(meddler.loops, 1);
    EXPECT_EQ(meddler.made.size(), 1u);
    EXPECT_FALSE(meddler.self);
    EXPECT_EQ(meddler.other->GetLayer(), 0);
    // The new sprite stays; the two let go of leave at the next update.
    manager->Update(0.0f);
    EXPECT_EQ(manager->GetSpriteCount(), 2u);
}

TEST_F(SpriteGlTest, UnloadAndReloadTextures) {
    const SpritePtr beacon = BeaconAt(100, 400, 2);
    const SpriteDataPtr data = beacon->GetData();
    manager->UnloadTextures();
    EXPECT_EQ(data->texture, 0u);
    EXPECT_EQ(data->GetFrameCount(), 0);
    EXPECT_TRUE(data->triggers.empty());
    beacon->Update(10.0f);
    beacon->SetFrame(-1);
    manager->Draw();
    ExpectPixel(ScreenX(100, 12, false), ScreenY(400, 11), BLACK, "nothing while unloaded");

    manager->ReloadTextures();
    EXPECT_NE(data->texture, 0u);
    EXPECT_EQ(data->GetFrameCount(), 4);
    EXPECT_EQ(data->triggers, (std::vector<uint8_t>{0, 0, 1, 0}));
    beacon->SetFrame(2);
    manager->Draw();
    ExpectPixel(ScreenX(100, 8, false), ScreenY(400, 3), LAMP[2], "lamp after reload");
}

TEST_F(SpriteGlTest, SetAnimationSwitchesData) {
    const SpritePtr sprite = manager->CreateSprite("resources/sprites/cog/cog_0.bbq");
    EXPECT_EQ(sprite->GetFrameTime(), 0.0f);
    sprite->SetFrame(0);
    sprite->SetAnimation(BEACON);
    EXPECT_EQ(sprite->GetData(), manager->FindData(BEACON));
    EXPECT_FLOAT_EQ(sprite->GetFrameTime(), 1.0f / 6.0f);
    EXPECT_EQ(sprite->GetFrame(), 0);

    Sprite orphan(std::weak_ptr<SpriteManager>(), sprite->GetData());
    EXPECT_THROW(orphan.SetAnimation(BEACON), ExceptionGeneral);
}

// The game reads its sprites from the datafile the build packs.
TEST_F(SpriteGlTest, BeaconLoadsFromTheBuiltDatafile) {
    SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
    EXPECT_TRUE(LoadDatafileObject(BEACON)->object);
    EXPECT_TRUE(LoadDatafileObject("resources/sprites/beacon/lamp_2.bbq")->object);
    const SpriteDataPtr data = manager->FindData(BEACON);
    ClearDatafilePath();
    EXPECT_EQ(data->GetFrameCount(), 4);
    EXPECT_EQ(data->triggers, (std::vector<uint8_t>{0, 0, 1, 0}));
}

}  // namespace
