#include "engine/physics/mechanica.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/core/property_file.h"
#include "engine/physics/terrain_collision.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/engine/physics/physics_test_world.h"

using namespace orvel;

namespace {

const Rgb kBlack = {0, 0, 0};
const Rgb kYellow = {255, 255, 0};

// Pixels with room in depth for shapes ten pixels thick.
class PhysicsDrawTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        world.SetScale(30.0f);
    }

    // Draws with every line through pixel centres, so that a line on a
    // whole-pixel boundary lands on one row for sure.
    template <typename Draw>
    static void OnPixelCentres(Draw draw) {
        glPushMatrix();
        glTranslatef(0.5f, 0.5f, 0.0f);
        draw();
        glPopMatrix();
    }

    Mechanica world;
};

TEST_F(PhysicsDrawTest, DebugDrawingOutlinesEveryBodyInPixels) {
    // A 2 x 2 box at (10, 10) world units: pixels 270 to 330 each way.
    MakeBox(world, 2, 2, 10, 10, 0);
    // A disc of radius 1 turned by a quarter about z at (20, 5).
    std::shared_ptr<Collision> disc = std::make_shared<Collision>(&world);
    disc->CreateSphere(1, 1, 1, Matrix4::Identity());
    std::shared_ptr<ProbeBody> wheel = std::make_shared<ProbeBody>();
    wheel->CreateWithCollision(&world, disc);
    wheel->SetMatrix(Matrix4::Translation(Vector4(20, 5, 0)));
    SetMarkerColour();
    OnPixelCentres([&] { world.DrawDebug(); });
    ExpectPixel(300, 270, kYellow, "bottom edge of the box");
    ExpectPixel(330, 300, kYellow, "right edge of the box");
    ExpectPixel(300, 300, kBlack, "inside the box");
    ExpectPixel(600, 120, kYellow, "left of the disc");
    ExpectPixel(600, 150, kBlack, "middle of the disc");
    ExpectColourAndModelViewKept();
}

TEST_F(PhysicsDrawTest, TerrainDrawsItsNodesInFileUnits) {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    TerrainCollision terrain(&world);
    terrain.Load(ParsePropertyString(
        "list int nodeHeights {\n100\n200\n200\n}\nint nodeSpacing: 100\n", "level"));
    OnPixelCentres([&] { terrain.DebugDraw(); });
    ExpectPixel(50, 150, kBlack, "the rising segment");
    ExpectPixel(150, 200, kBlack, "the flat segment");
    ExpectPixel(150, 100, {255, 255, 255}, "below the ground");
}

}  // namespace
