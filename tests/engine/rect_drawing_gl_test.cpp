#include "engine/resources/rect_drawing.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <allegro.h>

#include "tests/engine/gl_draw_fixture.h"

namespace {

class RectDrawingTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    }

    // The red, green and blue of one pixel of the back buffer, packed 0xRRGGBB.
    static uint32_t PixelAt(int x, int y) {
        const Rgb pixel = ReadPixel(x, y);
        return uint32_t(pixel.r) << 16 | uint32_t(pixel.g) << 8 | uint32_t(pixel.b);
    }

    static void ExpectStateKept() {
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0], 0.25f);
        EXPECT_FLOAT_EQ(colour[2], 0.75f);
        GLfloat matrix[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[0], 1.0f);
        EXPECT_FLOAT_EQ(matrix[12], 0.0f);
    }
};

TEST_F(RectDrawingTest, FillsTheRectangleInTheColour) {
    orvel::DrawFilledRect(100, 100, 200, 150, makeacol32(255, 128, 0, 0));
    EXPECT_EQ(PixelAt(150, 125), 0xFF8000u);
    EXPECT_EQ(PixelAt(101, 101), 0xFF8000u);
    EXPECT_EQ(PixelAt(210, 125), 0u);
    EXPECT_EQ(PixelAt(150, 160), 0u);
    ExpectStateKept();
}

TEST_F(RectDrawingTest, OutlinesTheRectangleOnly) {
    orvel::DrawOutlineRect(100, 100, 200, 150, makeacol32(0, 255, 0, 255));
    EXPECT_EQ(PixelAt(150, 125), 0u);
    int lit = 0;
    for (int x = 99; x <= 101; ++x) {
        lit += PixelAt(x, 125) == 0x00FF00u;
    }
    EXPECT_EQ(lit, 1);
    ExpectStateKept();
}

}  // namespace
