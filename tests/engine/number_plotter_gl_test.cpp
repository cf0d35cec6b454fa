#include "engine/ui/number_plotter.h"

#include <cstdlib>
#include <string>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/resources/resource.h"
#include "engine/sprites/sprite_manager.h"
#include "tests/support/gl_context.h"
#include "tests/support/image_files.h"
#include "tests/support/temp_folder.h"

using namespace orvel;

namespace {

struct Rgb {
    int r, g, b;
};
const Rgb BLACK = {0, 0, 0};
const Rgb ZERO = {200, 40, 40};
const Rgb ONE = {40, 200, 40};

std::string FlatBbq(uint32_t width, uint32_t height, const Rgb& colour) {
    BbqImage image;
    image.width = width;
    image.height = height;
    for (uint32_t i = 0; i < width * height; ++i) {
        image.pixels.insert(image.pixels.end(),
                            {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b)});
    }
    return BbqBytes(image);
}

class NumberPlotterGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ClearDatafilePath();
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glColor4f(1, 1, 1, 1);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        // Digit frames 10 wide and 16 high: the 0 red, the 1 green.
        WriteFile("digit_0.bbq", FlatBbq(10, 16, ZERO));
        WriteFile("digit_1.bbq", FlatBbq(10, 16, ONE));
        WriteFile("digits.sprite",
                  "format_version: 1\nfps: 0\nnum_frames: 2\nframes\n{\n"
                  "digit_0.bbq (0,0)\ndigit_1.bbq (0,0)\n}\n");
        manager = std::make_shared<SpriteManager>();
    }

    void TearDown() override { glFinish(); }

    static void ExpectPixel(int x, int y, const Rgb& want, const char* what) {
        glFinish();
        unsigned char pixel[4] = {0, 0, 0, 0};
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_TRUE(std::abs(pixel[0] - want.r) <= 3 && std::abs(pixel[1] - want.g) <= 3 &&
                    std::abs(pixel[2] - want.b) <= 3)
            << what << " at (" << x << "," << y << "): got " << int(pixel[0]) << ","
            << int(pixel[1]) << "," << int(pixel[2]);
    }

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
