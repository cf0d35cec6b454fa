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
        SetMarkerColour();
    }

    // The red, green and blue of one pixel of the back buffer, packed 0xRRGGBB.
    static uint32_t PixelAt(int x, int y) {
        const Rgb pixel = ReadPixel(x, y);
        return uint32_t(pixel.r) << 16 | uint32_t(pixel.g) << 8 | uint32_t(pixel.b);
    }
};

TEST_F(RectDrawingTest, FillsTheRectangleInTheColour) {
    orvel::DrawFilledRect(100, 100, 200, 150, makeacol32(255, 128, 0, 0));
    EXPECT_EQ(PixelAt(150, 125), 0xFF8000u);
    EXPECT_EQ(PixelAt(101, 101), 0xFF8000u);
    EXPECT_EQ(PixelAt(210, 125), 0u);
    EXPECT_EQ(PixelAt(150, 160), 0u);
    ExpectColourAndModelViewKept();
}

TEST_F(RectDrawingTest, OutlinesTheRectangleOnly) {
    orvel::DrawOutlineRect(100, 100, 200, 150, makeacol32(0, 255, 0, 255));
    EXPECT_EQ(PixelAt(150, 125), 0u);
    int lit = 0;
    for (int x = 99; x <= 101; ++x) {
        lit += PixelAt(x, 125) == 0x00FF00u;
    }
    EXPECT_EQ(lit, 1);
    ExpectColourAndModelViewKept();
}

}  // namespace
