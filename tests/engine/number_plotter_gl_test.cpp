#include "engine/ui/number_plotter.h"

#include <string>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/resources/resource.h"
#include "engine/sprites/sprite_manager.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/support/temp_folder.h"

using namespace orvel;

namespace {

const Rgb BLACK = {0, 0, 0};
const Rgb ZERO = {200, 40, 40};
const Rgb ONE = {40, 200, 40};

class NumberPlotterGlTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        ClearDatafilePath();
        glColor4f(1, 1, 1, 1);
        // Digit frames 10 wide and 16 high: the 0 red, the 1 green.
        WriteFile("digit_0.bbq", FlatBbq(10, 16, ZERO));
        WriteFile("digit_1.bbq", FlatBbq(10, 16, ONE));
        WriteFile("digits.sprite",
                  "format_version: 1\nfps: 0\nnum_frames: 2\nframes\n{\n"
                  "digit_0.bbq (0,0)\ndigit_1.bbq (0,0)\n}\n");
        manager = std::make_shared<SpriteManager>();
    }

    void TearDown() override { glFinish(); }

    TempFolder folder;
    SpriteManagerPtr manager;
};

TEST_F(NumberPlotterGlTest, DrawsOneFramePerDigitFromTheStart) {
    const NumberPlotter plotter(manager->CreateSprite("digits.sprite"), NUMBER_PLOTTER_PAD_ZEROS, 3,
                                0, 0);
    // The frames hang below y: rows 284 to 299.
    plotter.Draw(1, 100, 300);
    ExpectPixel(105, 290, ZERO, "first padding zero");
    ExpectPixel(115, 290, ZERO, "second padding zero");
    ExpectPixel(125, 290, ONE, "the one");
    ExpectPixel(135, 290, BLACK, "after the number");
    ExpectPixel(105, 305, BLACK, "above the number");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(NumberPlotterGlTest, DrawsUnderAMovedModelView) {
    const NumberPlotter plotter(manager->CreateSprite("digits.sprite"), NUMBER_PLOTTER_ALIGN_RIGHT,
                                0, 0, 0);
    glTranslatef(50, 0, 0);
    plotter.Draw(10, 100, 300);
    glLoadIdentity();
    ExpectPixel(135, 290, ONE, "the one");
    ExpectPixel(145, 290, ZERO, "the zero");
    ExpectPixel(155, 290, BLACK, "right of the number");
}

}  // namespace
